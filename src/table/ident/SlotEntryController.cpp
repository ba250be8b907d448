#include "SlotEntryController.h"

#include "CodeResolver.h"
#include "IdentModel.h"
#include "IdentSheetTools.h"
#include "model/Workbook.h"

#include <algorithm>

using namespace TableLayout;

namespace {

// Short date formats a date bound may carry before it is shown as month and year: the
// one of older workbooks and the one the entry parser gives a typed date.
bool isShortDateFormat(const QString& format) {
    return format == QLatin1String("m/d/yy") || format == QLatin1String("dd.mm.yyyy");
}

// A year alone: digits only, as a yearly bound is typed.
bool isPlainYear(const QString& typed) {
    const QString t = typed.trimmed();
    if (t.isEmpty() || t.size() > 4)
        return false;
    return std::all_of(t.begin(), t.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

} // namespace

SlotEntryController::SlotEntryController(IdentContext& context)
    : m_ctx(context), m_title(context, [this] { objectTaken(); }) {}

void SlotEntryController::setDirectoryEntryHook(std::function<void()> hook) {
    m_directoryHook = std::move(hook);
}

void SlotEntryController::objectTaken() {
    if (m_directoryHook)
        m_directoryHook();
}

bool SlotEntryController::isPeriodBound(int sheet, int row, int col) const {
    const IdentModel& m = m_ctx.model;
    if (sheet == m.rowIdentSheet())
        return row >= m.firstBodyRow() &&
               (col == rowSlotColumn(Slot::PeriodStart) || col == rowSlotColumn(Slot::PeriodEnd));
    if (sheet == m.colIdentSheet())
        return col >= kFirstDataCol &&
               (row == m.colSlotRow(Slot::PeriodStart) || row == m.colSlotRow(Slot::PeriodEnd));
    return m.isInstanceSheet(sheet) && col == kTitleValueCol &&
           (row == int(TitleRow::PeriodStart) || row == int(TitleRow::PeriodEnd));
}

bool SlotEntryController::endEdit(int sheet, int row, int col, const QString& typed) {
    const IdentModel& m = m_ctx.model;
    if (!m.book().hasSheet(sheet))
        return true;
    bool accepted = true;
    // Marking shows the same identification sheet with its slots: a code typed there is
    // taken as in side or header identification, never left without its internal code.
    switch (m_ctx.state.mode) {
    case IdentMode::Side:
    case IdentMode::HiddenRows:
        if (sheet == m.rowIdentSheet() && row >= m.firstBodyRow())
            accepted = sideEntry(row, col, typed);
        break;
    case IdentMode::Header:
    case IdentMode::HiddenCols:
        if (sheet == m.colIdentSheet() && col >= kFirstDataCol)
            accepted = headerEntry(row, col, typed);
        break;
    case IdentMode::Title:
        if (m.isInstanceSheet(sheet))
            accepted = m_title.endEdit(sheet, row, col, typed);
        break;
    default:
        break;
    }
    // What is typed into identification goes to the one sheet it was typed on, however
    // many sheets were selected before.
    if (accepted && m_ctx.state.mode != IdentMode::Normal)
        IdentSheetTools::keepOnlyInGroup(m_ctx.model.book(), sheet);
    if (accepted && isPeriodBound(sheet, row, col)) {
        // A year typed over a date bound is a year: under "mmm/yy" it would read as a day
        // of 1905 that no fund holds.
        if (isPlainYear(typed))
            m_ctx.model.book().setNumberFormat(sheet, CellRange::cell(row, col),
                                               QStringLiteral("General"));
        m_ctx.state.editedPeriodBound = SheetCell{sheet, row, col};
    }
    return accepted;
}

bool SlotEntryController::sideEntry(int row, int col, const QString& typed) {
    Workbook& book = m_ctx.model.book();
    const int sheet = m_ctx.model.rowIdentSheet();
    CodeResolver resolver(m_ctx.dm, m_ctx.prompter);
    for (Slot s : {Slot::IndicatorShown, Slot::Attr1Shown, Slot::Attr2Shown}) {
        if (col != rowSlotColumn(s))
            continue;
        const IndicatorEntry e = resolver.ResolveIndicatorEntry(typed);
        if (!e.ok)
            return false;
        book.setNumber(sheet, row, col - 1, e.code);
        if (e.code != 0)
            transferRowName(row, e.name);
        return true;
    }
    if (col >= rowSlotColumn(Slot::Object) && col <= rowSlotColumn(Slot::Cut4)) {
        const ObjectEntry e = resolver.ResolveObjectEntry(typed);
        if (!e.ok)
            return false;
        // The type slot of the object and of each cut sits eight columns to the right.
        book.setNumber(sheet, row, col + 8, e.type);
        if (e.code != 0)
            transferRowName(row, e.name);
        objectTaken();
    }
    return true;
}

bool SlotEntryController::headerEntry(int row, int col, const QString& typed) {
    Workbook& book = m_ctx.model.book();
    const IdentModel& m = m_ctx.model;
    const int sheet = m.colIdentSheet();
    CodeResolver resolver(m_ctx.dm, m_ctx.prompter);
    for (Slot s : {Slot::IndicatorShown, Slot::Attr1Shown, Slot::Attr2Shown}) {
        if (row != m.colSlotRow(s))
            continue;
        const IndicatorEntry e = resolver.ResolveIndicatorEntry(typed);
        if (!e.ok)
            return false;
        book.setNumber(sheet, row - 1, col, e.code);
        return true;
    }
    if (row >= m.colSlotRow(Slot::Object) && row <= m.colSlotRow(Slot::Cut4)) {
        const ObjectEntry e = resolver.ResolveObjectEntry(typed);
        if (!e.ok)
            return false;
        book.setNumber(sheet, row + 8, col, e.type);
        objectTaken();
    }
    return true;
}

void SlotEntryController::transferRowName(int row, const QString& name) {
    if (!m_ctx.options.transferNames)
        return;
    // Row names stand on the instance sheets and on the row identification sheet; the
    // column identification sheet keeps its own side (the captions of its slots).
    Workbook& book = m_ctx.model.book();
    for (int sheet = 1; sheet <= m_ctx.model.rowIdentSheet(); ++sheet)
        book.setText(sheet, row, kSideCol, name);
}

void SlotEntryController::selectionChanged() {
    if (!m_ctx.state.editedPeriodBound)
        return;
    const SheetCell cell = *m_ctx.state.editedPeriodBound;
    m_ctx.state.editedPeriodBound.reset();
    Workbook& book = m_ctx.model.book();
    if (!book.hasSheet(cell.sheet))
        return;
    if (isShortDateFormat(book.sheet(cell.sheet).format(cell.row, cell.col).numberFormat))
        book.setNumberFormat(cell.sheet, CellRange::cell(cell.row, cell.col),
                             QStringLiteral("mmm/yy"));
}
