#include "TBook.h"

#include "LineFit.h"

#include <QMouseEvent>
#include <QScrollBar>
#include <QWheelEvent>

TBook::Hit TBook::hitTest(QPoint pos, int& row, int& col) const {
    const SheetLayout& l = layout();
    row = l.rowAt(pos.y());
    col = l.colAt(pos.x());
    const bool inRowHeads = pos.x() < l.origin().x();
    const bool inColHeads = pos.y() < l.origin().y();
    if (inRowHeads && inColHeads)
        return Hit::Corner;
    if (inColHeads)
        return col ? Hit::ColHeading : Hit::None;
    if (inRowHeads)
        return row ? Hit::RowHeading : Hit::None;
    return row && col ? Hit::Cell : Hit::None;
}

// The row or column whose far edge lies under the pointer in a heading, 0 when none.
int TBook::resizeHandle(QPoint pos, bool& rows) const {
    const SheetLayout& l = layout();
    const int grip = 3;
    if (pos.y() < l.origin().y() && pos.x() >= l.origin().x()) {
        rows = false;
        for (const auto& c : l.cols())
            if (std::abs(pos.x() - c.end()) <= grip)
                return c.index;
    }
    if (pos.x() < l.origin().x() && pos.y() >= l.origin().y()) {
        rows = true;
        for (const auto& r : l.rows())
            if (std::abs(pos.y() - r.end()) <= grip)
                return r.index;
    }
    return 0;
}

void TBook::mousePressEvent(QMouseEvent* e) {
    setFocus();
    if (m_editor && !endEdit())
        return;
    const QPoint pos = e->position().toPoint();
    const bool shift = e->modifiers() & Qt::ShiftModifier;
    int row = 0, col = 0;
    const Hit hit = hitTest(pos, row, col);
    if (e->button() == Qt::RightButton) {
        if (hit == Hit::Cell) {
            if (!selection().contains(row, col))
                moveCursor(row, col, false);
            emit OnRClick(row, col);
        }
        return;
    }
    if (e->button() != Qt::LeftButton)
        return;
    bool rows = false;
    if (const int line = resizeHandle(pos, rows)) {
        m_drag = rows ? Drag::RowSize : Drag::ColSize;
        m_dragLine = line;
        m_dragStart = rows ? pos.y() : pos.x();
        m_dragStartSize = rows ? layout().rowSize(line) : layout().colSize(line);
        return;
    }
    if (hit == Hit::Cell && m_mode == ChartMode) {
        m_drag = Drag::Chart;
        m_chartDrag = CellRange::cell(row, col);
        viewport()->update();
        return;
    }
    if (hit == Hit::Cell && !shift) {
        if (const int chart = activeSheet().chartAt(row, col)) {
            m_selectedChart = chart;
            viewport()->update();
            return;
        }
    }
    switch (hit) {
    case Hit::Cell: {
        m_drag = Drag::Cells;
        // A merged range is one cell: its top-left one holds the content.
        const CellRange* merged = nullptr;
        for (const CellRange& m : activeSheet().mergedRanges())
            if (!shift && m.contains(row, col))
                merged = &m;
        if (merged) {
            m_curRow = merged->row1;
            m_curCol = merged->col1;
            m_extRow = merged->row2;
            m_extCol = merged->col2;
            ensureVisible(m_curRow, m_curCol);
            selectionChanged();
        } else {
            moveCursor(row, col, shift);
        }
        emit OnClick(m_curRow, m_curCol);
        break;
    }
    case Hit::RowHeading:
        m_drag = Drag::Rows;
        if (shift) {
            m_extRow = row;
            m_curCol = 1;
            m_extCol = maxCol();
        } else {
            m_curRow = m_extRow = row;
            m_curCol = stepCol(0, 1);
            m_extCol = maxCol();
        }
        selectionChanged();
        break;
    case Hit::ColHeading:
        m_drag = Drag::Cols;
        if (shift) {
            m_extCol = col;
            m_curRow = 1;
            m_extRow = maxRow();
        } else {
            m_curCol = m_extCol = col;
            m_curRow = stepRow(0, 1);
            m_extRow = maxRow();
        }
        selectionChanged();
        break;
    case Hit::Corner:
        m_curRow = stepRow(0, 1);
        m_curCol = stepCol(0, 1);
        m_extRow = maxRow();
        m_extCol = maxCol();
        selectionChanged();
        break;
    case Hit::None:
        break;
    }
}

