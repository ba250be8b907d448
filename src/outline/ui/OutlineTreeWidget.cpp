#include "OutlineTreeWidget.h"

#include <QDropEvent>
#include <QHeaderView>
#include <QMouseEvent>

OutlineTreeWidget::OutlineTreeWidget(QWidget* parent) : QTreeWidget(parent) {
    setHeaderHidden(true);
    setColumnCount(1);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDropIndicatorShown(false);
    setEditTriggers(QAbstractItemView::EditKeyPressed);
    setSelectionMode(QAbstractItemView::SingleSelection);
}

DropZone OutlineTreeWidget::zoneAt(const QPoint& point, QTreeWidgetItem** item) const {
    QTreeWidgetItem* target = itemAt(point);
    if (item)
        *item = target;
    if (!target)
        return DropZone::Below;
    const QRect rect = visualItemRect(target);
    const int iconEnd = rect.left() + iconSize().width() + 4;
    if (point.x() < iconEnd)
        return DropZone::Before;
    const int textEnd = iconEnd + fontMetrics().horizontalAdvance(target->text(0)) + 6;
    return point.x() <= textEnd ? DropZone::LastChild : DropZone::Elsewhere;
}

// Only folders dragged from a tree view are taken.
void OutlineTreeWidget::dragEnterEvent(QDragEnterEvent* event) {
    if (qobject_cast<QTreeView*>(event->source()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void OutlineTreeWidget::dragMoveEvent(QDragMoveEvent* event) {
    if (qobject_cast<QTreeView*>(event->source()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void OutlineTreeWidget::dropEvent(QDropEvent* event) {
    if (!qobject_cast<QTreeView*>(event->source())) {
        event->ignore();
        return;
    }
    QTreeWidgetItem* target = nullptr;
    const DropZone zone = zoneAt(event->position().toPoint(), &target);
    // The engine moves the folder; the view only follows it.
    event->setDropAction(Qt::IgnoreAction);
    event->accept();
    emit itemDropped(target, zone);
}

void OutlineTreeWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    QTreeWidgetItem* item = itemAt(point);
    // A double click on the branch sign is the view's own business.
    const bool onCaption = item && point.x() >= visualItemRect(item).left();
    if (!m_collapseGuard || !onCaption || !item->isExpanded() || item->childCount() == 0 ||
        !expandsOnDoubleClick() || state() != NoState) {
        QTreeWidget::mouseDoubleClickEvent(event);
        return;
    }
    // The guard may ask for a password, so it runs before the item closes.
    event->accept();
    if (m_collapseGuard(item))
        item->setExpanded(false);
}
