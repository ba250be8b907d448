#include "IdentSheetTools.h"

#include "IdentModel.h"
#include "model/Workbook.h"

using namespace TableLayout;

namespace IdentSheetTools {

SlotStates rowSlotStates(const IdentModel& model) {
    const Sheet& s = model.book().sheet(model.rowIdentSheet());
    SlotStates shown{};
    for (int i = 0; i < kSlotCount; ++i)
        shown[size_t(i)] = !s.colHidden(rowSlotColumn(Slot(i + 1)));
    return shown;
}

SlotStates colSlotStates(const IdentModel& model) {
    const Sheet& s = model.book().sheet(model.colIdentSheet());
    SlotStates shown{};
    for (int i = 0; i < kSlotCount; ++i)
        shown[size_t(i)] = !s.rowHidden(model.colSlotRow(Slot(i + 1)));
    return shown;
}

void setRowSlotStates(IdentModel& model, const SlotStates& shown) {
    Sheet& s = model.book().sheet(model.rowIdentSheet());
    for (int i = 0; i < kSlotCount; ++i)
        s.setColHidden(rowSlotColumn(Slot(i + 1)), !shown[size_t(i)]);
}

void setColSlotStates(IdentModel& model, const SlotStates& shown) {
    Sheet& s = model.book().sheet(model.colIdentSheet());
    for (int i = 0; i < kSlotCount; ++i)
        s.setRowHidden(model.colSlotRow(Slot(i + 1)), !shown[size_t(i)]);
}

int firstShownRow(const Sheet& sheet, int from, int to, int fallback) {
    for (int r = from; r <= to; ++r)
        if (!sheet.rowHidden(r))
            return r;
    return fallback;
}

int firstShownCol(const Sheet& sheet, int from, int to, int fallback) {
    for (int c = from; c <= to; ++c)
        if (!sheet.colHidden(c))
            return c;
    return fallback;
}

void keepOnlyInGroup(Workbook& book, int sheet) {
    for (int i = 1; i <= book.sheetCount(); ++i)
        book.setInEditGroup(i, i == sheet);
}

} // namespace IdentSheetTools
