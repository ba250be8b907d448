#include "DirectoryWindowParts.h"

#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace DirectoryWindowParts {

QMenu* operationsMenu(QWidget* window, QVBoxLayout* layout) {
    auto* bar = new QMenuBar(window);
    layout->setMenuBar(bar);
    return bar->addMenu(QStringLiteral("Операции"));
}

QAction* addItem(QMenu* menu, const QString& caption, const QKeySequence& key) {
    QAction* a = menu->addAction(caption);
    a->setShortcut(key);
    return a;
}

QToolButton* addToolButton(QWidget* panel, const QString& hint, QStyle::StandardPixmap pixmap) {
    auto* b = new QToolButton(panel);
    b->setToolTip(hint);
    b->setIcon(panel->style()->standardIcon(pixmap));
    b->setAutoRaise(true);
    panel->layout()->addWidget(b);
    return b;
}

} // namespace DirectoryWindowParts
