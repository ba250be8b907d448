#include "PageLayout.h"

#include "CellPainter.h"
#include "ChartPainter.h"
#include "SheetLayout.h"

#include "model/Sheet.h"
#include "model/Workbook.h"

#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>
#include <functional>

namespace {
constexpr double kDpi = PageLayout::kGridDpi;
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
    // Title lines repeat on a page that starts past them; they take that page's room.
    const int titleH = titleSize(ps.titleRow1, ps.titleRow2, true);
    const int titleW = titleSize(ps.titleCol1, ps.titleCol2, false);
    m_rowRuns = split(
        m_area.row1, m_area.row2,
        [&](int start) { return titleH > 0 && start > ps.titleRow2 ? roomH - titleH : roomH; },
        sheet.rowBreaks(), [this](int r) { return rowSize(r); });
    m_colRuns = split(
        m_area.col1, m_area.col2,
        [&](int start) { return titleW > 0 && start > ps.titleCol2 ? roomW - titleW : roomW; },
        sheet.colBreaks(), [this](int c) { return colSize(c); });
    for (const CellRange& c : m_colRuns)
        for (const CellRange& r : m_rowRuns) {
            Page page{CellRange(r.row1, c.col1, r.row2, c.col2), int(m_pages.size()) + 1, {}, {}};
            if (titleH > 0 && r.row1 > ps.titleRow2)
                page.titleRows = CellRange(ps.titleRow1, c.col1, ps.titleRow2, c.col2);
            if (titleW > 0 && c.col1 > ps.titleCol2)
                page.titleCols = CellRange(r.row1, ps.titleCol1, r.row2, ps.titleCol2);
            m_pages.append(page);
        }
}

int PageLayout::titleSize(int first, int last, bool rows) const {
    if (first < 1 || last < first)
        return 0;
    int size = 0;
    for (int i = first; i <= last; ++i)
        size += rows ? rowSize(i) : colSize(i);
    return size;
}

QList<int> PageLayout::rowStarts() const {
    QList<int> out;
    for (qsizetype i = 1; i < m_rowRuns.size(); ++i)
        out.append(m_rowRuns[i].row1);
    return out;
}

QList<int> PageLayout::colStarts() const {
    QList<int> out;
    for (qsizetype i = 1; i < m_colRuns.size(); ++i)
        out.append(m_colRuns[i].col1);
    return out;
}

int PageLayout::rowSize(int row) const {
    return m_sheet.rowHidden(row) ? 0 : SheetLayout::rowPixels(m_sheet.rowHeight(row), 100);
}

int PageLayout::colSize(int col) const {
    return m_sheet.colHidden(col) ? 0 : SheetLayout::colPixels(m_sheet.colWidth(col), 100);
}

