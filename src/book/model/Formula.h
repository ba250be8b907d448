#pragma once

#include "CellValue.h"

#include <cstdint>
#include <memory>

struct FormulaCode;
class Sheet;

// The formula of one cell: the compiled code (shared between copies, since references are
// kept relative to the host cell), the last result and the host's position.
struct Formula {
    std::shared_ptr<const FormulaCode> code;
    // The text member is meaningful only for a text result: the recalculation leaves it
    // alone when a number replaces a text, so read values through Sheet::value().
    CellValue value;
    Sheet* sheet = nullptr;
    int row = 0;
    int col = 0;
    // Recalculation bookkeeping.
    int32_t visitIndex = -1;
    int32_t lowLink = 0;
    uint32_t epoch = 0;
    bool onStack = false;
    bool circular = false;

    // Formulas come from a pool: consecutive formulas sit next to each other, which the
    // recalculation's walk over thousands of them depends on.
    static void* operator new(size_t size);
    static void operator delete(void* p) noexcept;
};
