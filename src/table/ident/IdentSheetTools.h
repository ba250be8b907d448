#pragma once

#include "TableLayout.h"

#include <array>

class IdentModel;
class Sheet;
class Workbook;

// What the identification commands do alike to the sheets they work on: which slots of an
// identification sheet are shown, the first shown line from a start, the edit group.
namespace IdentSheetTools {

// Shown state of slots 1 … 23 (index slot - 1).
using SlotStates = std::array<bool, kSlotCount>;

// Slot columns of the row identification sheet, slot rows of the column one.
SlotStates rowSlotStates(const IdentModel& model);
SlotStates colSlotStates(const IdentModel& model);
void setRowSlotStates(IdentModel& model, const SlotStates& shown);
void setColSlotStates(IdentModel& model, const SlotStates& shown);

// The first row (column) from `from` to `to` that is not hidden, `fallback` when none is.
int firstShownRow(const Sheet& sheet, int from, int to, int fallback);
int firstShownCol(const Sheet& sheet, int from, int to, int fallback);

// Writes go to `sheet` alone.
void keepOnlyInGroup(Workbook& book, int sheet);

} // namespace IdentSheetTools
