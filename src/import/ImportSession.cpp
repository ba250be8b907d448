#include "ImportSession.h"

#include "DbfPreview.h"
#include "IdentModel.h"
#include "Prompter.h"

#include <QFileInfo>

ImportSession::ImportSession(QString path) : m_path(std::move(path)) {
    const QString ext = QFileInfo(m_path).suffix().trimmed().toUpper();
    m_source = ext == QLatin1String("DBF")   ? Source::Dbf
               : ext == QLatin1String("CSV") ? Source::Csv
                                             : Source::Text;
    if (m_source == Source::Text)
        m_options.linesOnly = true;
}

bool ImportSession::open(QString* error) {
    if (m_source == Source::Dbf)
        return DbfPreview::read(m_path, m_preview, error);
    return reread(error);
}

bool ImportSession::reread(QString* error) {
    if (m_source == Source::Dbf)
        return true;
    // A .prn or any other name reads as text.
    QString path = m_path;
    ExternalFile::Result result;
    Workbook fresh;
    const bool ok = ExternalFile::kindOf(path) == ExternalFile::Kind::Unknown
                        ? false
                        : ExternalFile::read(fresh, path, error, m_options, &result);
    if (!ok) {
        if (ExternalFile::kindOf(path) == ExternalFile::Kind::Unknown && error)
            *error = QStringLiteral("Ошибка при импорте - неизвестный формат");
        return false;
    }
    m_encoding = result.encoding;
    // The column widths the user set for fixed-width fields outlive the re-reading.
    Sheet& to = fresh.sheet(1);
    const Sheet& from = m_preview.sheet(1);
    for (int c = 1; c <= kMaxCols; ++c)
        if (from.colWidth(c) != to.colWidth(c))
            to.setColWidth(c, from.colWidth(c));
    m_preview.swapContents(fresh);
    m_columns.reset();
    return true;
}

QList<int> ImportSession::columnWidthsInCharacters() const {
    QList<int> widths;
    const Sheet& s = m_preview.sheet(1);
    for (int c = 1; c <= kMaxCols; ++c)
        widths.append(std::max(1, int(s.colWidth(c) / 256)));
    return widths;
}

void ImportSession::deleteColumn(int col) {
    m_preview.deleteCols(1, col, 1);
    m_columns.columnDeleted(col);
}

void ImportSession::deleteRow(int row) {
    m_preview.deleteRows(1, row, 1);
}

ImportSession::Outcome ImportSession::finish(TdmMSSQL& dm, IdentModel& table, Prompter& prompter,
                                             QStringList* protocol) {
    if (m_columns.any()) {
        const QStringList lines = m_columns.check(dm, startRow);
        if (!lines.isEmpty()) {
            if (protocol)
                *protocol = lines;
            return Outcome::Protocol;
        }
    }
    // Asked before the identification is written, so that "No" leaves the table whole.
    if (!ImportPlacement::prepare(table, m_preview, startRow, target, prompter))
        return Outcome::Stopped;
    if (m_columns.any())
        m_columns.write(table, startRow);
    ImportPlacement::put(table, m_preview, startRow, target);
    return Outcome::Done;
}

bool ImportSession::parseStartRow(const QString& text, int* row, QString* message) {
    const QString t = text.trimmed();
    if (t.isEmpty()) {
        *row = 1;
        return true;
    }
    bool ok = false;
    const int n = t.toInt(&ok);
    if (!ok) {
        *message = QStringLiteral("Должно быть введено число");
        return false;
    }
    if (n < 0) {
        *message = QStringLiteral("Должно быть введено число > 0");
        return false;
    }
    *row = n == 0 ? 1 : n;
    return true;
}
