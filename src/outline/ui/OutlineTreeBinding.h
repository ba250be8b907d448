#pragma once

#include "OutlineTree.h"

#include <QHash>
#include <QIcon>
#include <QList>
#include <QObject>

#include <functional>

class OutlineTreeWidget;
class QTreeWidgetItem;
enum class DropZone;

// Shows an OutlineTree in a tree widget and passes the user's actions on:
// selection, expanding and collapsing, the end of a caption edit, drops.
class OutlineTreeBinding : public QObject, public OutlineObserver {
    Q_OBJECT
public:
    // icons: closed folder, open folder, folder without sub-folders.
    OutlineTreeBinding(OutlineTreeWidget& view, OutlineTree& tree, QList<QIcon> icons = {});
    ~OutlineTreeBinding() override;

    std::function<void(OutlineNode*)> onSelect;
    std::function<void(OutlineNode*)> onExpandedChanged;
    std::function<void(OutlineNode*, const QString&)> onEdited;
    std::function<void(OutlineNode*, DropZone)> onDrop;
    // Every change of the current node, whoever made it (the user, a command, a rebuild).
    std::function<void(OutlineNode*)> onCurrentShown;

    QTreeWidgetItem* itemOf(const OutlineNode* node) const { return m_items.value(node); }
    OutlineNode* nodeOf(const QTreeWidgetItem* item) const { return m_nodes.value(item); }

    void outlineReset() override;
    void nodeInserted(OutlineNode* node) override;
    void nodeAboutToBeRemoved(OutlineNode* node) override;
    void nodeMoved(OutlineNode* node) override;
    void nodeChanged(OutlineNode* node) override;
    void currentChanged(OutlineNode* node) override;
    void editRequested(OutlineNode* node) override;

private:
    QTreeWidgetItem* makeItem(OutlineNode* node);
    void place(OutlineNode* node, QTreeWidgetItem* item);
    void show(OutlineNode* node, QTreeWidgetItem* item);
    void forget(OutlineNode* node);

    OutlineTreeWidget& m_view;
    OutlineTree& m_tree;
    QList<QIcon> m_icons;
    QHash<const OutlineNode*, QTreeWidgetItem*> m_items;
    QHash<const QTreeWidgetItem*, OutlineNode*> m_nodes;
    bool m_syncing = false;
};
