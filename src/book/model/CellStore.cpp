#include "CellStore.h"

#include "Formula.h"

#include <algorithm>

void releaseCellContent(Cell& cell) {
    switch (cell.kind) {
    case CellKind::Text:
        delete cell.text;
        break;
    case CellKind::Formula:
        delete cell.formula;
        break;
    default:
        break;
    }
    cell.kind = CellKind::Empty;
    cell.number = 0;
}

Cell cloneCell(const Cell& cell) {
    Cell copy;
    copy.format = cell.format;
    copy.kind = cell.kind;
    switch (cell.kind) {
    case CellKind::Number:
        copy.number = cell.number;
        break;
    case CellKind::Text:
        copy.text = new QString(*cell.text);
        break;
    case CellKind::Formula: {
        auto* f = new Formula;
        f->code = cell.formula->code;
        f->value = cell.formula->value;
        copy.formula = f;
        break;
    }
    default:
        break;
    }
    return copy;
}

CellRow::~CellRow() {
    for (Cell& c : cells)
        releaseCellContent(c);
}

CellStore::~CellStore() = default;

void CellStore::clear() {
    m_rows.clear();
}

Cell& CellStore::obtain(int row, int col) {
    if (row > int(m_rows.size()))
        m_rows.resize(size_t(row));
    auto& slot = m_rows[size_t(row - 1)];
    if (!slot) {
        slot = std::make_unique<CellRow>();
        slot->first = col;
        slot->cells.resize(1);
        return slot->cells[0];
    }
    CellRow& r = *slot;
    if (r.cells.empty()) {
        r.first = col;
        r.cells.resize(1);
        return r.cells[0];
    }
    if (col < r.first) {
        r.cells.insert(r.cells.begin(), size_t(r.first - col), Cell());
        r.first = col;
    } else if (col >= r.first + int(r.cells.size())) {
        r.cells.resize(size_t(col - r.first + 1));
    }
    return r.cells[size_t(col - r.first)];
}

void CellStore::reserveRow(int row, int firstCol, int lastCol) {
    Cell& first = obtain(row, firstCol);
    (void)first;
    CellRow& r = *m_rows[size_t(row - 1)];
    r.cells.reserve(size_t(std::max(lastCol, r.first + int(r.cells.size()) - 1) - r.first + 1));
    obtain(row, lastCol);
}

void CellStore::eraseRange(const CellRange& range, bool content, bool formats) {
    forEachIn(range, [&](int, int, Cell& c) {
        if (content)
            releaseCellContent(c);
        if (formats)
            c.format = 0;
    });
}

void CellStore::insertRows(int at, int count) {
    if (at > int(m_rows.size()) || count <= 0)
        return;
    std::vector<std::unique_ptr<CellRow>> blank(static_cast<size_t>(count));
    m_rows.insert(m_rows.begin() + (at - 1), std::make_move_iterator(blank.begin()),
                  std::make_move_iterator(blank.end()));
    if (m_rows.size() > size_t(kMaxRows))
        m_rows.resize(size_t(kMaxRows));
}

void CellStore::removeRows(int at, int count) {
    if (at > int(m_rows.size()) || count <= 0)
        return;
    const int end = std::min(int(m_rows.size()), at - 1 + count);
    m_rows.erase(m_rows.begin() + (at - 1), m_rows.begin() + end);
}

void CellStore::insertCols(int at, int count, int rowLo, int rowHi) {
    if (count <= 0)
        return;
    for (int r = rowLo; r <= std::min(rowHi, int(m_rows.size())); ++r) {
        CellRow* row = m_rows[size_t(r - 1)].get();
        if (!row || row->cells.empty())
            continue;
        const int last = row->first + int(row->cells.size()) - 1;
        if (at > last)
            continue;
        if (at <= row->first) {
            row->first += count;
        } else {
            row->cells.insert(row->cells.begin() + (at - row->first), size_t(count), Cell());
        }
        // Whatever is pushed past the last column is lost, as in any sheet of fixed width.
        const int newLast = row->first + int(row->cells.size()) - 1;
        if (newLast > kMaxCols) {
            const int keep = std::max(0, kMaxCols - row->first + 1);
            for (size_t i = size_t(keep); i < row->cells.size(); ++i)
                releaseCellContent(row->cells[i]);
            row->cells.resize(size_t(keep));
        }
    }
}

