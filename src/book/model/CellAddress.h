#pragma once

#include <QString>
#include <QStringView>

// Rows and columns count from 1, as the table layout addresses them.
constexpr int kMaxRows = 16384;
constexpr int kMaxCols = 256;

struct CellRange {
    int row1 = 0;
    int col1 = 0;
    int row2 = 0;
    int col2 = 0;

    CellRange() = default;
    CellRange(int r1, int c1, int r2, int c2) : row1(r1), col1(c1), row2(r2), col2(c2) {}
    static CellRange cell(int r, int c) { return {r, c, r, c}; }

    bool isValid() const { return row1 >= 1 && col1 >= 1 && row2 >= row1 && col2 >= col1; }
    bool contains(int r, int c) const { return r >= row1 && r <= row2 && c >= col1 && c <= col2; }
    bool intersects(const CellRange& o) const {
        return row1 <= o.row2 && o.row1 <= row2 && col1 <= o.col2 && o.col1 <= col2;
    }
    int rowCount() const { return row2 - row1 + 1; }
    int colCount() const { return col2 - col1 + 1; }
    CellRange normalized() const;
    bool operator==(const CellRange&) const = default;
};

// "A", "Z", "AA" … for 1, 26, 27 …
QString columnName(int col);
QString cellName(int row, int col);
QString rangeName(const CellRange& range);
// Parses "B7", "$B$7" or "b7"; false when the text is not a cell address in the sheet bounds.
bool parseCellName(QStringView text, int& row, int& col);
// Parses "A1" or "A1:C5" (either corner first).
bool parseRangeName(QStringView text, CellRange& range);
