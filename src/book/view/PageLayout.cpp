#include "PageLayout.h"

#include "CellPainter.h"
#include "SheetLayout.h"

#include "model/Sheet.h"
#include "model/Workbook.h"

#include <QPainter>

#include <functional>

namespace {
constexpr double kDpi = 96.0; // the unit of the cell grid
}

PageLayout::PageLayout(const Sheet& sheet, QSizeF paper) : m_sheet(sheet), m_paper(paper) {
    const PrintSettings& ps = sheet.printSettings();
    if (ps.landscape)
        m_paper.transpose();
    m_area = ps.printArea.isValid()
                 ? ps.printArea.normalized()
                 : CellRange(1, 1, std::max(1, sheet.lastRow()), std::max(1, sheet.lastCol()));
    m_headWidth = ps.rowHeadings ? 40 : 0;
    m_headHeight = ps.colHeadings ? 18 : 0;
    const double scale = std::clamp(ps.scale, 10, 400) / 100.0;
    const int roomW =
        int((m_paper.width() - ps.leftMargin - ps.rightMargin) * kDpi / scale) - m_headWidth;
    const int roomH =
        int((m_paper.height() - ps.topMargin - ps.bottomMargin) * kDpi / scale) - m_headHeight;
    const auto rows = split(m_area.row1, m_area.row2, roomH, sheet.rowBreaks(),
                            [this](int r) { return rowSize(r); });
    const auto cols = split(m_area.col1, m_area.col2, roomW, sheet.colBreaks(),
                            [this](int c) { return colSize(c); });
    for (const CellRange& c : cols)
        for (const CellRange& r : rows)
            m_pages.append({CellRange(r.row1, c.col1, r.row2, c.col2), int(m_pages.size()) + 1});
}

int PageLayout::rowSize(int row) const {
    return m_sheet.rowHidden(row) ? 0 : SheetLayout::rowPixels(m_sheet.rowHeight(row), 100);
}

int PageLayout::colSize(int col) const {
    return m_sheet.colHidden(col) ? 0 : SheetLayout::colPixels(m_sheet.colWidth(col), 100);
}

// Runs of lines that fit the room; each run is returned in both fields of a range
// (row1/row2 and col1/col2 alike) so that one routine serves rows and columns.
QList<CellRange> PageLayout::split(int first, int last, int room, const QList<int>& breaks,
                                   const std::function<int(int)>& size) {
    QList<CellRange> out;
    int start = first, used = 0;
    for (int i = first; i <= last; ++i) {
        const int s = size(i);
        const bool manual = i > start && breaks.contains(i);
        if (i > start && (manual || (used + s > room && used > 0))) {
            out.append(CellRange(start, start, i - 1, i - 1));
            start = i;
            used = 0;
        }
        used += s;
    }
    out.append(CellRange(start, start, last, last));
    return out;
}

void PageLayout::drawPage(QPainter& p, int index, const QRectF& target,
                          const QDateTime& now) const {
    if (index < 0 || index >= pageCount())
        return;
    const Page& page = m_pages[index];
    const PrintSettings& ps = m_sheet.printSettings();
    const double unit = target.width() / (m_paper.width() * kDpi); // device units per pixel
    const double scale = std::clamp(ps.scale, 10, 400) / 100.0;

    p.save();
    p.fillRect(target, Qt::white);
    // Header and footer at their margins, in the sheet's default font.
    QFont hf(m_sheet.defaultFont().name);
    hf.setPixelSize(std::max(1, int(10 * 96.0 / 72.0 * unit)));
    p.setFont(hf);
    p.setPen(Qt::black);
    const QString name = m_sheet.name();
    const QString header =
        PrintSettings::expandCodes(ps.header, page.number, pageCount(), name, now);
    const QString footer =
        PrintSettings::expandCodes(ps.footer, page.number, pageCount(), name, now);
    const QRectF band(target.left(), target.top() + ps.headerMargin * kDpi * unit, target.width(),
                      hf.pixelSize() * 1.5);
    if (!header.isEmpty())
        p.drawText(band, Qt::AlignHCenter | Qt::AlignTop, header);
    if (!footer.isEmpty())
        p.drawText(QRectF(target.left(),
                          target.bottom() - ps.footerMargin * kDpi * unit - band.height(),
                          target.width(), band.height()),
                   Qt::AlignHCenter | Qt::AlignBottom, footer);

    int width = m_headWidth, height = m_headHeight;
    for (int c = page.cells.col1; c <= page.cells.col2; ++c)
        width += colSize(c);
    for (int r = page.cells.row1; r <= page.cells.row2; ++r)
        height += rowSize(r);
    double x0 = ps.leftMargin * kDpi, y0 = ps.topMargin * kDpi;
    const double roomW = (m_paper.width() - ps.leftMargin - ps.rightMargin) * kDpi;
    const double roomH = (m_paper.height() - ps.topMargin - ps.bottomMargin) * kDpi;
    if (ps.centerHorizontally)
        x0 += std::max(0.0, (roomW - width * scale) / 2);
    if (ps.centerVertically)
        y0 += std::max(0.0, (roomH - height * scale) / 2);
    p.translate(target.topLeft());
    p.scale(unit, unit);
    p.translate(x0, y0);
    p.scale(scale, scale);

    CellPainter cp(m_sheet, 100);
    QList<SheetLayout::Line> rows, cols;
    int y = m_headHeight;
    for (int r = page.cells.row1; r <= page.cells.row2; ++r)
        if (const int s = rowSize(r)) {
            rows.append({r, y, s});
            y += s;
        }
    int x = m_headWidth;
    for (int c = page.cells.col1; c <= page.cells.col2; ++c)
        if (const int s = colSize(c)) {
            cols.append({c, x, s});
            x += s;
        }
    if (ps.gridLines) {
        p.setPen(QColor(0xC0, 0xC0, 0xC0));
        for (const auto& r : rows)
            p.drawLine(m_headWidth, r.end() - 1, x - 1, r.end() - 1);
        for (const auto& c : cols)
            p.drawLine(c.end() - 1, m_headHeight, c.end() - 1, y - 1);
    }
    for (const auto& r : rows)
        for (const auto& c : cols) {
            const uint32_t fi = m_sheet.formatIndex(r.index, c.index);
            const QRect rect(c.pos, r.pos, c.size, r.size);
            if (fi)
                cp.paintFill(p, rect, cp.format(fi));
            const QString text = m_sheet.formattedText(r.index, c.index);
            if (!text.isEmpty()) {
                const QRect inner = rect.adjusted(0, 0, -1, -1);
                cp.paintText(p, inner, inner, fi, text, m_sheet.value(r.index, c.index).type);
            }
            if (fi)
                cp.paintBorders(p, rect, cp.format(fi));
        }
    p.setPen(Qt::black);
    QFont headFont(m_sheet.defaultFont().name);
    headFont.setPixelSize(12);
    p.setFont(headFont);
    if (m_headHeight > 0)
        for (const auto& c : cols)
            p.drawText(QRect(c.pos, 0, c.size, m_headHeight), Qt::AlignCenter, columnName(c.index));
    if (m_headWidth > 0)
        for (const auto& r : rows)
            p.drawText(QRect(0, r.pos, m_headWidth, r.size), Qt::AlignCenter,
                       QString::number(r.index));
    p.restore();
}
