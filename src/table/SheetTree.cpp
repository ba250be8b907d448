#include "SheetTree.h"

#include "IdentModel.h"
#include "model/Workbook.h"

#include <QMap>

#include <algorithm>

using namespace TableLayout;

namespace {

QString nodeCaption(const IdentModel& model, int sheet) {
    const Sheet& s = model.book().sheet(sheet);
    QStringList parts;
    for (int r = model.firstShownTitleRow(); r <= kLastTitleRow; ++r) {
        if (s.rowHidden(r))
            continue;
        for (int c = kSideCol; c <= 7; ++c) {
            const QString text = s.text(r, c).trimmed();
            if (!text.isEmpty())
                parts << text;
        }
    }
    return parts.isEmpty() ? s.name() : parts.join(u' ');
}

} // namespace

SheetTree SheetTree::build(IdentModel& model) {
    SheetTree tree;
    QMap<int, int> lastOfLevel; // level -> node
    for (int sheet = model.instanceCount(); sheet >= 1; --sheet) {
        int level = model.sheetLevel(sheet);
        if (level <= 0) {
            level = 1;
            model.book().setNumber(sheet, int(TitleRow::Level), kTitleValueCol, 1);
        }
        Node node{nodeCaption(model, sheet), sheet, level, -1, false};
        if (!tree.m_nodes.isEmpty()) {
            const int previous = int(tree.m_nodes.size()) - 1;
            const Node& prev = tree.m_nodes[previous];
            if (level > prev.level)
                node.parent = previous;
            else if (level == prev.level)
                node.parent = prev.parent;
            else
                node.parent =
                    lastOfLevel.contains(level) ? tree.m_nodes[lastOfLevel[level]].parent : -1;
        }
        tree.m_nodes.append(node);
        lastOfLevel[level] = int(tree.m_nodes.size()) - 1;
    }
    tree.applyExpansion();
    return tree;
}

void SheetTree::applyExpansion() {
    if (m_nodes.size() <= 99) {
        for (Node& n : m_nodes)
            n.expanded = true;
        return;
    }
    if (roots().size() != 1)
        return;
    int deepest = 0;
    for (const Node& n : m_nodes)
        deepest = std::max(deepest, n.level);
    if (deepest <= 3) {
        for (Node& n : m_nodes)
            n.expanded = n.parent < 0;
        return;
    }
    for (Node& n : m_nodes)
        n.expanded = n.level < deepest - 1;
}

QList<int> SheetTree::children(int node) const {
    QList<int> result;
    for (int i = 0; i < m_nodes.size(); ++i)
        if (m_nodes[i].parent == node)
            result << i;
    return result;
}

bool SheetTree::visible(int node) const {
    for (int p = m_nodes.value(node).parent; p >= 0; p = m_nodes[p].parent)
        if (!m_nodes[p].expanded)
            return false;
    return true;
}
