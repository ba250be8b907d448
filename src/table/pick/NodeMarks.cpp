#include "NodeMarks.h"

#include <algorithm>

void NodeMarks::load(int numAgr, const QList<AgrNode>& nodes) {
    m_numAgr = numAgr;
    m_nodes = nodes;
    const qsizetype n = nodes.size();
    m_depth = QList<int>(n, 0);
    m_parent = QList<int>(n, -1);
    m_expanded = QList<bool>(n, false);
    m_marked = QList<bool>(n, false);
    m_codeWidth = 0;
    QList<int> last; // the last node seen on each tree depth
    for (int i = 0; i < n; ++i) {
        const int level = std::max(1, nodes[i].level);
        const int d = std::min(level - 1, int(last.size()));
        m_depth[i] = d;
        m_parent[i] = d > 0 ? last[d - 1] : -1;
        last.resize(d + 1);
        last[d] = i;
        m_codeWidth = std::max(m_codeWidth, int(codeText(nodes[i].key).size()));
    }
}

bool NodeMarks::isShown(int i) const {
    for (int p = m_parent[i]; p >= 0; p = m_parent[p])
        if (!m_expanded[p])
            return false;
    return true;
}

int NodeMarks::nextShown(int i) const {
    for (int j = i + 1; j < size(); ++j)
        if (isShown(j))
            return j;
    return i;
}

int NodeMarks::markedCount() const {
    return int(std::count(m_marked.begin(), m_marked.end(), true));
}

int NodeMarks::toggle(int i) {
    if (i < 0 || i >= size())
        return i;
    const bool mark = !m_marked[i];
    m_marked[i] = mark;
    for (int j = i + 1; j < size() && m_depth[j] > m_depth[i]; ++j)
        if (isShown(j))
            m_marked[j] = mark;
    return nextShown(i);
}

void NodeMarks::markAll() {
    std::fill(m_expanded.begin(), m_expanded.end(), true);
    std::fill(m_marked.begin(), m_marked.end(), true);
}

void NodeMarks::clearMarks() {
    std::fill(m_marked.begin(), m_marked.end(), false);
}

QList<PickedEntry> NodeMarks::chosen() const {
    int shallowest = -1;
    for (int i = 0; i < size(); ++i)
        if (m_marked[i] && (shallowest < 0 || m_depth[i] < shallowest))
            shallowest = m_depth[i];
    QList<PickedEntry> entries;
    for (int i = 0; i < size(); ++i) {
        if (!m_marked[i])
            continue;
        PickedEntry e;
        e.code = int(m_nodes[i].key);
        e.directory = m_numAgr;
        e.depth = m_depth[i] - shallowest + 1;
        e.name = m_nodes[i].name.trimmed();
        entries << e;
    }
    return entries;
}

QString NodeMarks::prefixedText(int i) const {
    return codeText(m_nodes[i].key).leftJustified(m_codeWidth + 1) + m_nodes[i].name;
}

QString NodeMarks::codeText(double code) {
    return QString::number(code, 'f', 0);
}
