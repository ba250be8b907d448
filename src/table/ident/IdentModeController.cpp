#include "IdentModeController.h"

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

int slotCol(int slot) {
    return rowSlotColumn(Slot(slot));
}

} // namespace

IdentModeController::IdentModeController(IdentContext& ctx)
    : m_ctx(ctx), m_title(ctx), m_formulas(ctx) {}

IdentMode IdentModeController::mode() const {
    return m_ctx.state.mode;
}

QList<int> IdentModeController::sideHiddenColumns() {
    return {3, 4, 6, 8, 18, 19, 20, 21, 22};
}

QList<int> IdentModeController::headerHiddenSlots() {
    return {1, 2, 4, 6, 16, 17, 18, 19, 20};
}

void IdentModeController::toggle(IdentMode mode) {
    if (mode == IdentMode::Normal)
        return;
    if (m_ctx.state.mode == mode)
        leave();
    else
        enter(mode);
}

void IdentModeController::onlyInGroup(int sheet) {
    keepOnlyInGroup(m_ctx.model.book(), sheet);
}

bool IdentModeController::enter(IdentMode mode) {
    if (mode == IdentMode::Normal)
        return false;
    if (m_ctx.state.mode == mode)
        return true;
    if (m_ctx.state.mode != IdentMode::Normal)
        leave();
    else
        m_ctx.view.finishEdit(); // what was typed before belongs to normal work
    const int active = m_ctx.model.book().activeSheetIndex();
    if (mode == IdentMode::Title && !m_ctx.model.isInstanceSheet(active)) {
        m_ctx.view.modeChanged(IdentMode::Normal); // the command unticks itself
        return false;
    }
    if (m_ctx.model.isInstanceSheet(active))
        m_ctx.state.rememberedSheet = active;
    else if (!m_ctx.model.isInstanceSheet(m_ctx.state.rememberedSheet))
        m_ctx.state.rememberedSheet = 1;

    m_ctx.view.setSelectionEvents(false);
    m_ctx.state.mode = mode;
    m_ctx.view.modeChanged(mode);
    m_ctx.view.setSheetTabsShown(false);
    m_ctx.view.setStatusText(1, IdentCommands::hintOf(mode));
    switch (mode) {
    case IdentMode::Side:
        enterSide();
        break;
    case IdentMode::Header:
        enterHeader();
        break;
    case IdentMode::Title:
        onlyInGroup(active);
        m_title.prepareSheet(active);
        break;
    case IdentMode::HiddenRows:
        enterHiddenRows();
        break;
    case IdentMode::HiddenCols:
        enterHiddenCols();
        break;
    case IdentMode::RowFormulas:
        m_formulas.enterRows();
        break;
    case IdentMode::ColFormulas:
        m_formulas.enterCols();
        break;
    case IdentMode::Normal:
        break;
    }
    m_ctx.view.setSelectionEvents(true);
    return true;
}

void IdentModeController::enterSide() {
    IdentModel& model = m_ctx.model;
    Workbook& book = model.book();
    const int sheet = model.rowIdentSheet();
    m_ctx.view.showSheet(sheet);
    onlyInGroup(sheet);
    book.setText(sheet, kFirstTitleRow, kSideCol, IdentCommands::hintOf(IdentMode::Side));
    Sheet& s = book.sheet(sheet);
    for (int r = kFirstHeaderRow; r <= model.lastHeaderRow(); ++r)
        s.setRowHidden(r, true);
    m_ctx.view.setFrozen(model.lastHeaderRow(), 0);
    putBackRowSlots();
    for (int col : sideHiddenColumns())
        s.setColHidden(col, true);
    m_ctx.view.scrollTo(kFirstTitleRow, kSideCol);
    const int body = model.firstBodyRow();
    const int lastRow = std::max(s.lastRow(), body);
    m_ctx.view.setCursor(firstShownRow(s, body, lastRow, body),
                         firstShownCol(s, kFirstDataCol, kColumnCount, slotCol(8)));
}

void IdentModeController::enterHeader() {
    IdentModel& model = m_ctx.model;
    Workbook& book = model.book();
    const int sheet = model.colIdentSheet();
    m_ctx.view.showSheet(sheet);
    onlyInGroup(sheet);
    book.setText(sheet, kFirstTitleRow, kSideCol, IdentCommands::hintOf(IdentMode::Header));
    m_ctx.view.setFrozen(0, kSideCol);
    putBackColSlots();
    Sheet& s = book.sheet(sheet);
    // A new table keeps row 91 of this sheet hidden; the hint has to be seen.
    s.setRowHidden(kFirstTitleRow, false);
    for (int slot : headerHiddenSlots())
        s.setRowHidden(model.colSlotRow(Slot(slot)), true);
    m_ctx.view.scrollTo(kFirstTitleRow, kSideCol);
    const int first = model.colSlotRow(Slot(1));
    m_ctx.view.setCursor(firstShownRow(s, first, model.colSlotRow(Slot(kSlotCount)),
                                       model.colSlotRow(Slot::IndicatorShown)),
                         firstShownCol(s, kFirstDataCol, kColumnCount, kFirstDataCol));
}

void IdentModeController::enterHiddenRows() {
    IdentModel& model = m_ctx.model;
    const int sheet = model.rowIdentSheet();
    m_ctx.view.showSheet(sheet);
    onlyInGroup(sheet);
    model.book().sheet(sheet).setColHidden(rowSlotColumn(Slot::HideMarker), false);
    m_ctx.view.setCursor(model.firstBodyRow(), rowSlotColumn(Slot::HideMarker));
}

