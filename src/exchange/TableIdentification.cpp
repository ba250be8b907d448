#include "TableIdentification.h"

#include "model/Workbook.h"

using namespace TableLayout;

namespace {

IdentVector readRow(IdentModel& model, int r, bool tidy) {
    Workbook& book = model.book();
    const int sheet = model.rowIdentSheet();
    IdentVector v;
    v.indicator = model.rowCode(r, Slot::IndicatorCode);
    v.attr1 = model.rowCode(r, Slot::Attr1Code);
    v.attr2 = model.rowCode(r, Slot::Attr2Code);
    auto element = [&](Slot code, Slot type) {
        ElementRef e{model.rowCode(r, code), model.rowCode(r, type)};
        if (tidy && e.code == 0 && e.type != 0) {
            e.type = 0;
            book.setNumber(sheet, r, rowSlotColumn(type), 0);
        }
        return e;
    };
    // A row that loses its objects-directory type is no longer a subordinate object's
    // row; with those rows hidden it would stay hidden for good.
    if (tidy && model.rowCode(r, Slot::Object) == 0 &&
        model.rowCode(r, Slot::ObjectType) == kObjectsDirectoryType &&
        model.setting(Setting::HideSubordinate) != 0) {
        for (int s = 1; s <= model.instanceCount(); ++s)
            book.sheet(s).setRowHidden(r, false);
    }
    v.object = element(Slot::Object, Slot::ObjectType);
    for (int k = 0; k < 4; ++k)
        v.cuts[size_t(k)] = element(cutSlot(k), cutTypeSlot(k));
    v.period = ParsePeriodBounds(model.rowPeriod(r, Slot::PeriodStart).entry,
                                 model.rowPeriod(r, Slot::PeriodEnd).entry);
    return v;
}

IdentVector readCol(IdentModel& model, int c, bool tidy) {
    Workbook& book = model.book();
    const int sheet = model.colIdentSheet();
    IdentVector v;
    v.indicator = model.colCode(c, Slot::IndicatorCode);
    v.attr1 = model.colCode(c, Slot::Attr1Code);
    v.attr2 = model.colCode(c, Slot::Attr2Code);
    v.object = {model.colCode(c, Slot::Object), model.colCode(c, Slot::ObjectType)};
    for (int k = 0; k < 4; ++k) {
        ElementRef e{model.colCode(c, cutSlot(k)), model.colCode(c, cutTypeSlot(k))};
        if (tidy && e.code == 0 && e.type != 0) {
            e.type = 0;
            book.setNumber(sheet, model.colSlotRow(cutTypeSlot(k)), c, 0);
        }
        v.cuts[size_t(k)] = e;
    }
    v.period = ParsePeriodBounds(model.colPeriod(c, Slot::PeriodStart).entry,
                                 model.colPeriod(c, Slot::PeriodEnd).entry);
    return v;
}

} // namespace

int TableIdentification::cellCount() const {
    if (!hasBody() || lastCol < kFirstDataCol)
        return 0;
    return (lastRow - lastHeaderRow) * (lastCol - kFirstDataCol + 1);
}

TableIdentification ReadIdentification(IdentModel& model, bool tidy) {
    model.readGeometry();
    const Workbook& book = model.book();
    TableIdentification ident;
    ident.lastHeaderRow = model.lastHeaderRow();
    ident.lastRow = book.sheet(model.rowIdentSheet()).lastRow();
    ident.lastCol = book.sheet(model.colIdentSheet()).lastCol();
    for (int r = ident.firstBodyRow(); r <= ident.lastRow; ++r)
        ident.rows.push_back(readRow(model, r, tidy));
    for (int c = kFirstDataCol; c <= ident.lastCol; ++c) {
        ident.cols.push_back(readCol(model, c, tidy));
        ident.colKinds.push_back(model.columnSpecialKind(c));
    }
    return ident;
}

std::vector<IdentVector> EffectiveColumns(const IdentModel& model, const TableIdentification& ident,
                                          int sheet) {
    IdentVector title;
    title.indicator = model.titleCode(sheet, TitleRow::Indicator);
    title.attr1 = model.titleCode(sheet, TitleRow::Attr1);
    title.attr2 = model.titleCode(sheet, TitleRow::Attr2);
    title.object = {model.titleCode(sheet, TitleRow::Object),
                    model.titleCode(sheet, TitleRow::Object, kTitleExtraCol)};
    for (int k = 0; k < 4; ++k)
        title.cuts[size_t(k)] = {model.titleCode(sheet, titleCutRow(k)),
                                 model.titleCode(sheet, titleCutRow(k), kTitleExtraCol)};
    title.period = ParsePeriodBounds(model.titlePeriod(sheet, TitleRow::PeriodStart).entry,
                                     model.titlePeriod(sheet, TitleRow::PeriodEnd).entry);

    std::vector<IdentVector> result = ident.cols;
    for (IdentVector& v : result) {
        if (v.indicator == 0)
            v.indicator = title.indicator;
        if (v.attr1 == 0)
            v.attr1 = title.attr1;
        if (v.attr2 == 0)
            v.attr2 = title.attr2;
        if (v.object.code == 0)
            v.object = title.object;
        for (size_t k = 0; k < 4; ++k)
            if (v.cuts[k].code == 0)
                v.cuts[k] = title.cuts[k];
        if (v.period.beginYear == 0)
            v.period = title.period;
    }
    return result;
}
