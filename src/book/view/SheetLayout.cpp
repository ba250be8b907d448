#include "SheetLayout.h"

#include "model/Sheet.h"

#include <algorithm>
#include <cmath>
#include <functional>

int SheetLayout::rowPixels(int twips, int zoom) {
    return twips <= 0 ? 0 : std::max(1, int(std::lround(twips / 15.0 * zoom / 100.0)));
}

int SheetLayout::colPixels(int width, int zoom) {
    // A character of the default font is 7 pixels, plus the cell's padding.
    return width <= 0 ? 0 : std::max(1, int(std::lround((width * 7.0 / 256 + 5) * zoom / 100.0)));
}

int SheetLayout::twipsFromPixels(int pixels, int zoom) {
    return pixels <= 0 ? 0 : int(std::lround(pixels * 15.0 * 100.0 / zoom));
}

int SheetLayout::widthFromPixels(int pixels, int zoom) {
    const double chars = (pixels * 100.0 / zoom - 5) / 7.0;
    return pixels <= 0 || chars <= 0 ? 0 : int(std::lround(chars * 256));
}

int SheetLayout::rowSize(int row) const {
    if (m_sheet->rowHidden(row))
        return 0;
    return rowPixels(m_sheet->rowHeight(row), m_zoom);
}

int SheetLayout::colSize(int col) const {
    if (m_sheet->colHidden(col))
        return 0;
    return colPixels(m_sheet->colWidth(col), m_zoom);
}

void SheetLayout::addLines(QVector<Line>& out, int from, int to, int& pos, int limit,
                           const std::function<int(int)>& size) {
    for (int i = from; i <= to && pos < limit; ++i) {
        const int s = size(i);
        if (s > 0) {
            out.append({i, pos, s});
            pos += s;
        }
    }
}

void SheetLayout::build(const Sheet& sheet, QPoint origin, QSize area, int topRow, int leftCol) {
    m_sheet = &sheet;
    m_zoom = sheet.options().zoom;
    m_origin = origin;
    m_area = area;
    m_frozenRows = std::min(sheet.options().frozenRows, sheet.maxRow() - 1);
    m_frozenCols = std::min(sheet.options().frozenCols, sheet.maxCol() - 1);
    m_topRow = std::clamp(topRow, m_frozenRows + 1, sheet.maxRow());
    m_leftCol = std::clamp(leftCol, m_frozenCols + 1, sheet.maxCol());
    m_rows.clear();
    m_cols.clear();
    const int bottom = origin.y() + area.height();
    const int right = origin.x() + area.width();
    auto rs = [this](int r) { return rowSize(r); };
    auto cs = [this](int c) { return colSize(c); };
    int y = origin.y();
    addLines(m_rows, 1, m_frozenRows, y, bottom, rs);
    m_scrollTop = y;
    addLines(m_rows, m_topRow, sheet.maxRow(), y, bottom, rs);
    int x = origin.x();
    addLines(m_cols, 1, m_frozenCols, x, right, cs);
    m_scrollLeft = x;
    addLines(m_cols, m_leftCol, sheet.maxCol(), x, right, cs);
}

int SheetLayout::linePos(const QVector<Line>& lines, int index, int first, int frozen,
                         int scrollStart, bool rows) const {
    auto size = [&](int i) { return rows ? rowSize(i) : colSize(i); };
    if (index <= frozen) {
        int pos = rows ? m_origin.y() : m_origin.x();
        for (int i = 1; i < index; ++i)
            pos += size(i);
        return pos;
    }
    for (const Line& l : lines)
        if (l.index == index)
            return l.pos;
    int pos = scrollStart;
    if (index < first) {
        for (int i = index; i < first; ++i)
            pos -= size(i);
        return pos;
    }
    for (int i = first; i < index; ++i)
        pos += size(i);
    return pos;
}

int SheetLayout::rowPos(int row) const {
    return linePos(m_rows, row, m_topRow, m_frozenRows, m_scrollTop, true);
}

int SheetLayout::colPos(int col) const {
    return linePos(m_cols, col, m_leftCol, m_frozenCols, m_scrollLeft, false);
}

QRect SheetLayout::cellRect(int row, int col) const {
    return {colPos(col), rowPos(row), colSize(col), rowSize(row)};
}

QRect SheetLayout::rangeRect(const CellRange& range) const {
    const int x1 = colPos(range.col1);
    const int y1 = rowPos(range.row1);
    const int x2 = colPos(range.col2) + colSize(range.col2);
    const int y2 = rowPos(range.row2) + rowSize(range.row2);
    return {x1, y1, x2 - x1, y2 - y1};
}

int SheetLayout::rowAt(int y) const {
    for (const Line& l : m_rows)
        if (y >= l.pos && y < l.end())
            return l.index;
    return 0;
}

int SheetLayout::colAt(int x) const {
    for (const Line& l : m_cols)
        if (x >= l.pos && x < l.end())
            return l.index;
    return 0;
}

int SheetLayout::lastFullRow() const {
    int last = m_topRow;
    for (const Line& l : m_rows)
        if (l.index >= m_topRow && l.end() <= m_origin.y() + m_area.height())
            last = l.index;
    return last;
}

int SheetLayout::lastFullCol() const {
    int last = m_leftCol;
    for (const Line& l : m_cols)
        if (l.index >= m_leftCol && l.end() <= m_origin.x() + m_area.width())
            last = l.index;
    return last;
}
