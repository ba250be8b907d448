#include "ExternalFileOpener.h"

#include "ForeignTable.h"
#include "IdentModel.h"
#include "ImportSession.h"
#include "Prompter.h"
#include "io/ExternalFile.h"
#include "io/NativeFormat.h"
#include "model/Workbook.h"

#include <QFileInfo>

ExternalFileOpener::ExternalFileOpener(IdentModel& table, Prompter& prompter)
    : m_table(table), m_prompter(prompter) {}

QString ExternalFileOpener::filter() {
    return QStringLiteral("Земрак 3.0 (*.vts);;"
                          "Книги Excel, OpenDocument (*.xlsx *.ods *.xls);;"
                          "Текстовые файлы (*.txt *.prn *.csv);;"
                          "dBase (*.dbf)");
}

ExternalFileOpener::Result ExternalFileOpener::run(const QString& folder) {
    const QString path = m_prompter.openFileName(caption(), folder, filter());
    return path.isEmpty() ? Result::Nothing : openPath(path);
}

ExternalFileOpener::Result ExternalFileOpener::openPath(const QString& path) {
    const QString ext = QFileInfo(path).suffix().trimmed().toUpper();
    if (ext == QLatin1String("VTS"))
        return replaceByNative(path);
    if (ext == QLatin1String("XLSX") || ext == QLatin1String("ODS") || ext == QLatin1String("XLS"))
        return buildFromForeign(path);
    m_session = std::make_unique<ImportSession>(path);
    QString error;
    if (!m_session->open(&error)) {
        m_session.reset();
        m_prompter.error(QStringLiteral("Ошибка при импорте - неизвестный формат\r\n") + error);
        return Result::Nothing;
    }
    return Result::ImportWindow;
}

ExternalFileOpener::Result ExternalFileOpener::replaceByNative(const QString& path) {
    Workbook loaded;
    QString error;
    if (!NativeFormat::loadFile(loaded, path, &error) || loaded.sheetCount() < 3) {
        // The open table stays as it was: a failed read never costs the user a table.
        m_prompter.error(QStringLiteral("Ошибка при открытии. Возможен неверный формат"));
        return Result::Nothing;
    }
    Workbook& book = m_table.book();
    book.swapContents(loaded);
    m_table.readGeometry();
    for (int s = 1; s <= m_table.instanceCount(); ++s)
        for (int r = TableLayout::kFirstHeaderRow; r <= m_table.lastHeaderRow(); ++r)
            book.sheet(s).setRowHeading(r, QStringLiteral("---"));
    book.setActiveSheet(1);
    SheetOptions o = book.sheet(1).options();
    o.activeRow = m_table.firstBodyRow();
    o.activeCol = TableLayout::kFirstDataCol;
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

ExternalFileOpener::Result ExternalFileOpener::buildFromForeign(const QString& path) {
    Workbook file;
    QString error;
    if (!ExternalFile::read(file, path, &error)) {
        m_prompter.error(QStringLiteral("Ошибка при открытии файла. Неверный формат\r\n") + error);
        return Result::Nothing;
    }
    int titleRows = 0;
    int headerRows = 0;
    if (!askCount(QStringLiteral("Число строк в заголовке :"), &titleRows) ||
        !askCount(QStringLiteral("Число строк в шапке :"), &headerRows))
        return Result::Nothing;
    return ForeignTable::build(m_table.book(), file, titleRows, headerRows, m_prompter)
               ? Result::Replaced
               : Result::Nothing;
}
