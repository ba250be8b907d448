#pragma once

#include "Evaluator.h"

#include <cstdint>
#include <unordered_map>
#include <unordered_set>
#include <vector>

class Workbook;
class Sheet;
struct Formula;

// Keeps the workbook's formulas current. An index from cells (and blocks of cells, for
// ranges) to the formulas that read them finds what a change reaches; the affected
// formulas are ordered by an iterative strongly-connected-components pass over their
// precedents, so long chains need no recursion and cycles are found, not followed.
class Recalculator {
public:
    explicit Recalculator(Workbook& book);
    ~Recalculator();

    void formulaAdded(Formula* f);
    void formulaRemoved(Formula* f); // call before the formula is deleted
    void valueChanged(const Sheet* sheet, int row, int col);
    // Rows, columns or sheets moved: every position is suspect.
    void structureChanged();

    bool hasPending() const;
    // Just loaded with results saved alongside: nothing to recompute until an edit.
    void loadedClean();
    // Recomputes what the changes since the last call reach; returns the sheets touched.
    std::unordered_set<const Sheet*> recalcPending();
    std::unordered_set<const Sheet*> recalcAll();

    // Formulas found on a cycle in the last recalculation.
    const std::vector<Formula*>& circular() const { return m_circular; }

    Evaluator& evaluator() { return m_eval; }
    // Formulas evaluated since construction.
    uint64_t evaluationCount() const { return m_evaluations; }
    size_t indexedFormulaCount() const { return m_indexedCount; }

private:
    struct RangeDep {
        Formula* f;
        int r1, c1, r2, c2;
    };
    struct Frame {
        Formula* f;
        size_t pos;
        size_t end;
        size_t begin;
    };

    void ensureIndex();
    void registerFormula(Formula* f);
    void unregisterFormula(Formula* f);
    template <typename F> void forEachDependent(const Sheet* s, int row, int col, F f);
    void gatherPrecedents(Formula* f);
    void order(const std::vector<Formula*>& nodes, std::vector<Formula*>& out);
    // What evaluation reads of each formula, laid out in evaluation order: the formulas
    // themselves lie scattered on the heap and are only written to.
    struct Step {
        Formula* f;
        const FormulaCode* code;
        const Sheet* sheet;
        int32_t row;
        int32_t col;
        bool circular;
        // Where the host cell lay when the plan was made. Only ever prefetched, never read:
        // formulas mostly read their row neighbours, and a stale address costs nothing.
        const char* near;
    };
    static void makePlan(const std::vector<Formula*>& order, std::vector<Step>& plan);
    void evaluatePlan(const std::vector<Step>& plan, std::unordered_set<const Sheet*>& touched);
    void collectAll(std::vector<Formula*>& out);

    Workbook& m_book;
    Evaluator m_eval;
    std::unordered_map<uint64_t, std::vector<Formula*>> m_cellDeps;
    std::unordered_map<uint64_t, std::vector<RangeDep>> m_blockDeps;
    bool m_indexValid = false;
    size_t m_indexedCount = 0;
    std::vector<Formula*> m_newFormulas;
    struct Position {
        const Sheet* sheet;
        int row, col;
    };
    std::vector<Position> m_changed;
    bool m_fullPending = false;
    std::vector<Step> m_fullPlan;
    bool m_fullOrderValid = false;
    uint32_t m_epoch = 1;
    uint64_t m_evaluations = 0;
    std::vector<Formula*> m_edges;
    std::vector<Frame> m_frames;
    std::vector<Formula*> m_tarjanStack;
    std::vector<Formula*> m_circular;
};
