#pragma once

#include <QList>

struct IdentContext;

// The view of the formulas over rows (the row identification sheet, column 23) or over
// columns (the column identification sheet, row H+21): formulas instead of values, the
// other slots out of sight, headings shown. Leaving puts the sheet back as it was, with
// the slots shown as they were when identification editing was last left.
class FormulaViewMode {
public:
    explicit FormulaViewMode(IdentContext& ctx) : m_ctx(ctx) {}

    void enterRows();
    void leaveRows();
    void enterCols();
    void leaveCols();

private:
    void showFormulas(int sheet, bool on);

    IdentContext& m_ctx;
    QList<bool> m_hiddenBefore; // columns 3 … 256 or slot rows 1 … 23 before the view
    bool m_editBarBefore = false;
    bool m_captionHiddenBefore = false;
};
