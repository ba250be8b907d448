#pragma once

#include "ObjectFilter.h"
#include "PickedEntry.h"

#include <QList>
#include <QString>

// The node picker's tree of one aggregation directory without its widget: the depth
// of every node, which branches are open and which nodes are marked. Marking follows
// what the user sees: a mark on an opened branch takes its shown descendants along.
class NodeMarks {
public:
    // The nodes in tree order (NPP); a node hangs under the last node of the level above.
    void load(int numAgr, const QList<AgrNode>& nodes);
    int numAgr() const { return m_numAgr; }
    int size() const { return int(m_nodes.size()); }
    const AgrNode& node(int i) const { return m_nodes[i]; }
    int depth(int i) const { return m_depth[i]; } // 0 for top-level nodes
    int parent(int i) const { return m_parent[i]; }

    bool isExpanded(int i) const { return m_expanded[i]; }
    void setExpanded(int i, bool open) { m_expanded[i] = open; }
    // Every ancestor is open.
    bool isShown(int i) const;
    int nextShown(int i) const;

    bool isMarked(int i) const { return m_marked[i]; }
    int markedCount() const;
    // Space or a right click on node i: it and the shown nodes of its branch take the
    // opposite of its mark. Returns the node to select next (i itself at the end).
    int toggle(int i);
    // "Весь справочник объектов": every branch opened, every node marked.
    void markAll();
    void clearMarks();

    // The marked nodes in tree order with their relative depths.
    QList<PickedEntry> chosen() const;

    // The text of a node with the code prefix: the code, blanks up to the width of the
    // greatest code plus one, the name.
    QString prefixedText(int i) const;
    static QString codeText(double code);

private:
    int m_numAgr = 0;
    QList<AgrNode> m_nodes;
    QList<int> m_depth;
    QList<int> m_parent;
    QList<bool> m_expanded;
    QList<bool> m_marked;
    int m_codeWidth = 0;
};
