// The title part of the placement: instance sheets multiplied in front of the active one.
#include "Placement.h"

#include "IdentModel.h"
#include "InstanceSheets.h"
#include "Prompter.h"

#include "model/Workbook.h"

#include <algorithm>

using namespace TableLayout;

namespace {

constexpr int kNameRow = kLastTitleRow;

} // namespace

void Placement::writeTitle(int sheet, const PickedEntry& e, int level) {
    Workbook& b = m_model.book();
    const int t = int(m_req->titleRow);
    switch (m_req->kind) {
    case PickKind::Indicator:
        b.setNumber(sheet, t, kTitleValueCol, e.code);
        b.setEntry(sheet, t, kTitleExtraCol, e.shown);
        break;
    case PickKind::Node:
    case PickKind::Object:
        b.setNumber(sheet, t, kTitleValueCol, e.code);
        b.setNumber(sheet, t, kTitleExtraCol, e.directory);
        break;
    case PickKind::Period:
        b.setEntry(sheet, t, kTitleValueCol, e.value);
        b.setNumberFormat(sheet, CellRange::cell(t, kTitleValueCol),
                          e.monthly ? QStringLiteral("mmm/yy") : QStringLiteral("General"));
        break;
    }
    if (level > 0)
        b.setNumber(sheet, int(TitleRow::Level), kTitleValueCol, level);
}

void Placement::setTitleName(Workbook& b, int sheet, const QString& name) {
    b.setFormat(sheet, CellRange::cell(kNameRow, kTitleValueCol),
                [](CellFormat& f) { f.wordWrap = false; });
    b.setText(sheet, kNameRow, kTitleValueCol, name);
}

bool Placement::keepActiveSheetOnly(IdentModel& model, Prompter& prompter) {
    Workbook& b = model.book();
    const int d = b.activeSheetIndex();
    if (model.instanceCount() > 1 && !prompter.confirm(deleteSheetsQuestion(), Answer::No))
        return false;
    for (int s = model.instanceCount(); s >= 1; --s)
        if (s != d)
            b.deleteSheet(s);
    b.setActiveSheet(1);
    return true;
}

// "Поставить" (and any mode while the title has no kind): k − 1 sheets in front of the
// active one, entry i on sheet d + k − i, so the first entry stays on the active sheet.
bool Placement::putTitle() {
    const PlacementRequest& q = *m_req;
    Workbook& b = m_model.book();
    int d = b.activeSheetIndex();
    if (q.kind == PickKind::Object) {
        if (!keepActiveSheetOnly(m_model, m_prompter))
            return false;
        d = 1;
        b.clearRange(d,
                     CellRange(int(TitleRow::Indicator), kTitleValueCol, int(TitleRow::PeriodEnd),
                               kTitleExtraCol),
                     ClearWhat::Values);
    }
    const int k = int(q.entries.size());
    for (int i = 1; i < k; ++i)
        m_sheets.insertSheet(); // before the active sheet; the new one becomes active
    for (int i = 1; i <= k; ++i) {
        const int sheet = d + k - i;
        const PickedEntry& e = q.entries[i - 1];
        writeTitle(sheet, e, q.kind == PickKind::Node ? e.depth : 1);
        if (q.transferNames)
            setTitleName(b, sheet, e.name);
    }
    b.setActiveSheet(d + k - 1);
    return true;
}

// One more title line on every instance sheet: the lines move up by one, row 99 is free.
void Placement::addTitleLine() {
    Workbook& b = m_model.book();
    if (m_model.titleRows() >= kMaxTitleRows)
        return;
    for (int s = 1; s <= m_model.instanceCount(); ++s) {
        b.moveRange(s, CellRange(kFirstTitleRow + 1, 1, kLastTitleRow, kColumnCount), -1, 0);
        b.sheet(s).setRowHidden(m_model.firstShownTitleRow() - 1, false);
    }
    m_model.setTitleRows(m_model.titleRows() + 1);
}

