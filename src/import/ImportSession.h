#pragma once

#include "ImportColumns.h"
#include "ImportPlacement.h"
#include "io/ExternalFile.h"
#include "model/Workbook.h"

#include <QString>
#include <QStringList>

class IdentModel;
class Prompter;
class TdmMSSQL;

// What the import window works on: one text or dBase file, its preview, the options of
// the wizard and the identification the preview's columns carry. "Готово" checks and
// writes the identification, then puts the rows into the table.
class ImportSession {
public:
    enum class Source { Text, Csv, Dbf };
    using Target = ImportPlacement::Target;

    explicit ImportSession(QString path);

    // A CSV file is split at once at ";" with the double-quote qualifier; another text
    // file shows its lines; a dBase file its records. False with the reason in `error`.
    bool open(QString* error);
    Source source() const { return m_source; }
    const QString& path() const { return m_path; }
    // The encoding a text file was read in (detected or chosen).
    TextEncoding::Encoding encoding() const { return m_encoding; }

    // The wizard: re-reads the file with these options (a text file only).
    ExternalFile::TextOptions& options() { return m_options; }
    bool reread(QString* error);
    // Fixed-width fields as wide as the preview's columns, in characters.
    QList<int> columnWidthsInCharacters() const;

    Workbook& preview() { return m_preview; }
    ImportColumns& columns() { return m_columns; }
    void deleteColumn(int col);
    void deleteRow(int row);

    int startRow = 1;
    ImportPlacement::Target target = ImportPlacement::Target::Body;

    // "Готово": with identification columns, their check (protocol lines are returned and
    // nothing is written when there are any), then the identification; then the rows.
    enum class Outcome { Done, Protocol, Stopped };
    Outcome finish(TdmMSSQL& dm, IdentModel& table, Prompter& prompter, QStringList* protocol);

    // "Начать импорт со строки": blank or 0 gives 1; the message for what is refused.
    static bool parseStartRow(const QString& text, int* row, QString* message);

private:
    QString m_path;
    Source m_source = Source::Text;
    TextEncoding::Encoding m_encoding = TextEncoding::Encoding::Auto;
    ExternalFile::TextOptions m_options;
    Workbook m_preview;
    ImportColumns m_columns{m_preview};
};
