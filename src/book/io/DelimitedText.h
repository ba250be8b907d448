#pragma once

#include <QByteArray>
#include <QChar>
#include <QString>

#include <functional>

class Sheet;
class Workbook;

// Delimited text in and out of a sheet.
namespace DelimitedText {

// One line per row of the sheet's used range, fields separated by `separator`; `formatted`
// writes the display texts, otherwise plain values. Fields holding the separator, a quote
// or a line break are quoted.
QString write(const Workbook& book, int sheet, bool formatted, QChar separator = '\t');
// The text one cell is written as: its display text, or its plain value (numbers with
// "." whatever the display shows).
QString field(const Sheet& sheet, int row, int col, bool formatted);

struct ReadOptions {
    QChar separator = '\t';
    QChar qualifier = '"'; // a null QChar: no qualifier
    int startRow = 1;
    int startCol = 1;
};

// Splits the text into the sheet from (startRow, startCol). Numbers and dates become
// numbers as typed input does; a field starting with "=" stays text. Rows and columns
// beyond the sheet are dropped; the count of rows read is returned.
int read(Workbook& book, int sheet, const QString& text, const ReadOptions& options);

// UTF-8 when the bytes are valid UTF-8 (a BOM is skipped), otherwise `fallback`
// (Latin-1 when none is given).
QString decode(const QByteArray& bytes,
               const std::function<QString(const QByteArray&)>& fallback = {});

// The bytes a text is written as; UTF-8 when none is given.
using Encoder = std::function<QByteArray(const QString&)>;

// Writes the whole file or nothing.
bool writeFile(const Workbook& book, int sheet, bool formatted, const QString& path,
               QChar separator = '\t', QString* error = nullptr, const Encoder& encode = {});
bool readFile(Workbook& book, int sheet, const QString& path, const ReadOptions& options,
              QString* error = nullptr);

} // namespace DelimitedText
