#include "TBook.h"

#include "DropDownLayer.h"

#include <QKeyEvent>
#include <QScrollBar>

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
    m_selectedChart = 0;
    storeViewState();
    updateEditBar();
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

// Ctrl+arrow: to the end of the run of filled cells, or to the next filled cell, or to
// the sheet's edge.
QPoint TBook::dataEdge(int row, int col, int dRow, int dCol) const {
    const Sheet& s = activeSheet();
    auto filled = [&s](int r, int c) {
        const Cell* cell = s.cell(r, c);
        return cell && cell->hasContent();
    };
    auto next = [&](int r, int c) {
        return dRow ? QPoint(c, stepRow(r, dRow)) : QPoint(stepCol(c, dCol), r);
    };
    QPoint at(col, row);
    QPoint n = next(row, col);
    if (n == at)
        return at;
    if (filled(row, col) && filled(n.y(), n.x())) {
        while (true) {
            const QPoint after = next(n.y(), n.x());
            if (after == n || !filled(after.y(), after.x()))
                return n;
            n = after;
        }
    }
    while (!filled(n.y(), n.x())) {
        const QPoint after = next(n.y(), n.x());
        if (after == n)
            return n;
        n = after;
    }
    return n;
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
    if (ctrl) {
        const int dRow = e->key() == Qt::Key_Up ? -1 : e->key() == Qt::Key_Down ? 1 : 0;
        const int dCol = e->key() == Qt::Key_Left ? -1 : e->key() == Qt::Key_Right ? 1 : 0;
        if (dRow || dCol) {
            const QPoint to =
                dataEdge(shift ? m_extRow : m_curRow, shift ? m_extCol : m_curCol, dRow, dCol);
            moveCursor(to.y(), to.x(), shift);
            return true;
        }
        if (e->key() == Qt::Key_PageDown || e->key() == Qt::Key_PageUp) {
            setSheet(std::clamp(sheet() + (e->key() == Qt::Key_PageDown ? 1 : -1), 1, numSheets()));
            return true;
        }
    }
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
    if (chartKey(e))
        return;
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
    case Qt::Key_Backspace:
        startEdit(QString(), false);
        return;
    case Qt::Key_A:
        if (e->modifiers() & Qt::ControlModifier) {
            setSelection(stepRow(0, 1), stepCol(0, 1), maxRow(), maxCol());
            return;
        }
        break;
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

// Tab and Shift+Tab move the active cell instead of the focus.
bool TBook::focusNextPrevChild(bool) {
    return false;
}
