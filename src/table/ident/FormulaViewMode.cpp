#include "FormulaViewMode.h"

#include "IdentCommands.h"
#include "IdentContext.h"
#include "IdentEditorView.h"
#include "IdentModel.h"
#include "IdentSheetTools.h"
#include "model/Workbook.h"

using namespace TableLayout;
using namespace IdentSheetTools;

namespace {

constexpr int kNormalRowLimit = 16384;
constexpr int kViewSideWidthChars = 14;
constexpr int kViewFormulaWidthChars = 30;

} // namespace

void FormulaViewMode::showFormulas(int sheet, bool on) {
    Sheet& s = m_ctx.model.book().sheet(sheet);
    SheetOptions o = s.options();
    o.showFormulas = on;
    o.showRowHeadings = on;
    o.showColHeadings = on;
    s.setOptions(o);
}

void FormulaViewMode::enterRows() {
    IdentModel& model = m_ctx.model;
    Workbook& book = model.book();
    const int sheet = model.rowIdentSheet();
    m_ctx.view.showSheet(sheet);
    keepOnlyInGroup(book, sheet);
    book.setText(sheet, kFirstTitleRow, kSideCol, IdentCommands::hintOf(IdentMode::RowFormulas));
    Sheet& s = book.sheet(sheet);
    showFormulas(sheet, true);
    s.setColWidth(kSideCol, kViewSideWidthChars * 256);
    const int formulaCol = rowSlotColumn(Slot::Formula);
    s.setColWidth(formulaCol, kViewFormulaWidthChars * 256);
    m_hiddenBefore.clear();
    for (int c = kFirstDataCol; c <= kColumnCount; ++c) {
        m_hiddenBefore << s.colHidden(c);
        s.setColHidden(c, c != formulaCol);
    }
    m_ctx.view.setCursor(model.firstBodyRow(), formulaCol);
}

void FormulaViewMode::leaveRows() {
    IdentModel& model = m_ctx.model;
    const int sheet = model.rowIdentSheet();
    Sheet& s = model.book().sheet(sheet);
    showFormulas(sheet, false);
    s.setMaxCol(kColumnCount);
    for (int i = 0; i < m_hiddenBefore.size(); ++i)
        s.setColHidden(kFirstDataCol + i, m_hiddenBefore[i]);
    if (m_ctx.state.rowSlotsShown)
        setRowSlotStates(model, *m_ctx.state.rowSlotsShown);
    s.setColWidth(kSideCol, kSideWidthChars * 256);
    m_hiddenBefore.clear();
}

void FormulaViewMode::enterCols() {
    IdentModel& model = m_ctx.model;
    Workbook& book = model.book();
    const int sheet = model.colIdentSheet();
    m_ctx.view.showSheet(sheet);
    keepOnlyInGroup(book, sheet);
    book.setText(sheet, kFirstTitleRow, kSideCol, IdentCommands::hintOf(IdentMode::ColFormulas));
    m_editBarBefore = m_ctx.view.editBarShown();
    m_ctx.view.setEditBarShown(true);
    Sheet& s = book.sheet(sheet);
    showFormulas(sheet, true);
    m_captionHiddenBefore = s.rowHidden(kFirstTitleRow);
    s.setRowHidden(kFirstTitleRow, false); // the caption has to be seen
    m_hiddenBefore.clear();
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        const int row = model.colSlotRow(Slot(slot));
        m_hiddenBefore << s.rowHidden(row);
        s.setRowHidden(row, slot != int(Slot::Formula));
    }
    const int formulaRow = model.colSlotRow(Slot::Formula);
    m_ctx.view.setRowLimit(formulaRow);
    m_ctx.view.setCursor(formulaRow, kFirstDataCol);
}

void FormulaViewMode::leaveCols() {
    IdentModel& model = m_ctx.model;
    const int sheet = model.colIdentSheet();
    Sheet& s = model.book().sheet(sheet);
    showFormulas(sheet, false);
    for (int i = 0; i < m_hiddenBefore.size(); ++i)
        s.setRowHidden(model.colSlotRow(Slot(i + 1)), m_hiddenBefore[i]);
    if (m_ctx.state.colSlotsShown)
        setColSlotStates(model, *m_ctx.state.colSlotsShown);
    s.setRowHidden(kFirstTitleRow, m_captionHiddenBefore);
    m_ctx.view.setRowLimit(kNormalRowLimit);
    m_ctx.view.setEditBarShown(m_editBarBefore);
    m_hiddenBefore.clear();
}
