#pragma once

#include "OutlineEngine.h"

#include <QTreeWidget>

#include <functional>

// The tree view of an outline catalogue: drags its own folders and tells
// where a drop landed instead of moving items itself.
class OutlineTreeWidget : public QTreeWidget {
    Q_OBJECT
public:
    explicit OutlineTreeWidget(QWidget* parent = nullptr);

    // A caption is being edited (keys its editor leaves unused come on to the tree).
    bool captionEditing() const { return state() == EditingState; }

    // The drop zone of a point of the viewport, and the item under it (null below all items).
    DropZone zoneAt(const QPoint& point, QTreeWidgetItem** item) const;

    // Asked before a double click collapses an expanded item; false leaves it
    // open. Without a guard the view collapses as it always does.
    using CollapseGuard = std::function<bool(QTreeWidgetItem*)>;
    void setCollapseGuard(CollapseGuard guard) { m_collapseGuard = std::move(guard); }

signals:
    void itemDropped(QTreeWidgetItem* target, DropZone zone);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    CollapseGuard m_collapseGuard;
};
