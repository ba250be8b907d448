#include "DelimitedText.h"

#include "format/EntryParser.h"
#include "format/NumberFormat.h"
#include "model/Workbook.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

namespace DelimitedText {

static QString quoted(const QString& field, QChar separator) {
    if (!field.contains(separator) && !field.contains('"') && !field.contains('\n') &&
        !field.contains('\r'))
        return field;
    QString q = field;
    q.replace('"', QLatin1String("\"\""));
    return '"' + q + '"';
}

QString write(const Workbook& book, int sheetIndex, bool formatted, QChar separator) {
    if (!book.hasSheet(sheetIndex))
        return {};
    const Sheet& s = book.sheet(sheetIndex);
    const int lastRow = s.lastRow();
    const int lastCol = s.lastCol();
    QString out;
    for (int r = 1; r <= lastRow; ++r) {
        for (int c = 1; c <= lastCol; ++c) {
            if (c > 1)
                out += separator;
            out += quoted(field(s, r, c, formatted), separator);
        }
        out += QLatin1String("\r\n");
    }
    return out;
}

QString field(const Sheet& sheet, int row, int col, bool formatted) {
    if (formatted)
        return sheet.formattedText(row, col);
    const CellValue v = sheet.value(row, col);
    return v.type == CellValue::Number ? NumberFormat::plain(v.number) : sheet.text(row, col);
}

int read(Workbook& book, int sheetIndex, const QString& text, const ReadOptions& options) {
    if (!book.hasSheet(sheetIndex))
        return 0;
    const QChar sep = options.separator;
    const QChar q = options.qualifier;
    int row = options.startRow;
    int col = options.startCol;
    int rows = 0;
    QString field;
    bool inQuotes = false;
    bool wasQuoted = false;
    bool lineHasData = false;
    book.beginUpdate();
    auto flush = [&] {
        if (row <= kMaxRows && col <= kMaxCols && (!field.isEmpty())) {
            // Imported data never turns into formulas.
            if (wasQuoted || EntryParser::parse(field).kind == ParsedEntry::Formula)
                book.setText(sheetIndex, row, col, field);
            else
                book.setEntry(sheetIndex, row, col, field);
        }
        field.clear();
        wasQuoted = false;
        ++col;
    };
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar ch = text[i];
        if (inQuotes) {
            if (ch == q) {
                if (i + 1 < n && text[i + 1] == q) {
                    field += q;
                    ++i;
                } else {
                    inQuotes = false;
                }
            } else {
                field += ch;
            }
            continue;
        }
        if (!q.isNull() && ch == q && field.isEmpty() && !wasQuoted) {
            inQuotes = true;
            wasQuoted = true;
            lineHasData = true;
        } else if (ch == sep) {
            flush();
            lineHasData = true;
        } else if (ch == '\n' || ch == '\r') {
            if (ch == '\r' && i + 1 < n && text[i + 1] == '\n')
                ++i;
            flush();
            ++row;
            ++rows;
            col = options.startCol;
            lineHasData = false;
        } else {
            field += ch;
            lineHasData = true;
        }
    }
    if (lineHasData || !field.isEmpty()) {
        flush();
        ++rows;
    }
    book.endUpdate();
    return rows;
}

QString decode(const QByteArray& bytes, const std::function<QString(const QByteArray&)>& fallback) {
    QByteArray data = bytes;
    if (data.startsWith("\xEF\xBB\xBF"))
        data.remove(0, 3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(data);
    if (!utf8.hasError())
        return text;
    return fallback ? fallback(data) : QString::fromLatin1(data);
}

bool writeFile(const Workbook& book, int sheet, bool formatted, const QString& path,
               QChar separator, QString* error, const Encoder& encode) {
    QSaveFile f(path);
    const QString text = write(book, sheet, formatted, separator);
    const QByteArray bytes = encode ? encode(text) : text.toUtf8();
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.commit()) {
        if (error)
            *error = QStringLiteral("Невозможно создать файл");
        return false;
    }
    return true;
}

bool readFile(Workbook& book, int sheet, const QString& path, const ReadOptions& options,
              QString* error) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("Невозможно открыть файл %1").arg(path);
        return false;
    }
    read(book, sheet, decode(f.readAll()), options);
    return true;
}

} // namespace DelimitedText