// "Дополнить" and "Развернуть" of a title with a kind: the active sheet and every sheet
// in front of it are multiplied, from the active one back to sheet 1.
void Placement::extendTitle() {
    const PlacementRequest& q = *m_req;
    Workbook& b = m_model.book();
    const int d = b.activeSheetIndex();
    const int k = int(q.entries.size());
    const bool periods = q.kind == PickKind::Period;
    const bool expand = q.mode == 2 && !periods;
    if (q.kind == PickKind::Indicator || (q.kind == PickKind::Node && q.transferNames))
        addTitleLine();
    const int startLevel = std::max(1, m_model.sheetLevel(d));
    const CellRange titleLines(kFirstTitleRow, 1, kLastTitleRow, kColumnCount);
    int inserted = 0;
    for (int s = d; s >= 1; --s) {
        const int ownLevel = std::max(1, m_model.sheetLevel(s));
        const QString ownName = b.sheet(s).entry(kNameRow, kTitleValueCol);
        const int count = expand ? k : k - 1;
        b.setActiveSheet(s);
        for (int i = 0; i < count; ++i)
            m_sheets.insertSheet();
        inserted += count;
        const int processed = s + count;
        // The sheet that takes entry i.
        auto sheetOf = [&](int i) { return expand ? s + i - 1 : s + k - i; };
        for (int i = expand ? 1 : 2; i <= k; ++i)
            if (!expand || q.kind == PickKind::Indicator)
                b.copyRange(b, processed, titleLines, sheetOf(i), kFirstTitleRow, 1);
        for (int i = 1; i <= k; ++i) {
            const PickedEntry& e = q.entries[i - 1];
            const int sheet = sheetOf(i);
            int level = 0;
            if (expand)
                level =
                    q.kind == PickKind::Indicator ? startLevel + 1 : ownLevel + q.entries[0].depth;
            else if (periods)
                level = 1;
            writeTitle(sheet, e, level);
            if (!q.transferNames)
                continue;
            setTitleName(b, sheet,
                         periods ? (ownName.trimmed().isEmpty()
                                        ? e.name
                                        : ownName + QStringLiteral(" - ") + e.name)
                                 : e.name);
        }
    }
    b.setActiveSheet(d + inserted);
}

// "Развернуть" of the objects directory: from the active sheet back to sheet 1, every
// sheet that heads no deeper sheets before it gets one sheet per subordinate object in
// front of it, the last object first.
bool Placement::expandTitleObjects() {
    const PlacementRequest& q = *m_req;
    Workbook& b = m_model.book();
    const int start = b.activeSheetIndex();
    int inserted = 0;
    for (int s = start; s >= 1; --s) {
        const int level = m_model.sheetLevel(s);
        if (s > 1 && level < m_model.sheetLevel(s - 1))
            continue;
        const std::optional<QList<PickedEntry>> found = q.subordinates(s);
        if (!found)
            continue;
        b.setActiveSheet(s);
        int added = 0;
        for (const PickedEntry& e : *found) {
            // A copy in front of the current sheet, made current; without it the writes
            // below would land on the expanded sheet itself.
            if (!m_sheets.insertSheet())
                break;
            ++added;
            const int sheet = b.activeSheetIndex();
            // A subordinate object is named by itself: the copied cuts go.
            b.clearRange(
                sheet,
                CellRange(int(TitleRow::Cut1), kTitleValueCol, int(TitleRow::Cut4), kTitleExtraCol),
                ClearWhat::All);
            if (q.transferNames)
                setTitleName(b, sheet, e.name);
            b.setNumber(sheet, int(TitleRow::Object), kTitleValueCol, e.code);
            b.setNumber(sheet, int(TitleRow::Object), kTitleExtraCol, kObjectsDirectoryType);
            b.setNumber(sheet, int(TitleRow::Level), kTitleValueCol, level + 1);
        }
        inserted += added;
        if (added < int(found->size()))
            break;
    }
    b.setActiveSheet(start + inserted);
    return inserted > 0;
}