void IdentModeController::enterHiddenCols() {
    IdentModel& model = m_ctx.model;
    const int sheet = model.colIdentSheet();
    m_ctx.view.showSheet(sheet);
    onlyInGroup(sheet);
    const int markerRow = model.colSlotRow(Slot::HideMarker);
    m_ctx.view.setRowLimit(markerRow);
    model.book().sheet(sheet).setRowHidden(markerRow, false);
    m_ctx.view.setCursor(markerRow, kFirstDataCol);
}

void IdentModeController::putBackRowSlots() {
    if (m_ctx.state.rowSlotsShown)
        setRowSlotStates(m_ctx.model, *m_ctx.state.rowSlotsShown);
}

void IdentModeController::putBackColSlots() {
    if (m_ctx.state.colSlotsShown)
        setColSlotStates(m_ctx.model, *m_ctx.state.colSlotsShown);
}

void IdentModeController::leaveSide() {
    m_ctx.state.rowSlotsShown = rowSlotStates(m_ctx.model);
    m_ctx.view.setFrozen(0, 0);
}

void IdentModeController::leaveHeader() {
    m_ctx.state.colSlotsShown = colSlotStates(m_ctx.model);
    m_ctx.view.setFrozen(0, 0);
}

void IdentModeController::leaveHiddenRows() {
    m_ctx.model.book()
        .sheet(m_ctx.model.rowIdentSheet())
        .setColHidden(rowSlotColumn(Slot::HideMarker), true);
    putBackRowSlots();
}

void IdentModeController::leaveHiddenCols() {
    m_ctx.model.book()
        .sheet(m_ctx.model.colIdentSheet())
        .setRowHidden(m_ctx.model.colSlotRow(Slot::HideMarker), true);
    putBackColSlots();
    m_ctx.view.setRowLimit(kNormalRowLimit);
}

void IdentModeController::leave() {
    const IdentMode mode = m_ctx.state.mode;
    if (mode == IdentMode::Normal)
        return;
    // An entry still being typed belongs to the mode: it is resolved before the mode ends.
    m_ctx.view.finishEdit();
    IdentModel& model = m_ctx.model;
    m_ctx.view.setSelectionEvents(false);
    switch (mode) {
    case IdentMode::Side:
        leaveSide();
        break;
    case IdentMode::Header:
        leaveHeader();
        break;
    case IdentMode::Title:
        m_title.unprepareSheet(model.book().activeSheetIndex());
        break;
    case IdentMode::HiddenRows:
        leaveHiddenRows();
        break;
    case IdentMode::HiddenCols:
        leaveHiddenCols();
        break;
    case IdentMode::RowFormulas:
        m_formulas.leaveRows();
        break;
    case IdentMode::ColFormulas:
        m_formulas.leaveCols();
        break;
    case IdentMode::Normal:
        break;
    }
    m_ctx.state.mode = IdentMode::Normal;
    int sheet = m_ctx.state.rememberedSheet;
    if (!model.isInstanceSheet(sheet))
        sheet = 1;
    m_ctx.view.showSheet(sheet);
    onlyInGroup(sheet);
    m_ctx.view.setSheetTabsShown(true);
    m_ctx.view.setStatusText(1, QString());
    m_ctx.view.modeChanged(IdentMode::Normal);
    m_ctx.view.setSelectionEvents(true);
}

void IdentModeController::reset() {
    m_ctx.state.mode = IdentMode::Normal;
    m_ctx.state.rememberedSheet = 1;
    m_ctx.state.titleKind = -1;
    m_ctx.state.row = m_ctx.state.col = m_ctx.state.prevRow = m_ctx.state.prevCol = 0;
    m_ctx.state.rowSlotsShown.reset();
    m_ctx.state.colSlotsShown.reset();
    m_ctx.state.editedPeriodBound.reset();
    m_ctx.view.setSheetTabsShown(true);
    m_ctx.view.modeChanged(IdentMode::Normal);
}

IdentModeController::EscapeResult IdentModeController::escape() {
    if (m_ctx.state.mode != IdentMode::Normal) {
        leave();
        return EscapeResult::Left;
    }
    if (m_ctx.model.isInstanceSheet(m_ctx.model.book().activeSheetIndex()))
        return EscapeResult::CloseWindow;
    return EscapeResult::Ignored;
}

bool IdentModeController::jumpToSheet(bool last) {
    IdentModel& model = m_ctx.model;
    const int active = model.book().activeSheetIndex();
    const IdentMode mode = m_ctx.state.mode;
    if (model.instanceCount() < 2 || !model.isInstanceSheet(active) ||
        (mode != IdentMode::Normal && mode != IdentMode::Title))
        return false;
    const int target = last ? model.instanceCount() : 1;
    if (target == active) {
        onlyInGroup(active);
        return true;
    }
    m_ctx.view.setSelectionEvents(false);
    if (mode == IdentMode::Title)
        m_title.unprepareSheet(active);
    m_ctx.view.showSheet(target);
    onlyInGroup(target);
    if (mode == IdentMode::Title) {
        m_ctx.state.rememberedSheet = target;
        m_title.prepareSheet(target);
    }
    m_ctx.view.setSelectionEvents(true);
    return true;
}
