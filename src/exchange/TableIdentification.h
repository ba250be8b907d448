#pragma once

#include "IdentModel.h"
#include "StoragePeriods.h"

#include <array>
#include <vector>

// The identification of one body row or one data column, codes as numbers
// (an empty slot reads as 0) and the period already split into its bounds.
struct IdentVector {
    int indicator = 0;
    int attr1 = 0;
    int attr2 = 0;
    ElementRef object;
    std::array<ElementRef, 4> cuts{};
    PeriodBounds period;
};

// Everything a fill or store needs from the identification sheets, read once per
// command so that the cell loop never goes back to the workbook for it.
struct TableIdentification {
    int lastHeaderRow = 0;
    int lastRow = 0;               // of the row identification sheet
    int lastCol = 0;               // of the column identification sheet
    std::vector<IdentVector> rows; // index: row - (lastHeaderRow + 1)
    std::vector<IdentVector> cols; // index: col - first data column
    std::vector<int> colKinds;     // special identification kind per data column

    int firstBodyRow() const { return lastHeaderRow + 1; }
    bool hasBody() const { return lastRow >= firstBodyRow(); }
    const IdentVector& row(int r) const { return rows[size_t(r - firstBodyRow())]; }
    const IdentVector& col(int c) const { return cols[size_t(c - TableLayout::kFirstDataCol)]; }
    int colKind(int c) const { return colKinds[size_t(c - TableLayout::kFirstDataCol)]; }
    // Body cells of one sheet: the progress bar's maximum.
    int cellCount() const;
};

// Reads both identification sheets. With tidy set (storing), a directory type whose
// code is 0 is cleared in the vectors and in the workbook. The active sheet is kept.
TableIdentification ReadIdentification(IdentModel& model, bool tidy = false);

// The column vectors of one instance sheet: every field group the column leaves at 0
// is taken from the sheet's title block.
std::vector<IdentVector> EffectiveColumns(const IdentModel& model, const TableIdentification& ident,
                                          int sheet);
