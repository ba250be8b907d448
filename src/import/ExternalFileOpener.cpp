#include "ExternalFileOpener.h"

#include "ForeignTable.h"
#include "IdentModel.h"
#include "ImportSession.h"
#include "Prompter.h"
#include "SheetMerge.h"
#include "io/ExternalFile.h"
#include "io/NativeFormat.h"
#include "model/Workbook.h"

#include <QFileInfo>
#include <QStringList>

using namespace TableLayout;

namespace {

bool isNative(const QString& path) {
    return QFileInfo(path).suffix().trimmed().compare(QLatin1String("VTS"), Qt::CaseInsensitive) ==
           0;
}

// A saved table or sheet may come in our own format or in another program's workbook.
bool readBook(const QString& path, Workbook& book, QString* error) {
    return isNative(path) ? NativeFormat::loadFile(book, path, error)
                          : ExternalFile::read(book, path, error);
}

bool anyContent(const Sheet& s, int firstRow, int firstCol, int skipRow = 0, int skipCol = 0) {
    for (int r = firstRow; r <= s.lastRow(); ++r)
        for (int c = firstCol; c <= s.lastColInRow(r); ++c)
            if ((r != skipRow || c != skipCol) && s.type(r, c) != 0)
                return true;
    return false;
}

// Anything the user made: a cell of an instance sheet besides the layout cell, or
// identification of the side or the header (the captions of the slots do not count).
bool holdsData(IdentModel& model) {
    model.readGeometry();
    const Workbook& book = model.book();
    for (int s = 1; s <= model.instanceCount(); ++s)
        if (anyContent(book.sheet(s), 1, 1, kLayoutRow, kLayoutCol))
            return true;
    const int below = model.lastHeaderRow() + 1;
    return anyContent(book.sheet(model.rowIdentSheet()), below, kSideCol) ||
           anyContent(book.sheet(model.colIdentSheet()), below, kFirstDataCol);
}

// A table's workbook: one instance sheet or more, the two identification sheets and a
// layout cell that gives the title and header row counts.
bool isTableBook(const Workbook& book) {
    if (book.sheetCount() < 3)
        return false;
    const QString layout = book.sheet(1).text(kLayoutRow, kLayoutCol);
    const int title = IdentModel::layoutField(layout, 1);
    return title >= 1 && title <= kMaxTitleRows && IdentModel::layoutField(layout, 7) >= 1;
}

QString withDetail(const QString& message, const QString& detail) {
    return detail.isEmpty() ? message : message + QStringLiteral("\r\n") + detail;
}

} // namespace

ExternalFileOpener::ExternalFileOpener(IdentModel& table, Prompter& prompter,
                                       InstanceSheets* sheets)
    : m_table(table), m_prompter(prompter), m_sheets(sheets) {}

QString ExternalFileOpener::filter() {
    return QStringLiteral("Земрак 3.0 (*.vts);;"
                          "Земрак 3.0 (*.xlsx *.ods *.xls);;"
                          "Книги Excel, OpenDocument (*.xlsx *.ods *.xls);;"
                          "Текстовые файлы (*.txt *.prn *.csv);;"
                          "dBase (*.dbf);;"
                          "Лист Земрак (*.vts);;"
                          "Лист Земрак (*.xlsx *.ods *.xls)");
}

QString ExternalFileOpener::replaceQuestion() {
    return QStringLiteral("Таблица содержит данные. Они будут заменены содержимым файла.\r\n"
                          "Продолжить ?");
}

ExternalFileOpener::FileType ExternalFileOpener::typeOf(const QString& path) {
    if (isNative(path))
        return FileType::Table;
    switch (ExternalFile::kindOf(path)) {
    case ExternalFile::Kind::Xlsx:
    case ExternalFile::Kind::Ods:
    case ExternalFile::Kind::Xls:
        return FileType::ForeignBook;
    case ExternalFile::Kind::Csv:
    case ExternalFile::Kind::Text:
        return FileType::Text;
    case ExternalFile::Kind::Unknown:
        break;
    }
    return FileType::Dbf;
}

ExternalFileOpener::Choice ExternalFileOpener::chooseFile(const QString& folder) {
    int type = -1;
    Choice c;
    c.path = m_prompter.openTypedFileName(caption(), folder, filter(), &type);
    const int types = int(filter().split(QStringLiteral(";;")).size());
    c.type = type >= 0 && type < types ? FileType(type) : typeOf(c.path);
    return c;
}

