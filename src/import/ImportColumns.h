#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

class IdentModel;
class Prompter;
class TdmMSSQL;
class Workbook;

// The identification elements the columns of an import preview carry: 1 indicator,
// 2–3 attributes, 4 object, 5–8 cuts 1–4. An object or cut column names its directory
// by the directory type itself (NUMAGR of an aggregation directory, 99 for the objects
// directory), never by its place in a pop-up, so directories numbered with gaps work.
// A column carries one element at most, each element one column at most, and two object
// or cut columns never share a directory.
class ImportColumns {
public:
    static constexpr int kObjectsDirectory = 99;

    struct Directory {
        int type = 0; // NUMAGR, or 99
        QString name;
    };
    struct Carried {
        int element = 0;
        int directory = 0;
    };

    explicit ImportColumns(Workbook& preview);
    // Forgets every column's element (the preview was read again).
    void reset();

    // The directories the pop-up lists: the aggregation directories in NUMAGR order
    // (SPISAGR.NAMEAGR, trimmed) and, when enabled, the objects directory (its name from
    // NAST, "Подчиненные объекты" when blank).
    static QList<Directory> directories(TdmMSSQL& dm, bool objectsEnabled);
    static QString elementCaption(int element);

    // Gives the column an element (and directory for 4–8), asking before taking it from
    // another column; false when the user declines or the choice is not allowed.
    bool assign(int col, int element, int directory, const QString& directoryName,
                Prompter& prompter);
    // The column loses its element and gets back the heading it had when read.
    void clear(int col);
    // The preview lost a column: later columns move left.
    void columnDeleted(int col);

    Carried carried(int col) const { return m_columns.value(col); }
    bool any() const { return !m_columns.isEmpty(); }
    int columnOf(int element) const; // 0 when no column carries it

    // Every cell of the carried columns from `startRow` on checked against the
    // directories; the protocol lines, each ending in "\r\n" (empty: all found).
    QStringList check(TdmMSSQL& dm, int startRow);
    // Writes the identification into the row identification sheet for the table rows the
    // preview rows will land on (preview row r ≥ startRow on table row last header row +
    // r − startRow + 1), then deletes the carried columns from the preview. Run check()
    // first: it reads the codes this needs.
    void write(IdentModel& table, int startRow);

private:
    QString heading(int col) const;
    void showHeading(int col, const QString& text);

    Workbook& m_preview;
    QMap<int, Carried> m_columns;
    QMap<int, QString> m_names;      // directory names of carried columns
    QMap<int, QString> m_original;   // headings as read
    QMap<QString, int> m_indicators; // KODALT (trimmed) → KODELMT
};
