#pragma once

#include "FormulaViewMode.h"
#include "IdentMode.h"
#include "TitleKindController.h"

struct IdentContext;

// Entering and leaving the identification modes: side, header and title identification
// the marking of hidden rows and columns and the view of the formulas over rows or columns. Every
// way out (the command again, Escape, closing the window, the sheet list) goes through leave().
class IdentModeController {
public:
    enum class EscapeResult { Left, CloseWindow, Ignored };

    explicit IdentModeController(IdentContext& ctx);

    IdentMode mode() const;
    // The mode's command: switches it on, or off when it is on.
    void toggle(IdentMode mode);
    // False when the mode cannot be entered (title identification off an instance sheet).
    bool enter(IdentMode mode);
    void leave();
    // A table was opened: normal mode, nothing remembered.
    void reset();
    // Escape leaves a mode; in normal mode on an instance sheet it closes the window.
    EscapeResult escape();
    // Ctrl+Home / Ctrl+End: the first or the last instance sheet, alone in the edit group.
    bool jumpToSheet(bool last);

    TitleKindController& title() { return m_title; }

    // Slot columns of the row identification sheet hidden in side identification, and
    // slots of the column identification sheet hidden in header identification.
    static QList<int> sideHiddenColumns();
    static QList<int> headerHiddenSlots();

private:
    void enterSide();
    void enterHeader();
    void enterHiddenRows();
    void enterHiddenCols();
    void leaveSide();
    void leaveHeader();
    void leaveHiddenRows();
    void leaveHiddenCols();
    void onlyInGroup(int sheet);
    void putBackRowSlots();
    void putBackColSlots();

    IdentContext& m_ctx;
    TitleKindController m_title;
    FormulaViewMode m_formulas;
};
