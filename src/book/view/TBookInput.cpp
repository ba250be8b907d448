#include "TBook.h"

#include "DropDownLayer.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScrollBar>
#include <QWheelEvent>

CellRange TBook::selection() const {
    return CellRange(m_curRow, m_curCol, m_extRow, m_extCol).normalized();
}

QString TBook::selectionText() const {
    return rangeName(selection());
}

void TBook::setSelectionText(const QString& text) {
    CellRange r;
    if (parseRangeName(text, r))
        setSelection(r.row1, r.col1, r.row2, r.col2);
}

void TBook::setActiveCell(int row, int col) {
    setSelection(row, col, row, col);
}

void TBook::setSelection(int row1, int col1, int row2, int col2) {
    if (m_editor)
        closeEditor();
    m_curRow = std::clamp(row1, 1, maxRow());
    m_curCol = std::clamp(col1, 1, maxCol());
    m_extRow = std::clamp(row2, 1, maxRow());
    m_extCol = std::clamp(col2, 1, maxCol());
    ensureVisible(m_curRow, m_curCol);
    selectionChanged();
}

void TBook::selectionChanged() {
    storeViewState();
    if (m_showEditBar)
        updateChrome();
    else
        refresh();
    if (m_doSelChange)
        emit OnSelChange();
}

// The next row that is shown, `delta` visible rows away; stops at the sheet's edge.
int TBook::stepRow(int row, int delta) const {
    const Sheet& s = activeSheet();
    const int dir = delta < 0 ? -1 : 1;
    int r = row;
    for (int n = std::abs(delta); n > 0; --n) {
        int next = r + dir;
        while (next >= 1 && next <= maxRow() && s.rowHidden(next))
            next += dir;
        if (next < 1 || next > maxRow())
            break;
        r = next;
    }
    return r;
}

int TBook::stepCol(int col, int delta) const {
    const Sheet& s = activeSheet();
    const int dir = delta < 0 ? -1 : 1;
    int c = col;
    for (int n = std::abs(delta); n > 0; --n) {
        int next = c + dir;
        while (next >= 1 && next <= maxCol() && s.colHidden(next))
            next += dir;
        if (next < 1 || next > maxCol())
            break;
        c = next;
    }
    return c;
}

void TBook::moveCursor(int row, int col, bool extend) {
    row = std::clamp(row, 1, maxRow());
    col = std::clamp(col, 1, maxCol());
    if (extend) {
        m_extRow = row;
        m_extCol = col;
    } else {
        m_curRow = m_extRow = row;
        m_curCol = m_extCol = col;
    }
    ensureVisible(row, col);
    selectionChanged();
}

void TBook::moveBy(int dRow, int dCol, bool extend) {
    const int fromRow = extend ? m_extRow : m_curRow;
    const int fromCol = extend ? m_extCol : m_curCol;
    moveCursor(dRow ? stepRow(fromRow, dRow) : fromRow, dCol ? stepCol(fromCol, dCol) : fromCol,
               extend);
}

void TBook::ensureVisible(int row, int col) {
    const SheetLayout& l = layout();
    bool moved = false;
    if (row > fixedRows()) {
        if (row < m_topRow) {
            m_topRow = row;
            moved = true;
        } else if (row > l.lastFullRow() && l.lastFullRow() >= m_topRow) {
            // Scroll just far enough for the row to show in full at the bottom.
            int top = m_topRow;
            const int room = viewport()->height() - l.scrollTop();
            int used = 0;
            for (int r = row; r > fixedRows(); --r) {
                used += l.rowSize(r);
                if (used > room)
                    break;
                top = r;
            }
            m_topRow = std::max(top, m_topRow + 1);
            moved = true;
        }
    }
    if (col > fixedCols()) {
        if (col < m_leftCol) {
            m_leftCol = col;
            moved = true;
        } else if (col > l.lastFullCol() && l.lastFullCol() >= m_leftCol) {
            int left = m_leftCol;
            const int room = viewport()->width() - l.scrollLeft();
            int used = 0;
            for (int c = col; c > fixedCols(); --c) {
                used += l.colSize(c);
                if (used > room)
                    break;
                left = c;
            }
            m_leftCol = std::max(left, m_leftCol + 1);
            moved = true;
        }
    }
    if (moved) {
        m_layoutDirty = true;
        updateScrollBars();
        m_dropDowns->place();
    }
}

