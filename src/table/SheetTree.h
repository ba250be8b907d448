#pragma once

#include <QList>
#include <QString>

class IdentModel;

// The sheet list of TfmSheets: one node per instance sheet, nested by sheet level.
// Sheets of a deeper level precede the sheet of the level above them.
class SheetTree {
public:
    struct Node {
        QString caption;
        int sheet = 0;
        int level = 1;
        int parent = -1; // node index, -1 for a root
        bool expanded = false;
    };

    // Visits the instance sheets from the last to the first; a blank or 0 level
    // counts as 1 and 1 is written there.
    static SheetTree build(IdentModel& model);

    const QList<Node>& nodes() const { return m_nodes; }
    QList<int> children(int node) const;
    QList<int> roots() const { return children(-1); }
    // Node i shows sheet N - 2 - i.
    int sheetOf(int node) const { return m_nodes.value(node).sheet; }
    bool visible(int node) const;

private:
    void applyExpansion();

    QList<Node> m_nodes;
};
