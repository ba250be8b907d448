#pragma once

#include "TableLayout.h"

struct IdentContext;

// The hide marker "Прятать" of body rows and columns: marking it by a click while
// hidden rows or columns are marked, and the hide commands that hide the marked lines
// on all instance sheets.
class HiddenMarkController {
public:
    explicit HiddenMarkController(IdentContext& ctx) : m_ctx(ctx) {}

    // A click while marking: toggles the marker of the clicked body row (column 3 of the
    // row identification sheet) or body column (row +1 of the column identification sheet).
    // True when a marker changed.
    bool click(int row, int col);

    // SBhidrow / SBhidcol: the setting flips and the marked lines follow it.
    // Return the new state of the setting.
    bool toggleHideRows();
    bool toggleHideCols();
    // imHideElm "Подчиненные объекты": the setting flips and the rows of objects of the
    // objects directory follow it on the instance sheets.
    bool toggleHideSubordinate();
    void applySubordinateRows(bool hide);
    // Hides (or shows) every marked body row or column on all instance sheets.
    void applyMarkedRows(bool hide);
    void applyMarkedCols(bool hide);

private:
    void setRowOnInstances(int row, bool hidden);
    void setColOnInstances(int col, bool hidden);
    void moveCursorOffHiddenRow();
    // Flips a hiding setting and applies it to the rows; the cursor leaves a hidden row.
    bool toggleRows(Setting setting, void (HiddenMarkController::*apply)(bool));

    IdentContext& m_ctx;
};
