// Moving folders and allocating their stored positions; part of OutlineEngine.cpp.

template <class Key> int OutlineEngine<Key>::AllocateNpp(int b) {
    std::vector<int>& npp = m_arrays.positions;
    const int step = m_state.nppStep;
    const int rows = m_arrays.size();
    // A gap of one (or a damaged catalogue with equal positions) leaves no room.
    if (b == 0) {
        if (npp[0] > 1)
            return npp[0] / 2;
        if (rows == 1) {
            setNpp(0, 2 * step);
            npp[0] = 2 * step;
        } else if (npp[1] - npp[0] > 1) {
            const int r = (npp[1] - npp[0]) / 2;
            setNpp(0, npp[0] + r);
            npp[0] += r;
        } else {
            renumber();
        }
        closeDataset();
        return npp[0] / 2;
    }
    if (npp[b] - npp[b - 1] <= 1) {
        if (b == rows - 1) {
            if (qint64(npp[b]) + step > INT_MAX) {
                renumber();
            } else {
                setNpp(b, npp[b] + step);
                npp[b] += step;
            }
        } else if (npp[b] + (npp[b + 1] - npp[b]) / 2 - npp[b - 1] >= 2) {
            const int r = (npp[b + 1] - npp[b]) / 2;
            setNpp(b, npp[b] + r);
            npp[b] += r;
        } else {
            renumber();
        }
        closeDataset();
    }
    return npp[b - 1] + (npp[b] - npp[b - 1]) / 2;
}

template <class Key>
void OutlineEngine<Key>::PlaceBlockBefore(int target, int first, int last, int levelChange) {
    std::vector<int>& npp = m_arrays.positions;
    const int n = last - first + 1;
    int lo = target == 0 ? 0 : npp[size_t(target - 1)];
    int step = (npp[size_t(target)] - lo) / (n + 1);
    if (step < 2) {
        m_state.growStepFor(n);
        renumber();
        step = m_state.nppStep / (n + 1);
        lo = target == 0 ? 0 : npp[size_t(target - 1)];
    }
    const std::vector<OutlineNode*> nodes = m_tree.subtree(m_tree.at(first));
    for (int k = 1; k <= n; ++k) {
        const int p = first + k - 1;
        setNppLevel(p, lo + k * step, nodes[size_t(k - 1)]->level() + levelChange + 1);
        npp[size_t(p)] = lo + k * step;
    }
    closeDataset();
}

template <class Key>
void OutlineEngine<Key>::PlaceBlockAfter(int target, int first, int last, int levelChange) {
    std::vector<int>& npp = m_arrays.positions;
    const int n = last - first + 1;
    const bool atEnd = target == m_arrays.size() - 1;
    const auto gapStep = [&] {
        return atEnd ? m_state.nppStep : (npp[size_t(target + 1)] - npp[size_t(target)]) / (n + 1);
    };
    int step = gapStep();
    const bool overflows = atEnd && qint64(npp[size_t(target)]) + qint64(n) * step > INT_MAX;
    if (step < 2 || overflows) {
        m_state.growStepFor(n);
        renumber();
        step = gapStep();
    }
    const int lo = npp[size_t(target)];
    const std::vector<OutlineNode*> nodes = m_tree.subtree(m_tree.at(first));
    for (int k = 1; k <= n; ++k) {
        const int p = first + k - 1;
        setNppLevel(p, lo + k * step, nodes[size_t(k - 1)]->level() + levelChange + 1);
        npp[size_t(p)] = lo + k * step;
    }
    closeDataset();
}

template <class Key> bool OutlineEngine<Key>::MoveNodeUp() {
    OutlineNode* x = m_tree.current();
    OutlineNode* prev = x ? x->prevSibling() : nullptr;
    if (!prev)
        return false;
    const int first = m_tree.position(x);
    const int last = first + x->descendantCount();
    const int target = m_tree.position(prev);
    if (!commitChange(OutlineOp::MoveUp, [&] { PlaceBlockBefore(target, first, last, 0); }))
        return false;
    m_arrays.moveBlock(first, last, target);
    m_tree.moveBefore(x, prev);
    if (x->hasChildren()) {
        m_tree.setExpanded(x, false);
        m_tree.setIcon(x, IconClosed);
    }
    selectNode(x);
    return true;
}

template <class Key> bool OutlineEngine<Key>::MoveNodeDown() {
    OutlineNode* x = m_tree.current();
    OutlineNode* next = x ? x->nextSibling() : nullptr;
    if (!next)
        return false;
    const int first = m_tree.position(x);
    const int last = first + x->descendantCount();
    const int target = m_tree.position(next) + next->descendantCount();
    if (!commitChange(OutlineOp::MoveDown, [&] { PlaceBlockAfter(target, first, last, 0); }))
        return false;
    m_arrays.moveBlock(first, last, target + 1);
    if (OutlineNode* after = next->nextSibling())
        m_tree.moveBefore(x, after);
    else
        m_tree.move(x, m_tree.parentOf(x), -1);
    selectNode(x);
    return true;
}

