#pragma once

#include <QString>
#include <QStringList>

#include <utility>

class Workbook;

// Runs text commands against a workbook, one per line — the batch language of the
// zemrak-book tool and of the formula fixtures:
//   sheet N | set A1 <entry> | format A1:B2 <number format> | copy A1:B2 C5 |
//   move A1:B2 <rows> <cols> | insert|delete rows|cols AT COUNT |
//   insert|delete cells A1:B2 down|right|up|left | hide rows|cols AT COUNT |
//   sort A1:C10 <key column> asc|desc | recalc | autorecalc on|off | show [RANGE] |
//   save FILE | load FILE
// Empty lines and lines starting with "#" are skipped.
class CommandScript {
public:
    explicit CommandScript(Workbook& book) : m_book(book) {}

    // False on the first bad line; error() then says "line N: …".
    bool run(const QStringList& lines);
    bool runLine(const QString& line, int lineNumber);
    QString output() const { return m_output; }
    QString takeOutput() { return std::exchange(m_output, QString()); }
    QString error() const { return m_error; }

    // One line per non-empty cell of the range: address, entry, formatted text.
    static QString show(const Workbook& book, int sheet, const QString& range);

private:
    bool fail(int line, const QString& message);
    bool lineSpan(const QString& text, bool rows, int& at) const;

    Workbook& m_book;
    QString m_output;
    QString m_error;
};
