#include "CellPainter.h"
#include "TBook.h"

#include <QPaintEvent>
#include <QPainter>

namespace {

// The merged ranges that reach into the viewport.
QList<CellRange> visibleMerged(const Sheet& sheet, const SheetLayout& l) {
    QList<CellRange> out;
    if (sheet.mergedRanges().isEmpty() || l.rows().isEmpty() || l.cols().isEmpty())
        return out;
    const CellRange frozenAndScrolled(1, 1, l.rows().last().index, l.cols().last().index);
    for (const CellRange& m : sheet.mergedRanges())
        if (m.intersects(frozenAndScrolled))
            out.append(m);
    return out;
}

bool inMerged(const QList<CellRange>& merged, int row, int col) {
    for (const CellRange& m : merged)
        if (m.contains(row, col))
            return true;
    return false;
}

} // namespace

void TBook::paintEvent(QPaintEvent* event) {
    if (!m_repaint)
        return;
    QPainter p(viewport());
    const QRect area = viewport()->rect();
    p.fillRect(event->rect(), Qt::white);
    const SheetLayout& l = layout();
    paintCells(p, l, area);
    paintSelection(p, l);
    paintCharts(p, l);
    paintHeadings(p, l);
}

void TBook::paintCells(QPainter& p, const SheetLayout& l, const QRect& area) {
    const Sheet& s = activeSheet();
    CellPainter cp(s, s.options().zoom);
    const QList<CellRange> merged = visibleMerged(s, l);
    const CellStore& store = s.cells();
    const QRect cellArea(l.origin(), area.bottomRight());
    p.setClipRect(cellArea);

    if (s.options().showGrid) {
        p.setPen(QColor(0xD0, 0xD0, 0xD0));
        const int right = l.cols().isEmpty() ? l.origin().x() : l.cols().last().end() - 1;
        const int bottom = l.rows().isEmpty() ? l.origin().y() : l.rows().last().end() - 1;
        for (const auto& r : l.rows())
            p.drawLine(l.origin().x(), r.end() - 1, right, r.end() - 1);
        for (const auto& c : l.cols())
            p.drawLine(c.end() - 1, l.origin().y(), c.end() - 1, bottom);
    }

    // Fills first, then texts (which may run over empty neighbours), then borders.
    for (const auto& r : l.rows()) {
        const CellRow* line = store.rowAt(r.index);
        if (!line)
            continue;
        for (const auto& c : l.cols()) {
            const Cell* cell = line->at(c.index);
            if (cell && cell->format && !inMerged(merged, r.index, c.index))
                cp.paintFill(p, QRect(c.pos, r.pos, c.size, r.size), cp.format(cell->format));
        }
    }
    for (const auto& r : l.rows()) {
        const CellRow* line = store.rowAt(r.index);
        if (!line)
            continue;
        for (int ci = 0; ci < l.cols().size(); ++ci) {
            const auto& c = l.cols()[ci];
            const Cell* cell = line->at(c.index);
            if (!cell || !cell->hasContent() || inMerged(merged, r.index, c.index))
                continue;
            const QString text = s.formattedText(r.index, c.index);
            if (text.isEmpty())
                continue;
            const CellValue::Type type = s.options().showFormulas && cell->kind == CellKind::Formula
                                             ? CellValue::Text
                                             : s.value(r.index, c.index).type;
            const QRect rect(c.pos, r.pos, c.size - 1, r.size - 1);
            QRect clip = rect;
            const CellFormat& f = cp.format(cell->format);
            const HAlign align = CellPainter::effectiveAlign(f, type);
            if (!f.wordWrap && type != CellValue::Number &&
                cp.textWidth(cell->format, text) > rect.width()) {
                auto empty = [&](int k) {
                    const auto& n = l.cols()[k];
                    const Cell* other = line->at(n.index);
                    return !(other && other->hasContent()) && !inMerged(merged, r.index, n.index);
                };
                const int need = cp.textWidth(cell->format, text);
                if (align != HAlign::Right)
                    for (int k = ci + 1; k < l.cols().size() && clip.width() < need && empty(k);
                         ++k)
                        clip.setRight(l.cols()[k].end() - 2);
                if (align == HAlign::Right || align == HAlign::Center)
                    for (int k = ci - 1; k >= 0 && clip.width() < need && empty(k); --k)
                        clip.setLeft(l.cols()[k].pos);
            }
            cp.paintText(p, rect, clip, cell->format, text, type);
        }
    }
    paintRunIn(p, l, cp, merged);
    for (const auto& r : l.rows()) {
        const CellRow* line = store.rowAt(r.index);
        if (!line)
            continue;
        for (const auto& c : l.cols()) {
            const Cell* cell = line->at(c.index);
            if (cell && cell->format && !inMerged(merged, r.index, c.index))
                cp.paintBorders(p, QRect(c.pos, r.pos, c.size, r.size), cp.format(cell->format));
        }
    }
    paintMerged(p, l, cp);

    if (l.frozenRows() > 0 && l.scrollTop() > l.origin().y()) {
        p.setPen(Qt::black);
        p.drawLine(l.origin().x(), l.scrollTop() - 1, area.right(), l.scrollTop() - 1);
    }
    if (l.frozenCols() > 0 && l.scrollLeft() > l.origin().x()) {
        p.setPen(Qt::black);
        p.drawLine(l.scrollLeft() - 1, l.origin().y(), l.scrollLeft() - 1, area.bottom());
    }
    p.setClipping(false);
}

