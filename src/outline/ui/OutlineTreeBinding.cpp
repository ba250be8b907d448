#include "OutlineTreeBinding.h"

#include "OutlineTreeWidget.h"

#include <QStyle>

OutlineTreeBinding::OutlineTreeBinding(OutlineTreeWidget& view, OutlineTree& tree,
                                       QList<QIcon> icons)
    : m_view(view), m_tree(tree), m_icons(std::move(icons)) {
    if (m_icons.size() < 3) {
        QStyle* style = view.style();
        m_icons = {style->standardIcon(QStyle::SP_DirClosedIcon),
                   style->standardIcon(QStyle::SP_DirOpenIcon),
                   style->standardIcon(QStyle::SP_DirIcon)};
    }
    m_tree.setObserver(this);
    connect(&view, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (!m_syncing && onSelect && m_nodes.contains(item))
            onSelect(m_nodes.value(item));
    });
    const auto expandedChanged = [this](QTreeWidgetItem* item, bool expanded) {
        OutlineNode* node = m_nodes.value(item);
        if (m_syncing || !node)
            return;
        m_tree.setExpanded(node, expanded);
        if (onExpandedChanged)
            onExpandedChanged(node);
    };
    connect(&view, &QTreeWidget::itemExpanded, this,
            [expandedChanged](QTreeWidgetItem* item) { expandedChanged(item, true); });
    connect(&view, &QTreeWidget::itemCollapsed, this,
            [expandedChanged](QTreeWidgetItem* item) { expandedChanged(item, false); });
    connect(&view, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item) {
        OutlineNode* node = m_nodes.value(item);
        if (m_syncing || !node || item->text(0) == node->text())
            return;
        const QString typed = item->text(0);
        // The caption shows what is stored until the window has stored the new one.
        m_syncing = true;
        item->setText(0, node->text());
        m_syncing = false;
        if (onEdited)
            onEdited(node, typed);
    });
    connect(&view, &OutlineTreeWidget::itemDropped, this,
            [this](QTreeWidgetItem* target, DropZone zone) {
                if (onDrop)
                    onDrop(m_nodes.value(target), zone);
            });
    outlineReset();
}

OutlineTreeBinding::~OutlineTreeBinding() {
    m_tree.setObserver(nullptr);
}

void OutlineTreeBinding::show(OutlineNode* node, QTreeWidgetItem* item) {
    const bool was = m_syncing;
    m_syncing = true;
    item->setText(0, node->text());
    const QIcon& icon = m_icons.value(node->icon());
    // The selected state shows the same picture as the normal one.
    item->setIcon(0, icon);
    item->setExpanded(node->expanded());
    m_syncing = was;
}

QTreeWidgetItem* OutlineTreeBinding::makeItem(OutlineNode* node) {
    auto* item = new QTreeWidgetItem;
    item->setFlags(item->flags() | Qt::ItemIsEditable | Qt::ItemIsDragEnabled |
                   Qt::ItemIsDropEnabled);
    m_items.insert(node, item);
    m_nodes.insert(item, node);
    return item;
}

void OutlineTreeBinding::place(OutlineNode* node, QTreeWidgetItem* item) {
    OutlineNode* parent = m_tree.parentOf(node);
    const int index = node->indexInParent();
    if (parent)
        m_items.value(parent)->insertChild(index, item);
    else
        m_view.insertTopLevelItem(index, item);
}

void OutlineTreeBinding::outlineReset() {
    m_syncing = true;
    m_view.setUpdatesEnabled(false);
    m_view.clear();
    m_items.clear();
    m_nodes.clear();
    for (OutlineNode* node : m_tree.preorder()) {
        QTreeWidgetItem* item = makeItem(node);
        place(node, item);
    }
    for (OutlineNode* node : m_tree.preorder())
        show(node, m_items.value(node));
    m_view.setUpdatesEnabled(true);
    m_syncing = false;
    currentChanged(m_tree.current());
}

void OutlineTreeBinding::nodeInserted(OutlineNode* node) {
    QTreeWidgetItem* item = makeItem(node);
    m_syncing = true;
    place(node, item);
    m_syncing = false;
    show(node, item);
}

void OutlineTreeBinding::forget(OutlineNode* node) {
    for (OutlineNode* n : m_tree.subtree(node)) {
        m_nodes.remove(m_items.value(n));
        m_items.remove(n);
    }
}

void OutlineTreeBinding::nodeAboutToBeRemoved(OutlineNode* node) {
    QTreeWidgetItem* item = m_items.value(node);
    forget(node);
    m_syncing = true;
    delete item;
    m_syncing = false;
}

void OutlineTreeBinding::nodeMoved(OutlineNode* node) {
    QTreeWidgetItem* item = m_items.value(node);
    m_syncing = true;
    if (QTreeWidgetItem* parent = item->parent())
        parent->takeChild(parent->indexOfChild(item));
    else
        m_view.takeTopLevelItem(m_view.indexOfTopLevelItem(item));
    place(node, item);
    m_syncing = false;
    // Taking an item out forgets the expanded state of its subtree and the current item.
    for (OutlineNode* n : m_tree.subtree(node))
        show(n, m_items.value(n));
    if (m_tree.current() == node || node->isAncestorOf(m_tree.current()))
        currentChanged(m_tree.current());
}

void OutlineTreeBinding::nodeChanged(OutlineNode* node) {
    if (QTreeWidgetItem* item = m_items.value(node))
        show(node, item);
}

void OutlineTreeBinding::currentChanged(OutlineNode* node) {
    m_syncing = true;
    m_view.setCurrentItem(m_items.value(node));
    m_syncing = false;
    if (onCurrentShown)
        onCurrentShown(node);
}

void OutlineTreeBinding::editRequested(OutlineNode* node) {
    if (QTreeWidgetItem* item = m_items.value(node)) {
        m_view.scrollToItem(item);
        m_view.editItem(item, 0);
    }
}
