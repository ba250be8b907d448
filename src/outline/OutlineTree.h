#pragma once

#include <QString>

#include <memory>
#include <vector>

class OutlineNode;

// Told about every change of an OutlineTree, so that a view can follow it
// node by node instead of being rebuilt.
class OutlineObserver {
public:
    virtual ~OutlineObserver() = default;
    virtual void outlineReset() = 0;
    virtual void nodeInserted(OutlineNode* node) = 0;
    virtual void nodeAboutToBeRemoved(OutlineNode* node) = 0;
    // The node (with its subtree) now hangs at its new place.
    virtual void nodeMoved(OutlineNode* node) = 0;
    // Text, icon or expanded state changed.
    virtual void nodeChanged(OutlineNode* node) = 0;
    virtual void currentChanged(OutlineNode* node) = 0;
    virtual void editRequested(OutlineNode* node) = 0;
};

// Folder icons of the tree views.
enum FolderIcon { IconClosed = 0, IconOpen = 1, IconLeaf = 2 };

class OutlineNode {
public:
    OutlineNode* parent() const { return m_parent; }
    int childCount() const { return int(m_children.size()); }
    bool hasChildren() const { return !m_children.empty(); }
    OutlineNode* child(int i) const { return m_children[size_t(i)].get(); }
    OutlineNode* firstChild() const { return hasChildren() ? child(0) : nullptr; }
    OutlineNode* lastChild() const { return hasChildren() ? child(childCount() - 1) : nullptr; }
    int indexInParent() const;
    OutlineNode* prevSibling() const;
    OutlineNode* nextSibling() const;
    // 0 for a top-level node.
    int level() const;
    // Number of nodes below this one.
    int descendantCount() const;
    bool isAncestorOf(const OutlineNode* other) const;

    const QString& text() const { return m_text; }
    int icon() const { return m_icon; }
    bool expanded() const { return m_expanded; }

private:
    friend class OutlineTree;
    OutlineNode* m_parent = nullptr; // the invisible root for top-level nodes
    std::vector<std::unique_ptr<OutlineNode>> m_children;
    QString m_text;
    int m_icon = IconLeaf;
    bool m_expanded = false;
};

// The folder tree of a catalogue as the user sees it. A node's pre-order
// position is its index in the engine's node arrays.
class OutlineTree {
public:
    OutlineTree();
    void setObserver(OutlineObserver* observer) { m_observer = observer; }

    const OutlineNode* root() const { return &m_root; }
    int topLevelCount() const { return m_root.childCount(); }
    OutlineNode* topLevel(int i) const { return m_root.child(i); }
    bool isEmpty() const { return !m_root.hasChildren(); }
    int count() const { return m_root.descendantCount(); }

    // Pre-order position; -1 for null.
    int position(const OutlineNode* node) const;
    OutlineNode* at(int position) const;
    // Nodes of the subtree in pre-order, the node first.
    std::vector<OutlineNode*> subtree(OutlineNode* node) const;
    std::vector<OutlineNode*> preorder() const;
    OutlineNode* lastNode() const;
    // The last node a user sees without scrolling past collapsed folders.
    OutlineNode* lastVisibleNode() const;
    // The parent as the tree's API gives it: null for top-level nodes.
    OutlineNode* parentOf(const OutlineNode* node) const;

    // Building and changing; parent null means top level. Between
    // beginBuilding and finishBuilding nothing is reported but the final reset.
    void beginBuilding();
    void finishBuilding();
    void clear();
    OutlineNode* append(OutlineNode* parent, const QString& text);
    OutlineNode* insertBefore(OutlineNode* sibling, const QString& text);
    void remove(OutlineNode* node);
    // Moves the node with its subtree to index within the new parent (index
    // counted after the node has been taken out; -1 appends).
    void move(OutlineNode* node, OutlineNode* newParent, int index);
    void moveBefore(OutlineNode* node, OutlineNode* sibling);

    void setText(OutlineNode* node, const QString& text);
    void setIcon(OutlineNode* node, int icon);
    void setExpanded(OutlineNode* node, bool expanded);

    OutlineNode* current() const { return m_current; }
    void setCurrent(OutlineNode* node);
    void requestEdit(OutlineNode* node);

private:
    OutlineNode* realParent(OutlineNode* parent) { return parent ? parent : &m_root; }
    OutlineObserver* observer() const { return m_building ? nullptr : m_observer; }

    OutlineNode m_root;
    OutlineNode* m_current = nullptr;
    OutlineObserver* m_observer = nullptr;
    bool m_building = false;
};
