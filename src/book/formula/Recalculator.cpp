#include "Recalculator.h"

#include "model/Formula.h"
#include "model/Workbook.h"

#include <algorithm>

namespace {

constexpr int kBlockRowShift = 5;
constexpr int kBlockColShift = 3;
constexpr size_t kMaxQueuedChanges = 200000;
constexpr size_t kAhead = 16;

uint64_t cellKey(uint32_t sheetId, int row, int col) {
    return (uint64_t(sheetId) << 24) | (uint64_t(row) << 9) | uint64_t(col);
}
uint64_t blockKey(uint32_t sheetId, int row, int col) {
    return (uint64_t(sheetId) << 24) | (uint64_t(row >> kBlockRowShift) << 9) |
           uint64_t(col >> kBlockColShift);
}

template <typename V, typename T> void eraseValue(V& vec, const T& pred) {
    vec.erase(std::remove_if(vec.begin(), vec.end(), pred), vec.end());
}

} // namespace

Recalculator::Recalculator(Workbook& book) : m_book(book), m_eval(book) {}
Recalculator::~Recalculator() = default;

template <typename F> static void forEachRef(const Formula* f, const Workbook& book, F fn) {
    for (const Instr& in : f->code->code) {
        if (in.op != Op::Ref && in.op != Op::Area)
            continue;
        const Sheet* s = (in.flags & OtherSheet) ? book.sheetById(in.sheet) : f->sheet;
        if (!s)
            continue;
        int r1 = refRow(in, f->row, false), c1 = refCol(in, f->col, false);
        int r2 = in.op == Op::Area ? refRow(in, f->row, true) : r1;
        int c2 = in.op == Op::Area ? refCol(in, f->col, true) : c1;
        r1 = std::max(r1, 1);
        c1 = std::max(c1, 1);
        r2 = std::min(r2, kMaxRows);
        c2 = std::min(c2, kMaxCols);
        if (r1 > r2 || c1 > c2)
            continue;
        fn(s, in.op == Op::Ref, r1, c1, r2, c2);
    }
}

void Recalculator::registerFormula(Formula* f) {
    forEachRef(f, m_book, [&](const Sheet* s, bool single, int r1, int c1, int r2, int c2) {
        if (single) {
            m_cellDeps[cellKey(s->id(), r1, c1)].push_back(f);
            return;
        }
        for (int br = r1 >> kBlockRowShift; br <= r2 >> kBlockRowShift; ++br)
            for (int bc = c1 >> kBlockColShift; bc <= c2 >> kBlockColShift; ++bc)
                m_blockDeps[blockKey(s->id(), br << kBlockRowShift, bc << kBlockColShift)]
                    .push_back({f, r1, c1, r2, c2});
    });
    ++m_indexedCount;
}

void Recalculator::unregisterFormula(Formula* f) {
    forEachRef(f, m_book, [&](const Sheet* s, bool single, int r1, int c1, int r2, int c2) {
        if (single) {
            auto it = m_cellDeps.find(cellKey(s->id(), r1, c1));
            if (it != m_cellDeps.end()) {
                eraseValue(it->second, [f](Formula* x) { return x == f; });
                if (it->second.empty())
                    m_cellDeps.erase(it);
            }
            return;
        }
        for (int br = r1 >> kBlockRowShift; br <= r2 >> kBlockRowShift; ++br)
            for (int bc = c1 >> kBlockColShift; bc <= c2 >> kBlockColShift; ++bc) {
                auto it =
                    m_blockDeps.find(blockKey(s->id(), br << kBlockRowShift, bc << kBlockColShift));
                if (it == m_blockDeps.end())
                    continue;
                eraseValue(it->second, [f](const RangeDep& d) { return d.f == f; });
                if (it->second.empty())
                    m_blockDeps.erase(it);
            }
    });
    if (m_indexedCount > 0)
        --m_indexedCount;
}

void Recalculator::collectAll(std::vector<Formula*>& out) {
    out.clear();
    for (int i = 1; i <= m_book.sheetCount(); ++i) {
        Sheet& s = m_book.sheet(i);
        s.cells().forEach([&](int r, int c, Cell& cell) {
            if (cell.kind == CellKind::Formula) {
                Formula* f = cell.formula;
                f->sheet = &s;
                f->row = r;
                f->col = c;
                out.push_back(f);
            }
        });
    }
}