template <class Key> bool OutlineEngine<Key>::PromoteNode() {
    OutlineNode* x = m_tree.current();
    OutlineNode* parent = x ? m_tree.parentOf(x) : nullptr;
    if (!parent)
        return false;
    const int first = m_tree.position(x);
    const std::vector<OutlineNode*> nodes = m_tree.subtree(x);
    const bool ok = commitChange(OutlineOp::Promote, [&] {
        for (size_t i = 0; i < nodes.size(); ++i)
            setLevel(first + int(i), nodes[i]->level());
    });
    if (!ok)
        return false;
    // The siblings after it now stand one level below it, as their stored levels say.
    while (OutlineNode* s = x->nextSibling())
        m_tree.move(s, x, -1);
    if (OutlineNode* after = parent->nextSibling())
        m_tree.moveBefore(x, after);
    else
        m_tree.move(x, m_tree.parentOf(parent), -1);
    if (!parent->hasChildren()) {
        m_tree.setExpanded(parent, false);
        m_tree.setIcon(parent, IconLeaf);
    }
    m_tree.setIcon(x, !x->hasChildren() ? IconLeaf : x->expanded() ? IconOpen : IconClosed);
    closeDataset();
    selectNode(x);
    return true;
}

template <class Key> bool OutlineEngine<Key>::DemoteNode() {
    OutlineNode* x = m_tree.current();
    OutlineNode* prev = x ? x->prevSibling() : nullptr;
    if (!prev)
        return false;
    const int first = m_tree.position(x);
    const std::vector<OutlineNode*> nodes = m_tree.subtree(x);
    const bool ok = commitChange(OutlineOp::Demote, [&] {
        for (size_t i = 0; i < nodes.size(); ++i)
            setLevel(first + int(i), nodes[i]->level() + 2);
    });
    if (!ok)
        return false;
    m_tree.move(x, prev, -1);
    m_tree.setExpanded(prev, true);
    m_tree.setIcon(prev, IconOpen);
    closeDataset();
    selectNode(x);
    return true;
}

template <class Key> bool OutlineEngine<Key>::DropOutlineNode(OutlineNode* target, DropZone zone) {
    OutlineNode* x = m_tree.current();
    OutlineNode* t = target ? target : m_tree.lastVisibleNode();
    if (!x || !t || t == x || x->isAncestorOf(t) || zone == DropZone::Elsewhere)
        return false;
    const int first = m_tree.position(x);
    const int last = first + x->descendantCount();
    const int lastRow = m_arrays.size() - 1;
    if (zone == DropZone::Below && last == lastRow)
        return false;
    // On the icon or the caption of a folder the node already lies in: nothing.
    if ((zone == DropZone::Before || zone == DropZone::LastChild) && t->isAncestorOf(x))
        return false;
    if (zone == DropZone::Before) {
        // The node shown just above the target.
        OutlineNode* above = t->prevSibling();
        if (above)
            while (above->expanded() && above->hasChildren())
                above = above->lastChild();
        else
            above = m_tree.parentOf(t);
        if (above == x)
            return false;
    }
    const int levelChange = t->level() - x->level() + (zone == DropZone::LastChild ? 1 : 0);
    const int targetPos = m_tree.position(t);
    const int targetEnd = SubtreeEnd(targetPos);
    int before = 0;
    const bool ok = commitChange(OutlineOp::Drop, [&] {
        if (zone == DropZone::Before) {
            PlaceBlockBefore(targetPos, first, last, levelChange);
            before = targetPos;
        } else if (zone == DropZone::LastChild) {
            PlaceBlockAfter(targetEnd, first, last, levelChange);
            before = targetEnd + 1;
        } else {
            const int n = last - first + 1;
            const int base = nppAfterLast(n) - m_state.nppStep;
            const std::vector<OutlineNode*> nodes = m_tree.subtree(x);
            for (int k = 1; k <= n; ++k) {
                const int p = first + k - 1;
                const int npp = base + k * m_state.nppStep;
                setNppLevel(p, npp, nodes[size_t(k - 1)]->level() + levelChange + 1);
                m_arrays.positions[size_t(p)] = npp;
            }
            closeDataset();
            before = m_arrays.size();
        }
    });
    if (!ok)
        return false;
    m_arrays.moveBlock(first, last, before);
    OutlineNode* oldParent = m_tree.parentOf(x);
    if (zone == DropZone::Before)
        m_tree.moveBefore(x, t);
    else if (zone == DropZone::LastChild)
        m_tree.move(x, t, -1);
    else
        m_tree.move(x, m_tree.parentOf(t), -1);
    if (oldParent && !oldParent->hasChildren()) {
        m_tree.setExpanded(oldParent, false);
        m_tree.setIcon(oldParent, IconLeaf);
    }
    if (x->hasChildren()) {
        m_tree.setExpanded(x, false);
        RefreshFolderIcons(x);
    }
    if (zone == DropZone::LastChild) {
        m_tree.setExpanded(t, true);
        m_tree.setIcon(t, IconOpen);
    }
    if (m_tree.parentOf(x))
        OpenAncestors(x);
    selectNode(x);
    return true;
}
