#pragma once

#include "IdentMode.h"
#include "TableLayout.h"

#include <array>
#include <optional>

// A cell of the workbook: sheet, row and column, all from 1.
struct SheetCell {
    int sheet = 0;
    int row = 0;
    int col = 0;
    bool operator==(const SheetCell&) const = default;
};

// What the editor keeps about identification editing while a table is open.
struct IdentEditState {
    IdentMode mode = IdentMode::Normal;
    // The instance sheet that was active when a mode was entered; active again on leaving.
    int rememberedSheet = 1;
    // The last applied title kind: 0 "Показатель" … 4 "Период", -1 none.
    int titleKind = -1;
    // The cursor as last reported by the selection event, and the one before.
    int row = 0;
    int col = 0;
    int prevRow = 0;
    int prevCol = 0;
    // Shown state of row identification columns 3 … 25 and of column identification rows
    // +1 … +23 (index slot - 1), remembered when side or header identification is left.
    std::optional<std::array<bool, kSlotCount>> rowSlotsShown;
    std::optional<std::array<bool, kSlotCount>> colSlotsShown;
    // A period bound that was just edited: its format is fixed at the next selection change.
    std::optional<SheetCell> editedPeriodBound;
};
