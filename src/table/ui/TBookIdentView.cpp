#include "TBookIdentView.h"

#include "TBook.h"

#include <QLabel>

TBookIdentView::TBookIdentView(TBook* book, std::array<QLabel*, 3> panels,
                               std::function<void(IdentMode)> onModeChanged)
    : m_book(book), m_onModeChanged(std::move(onModeChanged)) {
    for (std::size_t i = 0; i < panels.size(); ++i)
        m_panels[i] = panels[i];
}

void TBookIdentView::showSheet(int sheet) {
    m_book->setSheet(sheet);
}

void TBookIdentView::setSheetTabsShown(bool shown) {
    m_book->setShowTabs(shown);
}

void TBookIdentView::setSelectionEvents(bool on) {
    m_book->setDoSelChange(on);
}

int TBookIdentView::cursorRow() const {
    return m_book->activeRow();
}

int TBookIdentView::cursorCol() const {
    return m_book->activeCol();
}

void TBookIdentView::setCursor(int row, int col) {
    m_book->setActiveCell(row, col);
}

void TBookIdentView::scrollTo(int topRow, int leftCol) {
    m_book->setTopRow(topRow);
    m_book->setLeftCol(leftCol);
}

void TBookIdentView::setRowLimit(int rows) {
    m_book->setMaxRow(rows);
}

void TBookIdentView::setFrozen(int rows, int cols) {
    m_book->setFixedRows(rows);
    m_book->setFixedCols(cols);
}

void TBookIdentView::setStatusText(int panel, const QString& text) {
    if (panel >= 0 && panel < int(m_panels.size()) && m_panels[panel])
        m_panels[panel]->setText(text);
}

void TBookIdentView::modeChanged(IdentMode mode) {
    if (m_onModeChanged)
        m_onModeChanged(mode);
}

void TBookIdentView::finishEdit() {
    if (m_book && m_book->isEditing() && !m_book->endEdit())
        m_book->cancelEdit();
}

bool TBookIdentView::editBarShown() const {
    return m_book && m_book->showEditBar();
}

void TBookIdentView::setEditBarShown(bool shown) {
    if (m_book)
        m_book->setShowEditBar(shown);
}