void TBook::mouseMoveEvent(QMouseEvent* e) {
    const QPoint pos = e->position().toPoint();
    const int zoom = viewScale();
    if (m_drag == Drag::RowSize || m_drag == Drag::ColSize) {
        const int pixels = std::max(
            0, m_dragStartSize + (m_drag == Drag::RowSize ? pos.y() : pos.x()) - m_dragStart);
        if (m_drag == Drag::RowSize)
            activeSheet().setRowHeight(m_dragLine, SheetLayout::twipsFromPixels(pixels, zoom));
        else
            activeSheet().setColWidth(m_dragLine, SheetLayout::widthFromPixels(pixels, zoom));
        return;
    }
    if (m_drag == Drag::None) {
        bool rows = false;
        if (resizeHandle(pos, rows))
            viewport()->setCursor(rows ? Qt::SplitVCursor : Qt::SplitHCursor);
        else
            viewport()->unsetCursor();
        return;
    }
    const SheetLayout& l = layout();
    const int row = l.rowAt(std::clamp(pos.y(), l.origin().y(), viewport()->height() - 1));
    const int col = l.colAt(std::clamp(pos.x(), l.origin().x(), viewport()->width() - 1));
    if (m_drag == Drag::Chart && row && col) {
        m_chartDrag.row2 = row;
        m_chartDrag.col2 = col;
        viewport()->update();
    } else if (m_drag == Drag::Cells && row && col && (row != m_extRow || col != m_extCol))
        moveCursor(row, col, true);
    else if (m_drag == Drag::Rows && row && row != m_extRow) {
        m_extRow = row;
        selectionChanged();
    } else if (m_drag == Drag::Cols && col && col != m_extCol) {
        m_extCol = col;
        selectionChanged();
    }
}

void TBook::mouseReleaseEvent(QMouseEvent* e) {
    if (m_drag == Drag::RowSize || m_drag == Drag::ColSize)
        userModified();
    if (m_drag == Drag::Chart)
        placeChart(m_chartDrag);
    m_drag = Drag::None;
    const QPoint pos = e->position().toPoint();
    emit OnMouseUp(e->button(), e->modifiers(), pos.x(), pos.y());
}

void TBook::mouseDoubleClickEvent(QMouseEvent* e) {
    int row = 0, col = 0;
    bool rows = false;
    if (e->button() == Qt::LeftButton) {
        // A double click on a column's border fits the column to its widest text.
        const int line = resizeHandle(e->position().toPoint(), rows);
        if (line && !rows) {
            m_drag = Drag::None;
            fitColumn(line);
            return;
        }
    }
    if (e->button() == Qt::LeftButton && hitTest(e->position().toPoint(), row, col) == Hit::Cell) {
        moveCursor(row, col, false);
        startEdit(m_book->entry(row, col), true);
    }
}

void TBook::wheelEvent(QWheelEvent* e) {
    const int steps = e->angleDelta().y() / 40;
    if (steps == 0)
        return;
    if (e->modifiers() & Qt::ControlModifier) {
        setViewScale(viewScale() + (steps > 0 ? 10 : -10));
        return;
    }
    verticalScrollBar()->setValue(stepRow(verticalScrollBar()->value(), -steps));
}

void TBook::fitColumn(int col) {
    const int before = activeSheet().colWidth(col);
    LineFit::columns(activeSheet(), col, col);
    if (activeSheet().colWidth(col) != before)
        userModified();
}
