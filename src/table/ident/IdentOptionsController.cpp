#include "IdentOptionsController.h"

#include "IdentEditorView.h"
#include "IdentModel.h"
#include "IdentSheetTools.h"
#include "model/Workbook.h"

#include <algorithm>

using namespace TableLayout;
using namespace IdentSheetTools;

IdentOptionsController::IdentOptionsController(IdentContext& ctx) : m_ctx(ctx) {}

int IdentOptionsController::activeSheet() const {
    return m_ctx.model.book().activeSheetIndex();
}

IdentOptionsController::SheetKind IdentOptionsController::currentSheet() const {
    const int sheet = activeSheet();
    if (sheet == m_ctx.model.rowIdentSheet())
        return SheetKind::RowIdent;
    if (sheet == m_ctx.model.colIdentSheet())
        return SheetKind::ColIdent;
    return SheetKind::Instance;
}

bool IdentOptionsController::slotShown(Slot s) const {
    const Sheet& sheet = m_ctx.model.book().sheet(activeSheet());
    switch (currentSheet()) {
    case SheetKind::RowIdent:
        return !sheet.colHidden(m_ctx.model.rowSlotCol(s));
    case SheetKind::ColIdent:
        return !sheet.rowHidden(m_ctx.model.colSlotRow(s));
    case SheetKind::Instance:
        break;
    }
    return true;
}

void IdentOptionsController::setSlotsShown(Slot first, Slot last, bool shown) {
    Sheet& sheet = m_ctx.model.book().sheet(activeSheet());
    const SheetKind kind = currentSheet();
    for (int s = int(first); s <= int(last); ++s) {
        if (kind == SheetKind::RowIdent)
            sheet.setColHidden(m_ctx.model.rowSlotCol(Slot(s)), !shown);
        else if (kind == SheetKind::ColIdent)
            sheet.setRowHidden(m_ctx.model.colSlotRow(Slot(s)), !shown);
    }
}

VisibleParams IdentOptionsController::activate() {
    m_shownOnActivate.reset();
    if (currentSheet() == SheetKind::Instance) {
        m_boxes = {};
        return m_boxes;
    }
    m_shownOnActivate = currentSheet() == SheetKind::RowIdent ? rowSlotStates(m_ctx.model)
                                                              : colSlotStates(m_ctx.model);
    m_boxes = {slotShown(Slot::IndicatorShown), slotShown(Slot::Object),
               slotShown(Slot::PeriodStart)};
    return m_boxes;
}

void IdentOptionsController::setIndicatorsShown(bool shown) {
    m_boxes.indicators = shown;
    if (shown) {
        // The internal codes stay hidden: only the displayed codes come back.
        for (Slot s : {Slot::IndicatorShown, Slot::Attr1Shown, Slot::Attr2Shown})
            setSlotsShown(s, s, true);
    } else {
        setSlotsShown(Slot::IndicatorCode, Slot::Attr2Shown, false);
    }
}

void IdentOptionsController::setObjectsShown(bool shown) {
    m_boxes.objects = shown;
    setSlotsShown(Slot::Object, Slot::Cut4, shown);
}

void IdentOptionsController::setPeriodsShown(bool shown) {
    m_boxes.periods = shown;
    setSlotsShown(Slot::PeriodStart, Slot::PeriodEnd, shown);
}

void IdentOptionsController::apply(const IdentOptions& options) {
    m_ctx.options = options;
    m_ctx.options.showIndicators = m_boxes.indicators;
    m_ctx.options.showObjects = m_boxes.objects;
    m_ctx.options.showPeriods = m_boxes.periods;
    m_shownOnActivate.reset();
    placeCursor();
}

void IdentOptionsController::cancel() {
    if (m_shownOnActivate) {
        if (currentSheet() == SheetKind::RowIdent)
            setRowSlotStates(m_ctx.model, *m_shownOnActivate);
        else if (currentSheet() == SheetKind::ColIdent)
            setColSlotStates(m_ctx.model, *m_shownOnActivate);
    }
    m_shownOnActivate.reset();
}

void IdentOptionsController::placeCursor() {
    const Sheet& sheet = m_ctx.model.book().sheet(activeSheet());
    const IdentModel& m = m_ctx.model;
    switch (currentSheet()) {
    case SheetKind::ColIdent:
        m_ctx.view.setCursor(firstShownRow(sheet, m.colSlotRow(Slot(1)),
                                           m.colSlotRow(Slot(kSlotCount)),
                                           m.colSlotRow(Slot::IndicatorShown)),
                             kFirstDataCol);
        break;
    case SheetKind::RowIdent: {
        const int body = m.firstBodyRow();
        const int row = firstShownRow(sheet, body, std::min(sheet.lastRow(), kMaxRows), body);
        // The object column, unless the options have just hidden it.
        int col = m.rowSlotCol(Slot::Object);
        if (sheet.colHidden(col))
            col = firstShownCol(sheet, m.rowSlotCol(Slot(1)), m.rowSlotCol(Slot(kSlotCount)), col);
        m_ctx.view.setCursor(row, col);
        break;
    }
    case SheetKind::Instance:
        break;
    }
}

void IdentOptionsController::showInternalCodes() {
    Sheet& sheet = m_ctx.model.book().sheet(activeSheet());
    switch (currentSheet()) {
    case SheetKind::RowIdent:
        // Every slot, and whatever else the sheet uses.
        for (int c = kFirstDataCol; c <= std::max(sheet.lastCol(), rowSlotColumn(Slot::Unit)); ++c)
            sheet.setColHidden(c, false);
        break;
    case SheetKind::ColIdent:
        for (int r = m_ctx.model.lastHeaderRow() + 1;
             r <= std::max(sheet.lastRow(), m_ctx.model.colSlotRow(Slot::Unit)); ++r)
            sheet.setRowHidden(r, false);
        break;
    case SheetKind::Instance:
        break;
    }
}
