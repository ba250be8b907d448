#include "SheetTabBar.h"

#include "model/Workbook.h"

#include <QMouseEvent>

SheetTabBar::SheetTabBar(QWidget* parent) : QTabBar(parent) {
    setShape(QTabBar::TriangularSouth);
    setDrawBase(false);
    setExpanding(false);
    setUsesScrollButtons(true);
    setFocusPolicy(Qt::NoFocus);
}

void SheetTabBar::rebuild(const Workbook& book) {
    m_rebuilding = true;
    const QSignalBlocker block(this);
    while (count() > book.sheetCount())
        removeTab(count() - 1);
    while (count() < book.sheetCount())
        addTab(QString());
    const QColor groupColor = palette().color(QPalette::Highlight);
    for (int i = 1; i <= book.sheetCount(); ++i) {
        setTabText(i - 1, book.sheet(i).name());
        const bool marked = book.isInEditGroup(i) && i != book.activeSheetIndex();
        setTabTextColor(i - 1, marked ? groupColor : palette().color(QPalette::WindowText));
    }
    setCurrentIndex(book.activeSheetIndex() - 1);
    m_rebuilding = false;
}

void SheetTabBar::mousePressEvent(QMouseEvent* event) {
    const int index = tabAt(event->position().toPoint());
    if (index < 0 || event->button() != Qt::LeftButton) {
        QTabBar::mousePressEvent(event);
        return;
    }
    emit sheetClicked(index + 1, event->modifiers());
}
