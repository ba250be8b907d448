#pragma once

#include "model/CellAddress.h"

#include <QDateTime>
#include <QList>
#include <QRectF>
#include <QSizeF>

class QPainter;
class Sheet;

// Lays a sheet's print area out on pages (print settings, manual breaks, scale,
// headings, grid) and draws one page on any QPainter: printer, preview image or PDF.
// A manual break at row r (column c) starts a new page with that row (column).
class PageLayout {
public:
    struct Page {
        CellRange cells;
        int number = 1; // 1-based, down first, then across
    };

    // `paper` in inches, portrait; the sheet's landscape setting turns it.
    PageLayout(const Sheet& sheet, QSizeF paper = QSizeF(8.27, 11.69));

    const QList<Page>& pages() const { return m_pages; }
    int pageCount() const { return int(m_pages.size()); }
    QSizeF paperInches() const { return m_paper; }
    // Draws page `index` (0-based) filling `target`, the whole sheet of paper in device
    // units; `now` feeds the &D and &T codes of the header and footer.
    void drawPage(QPainter& p, int index, const QRectF& target,
                  const QDateTime& now = QDateTime::currentDateTime()) const;

private:
    static QList<CellRange> split(int first, int last, int room, const QList<int>& breaks,
                                  const std::function<int(int)>& size);
    int rowSize(int row) const;
    int colSize(int col) const;

    const Sheet& m_sheet;
    QSizeF m_paper;
    CellRange m_area;
    int m_headWidth = 0;
    int m_headHeight = 0;
    QList<Page> m_pages;
};