// A text in a column scrolled off to the left still runs over the empty cells it reaches.
void TBook::paintRunIn(QPainter& p, const SheetLayout& l, CellPainter& cp,
                       const QList<CellRange>& merged) {
    const Sheet& s = activeSheet();
    if (l.leftCol() <= l.frozenCols() + 1)
        return;
    const int lookBack = 30;
    for (const auto& r : l.rows()) {
        const CellRow* line = s.cells().rowAt(r.index);
        if (!line)
            continue;
        int from = 0;
        for (int c = l.leftCol() - 1; c > l.frozenCols() && c >= l.leftCol() - lookBack; --c) {
            const Cell* cell = line->at(c);
            if (cell && cell->hasContent()) {
                from = c;
                break;
            }
        }
        if (!from || s.colHidden(from) || inMerged(merged, r.index, from))
            continue;
        const Cell* cell = line->at(from);
        const CellValue::Type type = s.value(r.index, from).type;
        const CellFormat& f = cp.format(cell->format);
        if (type != CellValue::Text || f.wordWrap ||
            CellPainter::effectiveAlign(f, type) != HAlign::Left)
            continue;
        const QString text = s.formattedText(r.index, from);
        const QRect rect(l.colPos(from), r.pos, l.colSize(from) - 1, r.size - 1);
        const int need = rect.left() + cp.textWidth(cell->format, text);
        if (need <= l.scrollLeft())
            continue;
        QRect clip(l.scrollLeft(), r.pos, 0, r.size - 1);
        for (const auto& c : l.cols()) {
            if (c.index < l.leftCol())
                continue;
            const Cell* other = line->at(c.index);
            if ((other && other->hasContent()) || inMerged(merged, r.index, c.index) ||
                clip.right() >= need)
                break;
            clip.setRight(c.end() - 2);
        }
        if (clip.width() > 0)
            cp.paintText(p, rect, clip, cell->format, text, type);
    }
}

void TBook::paintMerged(QPainter& p, const SheetLayout& l, CellPainter& cp) {
    const Sheet& s = activeSheet();
    const QRect view(l.origin(), viewport()->rect().bottomRight());
    for (const CellRange& m : visibleMerged(s, l)) {
        QRect pane = view;
        if (m.row1 > l.frozenRows())
            pane.setTop(l.scrollTop());
        if (m.col1 > l.frozenCols())
            pane.setLeft(l.scrollLeft());
        const QRect rect = l.rangeRect(m);
        p.save();
        p.setClipRect(pane);
        const uint32_t fi = s.formatIndex(m.row1, m.col1);
        const CellFormat& f = cp.format(fi);
        p.fillRect(rect.adjusted(0, 0, -1, -1), Qt::white);
        cp.paintFill(p, rect, f);
        const QString text = s.formattedText(m.row1, m.col1);
        const QRect inner = rect.adjusted(0, 0, -1, -1);
        cp.paintText(p, inner, inner, fi, text, s.value(m.row1, m.col1).type);
        cp.paintBorders(p, rect, f);
        p.restore();
    }
}