void Recalculator::ensureIndex() {
    if (m_indexValid)
        return;
    m_cellDeps.clear();
    m_blockDeps.clear();
    m_indexedCount = 0;
    std::vector<Formula*> all;
    collectAll(all);
    for (Formula* f : all)
        registerFormula(f);
    m_indexValid = true;
}

void Recalculator::formulaAdded(Formula* f) {
    m_fullOrderValid = false;
    if (m_indexValid)
        registerFormula(f);
    m_newFormulas.push_back(f);
}

void Recalculator::formulaRemoved(Formula* f) {
    m_fullOrderValid = false;
    if (m_indexValid)
        unregisterFormula(f);
    eraseValue(m_newFormulas, [f](Formula* x) { return x == f; });
    eraseValue(m_circular, [f](Formula* x) { return x == f; });
}

void Recalculator::valueChanged(const Sheet* sheet, int row, int col) {
    if (m_fullPending)
        return;
    if (m_changed.size() >= kMaxQueuedChanges) {
        m_fullPending = true;
        m_changed.clear();
        m_newFormulas.clear();
        return;
    }
    m_changed.push_back({sheet, row, col});
}

void Recalculator::structureChanged() {
    m_indexValid = false;
    m_cellDeps.clear();
    m_blockDeps.clear();
    m_indexedCount = 0;
    m_fullOrderValid = false;
    m_fullPending = true;
    m_changed.clear();
    m_newFormulas.clear();
    m_circular.clear();
}

void Recalculator::loadedClean() {
    m_fullPending = false;
    m_changed.clear();
    m_newFormulas.clear();
}

bool Recalculator::hasPending() const {
    return m_fullPending || !m_changed.empty() || !m_newFormulas.empty();
}

template <typename F> void Recalculator::forEachDependent(const Sheet* s, int row, int col, F fn) {
    auto it = m_cellDeps.find(cellKey(s->id(), row, col));
    if (it != m_cellDeps.end())
        for (Formula* f : it->second)
            fn(f);
    auto bt = m_blockDeps.find(blockKey(s->id(), row, col));
    if (bt != m_blockDeps.end())
        for (const RangeDep& d : bt->second)
            if (row >= d.r1 && row <= d.r2 && col >= d.c1 && col <= d.c2)
                fn(d.f);
}

void Recalculator::gatherPrecedents(Formula* f) {
    const uint32_t epoch = m_epoch;
    forEachRef(f, m_book, [&](const Sheet* s, bool single, int r1, int c1, int r2, int c2) {
        if (single) {
            const Cell* cell = s->cells().find(r1, c1);
            if (cell && cell->kind == CellKind::Formula && cell->formula->epoch == epoch)
                m_edges.push_back(cell->formula);
            return;
        }
        const CellStore& store = s->cells();
        const int last = std::min(r2, store.allocatedRows());
        for (int r = r1; r <= last; ++r) {
            const CellRow* row = store.rowAt(r);
            if (!row)
                continue;
            const int a = std::max(c1, row->first);
            const int b = std::min(c2, row->first + int(row->cells.size()) - 1);
            for (int c = a; c <= b; ++c) {
                const Cell& cell = row->cells[size_t(c - row->first)];
                if (cell.kind == CellKind::Formula && cell.formula->epoch == epoch)
                    m_edges.push_back(cell.formula);
            }
        }
    });
}

// Tarjan's algorithm with an explicit stack. Components come out precedents first, which
// is the evaluation order; a component of more than one formula, or a formula reading
// itself, is a cycle.
void Recalculator::order(const std::vector<Formula*>& nodes, std::vector<Formula*>& out) {
    out.clear();
    out.reserve(nodes.size());
    for (Formula* f : nodes) {
        f->visitIndex = -1;
        f->onStack = false;
        f->circular = false;
    }
    int32_t counter = 0;
    m_edges.clear();
    m_frames.clear();
    m_tarjanStack.clear();
    auto start = [&](Formula* v) {
        v->visitIndex = v->lowLink = counter++;
        v->onStack = true;
        m_tarjanStack.push_back(v);
        const size_t begin = m_edges.size();
        gatherPrecedents(v);
        m_frames.push_back({v, begin, m_edges.size(), begin});
    };
    for (Formula* root : nodes) {
        if (root->visitIndex >= 0)
            continue;
        start(root);
        while (!m_frames.empty()) {
            Frame& fr = m_frames.back();
            Formula* v = fr.f;
            if (fr.pos < fr.end) {
                Formula* w = m_edges[fr.pos++];
                if (w == v) {
                    v->circular = true;
                } else if (w->visitIndex < 0) {
                    start(w);
                } else if (w->onStack) {
                    v->lowLink = std::min(v->lowLink, w->visitIndex);
                }
                continue;
            }
            if (v->lowLink == v->visitIndex) {
                const size_t top = m_tarjanStack.size();
                size_t first = top;
                while (first > 0 && m_tarjanStack[first - 1] != v)
                    --first;
                --first;
                const bool cycle = top - first > 1;
                for (size_t k = first; k < top; ++k) {
                    Formula* x = m_tarjanStack[k];
                    x->onStack = false;
                    if (cycle)
                        x->circular = true;
                    out.push_back(x);
                }
                m_tarjanStack.resize(first);
            }
            const int32_t low = v->lowLink;
            m_edges.resize(fr.begin);
            m_frames.pop_back();
            if (!m_frames.empty()) {
                Formula* parent = m_frames.back().f;
                parent->lowLink = std::min(parent->lowLink, low);
            }
        }
        m_edges.clear();
    }
}

