#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <functional>
#include <vector>

// Text lines cut into fields, before anything is written into a sheet.
namespace TextSplitter {

using Rows = QList<QStringList>;

// Fields at `separator`; with a `qualifier` (a null QChar: none) a field that starts with
// it runs to its closing mate, so separators and line breaks inside stay in the field and
// a doubled qualifier stands for one. Lines end at CR LF, LF or CR; a last line without
// its break still counts, an empty text gives no rows.
Rows splitDelimited(QStringView text, QChar separator, QChar qualifier = QChar('"'));

// The same fields a line at a time, without a string made for each: `line` gets the line's
// number (from 0) and its fields, which live only during the call, and returns false to
// stop. Returns the number of lines visited.
using LineVisitor = std::function<bool(int line, const std::vector<QStringView>& fields)>;
int visitDelimited(QStringView text, QChar separator, QChar qualifier, const LineVisitor& line);

// Each line cut at character positions: field j takes widths[j] characters, what is left
// after the last width makes one more field; fields are trimmed. Character positions,
// unlike pixel widths, give the same fields on every machine.
Rows splitFixed(QStringView text, const QList<int>& widths);

// The lines alone (one field each), as a text file shows before it is split.
Rows splitLines(QStringView text);

} // namespace TextSplitter
