#include "TextSplitter.h"

#include <utility>

namespace TextSplitter {

Rows splitDelimited(QStringView text, QChar separator, QChar qualifier) {
    Rows rows;
    QStringList row;
    QString field;
    const qsizetype n = text.size();
    const QChar* p = text.data();
    bool lineOpen = false;
    qsizetype i = 0;
    while (i < n) {
        lineOpen = true;
        if (!qualifier.isNull() && p[i] == qualifier) {
            // A qualified field: up to the closing qualifier, then up to the separator.
            ++i;
            while (i < n) {
                if (p[i] == qualifier) {
                    if (i + 1 < n && p[i + 1] == qualifier) {
                        field += qualifier;
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                field += p[i++];
            }
        }
        // The unqualified part: a run without separator or line break, taken whole.
        const qsizetype start = i;
        while (i < n && p[i] != separator && p[i] != '\n' && p[i] != '\r')
            ++i;
        // Most fields are one unqualified run: copied once, at their exact size.
        if (field.isEmpty())
            row.append(text.mid(start, i - start).toString());
        else
            row.append(field.append(text.mid(start, i - start)));
        field.clear();
        if (i >= n)
            break;
        if (p[i] == separator) {
            ++i;
            if (i == n)
                row.append(QString());
            continue;
        }
        if (p[i] == '\r' && i + 1 < n && p[i + 1] == '\n')
            ++i;
        ++i;
        const qsizetype width = row.size();
        rows.append(std::move(row));
        row = QStringList();
        row.reserve(width); // lines of a file are mostly as wide as the one before
        lineOpen = false;
    }
    if (lineOpen)
        rows.append(row);
    return rows;
}

Rows splitLines(QStringView text) {
    Rows rows;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (text[i] != '\n' && text[i] != '\r')
            continue;
        rows.append(QStringList{text.mid(start, i - start).toString()});
        if (text[i] == '\r' && i + 1 < n && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        rows.append(QStringList{text.mid(start).toString()});
    return rows;
}

Rows splitFixed(QStringView text, const QList<int>& widths) {
    Rows rows = splitLines(text);
    for (QStringList& row : rows) {
        const QString line = row.first();
        row.clear();
        qsizetype at = 0;
        for (const int w : widths) {
            if (at >= line.size())
                break;
            row.append(line.mid(at, qMax(w, 1)).trimmed());
            at += qMax(w, 1);
        }
        if (at < line.size())
            row.append(line.mid(at).trimmed());
    }
    return rows;
}

} // namespace TextSplitter
