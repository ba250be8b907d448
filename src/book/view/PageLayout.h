#pragma once

#include "model/CellAddress.h"

#include <QDateTime>
#include <QList>
#include <QRectF>
#include <QSizeF>

#include <functional>

class QPagedPaintDevice;
class QPainter;
class Sheet;

// Lays a sheet's print area out on pages (print settings, manual breaks, scale,
// headings, grid, title rows and columns repeated) and draws one page on any QPainter:
// printer, preview image or PDF. This is the one place pages are cut.
// A manual break at row r (column c) starts a new page with that row (column).
//
// Units: paper and margins in inches; row heights and column widths are taken as grid
// units, one pixel at 100 % zoom = 1/96 inch (kGridDpi); the print scale divides the
// room of a page in grid units. A page holds at least one row and one column.
class PageLayout {
public:
    static constexpr double kGridDpi = 96.0;

    struct Page {
        CellRange cells;
        int number = 1; // 1-based, down first, then across
        // Title lines printed above / left of the cells (invalid when none).
        CellRange titleRows;
        CellRange titleCols;
    };

    // `paper` in inches, portrait; the sheet's landscape setting turns it.
    PageLayout(const Sheet& sheet, QSizeF paper = QSizeF(8.27, 11.69));

    const QList<Page>& pages() const { return m_pages; }
    int pageCount() const { return int(m_pages.size()); }
    // The first row (column) of every page after the first, down (across): where
    // page breaks fall.
    QList<int> rowStarts() const;
    QList<int> colStarts() const;
    QSizeF paperInches() const { return m_paper; }
    // Draws page `index` (0-based) filling `target`, the whole sheet of paper in device
    // units; `now` feeds the &D and &T codes of the header and footer.
    void drawPage(QPainter& p, int index, const QRectF& target,
                  const QDateTime& now = QDateTime::currentDateTime()) const;

    // Prints every page on a printer or PDF writer, on its paper size (the sheet's
    // orientation is set on the device); gives the number of pages printed.
    static int print(const Sheet& sheet, QPagedPaintDevice& device);

private:
    // Runs of lines that fit; `room(start)` is the room of a page starting at `start`.
    static QList<CellRange> split(int first, int last, const std::function<int(int)>& room,
                                  const QList<int>& breaks, const std::function<int(int)>& size);
    int titleSize(int first, int last, bool rows) const;
    int rowSize(int row) const;
    int colSize(int col) const;

    const Sheet& m_sheet;
    QSizeF m_paper;
    CellRange m_area;
    int m_headWidth = 0;
    int m_headHeight = 0;
    QList<Page> m_pages;
    QList<CellRange> m_rowRuns, m_colRuns;
};
