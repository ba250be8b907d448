#pragma once

#include "CellAddress.h"

// View state of a sheet that is saved with the workbook.
struct SheetOptions {
    int frozenRows = 0;
    int frozenCols = 0;
    int zoom = 100; // per cent, 10 … 400
    bool showZeros = true;
    bool showFormulas = false;
    bool showRowHeadings = true;
    bool showColHeadings = true;
    bool showGrid = true;
    bool protection = false;
    int topRow = 1;
    int leftCol = 1;
    int activeRow = 1;
    int activeCol = 1;
    CellRange selection{1, 1, 1, 1};
    bool operator==(const SheetOptions&) const = default;
};
