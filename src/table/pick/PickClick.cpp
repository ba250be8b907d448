#include "PickClick.h"

#include "IdentModel.h"
#include "Prompter.h"

#include "model/Workbook.h"

using namespace TableLayout;

namespace {

PickClick::Picker pickerOfSlot(Slot s) {
    switch (s) {
    case Slot::IndicatorShown:
    case Slot::Attr1Shown:
    case Slot::Attr2Shown:
        return PickClick::Indicators;
    case Slot::PeriodStart:
    case Slot::PeriodEnd:
        return PickClick::Periods;
    case Slot::Object:
    case Slot::Cut1:
    case Slot::Cut2:
    case Slot::Cut3:
    case Slot::Cut4:
        return PickClick::ObjectDirectories;
    default:
        return PickClick::None;
    }
}

} // namespace

PickClick PickClick::classify(const IdentModel& model, IdentMode mode, int sheet, int row, int col,
                              Prompter& prompter) {
    PickClick click;
    const int H = model.lastHeaderRow();
    PlacementRequest& t = click.target;
    t.region = mode;
    if (mode == IdentMode::Side && sheet == model.rowIdentSheet() && row > H) {
        const int s = col - 2;
        if (s < 1 || s > kSlotCount)
            return click;
        t.slot = Slot(s);
        t.line = row;
        click.picker = pickerOfSlot(t.slot);
    } else if (mode == IdentMode::Header && sheet == model.colIdentSheet() &&
               col >= kFirstDataCol) {
        const int s = row - H;
        if (s < 1 || s > kSlotCount)
            return click;
        t.slot = Slot(s);
        t.line = col;
        click.picker = pickerOfSlot(t.slot);
    } else if (mode == IdentMode::Title && model.isInstanceSheet(sheet) &&
               (col == kTitleValueCol || col == kTitleExtraCol)) {
        if (row < int(TitleRow::Indicator) || row > int(TitleRow::PeriodEnd) ||
            row == int(TitleRow::Level))
            return click;
        t.titleRow = TitleRow(row);
        if (row <= int(TitleRow::Attr2))
            click.picker = Indicators;
        else if (row >= int(TitleRow::PeriodStart))
            click.picker = Periods;
        else
            click.picker = ObjectDirectories;
        if ((t.titleRow == TitleRow::Attr1 || t.titleRow == TitleRow::Attr2) &&
            model.titleKind(sheet).trimmed() == QStringLiteral("Показатель") &&
            model.titleCode(sheet, TitleRow::Indicator) == 0) {
            prompter.error(noIndicator());
            click.picker = None;
        }
    }
    return click;
}
