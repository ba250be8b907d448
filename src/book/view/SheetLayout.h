#pragma once

#include "model/CellAddress.h"

#include <QRect>
#include <QVector>

#include <functional>

class Sheet;

// Where rows and columns of a sheet land on screen for one scroll position: frozen lines
// first, then the scrolling ones from the top row / left column; hidden lines take no
// room. Built per paint, so its cost follows the viewport, never the sheet.
class SheetLayout {
public:
    struct Line {
        int index = 0; // row or column number
        int pos = 0;   // pixel where the line starts
        int size = 0;  // pixels
        int end() const { return pos + size; }
    };

    // Twips and 1/256 character to pixels at a zoom in per cent.
    static int rowPixels(int twips, int zoom);
    static int colPixels(int width, int zoom);
    static int twipsFromPixels(int pixels, int zoom);
    static int widthFromPixels(int pixels, int zoom);

    // `origin` is the top-left pixel of the cell area (right of the row headings and
    // below the column headings).
    void build(const Sheet& sheet, QPoint origin, QSize area, int topRow, int leftCol);

    const QVector<Line>& rows() const { return m_rows; }
    const QVector<Line>& cols() const { return m_cols; }
    int rowSize(int row) const;
    int colSize(int col) const;
    // Pixel where a row or column starts, also for lines outside the viewport.
    int rowPos(int row) const;
    int colPos(int col) const;
    QRect cellRect(int row, int col) const;
    QRect rangeRect(const CellRange& range) const;
    // The row/column under a pixel, 0 when none.
    int rowAt(int y) const;
    int colAt(int x) const;
    // Where the scrolling part starts (below/right of the frozen lines).
    int scrollTop() const { return m_scrollTop; }
    int scrollLeft() const { return m_scrollLeft; }
    int frozenRows() const { return m_frozenRows; }
    int frozenCols() const { return m_frozenCols; }
    int topRow() const { return m_topRow; }
    int leftCol() const { return m_leftCol; }
    // Last row/column fully inside the area.
    int lastFullRow() const;
    int lastFullCol() const;
    QPoint origin() const { return m_origin; }

private:
    static void addLines(QVector<Line>& out, int from, int to, int& pos, int limit,
                         const std::function<int(int)>& size);
    int linePos(const QVector<Line>& lines, int index, int first, int frozen, int scrollStart,
                bool rows) const;

    const Sheet* m_sheet = nullptr;
    int m_zoom = 100;
    QPoint m_origin;
    QSize m_area;
    int m_topRow = 1, m_leftCol = 1;
    int m_frozenRows = 0, m_frozenCols = 0;
    int m_scrollTop = 0, m_scrollLeft = 0;
    QVector<Line> m_rows, m_cols;
};
