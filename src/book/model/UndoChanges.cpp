#include "UndoChanges.h"

#include "Formula.h"
#include "Workbook.h"
#include "formula/Recalculator.h"

#include <algorithm>

namespace {

uint64_t keyOf(uint32_t sheet, int row, int col) {
    return (uint64_t(sheet) << 32) | (uint64_t(row) << 9) | uint64_t(col);
}

size_t cellBytes(const Cell& c) {
    if (c.kind == CellKind::Text)
        return sizeof(QString) + size_t(c.text->capacity()) * 2 + 24;
    if (c.kind == CellKind::Formula)
        return sizeof(Formula);
    return 0;
}

} // namespace

// ---- CellsChange

CellsChange::~CellsChange() {
    for (Entry& e : m_entries) {
        releaseCellContent(e.before);
        releaseCellContent(e.after);
    }
}

bool CellsChange::hasFew(uint32_t sheet, int row, int col) const {
    for (const Entry& e : m_entries)
        if (e.sheet == sheet && e.row == row && e.col == col)
            return true;
    return false;
}

void CellsChange::add(const Sheet& sheet, int row, int col) {
    if (m_keys ? !m_keys->insert(keyOf(sheet.id(), row, col)) : hasFew(sheet.id(), row, col))
        return;
    const Cell* c = sheet.cell(row, col);
    m_entries.push_back({sheet.id(), row, col, c ? cloneCell(*c) : Cell(), Cell()});
    // Past a few dozen cells a linear search would make large edits quadratic.
    if (m_entries.size() == 32) {
        m_keys = std::make_unique<CellKeySet>();
        for (const Entry& e : m_entries)
            m_keys->insert(keyOf(e.sheet, e.row, e.col));
    }
}

void CellsChange::close(Workbook& book) {
    for (Entry& e : m_entries) {
        const Sheet* s = book.sheetById(e.sheet);
        const Cell* c = s ? s->cell(e.row, e.col) : nullptr;
        releaseCellContent(e.after);
        e.after = c ? cloneCell(*c) : Cell();
        e.after.format = c ? c->format : 0;
    }
    m_keys.reset();
    m_entries.shrink_to_fit();
}

void CellsChange::put(Workbook& book, bool after) {
    book.beginUpdate();
    auto apply = [&](const Entry& e) {
        Sheet* s = book.sheetById(e.sheet);
        if (!s)
            return;
        const Cell& src = after ? e.after : e.before;
        book.writeCell(*s, e.row, e.col, cloneCell(src), src.format, false);
    };
    if (after)
        for (const Entry& e : m_entries)
            apply(e);
    else
        for (auto it = m_entries.rbegin(); it != m_entries.rend(); ++it)
            apply(*it);
    book.m_modified = true;
    book.endUpdate();
}

void CellsChange::undo(Workbook& book) {
    put(book, false);
}

void CellsChange::redo(Workbook& book) {
    put(book, true);
}

size_t CellsChange::bytes() const {
    size_t n = sizeof(*this) + m_entries.capacity() * sizeof(Entry);
    for (const Entry& e : m_entries)
        n += cellBytes(e.before) + cellBytes(e.after);
    return n;
}

// ---- SheetProps

SheetProps SheetProps::of(const Sheet& s) {
    SheetProps p;
    p.name = s.m_name;
    p.maxRow = s.m_maxRow;
    p.maxCol = s.m_maxCol;
    p.rowProps = s.m_rowProps;
    p.colProps = s.m_colProps;
    p.defaultRowHeight = s.m_defaultRowHeight;
    p.defaultColWidth = s.m_defaultColWidth;
    p.options = s.m_options;
    p.defaultFont = s.m_defaultFont;
    p.print = s.m_print;
    p.rowBreaks = s.m_rowBreaks;
    p.colBreaks = s.m_colBreaks;
    p.merged = s.m_merged;
    p.objects = s.m_objects;
    p.nextObjectId = s.m_nextObjectId;
    p.charts = s.m_charts;
    p.rules = s.m_rules;
    return p;
}

void SheetProps::applyTo(Sheet& s) const {
    s.m_name = name;
    s.m_maxRow = maxRow;
    s.m_maxCol = maxCol;
    s.m_rowProps = rowProps;
    s.m_colProps = colProps;
    s.m_defaultRowHeight = defaultRowHeight;
    s.m_defaultColWidth = defaultColWidth;
    s.m_options = options;
    s.m_defaultFont = defaultFont;
    s.m_print = print;
    s.m_rowBreaks = rowBreaks;
    s.m_colBreaks = colBreaks;
    s.m_merged = merged;
    s.m_objects = objects;
    s.m_nextObjectId = nextObjectId;
    s.m_charts = charts;
    s.m_rules = rules;
}

size_t SheetProps::bytes() const {
    return sizeof(*this) + (rowProps.capacity() + colProps.capacity()) * sizeof(LineProps) +
           objects.capacity() * sizeof(DropDownObject) + charts.capacity() * sizeof(ChartObject) +
           rules.capacity() * sizeof(ValidationRule);
}

// ---- SheetChange

SheetChange::SheetChange(const Sheet& sheet)
    : m_sheet(sheet.id()), m_before(SheetProps::of(sheet)) {}

