#pragma once

#include "TextEncoding.h"

#include <QChar>
#include <QList>
#include <QString>

class Workbook;

// Files made by other programs, read into a workbook: .xlsx and .ods (liborcus), the
// legacy .xls (freexl), delimited or fixed-width text. Everything is read into a
// workbook of its own and swapped in only when the whole file was read, so a damaged
// file leaves the caller's workbook as it was.
namespace ExternalFile {

enum class Kind { Unknown, Xlsx, Ods, Xls, Csv, Text };

// From the extension; .txt and .prn are text.
Kind kindOf(const QString& path);

struct TextOptions {
    TextEncoding::Encoding encoding = TextEncoding::Encoding::Auto;
    // Delimited fields at `separator` (`qualifier` null: none), or fixed-width fields of
    // `widths` characters when `fixedWidth` is set.
    QChar separator = ';';
    QChar qualifier = '"';
    bool fixedWidth = false;
    QList<int> widths;
    // Lines as they are, one per row, in column 1: the text before it is split.
    bool linesOnly = false;
};

struct Result {
    TextEncoding::Encoding encoding = TextEncoding::Encoding::Auto; // a text file's
    int rows = 0;
};

// Reads `path` by its kind into `book` (one sheet per sheet of the file, the first active;
// a text file gives one sheet). False with a message in `error` when the file cannot be
// opened, is damaged, is not what its name says, or holds a cell the workbook cannot.
bool read(Workbook& book, const QString& path, QString* error, const TextOptions& text = {},
          Result* result = nullptr);

// The text part alone: splits `text` into the first sheet of `book` (the same checks).
bool readText(Workbook& book, const QString& text, const TextOptions& options, QString* error,
              const QString& sheetName = {});

} // namespace ExternalFile
