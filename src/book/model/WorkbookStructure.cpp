#include "Formula.h"
#include "Workbook.h"
#include "formula/CodeCache.h"
#include "formula/Recalculator.h"
#include "formula/RefAdjuster.h"

#include <algorithm>

namespace {

struct Placed {
    Formula* f;
    Sheet* sheet;
    int row;
    int col;
};

} // namespace

// Every structural edit goes through here: formulas and validation conditions anywhere in
// the workbook are rewritten to keep pointing at the same data before the cells move.
void Workbook::applyTransform(Sheet& s, const RefTransform& t, const std::function<void()>& edit) {
    std::vector<Placed> formulas;
    for (auto& sh : m_sheets)
        sh->m_cells.forEach([&](int r, int c, Cell& cell) {
            if (cell.kind == CellKind::Formula)
                formulas.push_back({cell.formula, sh.get(), r, c});
        });
    for (const Placed& p : formulas) {
        int r = p.row, c = p.col;
        if (p.sheet == &s && !t.mapCell(&s, r, c))
            continue; // the host itself goes away
        p.f->code =
            m_codes->intern(adjustFormula(p.f->code, *this, p.sheet, p.row, p.col, r, c, t));
    }
    for (auto& sh : m_sheets) {
        auto& rules = sh->m_rules;
        for (auto it = rules.begin(); it != rules.end();) {
            CellRange range = it->range;
            if (sh.get() == &s && !t.mapArea(&s, range)) {
                it = rules.erase(it);
                continue;
            }
            it->condition = adjustFormula(it->condition, *this, sh.get(), it->range.row1,
                                          it->range.col1, range.row1, range.col1, t);
            it->range = range;
            ++it;
        }
    }
    QList<CellRange> merged;
    for (CellRange m : s.m_merged)
        if (t.mapArea(&s, m))
            merged.append(m);
    s.m_merged = merged;
    for (DropDownObject& o : s.m_objects)
        t.mapArea(&s, o.position);
    std::erase_if(s.m_charts, [&](ChartObject& c) {
        if (!t.mapArea(&s, c.data))
            return true;
        // The frame may shrink to nothing with deleted lines; the chart keeps one cell.
        if (!t.mapArea(&s, c.frame))
            c.frame = CellRange::cell(c.data.row1, c.data.col1);
        for (CellRange* names : {&c.rowNames, &c.colNames})
            if (names->isValid() && !t.mapArea(&s, *names))
                *names = CellRange();
        return false;
    });
    if (s.m_print.printArea.isValid() && !t.mapArea(&s, s.m_print.printArea))
        s.m_print.printArea = CellRange();

    m_recalc->structureChanged();
    edit();
    m_modified = true;
    notify({WorkbookChange::RowsColumns, s.index(), {}});
    afterEdit();
}

void Workbook::shiftLineProps(Sheet& s, bool rows, int at, int count) {
    auto& props = rows ? s.m_rowProps : s.m_colProps;
    auto& breaks = rows ? s.m_rowBreaks : s.m_colBreaks;
    const int limit = rows ? kMaxRows : kMaxCols;
    if (count > 0) {
        if (at <= int(props.size()))
            props.insert(props.begin() + (at - 1), size_t(count), LineProps());
        if (int(props.size()) > limit)
            props.resize(size_t(limit));
    } else if (at <= int(props.size())) {
        const int end = std::min(int(props.size()), at - 1 - count);
        props.erase(props.begin() + (at - 1), props.begin() + end);
    }
    QList<int> moved;
    for (int b : breaks) {
        if (count < 0 && b >= at && b < at - count)
            continue;
        const int nb = b >= at ? b + count : b;
        if (nb >= 1 && nb <= limit)
            moved.append(nb);
    }
    breaks = moved;
}

void Workbook::insertRows(int sheetIndex, int at, int count) {
    if (!hasSheet(sheetIndex) || at < 1 || at > kMaxRows || count <= 0)
        return;
    Sheet& s = sheet(sheetIndex);
    m_undo->noteLines(s, true, at, count, true);
    applyTransform(s, ShiftTransform(&s, true, at, count, 1, kMaxCols), [&] {
        s.m_cells.insertRows(at, count);
        shiftLineProps(s, true, at, count);
    });
}

