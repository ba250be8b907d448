#include "CodeCache.h"

#include <QHash>

namespace {

size_t hashCode(const FormulaCode& code) {
    size_t h = code.code.size();
    for (const Instr& in : code.code)
        h = qHashMulti(h, int(in.op), in.flags, in.argc, in.func, in.sheet, in.row1, in.col1,
                       in.row2, in.col2, in.number);
    for (const QString& s : code.strings)
        h = qHash(s, h);
    return h;
}

bool sameCode(const FormulaCode& a, const FormulaCode& b) {
    if (a.code.size() != b.code.size() || a.strings != b.strings)
        return false;
    for (size_t i = 0; i < a.code.size(); ++i) {
        const Instr& x = a.code[i];
        const Instr& y = b.code[i];
        if (x.op != y.op || x.flags != y.flags || x.argc != y.argc || x.func != y.func ||
            x.sheet != y.sheet || x.row1 != y.row1 || x.col1 != y.col1 || x.row2 != y.row2 ||
            x.col2 != y.col2 ||
            !(x.number == y.number || (x.number != x.number && y.number != y.number)))
            return false;
    }
    return true;
}

} // namespace

std::shared_ptr<const FormulaCode> CodeCache::intern(std::shared_ptr<const FormulaCode> code) {
    if (!code)
        return code;
    const size_t h = hashCode(*code);
    auto [it, end] = m_map.equal_range(h);
    for (; it != end; ++it)
        if (auto existing = it->second.lock(); existing && sameCode(*existing, *code))
            return existing;
    m_map.emplace(h, code);
    if (++m_insertsSincePurge > 4096 && m_insertsSincePurge > m_map.size() / 2)
        purge();
    return code;
}

void CodeCache::purge() {
    for (auto it = m_map.begin(); it != m_map.end();)
        it = it->second.expired() ? m_map.erase(it) : std::next(it);
    m_insertsSincePurge = 0;
}