void TBook::paintSelection(QPainter& p, const SheetLayout& l) {
    const CellRange sel = selection();
    const QRect view(l.origin(), viewport()->rect().bottomRight());
    // The selection is drawn per pane so that frozen lines cut it as they cut the cells.
    for (int pr = 0; pr < 2; ++pr) {
        for (int pc = 0; pc < 2; ++pc) {
            QRect pane = view;
            if (pr == 0)
                pane.setBottom(l.scrollTop() - 1);
            else
                pane.setTop(l.scrollTop());
            if (pc == 0)
                pane.setRight(l.scrollLeft() - 1);
            else
                pane.setLeft(l.scrollLeft());
            if (pane.isEmpty())
                continue;
            p.save();
            p.setClipRect(pane);
            const QRect rect = l.rangeRect(sel);
            QColor shade = palette().color(QPalette::Highlight);
            shade.setAlpha(50);
            if (sel.rowCount() > 1 || sel.colCount() > 1) {
                QRegion region(rect);
                region -= QRegion(l.cellRect(m_curRow, m_curCol));
                p.setClipRegion(region, Qt::IntersectClip);
                p.fillRect(rect, shade);
                p.setClipRect(pane);
            }
            QPen pen(palette().color(QPalette::Highlight).darker(130));
            pen.setWidth(2);
            p.setPen(pen);
            p.setBrush(Qt::NoBrush);
            p.drawRect(rect.adjusted(0, 0, -1, -1));
            p.restore();
        }
    }
}

void TBook::paintHeadings(QPainter& p, const SheetLayout& l) {
    const Sheet& s = activeSheet();
    const CellRange sel = selection();
    const QColor face(0xF0, 0xF0, 0xF0), marked(0xD8, 0xDC, 0xE8), line(0xA0, 0xA0, 0xA0);
    p.setFont(headingFont());
    const int hw = l.origin().x(), hh = l.origin().y();
    if (hh > 0) {
        p.fillRect(QRect(0, 0, viewport()->width(), hh), face);
        for (const auto& c : l.cols()) {
            const QRect r(c.pos, 0, c.size, hh);
            if (c.index >= sel.col1 && c.index <= sel.col2)
                p.fillRect(r, marked);
            p.setPen(line);
            p.drawLine(r.right(), 0, r.right(), hh - 1);
            p.setPen(Qt::black);
            const QString text = s.colHeading(c.index);
            p.drawText(r, Qt::AlignCenter, text.isEmpty() ? columnName(c.index) : text);
        }
        p.setPen(line);
        p.drawLine(0, hh - 1, viewport()->width(), hh - 1);
    }
    if (hw > 0) {
        p.fillRect(QRect(0, hh, hw, viewport()->height() - hh), face);
        for (const auto& r : l.rows()) {
            const QRect rect(0, r.pos, hw, r.size);
            if (r.index >= sel.row1 && r.index <= sel.row2)
                p.fillRect(rect, marked);
            p.setPen(line);
            p.drawLine(0, rect.bottom(), hw - 1, rect.bottom());
            p.setPen(Qt::black);
            const QString text = s.rowHeading(r.index);
            p.drawText(rect, Qt::AlignCenter, text.isEmpty() ? QString::number(r.index) : text);
        }
        p.setPen(line);
        p.drawLine(hw - 1, hh, hw - 1, viewport()->height());
    }
    if (hw > 0 && hh > 0)
        p.fillRect(QRect(0, 0, hw - 1, hh - 1), face.darker(105));
}
