#pragma once

#include "IdentMode.h"

#include <QString>

// What the identification commands need of the window that shows the workbook: the
// cursor, scrolling, the sheet tabs and the status panels. The window implements it over
// the spreadsheet control; the commands change the workbook themselves.
class IdentEditorView {
public:
    virtual ~IdentEditorView() = default;

    // Makes the sheet active and shows it.
    virtual void showSheet(int sheet) = 0;
    virtual void setSheetTabsShown(bool shown) = 0;
    // Selection events off while a sheet is being prepared.
    virtual void setSelectionEvents(bool on) = 0;
    virtual int cursorRow() const = 0;
    virtual int cursorCol() const = 0;
    virtual void setCursor(int row, int col) = 0;
    virtual void scrollTo(int topRow, int leftCol) = 0;
    // The number of rows the control offers (16384 normally).
    virtual void setRowLimit(int rows) = 0;
    virtual void setFrozen(int rows, int cols) = 0;
    // Status panels: 0 the cell, 1 the mode or region, 2 "Контроль".
    virtual void setStatusText(int panel, const QString& text) = 0;
    // Commands, ticks and buttons follow the mode.
    virtual void modeChanged(IdentMode mode) = 0;
    // The control's edit bar.
    virtual bool editBarShown() const { return false; }
    virtual void setEditBarShown(bool) {}
    // Finishes a cell edit still open: the entry is taken as if Enter was pressed, or
    // dropped when it is refused, so nothing typed in a mode lands after the mode is left.
    virtual void finishEdit() {}
};
