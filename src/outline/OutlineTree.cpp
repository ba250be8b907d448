#include "OutlineTree.h"

#include <algorithm>

int OutlineNode::indexInParent() const {
    if (!m_parent)
        return -1;
    const auto& list = m_parent->m_children;
    for (size_t i = 0; i < list.size(); ++i)
        if (list[i].get() == this)
            return int(i);
    return -1;
}

OutlineNode* OutlineNode::prevSibling() const {
    const int i = indexInParent();
    return i > 0 ? m_parent->child(i - 1) : nullptr;
}

OutlineNode* OutlineNode::nextSibling() const {
    const int i = indexInParent();
    return i >= 0 && i + 1 < m_parent->childCount() ? m_parent->child(i + 1) : nullptr;
}

int OutlineNode::level() const {
    int level = -1;
    for (const OutlineNode* p = m_parent; p; p = p->m_parent)
        ++level;
    return level;
}

int OutlineNode::descendantCount() const {
    int n = 0;
    std::vector<const OutlineNode*> stack{this};
    while (!stack.empty()) {
        const OutlineNode* node = stack.back();
        stack.pop_back();
        for (const auto& c : node->m_children) {
            ++n;
            stack.push_back(c.get());
        }
    }
    return n;
}

bool OutlineNode::isAncestorOf(const OutlineNode* other) const {
    for (const OutlineNode* p = other ? other->m_parent : nullptr; p; p = p->m_parent)
        if (p == this)
            return true;
    return false;
}

OutlineTree::OutlineTree() = default;

int OutlineTree::position(const OutlineNode* node) const {
    if (!node || node == &m_root)
        return -1;
    // Everything before the node: each ancestor-or-self's earlier siblings with
    // their subtrees, plus the ancestors themselves.
    int pos = 0;
    for (const OutlineNode* n = node; n->m_parent; n = n->m_parent) {
        const int index = n->indexInParent();
        for (int i = 0; i < index; ++i)
            pos += 1 + n->m_parent->child(i)->descendantCount();
        if (n->m_parent != &m_root)
            pos += 1;
    }
    return pos;
}

OutlineNode* OutlineTree::at(int position) const {
    if (position < 0)
        return nullptr;
    const OutlineNode* node = &m_root;
    int skip = position;
    while (true) {
        bool descended = false;
        for (const auto& c : node->m_children) {
            const int size = 1 + c->descendantCount();
            if (skip < size) {
                if (skip == 0)
                    return c.get();
                --skip;
                node = c.get();
                descended = true;
                break;
            }
            skip -= size;
        }
        if (!descended)
            return nullptr;
    }
}

std::vector<OutlineNode*> OutlineTree::subtree(OutlineNode* node) const {
    std::vector<OutlineNode*> out;
    std::vector<OutlineNode*> stack{node};
    while (!stack.empty()) {
        OutlineNode* n = stack.back();
        stack.pop_back();
        out.push_back(n);
        for (auto it = n->m_children.rbegin(); it != n->m_children.rend(); ++it)
            stack.push_back(it->get());
    }
    return out;
}

std::vector<OutlineNode*> OutlineTree::preorder() const {
    std::vector<OutlineNode*> out;
    for (const auto& c : m_root.m_children) {
        const auto part = subtree(c.get());
        out.insert(out.end(), part.begin(), part.end());
    }
    return out;
}

OutlineNode* OutlineTree::lastNode() const {
    const OutlineNode* n = &m_root;
    while (n->hasChildren())
        n = n->lastChild();
    return n == &m_root ? nullptr : const_cast<OutlineNode*>(n);
}

OutlineNode* OutlineTree::lastVisibleNode() const {
    OutlineNode* n = m_root.lastChild();
    while (n && n->m_expanded && n->hasChildren())
        n = n->lastChild();
    return n;
}

OutlineNode* OutlineTree::parentOf(const OutlineNode* node) const {
    return node && node->m_parent != &m_root ? node->m_parent : nullptr;
}

void OutlineTree::clear() {
    m_current = nullptr;
    m_root.m_children.clear();
    if (observer())
        observer()->outlineReset();
}

OutlineNode* OutlineTree::append(OutlineNode* parent, const QString& text) {
    OutlineNode* p = realParent(parent);
    auto node = std::make_unique<OutlineNode>();
    node->m_parent = p;
    node->m_text = text;
    OutlineNode* raw = node.get();
    p->m_children.push_back(std::move(node));
    if (observer())
        observer()->nodeInserted(raw);
    return raw;
}

OutlineNode* OutlineTree::insertBefore(OutlineNode* sibling, const QString& text) {
    OutlineNode* p = sibling->m_parent;
    auto node = std::make_unique<OutlineNode>();
    node->m_parent = p;
    node->m_text = text;
    OutlineNode* raw = node.get();
    p->m_children.insert(p->m_children.begin() + sibling->indexInParent(), std::move(node));
    if (observer())
        observer()->nodeInserted(raw);
    return raw;
}

void OutlineTree::remove(OutlineNode* node) {
    if (observer())
        observer()->nodeAboutToBeRemoved(node);
    if (m_current && (m_current == node || node->isAncestorOf(m_current)))
        m_current = nullptr;
    OutlineNode* p = node->m_parent;
    p->m_children.erase(p->m_children.begin() + node->indexInParent());
}

void OutlineTree::move(OutlineNode* node, OutlineNode* newParent, int index) {
    OutlineNode* old = node->m_parent;
    auto it = old->m_children.begin() + node->indexInParent();
    std::unique_ptr<OutlineNode> owned = std::move(*it);
    old->m_children.erase(it);
    OutlineNode* p = realParent(newParent);
    owned->m_parent = p;
    if (index < 0 || index > p->childCount())
        index = p->childCount();
    p->m_children.insert(p->m_children.begin() + index, std::move(owned));
    if (observer())
        observer()->nodeMoved(node);
}

void OutlineTree::moveBefore(OutlineNode* node, OutlineNode* sibling) {
    OutlineNode* old = node->m_parent;
    auto it = old->m_children.begin() + node->indexInParent();
    std::unique_ptr<OutlineNode> owned = std::move(*it);
    old->m_children.erase(it);
    OutlineNode* p = sibling->m_parent;
    owned->m_parent = p;
    p->m_children.insert(p->m_children.begin() + sibling->indexInParent(), std::move(owned));
    if (observer())
        observer()->nodeMoved(node);
}

void OutlineTree::beginBuilding() {
    m_building = true;
    m_current = nullptr;
    m_root.m_children.clear();
}

void OutlineTree::finishBuilding() {
    m_building = false;
    if (m_observer)
        m_observer->outlineReset();
}

void OutlineTree::setText(OutlineNode* node, const QString& text) {
    node->m_text = text;
    if (observer())
        observer()->nodeChanged(node);
}

void OutlineTree::setIcon(OutlineNode* node, int icon) {
    if (node->m_icon == icon)
        return;
    node->m_icon = icon;
    if (observer())
        observer()->nodeChanged(node);
}

void OutlineTree::setExpanded(OutlineNode* node, bool expanded) {
    if (node->m_expanded == expanded)
        return;
    node->m_expanded = expanded;
    if (observer())
        observer()->nodeChanged(node);
}

void OutlineTree::setCurrent(OutlineNode* node) {
    m_current = node;
    if (observer())
        observer()->currentChanged(node);
}

void OutlineTree::requestEdit(OutlineNode* node) {
    if (observer())
        observer()->editRequested(node);
}