ExternalFileOpener::Result ExternalFileOpener::run(const QString& folder) {
    const Choice c = chooseFile(folder);
    return c.path.isEmpty() ? Result::Nothing : open(c.path, c.type);
}

ExternalFileOpener::Result ExternalFileOpener::open(const QString& path, FileType type) {
    switch (type) {
    case FileType::Table:
    case FileType::TableBook:
        return replaceTable(path);
    case FileType::ForeignBook:
        return buildFromForeign(path);
    case FileType::Sheet:
    case FileType::SheetBook:
        return mergeSheet(path);
    case FileType::Text:
    case FileType::Dbf:
        break;
    }
    return importWindow(path);
}

ExternalFileOpener::Result ExternalFileOpener::importWindow(const QString& path) {
    m_session = std::make_unique<ImportSession>(path);
    QString error;
    if (!m_session->open(&error)) {
        m_session.reset();
        m_prompter.error(QStringLiteral("Ошибка при импорте - неизвестный формат\r\n") + error);
        return Result::Nothing;
    }
    return Result::ImportWindow;
}

bool ExternalFileOpener::confirmReplace() {
    return !holdsData(m_table) || m_prompter.confirm(replaceQuestion(), Answer::No);
}

ExternalFileOpener::Result ExternalFileOpener::replaceTable(const QString& path) {
    Workbook loaded;
    QString error;
    if (!readBook(path, loaded, &error) || !isTableBook(loaded)) {
        // The open table stays as it was: a failed read never costs the user a table.
        m_prompter.error(
            withDetail(QStringLiteral("Ошибка при открытии. Возможен неверный формат"), error));
        return Result::Nothing;
    }
    if (!confirmReplace())
        return Result::Nothing;
    Workbook& book = m_table.book();
    book.swapContents(loaded);
    m_table.readGeometry();
    for (int s = 1; s <= m_table.instanceCount(); ++s)
        for (int r = kFirstHeaderRow; r <= m_table.lastHeaderRow(); ++r)
            book.sheet(s).setRowHeading(r, QStringLiteral("---"));
    book.setActiveSheet(1);
    SheetOptions o = book.sheet(1).options();
    o.activeRow = m_table.firstBodyRow();
    o.activeCol = kFirstDataCol;
    book.sheet(1).setOptions(o);
    book.setModified(true);
    return Result::Replaced;
}

bool ExternalFileOpener::askCount(const QString& label, int* value) {
    QString text = QStringLiteral("0");
    for (;;) {
        if (!m_prompter.inputText(QStringLiteral("Импорт данных"), label, text))
            return false;
        bool ok = false;
        const int n = text.trimmed().isEmpty() ? 0 : text.trimmed().toInt(&ok);
        if (!text.trimmed().isEmpty() && !ok) {
            m_prompter.error(QStringLiteral("Должно быть введено число"));
            text = QStringLiteral("0");
            continue;
        }
        if (n < 0) {
            m_prompter.error(QStringLiteral("Должно быть введено положительное число "));
            text = QStringLiteral("0");
            continue;
        }
        *value = n;
        return true;
    }
}

bool ExternalFileOpener::readFile(const QString& path, Workbook& file) {
    QString error;
    if (readBook(path, file, &error))
        return true;
    m_prompter.error(
        withDetail(QStringLiteral("Ошибка при открытии файла. Неверный формат"), error));
    return false;
}

ExternalFileOpener::Result ExternalFileOpener::buildFromForeign(const QString& path) {
    Workbook file;
    if (!readFile(path, file))
        return Result::Nothing;
    int titleRows = 0;
    int headerRows = 0;
    if (!askCount(QStringLiteral("Число строк в заголовке :"), &titleRows) ||
        !askCount(QStringLiteral("Число строк в шапке :"), &headerRows))
        return Result::Nothing;
    // Several instance sheets are asked about by the build itself.
    m_table.readGeometry();
    if (m_table.instanceCount() == 1 && !confirmReplace())
        return Result::Nothing;
    return ForeignTable::build(m_table.book(), file, titleRows, headerRows, m_prompter)
               ? Result::Replaced
               : Result::Nothing;
}

ExternalFileOpener::Result ExternalFileOpener::mergeSheet(const QString& path) {
    Workbook file;
    if (!readFile(path, file))
        return Result::Nothing;
    return SheetMerge::merge(m_table, file, m_prompter, m_sheets) ? Result::Merged
                                                                  : Result::Nothing;
}