void SheetChange::close(Workbook& book) {
    if (const Sheet* s = book.sheetById(m_sheet))
        m_after = SheetProps::of(*s);
}

void SheetChange::undo(Workbook& book) {
    if (Sheet* s = book.sheetById(m_sheet)) {
        m_before.applyTo(*s);
        book.m_modified = true;
        book.notify({WorkbookChange::RowsColumns, s->index(), {}});
        book.notify({WorkbookChange::SheetSettings, s->index(), {}});
    }
}

void SheetChange::redo(Workbook& book) {
    if (Sheet* s = book.sheetById(m_sheet)) {
        m_after.applyTo(*s);
        book.m_modified = true;
        book.notify({WorkbookChange::RowsColumns, s->index(), {}});
        book.notify({WorkbookChange::SheetSettings, s->index(), {}});
    }
}

size_t SheetChange::bytes() const {
    return sizeof(*this) + m_before.bytes() + m_after.bytes();
}

// ---- InsertChange

InsertChange::InsertChange(uint32_t sheet, bool rows, const CellRange& band, bool whole)
    : m_sheet(sheet), m_rows(rows), m_band(band), m_whole(whole) {}

void InsertChange::undo(Workbook& book) {
    Sheet* s = book.sheetById(m_sheet);
    if (!s)
        return;
    const int i = s->index();
    if (!m_whole)
        book.deleteCells(i, m_band, m_rows);
    else if (m_rows)
        book.deleteRows(i, m_band.row1, m_band.rowCount());
    else
        book.deleteCols(i, m_band.col1, m_band.colCount());
}

void InsertChange::redo(Workbook& book) {
    Sheet* s = book.sheetById(m_sheet);
    if (!s)
        return;
    const int i = s->index();
    if (!m_whole)
        book.insertCells(i, m_band, m_rows);
    else if (m_rows)
        book.insertRows(i, m_band.row1, m_band.rowCount());
    else
        book.insertCols(i, m_band.col1, m_band.colCount());
}

// ---- SnapshotChange

SnapshotChange::SnapshotChange(Workbook& book) : m_before(take(book)) {}

SnapshotChange::~SnapshotChange() {
    m_before.release();
    m_after.release();
}

void SnapshotChange::BookState::release() {
    for (SheetState& s : sheets)
        for (SheetState::Placed& p : s.cells)
            releaseCellContent(p.cell);
    sheets.clear();
}

SnapshotChange::BookState SnapshotChange::take(Workbook& book) {
    BookState state;
    state.active = book.activeSheetIndex();
    state.showTabs = book.showTabs();
    for (int i = 1; i <= book.sheetCount(); ++i) {
        const Sheet& s = book.sheet(i);
        SheetState st;
        st.id = s.id();
        st.props = SheetProps::of(s);
        st.cells.reserve(s.cells().cellCount());
        s.cells().forEach([&](int r, int c, const Cell& cell) {
            if (cell.hasContent() || cell.format != 0)
                st.cells.push_back({r, c, cloneCell(cell)});
        });
        state.sheets.push_back(std::move(st));
    }
    return state;
}

void SnapshotChange::restore(Workbook& book, const BookState& state) {
    book.m_recalc->structureChanged();
    std::vector<std::unique_ptr<Sheet>> sheets;
    for (const SheetState& st : state.sheets) {
        std::unique_ptr<Sheet> sheet;
        for (auto& existing : book.m_sheets)
            if (existing && existing->id() == st.id)
                sheet = std::move(existing);
        if (!sheet)
            sheet = std::make_unique<Sheet>(&book, st.id, st.props.name);
        Sheet& s = *sheet;
        st.props.applyTo(s);
        s.m_cells.clear();
        for (const SheetState::Placed& p : st.cells) {
            Cell c = cloneCell(p.cell);
            if (c.kind == CellKind::Formula) {
                c.formula->sheet = &s;
                c.formula->row = p.row;
                c.formula->col = p.col;
            }
            s.m_cells.put(p.row, p.col, c);
        }
        book.m_nextSheetId = std::max(book.m_nextSheetId, st.id + 1);
        sheets.push_back(std::move(sheet));
    }
    book.m_sheets.clear(); // the sheets the state does not hold
    book.m_sheets = std::move(sheets);
    book.m_active = std::clamp(state.active, 1, book.sheetCount());
    book.m_showTabs = state.showTabs;
    book.m_recalc->structureChanged();
    book.m_modified = true;
    book.notify({WorkbookChange::Everything, 0, {}});
    book.recalcAll();
}

void SnapshotChange::close(Workbook& book) {
    m_after.release();
    m_after = take(book);
}

void SnapshotChange::undo(Workbook& book) {
    restore(book, m_before);
}

void SnapshotChange::redo(Workbook& book) {
    restore(book, m_after);
}

size_t SnapshotChange::bytes() const {
    size_t n = sizeof(*this);
    for (const BookState* b : {&m_before, &m_after})
        for (const SheetState& s : b->sheets) {
            n += s.props.bytes() + s.cells.capacity() * sizeof(SheetState::Placed);
            for (const auto& p : s.cells)
                n += cellBytes(p.cell);
        }
    return n;
}