// Runs of lines that fit the room; each run is returned in both fields of a range
// (row1/row2 and col1/col2 alike) so that one routine serves rows and columns.
QList<CellRange> PageLayout::split(int first, int last, const std::function<int(int)>& room,
                                   const QList<int>& breaks, const std::function<int(int)>& size) {
    QList<CellRange> out;
    int start = first, used = 0, fits = room(first);
    for (int i = first; i <= last; ++i) {
        const int s = size(i);
        const bool manual = i > start && breaks.contains(i);
        if (i > start && (manual || (used + s > fits && used > 0))) {
            out.append(CellRange(start, start, i - 1, i - 1));
            start = i;
            used = 0;
            fits = room(i);
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

    // Title lines first, then the page's own lines.
    QList<int> rowIndexes, colIndexes;
    if (page.titleRows.isValid())
        for (int r = page.titleRows.row1; r <= page.titleRows.row2; ++r)
            rowIndexes.append(r);
    for (int r = page.cells.row1; r <= page.cells.row2; ++r)
        rowIndexes.append(r);
    if (page.titleCols.isValid())
        for (int c = page.titleCols.col1; c <= page.titleCols.col2; ++c)
            colIndexes.append(c);
    for (int c = page.cells.col1; c <= page.cells.col2; ++c)
        colIndexes.append(c);
    int width = m_headWidth, height = m_headHeight;
    for (int c : colIndexes)
        width += colSize(c);
    for (int r : rowIndexes)
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
    cp.setMonochrome(ps.noColor);
    QList<SheetLayout::Line> rows, cols;
    int y = m_headHeight;
    for (int r : rowIndexes)
        if (const int s = rowSize(r)) {
            rows.append({r, y, s});
            y += s;
        }
    int x = m_headWidth;
    for (int c : colIndexes)
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
    QList<CellRange> merged;
    for (const CellRange& m : m_sheet.mergedRanges())
        if (m.intersects(page.cells) ||
            (page.titleRows.isValid() && m.intersects(page.titleRows)) ||
            (page.titleCols.isValid() && m.intersects(page.titleCols)))
            merged.append(m);
    auto inMerged = [&](int r, int c) {
        return std::any_of(merged.begin(), merged.end(),
                           [&](const CellRange& m) { return m.contains(r, c); });
    };
    auto hasContent = [&](int r, int c) {
        const Cell* cell = m_sheet.cell(r, c);
        return cell && cell->hasContent();
    };
    for (const auto& r : rows)
        for (int ci = 0; ci < cols.size(); ++ci) {
            const auto& c = cols[ci];
            if (inMerged(r.index, c.index))
                continue;
            const uint32_t fi = m_sheet.formatIndex(r.index, c.index);
            const QRect rect(c.pos, r.pos, c.size, r.size);
            if (fi)
                cp.paintFill(p, rect, cp.format(fi));
        }
    for (const auto& r : rows)
        for (int ci = 0; ci < cols.size(); ++ci) {
            const auto& c = cols[ci];
            if (inMerged(r.index, c.index))
                continue;
            const QString text = m_sheet.formattedText(r.index, c.index);
            if (text.isEmpty())
                continue;
            const uint32_t fi = m_sheet.formatIndex(r.index, c.index);
            const CellValue::Type type = m_sheet.value(r.index, c.index).type;
            const QRect inner = QRect(c.pos, r.pos, c.size, r.size).adjusted(0, 0, -1, -1);
            QRect clip = inner;
            // A long text runs over the empty cells to its right, as on screen.
            if (!cp.format(fi).wordWrap && type == CellValue::Text &&
                CellPainter::effectiveAlign(cp.format(fi), type) == HAlign::Left)
                for (int k = ci + 1;
                     k < cols.size() && clip.width() < cp.textWidth(fi, text) &&
                     !hasContent(r.index, cols[k].index) && !inMerged(r.index, cols[k].index);
                     ++k)
                    clip.setRight(cols[k].end() - 2);
            cp.paintText(p, inner, clip, fi, text, type);
        }
    for (const auto& r : rows)
        for (const auto& c : cols) {
            const uint32_t fi = m_sheet.formatIndex(r.index, c.index);
            if (fi && !inMerged(r.index, c.index))
                cp.paintBorders(p, QRect(c.pos, r.pos, c.size, r.size), cp.format(fi));
        }
    // The part of a range that lies on the page; empty when none does.
    auto onPage = [&](const CellRange& m) {
        int x1 = -1, x2 = -1, y1 = -1, y2 = -1;
        for (const auto& c : cols)
            if (c.index >= m.col1 && c.index <= m.col2) {
                x1 = x1 < 0 ? c.pos : x1;
                x2 = c.end();
            }
        for (const auto& r : rows)
            if (r.index >= m.row1 && r.index <= m.row2) {
                y1 = y1 < 0 ? r.pos : y1;
                y2 = r.end();
            }
        return x1 < 0 || y1 < 0 ? QRect() : QRect(x1, y1, x2 - x1, y2 - y1);
    };
    // Merged ranges as one cell, cut to the page.
    for (const CellRange& m : merged) {
        const QRect rect = onPage(m);
        if (rect.isEmpty())
            continue;
        const uint32_t fi = m_sheet.formatIndex(m.row1, m.col1);
        p.fillRect(rect.adjusted(0, 0, -1, -1), Qt::white);
        cp.paintFill(p, rect, cp.format(fi));
        const QRect inner = rect.adjusted(0, 0, -1, -1);
        if (rowIndexes.contains(m.row1) && colIndexes.contains(m.col1))
            cp.paintText(p, inner, inner, fi, m_sheet.formattedText(m.row1, m.col1),
                         m_sheet.value(m.row1, m.col1).type);
        cp.paintBorders(p, rect, cp.format(fi));
    }
    for (const ChartObject& chart : m_sheet.charts())
        if (const QRect rect = onPage(chart.frame); !rect.isEmpty())
            ChartPainter(ChartData::of(m_sheet, chart)).paint(p, rect, ps.noColor);
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

int PageLayout::print(const Sheet& sheet, QPagedPaintDevice& device) {
    device.setPageOrientation(sheet.printSettings().landscape ? QPageLayout::Landscape
                                                              : QPageLayout::Portrait);
    device.setPageMargins(QMarginsF(0, 0, 0, 0));
    // Our own margins are drawn; the device's paper is taken in portrait.
    const QSizeF paper = device.pageLayout().pageSize().size(QPageSize::Inch);
    const PageLayout layout(sheet, paper);
    QPainter p;
    if (!p.begin(&device))
        return 0;
    const QRectF target(QPointF(0, 0), QSizeF(device.width(), device.height()));
    for (int i = 0; i < layout.pageCount(); ++i) {
        if (i > 0)
            device.newPage();
        layout.drawPage(p, i, target);
    }
    p.end();
    return layout.pageCount();
}
