#include "CellAddress.h"

#include <algorithm>

CellRange CellRange::normalized() const {
    return {std::min(row1, row2), std::min(col1, col2), std::max(row1, row2), std::max(col1, col2)};
}

QString columnName(int col) {
    QString name;
    while (col > 0) {
        int rem = (col - 1) % 26;
        name.prepend(QChar('A' + rem));
        col = (col - 1) / 26;
    }
    return name;
}

QString cellName(int row, int col) {
    return columnName(col) + QString::number(row);
}

QString rangeName(const CellRange& range) {
    if (range.row1 == range.row2 && range.col1 == range.col2)
        return cellName(range.row1, range.col1);
    return cellName(range.row1, range.col1) + ':' + cellName(range.row2, range.col2);
}

bool parseCellName(QStringView text, int& row, int& col) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    if (i < n && text[i] == '$')
        ++i;
    long c = 0;
    qsizetype letters = 0;
    while (i < n && text[i].isLetter() && text[i].unicode() < 128) {
        c = c * 26 + (text[i].toUpper().unicode() - 'A' + 1);
        ++i;
        if (++letters > 3)
            return false;
    }
    if (letters == 0)
        return false;
    if (i < n && text[i] == '$')
        ++i;
    long r = 0;
    qsizetype digits = 0;
    while (i < n && text[i].isDigit() && text[i].unicode() < 128) {
        r = r * 10 + (text[i].unicode() - '0');
        ++i;
        if (++digits > 6)
            return false;
    }
    if (digits == 0 || i != n || r < 1 || r > kMaxRows || c < 1 || c > kMaxCols)
        return false;
    row = int(r);
    col = int(c);
    return true;
}

bool parseRangeName(QStringView text, CellRange& range) {
    text = text.trimmed();
    const qsizetype colon = text.indexOf(':');
    int r1, c1, r2, c2;
    if (colon < 0) {
        if (!parseCellName(text, r1, c1))
            return false;
        range = CellRange::cell(r1, c1);
        return true;
    }
    if (!parseCellName(text.left(colon), r1, c1) || !parseCellName(text.mid(colon + 1), r2, c2))
        return false;
    range = CellRange(r1, c1, r2, c2).normalized();
    return true;
}