void Recalculator::makePlan(const std::vector<Formula*>& order, std::vector<Step>& plan) {
    plan.clear();
    plan.reserve(order.size());
    for (Formula* f : order) {
        const CellRow* row = f->sheet->cells().rowAt(f->row);
        const Cell* host = row ? row->at(f->col) : nullptr;
        plan.push_back({f, f->code.get(), f->sheet, f->row, f->col, f->circular,
                        reinterpret_cast<const char*>(host)});
    }
}

void Recalculator::evaluatePlan(const std::vector<Step>& plan,
                                std::unordered_set<const Sheet*>& touched) {
    m_circular.clear();
    const Sheet* lastSheet = nullptr;
    const size_t n = plan.size();
    for (size_t i = 0; i < n; ++i) {
        // The result goes to a formula far away in memory; asking for its line early lets
        // the write complete in the background.
        if (i + kAhead < n) {
            const Step& ahead = plan[i + kAhead];
            __builtin_prefetch(&ahead.f->value, 1);
            if (ahead.near) {
                __builtin_prefetch(ahead.near);
                __builtin_prefetch(ahead.near - 64);
                __builtin_prefetch(ahead.near - 128);
                __builtin_prefetch(ahead.near - 160);
            }
        }
        const Step& step = plan[i];
        if (step.sheet != lastSheet) {
            touched.insert(step.sheet);
            lastSheet = step.sheet;
        }
        if (step.circular) {
            step.f->value = CellValue::fromError(CellError::Value);
            m_circular.push_back(step.f);
            continue;
        }
        m_eval.evaluateInto(*step.code, step.sheet, step.row, step.col, step.f->value);
    }
    m_evaluations += n;
}

std::unordered_set<const Sheet*> Recalculator::recalcAll() {
    std::unordered_set<const Sheet*> touched;
    if (!m_fullOrderValid) {
        std::vector<Formula*> all;
        collectAll(all);
        ++m_epoch;
        for (Formula* f : all)
            f->epoch = m_epoch;
        std::vector<Formula*> ordered;
        order(all, ordered);
        makePlan(ordered, m_fullPlan);
        m_fullOrderValid = true;
    }
    evaluatePlan(m_fullPlan, touched);
    m_fullPending = false;
    m_changed.clear();
    m_newFormulas.clear();
    return touched;
}

std::unordered_set<const Sheet*> Recalculator::recalcPending() {
    if (m_fullPending)
        return recalcAll();
    std::unordered_set<const Sheet*> touched;
    if (m_changed.empty() && m_newFormulas.empty())
        return touched;
    ensureIndex();
    ++m_epoch;
    const uint32_t epoch = m_epoch;
    std::vector<Formula*> set;
    std::vector<Position> queue = std::move(m_changed);
    m_changed.clear();
    auto add = [&](Formula* f) {
        if (f->epoch == epoch)
            return;
        f->epoch = epoch;
        set.push_back(f);
        queue.push_back({f->sheet, f->row, f->col});
    };
    for (Formula* f : m_newFormulas)
        add(f);
    m_newFormulas.clear();
    for (size_t i = 0; i < queue.size(); ++i) {
        const Position p = queue[i];
        forEachDependent(p.sheet, p.row, p.col, add);
    }
    std::vector<Formula*> ordered;
    order(set, ordered);
    std::vector<Step> plan;
    makePlan(ordered, plan);
    evaluatePlan(plan, touched);
    return touched;
}