void CellStore::removeCols(int at, int count, int rowLo, int rowHi) {
    if (count <= 0)
        return;
    const int end = at + count - 1;
    for (int r = rowLo; r <= std::min(rowHi, int(m_rows.size())); ++r) {
        CellRow* row = m_rows[size_t(r - 1)].get();
        if (!row || row->cells.empty())
            continue;
        const int last = row->first + int(row->cells.size()) - 1;
        if (at > last)
            continue;
        const int lo = std::max(at, row->first);
        const int hi = std::min(end, last);
        if (lo <= hi) {
            auto b = row->cells.begin() + (lo - row->first);
            auto e = row->cells.begin() + (hi - row->first + 1);
            for (auto it = b; it != e; ++it)
                releaseCellContent(*it);
            row->cells.erase(b, e);
        }
        if (row->first > end)
            row->first -= count;
        else if (row->first > at)
            row->first = at;
    }
}

Cell CellStore::take(int row, int col) {
    Cell* c = find(row, col);
    if (!c)
        return Cell();
    Cell out = *c;
    *c = Cell();
    return out;
}

void CellStore::put(int row, int col, const Cell& cell) {
    if (cell.kind == CellKind::Empty && cell.format == 0) {
        if (Cell* c = find(row, col)) {
            releaseCellContent(*c);
            c->format = 0;
        }
        return;
    }
    Cell& slot = obtain(row, col);
    releaseCellContent(slot);
    slot = cell;
}

void CellStore::insertRowsInBand(int at, int count, int colLo, int colHi) {
    if (count <= 0)
        return;
    const int last = std::min(lastRow() == 0 ? 0 : int(m_rows.size()), kMaxRows);
    for (int r = last; r >= at; --r) {
        for (int c = colLo; c <= colHi; ++c) {
            Cell* src = find(r, c);
            if (!src)
                continue;
            Cell moved = take(r, c);
            if (r + count <= kMaxRows)
                put(r + count, c, moved);
            else
                releaseCellContent(moved);
        }
    }
}

void CellStore::removeRowsInBand(int at, int count, int colLo, int colHi) {
    if (count <= 0)
        return;
    for (int r = at; r < at + count; ++r)
        for (int c = colLo; c <= colHi; ++c)
            if (Cell* cell = find(r, c)) {
                releaseCellContent(*cell);
                cell->format = 0;
            }
    const int last = int(m_rows.size());
    for (int r = at + count; r <= last; ++r)
        for (int c = colLo; c <= colHi; ++c)
            if (find(r, c)) {
                Cell moved = take(r, c);
                put(r - count, c, moved);
            }
}

int CellStore::lastRow() const {
    for (int r = int(m_rows.size()); r >= 1; --r)
        if (lastColInRow(r) > 0)
            return r;
    return 0;
}

int CellStore::lastCol() const {
    int best = 0;
    for (int r = 1; r <= int(m_rows.size()); ++r)
        best = std::max(best, lastColInRow(r));
    return best;
}

int CellStore::lastColInRow(int row) const {
    const CellRow* r = rowAt(row);
    if (!r)
        return 0;
    for (int i = int(r->cells.size()) - 1; i >= 0; --i)
        if (r->cells[size_t(i)].hasContent())
            return r->first + i;
    return 0;
}

size_t CellStore::cellCount() const {
    size_t n = 0;
    forEach([&](int, int, const Cell& c) { n += c.hasContent() ? 1 : 0; });
    return n;
}