void Workbook::deleteRows(int sheetIndex, int at, int count) {
    if (!hasSheet(sheetIndex) || at < 1 || at > kMaxRows || count <= 0)
        return;
    count = std::min(count, kMaxRows - at + 1);
    Sheet& s = sheet(sheetIndex);
    m_undo->noteSnapshot();
    applyTransform(s, ShiftTransform(&s, true, at, -count, 1, kMaxCols), [&] {
        s.m_cells.removeRows(at, count);
        shiftLineProps(s, true, at, -count);
    });
}

void Workbook::insertCols(int sheetIndex, int at, int count) {
    if (!hasSheet(sheetIndex) || at < 1 || at > kMaxCols || count <= 0)
        return;
    Sheet& s = sheet(sheetIndex);
    m_undo->noteLines(s, false, at, count, true);
    applyTransform(s, ShiftTransform(&s, false, at, count, 1, kMaxRows), [&] {
        s.m_cells.insertCols(at, count, 1, kMaxRows);
        shiftLineProps(s, false, at, count);
    });
}

void Workbook::deleteCols(int sheetIndex, int at, int count) {
    if (!hasSheet(sheetIndex) || at < 1 || at > kMaxCols || count <= 0)
        return;
    count = std::min(count, kMaxCols - at + 1);
    Sheet& s = sheet(sheetIndex);
    m_undo->noteSnapshot();
    applyTransform(s, ShiftTransform(&s, false, at, -count, 1, kMaxRows), [&] {
        s.m_cells.removeCols(at, count, 1, kMaxRows);
        shiftLineProps(s, false, at, -count);
    });
}

void Workbook::insertCells(int sheetIndex, const CellRange& range, bool shiftDown) {
    if (!hasSheet(sheetIndex) || !range.isValid())
        return;
    Sheet& s = sheet(sheetIndex);
    const CellRange r = range;
    m_undo->noteBand(s, r, shiftDown);
    if (shiftDown) {
        applyTransform(s, ShiftTransform(&s, true, r.row1, r.rowCount(), r.col1, r.col2),
                       [&] { s.m_cells.insertRowsInBand(r.row1, r.rowCount(), r.col1, r.col2); });
    } else {
        applyTransform(s, ShiftTransform(&s, false, r.col1, r.colCount(), r.row1, r.row2),
                       [&] { s.m_cells.insertCols(r.col1, r.colCount(), r.row1, r.row2); });
    }
}

void Workbook::deleteCells(int sheetIndex, const CellRange& range, bool shiftUp) {
    if (!hasSheet(sheetIndex) || !range.isValid())
        return;
    Sheet& s = sheet(sheetIndex);
    const CellRange r = range;
    m_undo->noteSnapshot();
    if (shiftUp) {
        applyTransform(s, ShiftTransform(&s, true, r.row1, -r.rowCount(), r.col1, r.col2),
                       [&] { s.m_cells.removeRowsInBand(r.row1, r.rowCount(), r.col1, r.col2); });
    } else {
        applyTransform(s, ShiftTransform(&s, false, r.col1, -r.colCount(), r.row1, r.row2),
                       [&] { s.m_cells.removeCols(r.col1, r.colCount(), r.row1, r.row2); });
    }
}

void Workbook::moveRange(int sheetIndex, const CellRange& range, int rowOffset, int colOffset) {
    if (!hasSheet(sheetIndex) || !range.isValid() || (rowOffset == 0 && colOffset == 0))
        return;
    Sheet& s = sheet(sheetIndex);
    const CellRange from = range;
    m_undo->noteSnapshot();
    applyTransform(s, MoveTransform(&s, from, rowOffset, colOffset), [&] {
        struct Moving {
            int row, col;
            Cell cell;
        };
        std::vector<Moving> moving;
        s.m_cells.forEachIn(from, [&](int r, int c, Cell&) {
            moving.push_back({r, c, s.m_cells.take(r, c)});
        });
        const CellRange to(from.row1 + rowOffset, from.col1 + colOffset, from.row2 + rowOffset,
                           from.col2 + colOffset);
        s.m_cells.eraseRange(to, true, true);
        for (Moving& m : moving) {
            const int r = m.row + rowOffset, c = m.col + colOffset;
            if (r >= 1 && r <= kMaxRows && c >= 1 && c <= kMaxCols)
                s.m_cells.put(r, c, m.cell);
            else
                releaseCellContent(m.cell);
        }
    });
}
