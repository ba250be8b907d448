#include "TextSplitter.h"

#include <utility>

namespace TextSplitter {

int visitDelimited(QStringView text, QChar separator, QChar qualifier, const LineVisitor& line) {
    std::vector<QStringView> fields;
    // Fields with a qualifier are built; a QString keeps its characters where they are when
    // it is moved, so views into the built ones stay valid until the line is handed over.
    std::vector<QString> built;
    QString field;
    const qsizetype n = text.size();
    const QChar* p = text.data();
    int lines = 0;
    qsizetype i = 0;
    auto handOver = [&] {
        const bool more = line(lines++, fields);
        fields.clear();
        built.clear();
        return more;
    };
    while (i < n) {
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
        if (field.isEmpty()) {
            fields.push_back(text.mid(start, i - start));
        } else {
            built.push_back(std::move(field.append(text.mid(start, i - start))));
            fields.push_back(built.back());
            field = QString();
        }
        if (i >= n)
            break;
        if (p[i] == separator) {
            ++i;
            if (i == n)
                fields.emplace_back();
            continue;
        }
        if (p[i] == '\r' && i + 1 < n && p[i + 1] == '\n')
            ++i;
        ++i;
        if (!handOver())
            return lines;
    }
    if (!fields.empty())
        handOver();
    return lines;
}

Rows splitDelimited(QStringView text, QChar separator, QChar qualifier) {
    Rows rows;
    visitDelimited(text, separator, qualifier, [&](int, const std::vector<QStringView>& fields) {
        QStringList row;
        row.reserve(qsizetype(fields.size()));
        for (const QStringView f : fields)
            row.append(f.toString());
        rows.append(std::move(row));
        return true;
    });
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
