#include "HiddenMarkController.h"

#include "IdentContext.h"
#include "IdentEditorView.h"
#include "IdentModel.h"
#include "model/Workbook.h"

using namespace TableLayout;

void HiddenMarkController::setRowOnInstances(int row, bool hidden) {
    Workbook& book = m_ctx.model.book();
    for (int i = 1; i <= m_ctx.model.instanceCount(); ++i)
        book.sheet(i).setRowHidden(row, hidden);
}

void HiddenMarkController::setColOnInstances(int col, bool hidden) {
    Workbook& book = m_ctx.model.book();
    for (int i = 1; i <= m_ctx.model.instanceCount(); ++i)
        book.sheet(i).setColHidden(col, hidden);
}

bool HiddenMarkController::click(int row, int col) {
    IdentModel& model = m_ctx.model;
    Workbook& book = model.book();
    const int sheet = book.activeSheetIndex();
    if (m_ctx.state.mode == IdentMode::HiddenRows) {
        const int markerCol = rowSlotColumn(Slot::HideMarker);
        if (sheet != model.rowIdentSheet() || col != markerCol || row < model.firstBodyRow())
            return false;
        const bool mark = !model.rowMarkedHidden(row);
        if (mark)
            book.setText(sheet, row, markerCol, IdentModel::hideMarker());
        else
            book.clearCell(sheet, row, markerCol);
        if (model.setting(Setting::HideMarkedRows) != 0)
            setRowOnInstances(row, mark);
        return true;
    }
    if (m_ctx.state.mode == IdentMode::HiddenCols) {
        const int markerRow = model.colSlotRow(Slot::HideMarker);
        if (sheet != model.colIdentSheet() || row != markerRow || col < kFirstDataCol)
            return false;
        const bool mark = !model.colMarkedHidden(col);
        if (mark)
            book.setText(sheet, markerRow, col, IdentModel::hideMarker());
        else
            book.clearCell(sheet, markerRow, col);
        if (model.setting(Setting::HideMarkedCols) != 0)
            setColOnInstances(col, mark);
        return true;
    }
    return false;
}

void HiddenMarkController::applyMarkedRows(bool hide) {
    IdentModel& model = m_ctx.model;
    const Sheet& rows = model.book().sheet(model.rowIdentSheet());
    const int markerCol = rowSlotColumn(Slot::HideMarker);
    // Only rows that carry a cell in the marker column can be marked.
    const int last = rows.lastRow();
    for (int r = model.firstBodyRow(); r <= last; ++r)
        if (!rows.text(r, markerCol).isEmpty() && model.rowMarkedHidden(r))
            setRowOnInstances(r, hide);
}

void HiddenMarkController::applyMarkedCols(bool hide) {
    IdentModel& model = m_ctx.model;
    const Sheet& cols = model.book().sheet(model.colIdentSheet());
    const int markerRow = model.colSlotRow(Slot::HideMarker);
    const int last = cols.lastColInRow(markerRow);
    for (int c = kFirstDataCol; c <= last; ++c)
        if (model.colMarkedHidden(c))
            setColOnInstances(c, hide);
}

void HiddenMarkController::moveCursorOffHiddenRow() {
    const Sheet& s = m_ctx.model.book().activeSheet();
    if (!m_ctx.model.isInstanceSheet(s.index()))
        return;
    const int row = m_ctx.view.cursorRow();
    if (!s.rowHidden(row))
        return;
    const int col = m_ctx.view.cursorCol();
    for (int r = row + 1; r <= s.maxRow(); ++r) {
        if (!s.rowHidden(r)) {
            m_ctx.view.setCursor(r, col);
            return;
        }
    }
    for (int r = row - 1; r >= 1; --r) {
        if (!s.rowHidden(r)) {
            m_ctx.view.setCursor(r, col);
            return;
        }
    }
}

bool HiddenMarkController::toggleRows(Setting setting, void (HiddenMarkController::*apply)(bool)) {
    const bool on = m_ctx.model.setting(setting) == 0;
    m_ctx.model.setSetting(setting, on ? 1 : 0);
    (this->*apply)(on);
    if (on)
        moveCursorOffHiddenRow();
    return on;
}

bool HiddenMarkController::toggleHideRows() {
    return toggleRows(Setting::HideMarkedRows, &HiddenMarkController::applyMarkedRows);
}

bool HiddenMarkController::toggleHideCols() {
    const bool on = m_ctx.model.setting(Setting::HideMarkedCols) == 0;
    m_ctx.model.setSetting(Setting::HideMarkedCols, on ? 1 : 0);
    applyMarkedCols(on);
    return on;
}

void HiddenMarkController::applySubordinateRows(bool hide) {
    IdentModel& model = m_ctx.model;
    const Sheet& rows = model.book().sheet(model.rowIdentSheet());
    const int typeCol = rowSlotColumn(Slot::ObjectType);
    for (int r = model.firstBodyRow(); r <= rows.lastRow(); ++r)
        if (int(rows.number(r, typeCol)) == kObjectsDirectoryType) {
            // A row also marked hidden stays hidden while marked rows are hidden.
            if (!hide && model.setting(Setting::HideMarkedRows) != 0 && model.rowMarkedHidden(r))
                continue;
            setRowOnInstances(r, hide);
        }
}

bool HiddenMarkController::toggleHideSubordinate() {
    return toggleRows(Setting::HideSubordinate, &HiddenMarkController::applySubordinateRows);
}
