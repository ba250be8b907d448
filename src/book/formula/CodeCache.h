#pragma once

#include "FormulaCode.h"

#include <memory>
#include <unordered_map>

// Identical compiled formulas are kept once per workbook. References are relative to the
// host, so a column of formulas filled down compiles to one shared code, which keeps the
// evaluator's working set small.
class CodeCache {
public:
    std::shared_ptr<const FormulaCode> intern(std::shared_ptr<const FormulaCode> code);
    void clear() { m_map.clear(); }

private:
    void purge();

    std::unordered_multimap<size_t, std::weak_ptr<const FormulaCode>> m_map;
    size_t m_insertsSincePurge = 0;
};
