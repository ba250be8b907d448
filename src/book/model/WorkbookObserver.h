#pragma once

#include "CellAddress.h"

// What changed; `sheet` is a 1-based sheet index, 0 for the whole workbook.
struct WorkbookChange {
    enum Kind {
        Cells,         // contents or formats of `range` (values of dependents included)
        RowsColumns,   // rows or columns inserted, deleted, resized, hidden
        SheetSettings, // options, print settings, objects, rules, merged ranges
        SheetList,     // sheets inserted, deleted, renamed, edit group
        ActiveSheet,
        Everything // loaded or cleared
    };
    Kind kind = Everything;
    int sheet = 0;
    CellRange range;
};

// Anything that shows a workbook listens here (the widget, the table editor).
class WorkbookObserver {
public:
    virtual ~WorkbookObserver() = default;
    virtual void workbookChanged(const WorkbookChange& change) = 0;
    // The workbook is being destroyed while the observer lives on (a window's workbook
    // member goes before the window's child widgets): forget it.
    virtual void workbookDestroyed() {}
};