bool TBook::handleNavigationKey(QKeyEvent* e) {
    const bool shift = e->modifiers() & Qt::ShiftModifier;
    const bool ctrl = e->modifiers() & Qt::ControlModifier;
    const int page = std::max(1, layout().lastFullRow() - layout().topRow());
    switch (e->key()) {
    case Qt::Key_Up:
        moveBy(-1, 0, shift);
        return true;
    case Qt::Key_Down:
        moveBy(1, 0, shift);
        return true;
    case Qt::Key_Left:
        moveBy(0, -1, shift);
        return true;
    case Qt::Key_Right:
        moveBy(0, 1, shift);
        return true;
    case Qt::Key_PageUp:
        m_topRow = std::max(fixedRows() + 1, stepRow(m_topRow, -page));
        m_layoutDirty = true;
        moveBy(-page, 0, shift);
        updateScrollBars();
        return true;
    case Qt::Key_PageDown:
        m_topRow = stepRow(m_topRow, page);
        m_layoutDirty = true;
        moveBy(page, 0, shift);
        updateScrollBars();
        return true;
    case Qt::Key_Home:
        if (ctrl)
            moveCursor(stepRow(0, 1), stepCol(0, 1), shift);
        else
            moveCursor(shift ? m_extRow : m_curRow, stepCol(0, 1), shift);
        return true;
    case Qt::Key_End:
        if (ctrl)
            moveCursor(std::max(1, lastRow()), std::max(1, lastCol()), shift);
        return ctrl;
    case Qt::Key_Tab:
        moveBy(0, 1, false);
        return true;
    case Qt::Key_Backtab:
        moveBy(0, -1, false);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        moveBy(shift ? -1 : 1, 0, false);
        return true;
    default:
        return false;
    }
}

void TBook::keyPressEvent(QKeyEvent* e) {
    int key = e->key();
    emit OnKeyDown(&key, e->modifiers());
    if (key == 0)
        return;
    if (e->matches(QKeySequence::Copy)) {
        editCopy();
        return;
    }
    if (e->matches(QKeySequence::Cut)) {
        editCut();
        return;
    }
    if (e->matches(QKeySequence::Paste)) {
        editPaste();
        return;
    }
    if (handleNavigationKey(e))
        return;
    switch (e->key()) {
    case Qt::Key_F2:
        startEdit(m_book->entry(m_curRow, m_curCol), true);
        return;
    case Qt::Key_Delete:
        editClear(ClearWhat::Values);
        return;
    default:
        break;
    }
    const QString text = e->text();
    if (!text.isEmpty() && text.at(0).isPrint() &&
        !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        startEdit(text, false);
        return;
    }
    QAbstractScrollArea::keyPressEvent(e);
}

void TBook::keyReleaseEvent(QKeyEvent* e) {
    emit OnKeyUp(e->key(), e->modifiers());
    QAbstractScrollArea::keyReleaseEvent(e);
}

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
    switch (hit) {
    case Hit::Cell:
        m_drag = Drag::Cells;
        moveCursor(row, col, shift);
        emit OnClick(row, col);
        break;
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
    if (m_drag == Drag::Cells && row && col && (row != m_extRow || col != m_extCol))
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
    m_drag = Drag::None;
    const QPoint pos = e->position().toPoint();
    emit OnMouseUp(e->button(), e->modifiers(), pos.x(), pos.y());
}

void TBook::mouseDoubleClickEvent(QMouseEvent* e) {
    int row = 0, col = 0;
    if (e->button() == Qt::LeftButton && hitTest(e->position().toPoint(), row, col) == Hit::Cell) {
        moveCursor(row, col, false);
        startEdit(m_book->entry(row, col), true);
    }
}

void TBook::wheelEvent(QWheelEvent* e) {
    const int steps = e->angleDelta().y() / 40;
    if (steps == 0)
        return;
    verticalScrollBar()->setValue(stepRow(verticalScrollBar()->value(), -steps));
}

// Tab and Shift+Tab move the active cell instead of the focus.
bool TBook::focusNextPrevChild(bool) {
    return false;
}
