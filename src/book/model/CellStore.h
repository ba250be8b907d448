#pragma once

#include "Cell.h"
#include "CellAddress.h"

#include <memory>
#include <vector>

// Cells of one row, dense from the first used column: rows 1–99 and column 1 of the table
// layout are service space, so rows are allocated only where something was written.
struct CellRow {
    int first = 1;
    std::vector<Cell> cells;

    CellRow() = default;
    ~CellRow();
    CellRow(const CellRow&) = delete;
    CellRow& operator=(const CellRow&) = delete;

    const Cell* at(int col) const {
        const int i = col - first;
        return (i >= 0 && i < int(cells.size())) ? &cells[size_t(i)] : nullptr;
    }
    Cell* at(int col) {
        const int i = col - first;
        return (i >= 0 && i < int(cells.size())) ? &cells[size_t(i)] : nullptr;
    }
};

class CellStore {
public:
    CellStore() = default;
    ~CellStore();
    CellStore(const CellStore&) = delete;
    CellStore& operator=(const CellStore&) = delete;

    const Cell* find(int row, int col) const {
        const CellRow* r = rowAt(row);
        return r ? r->at(col) : nullptr;
    }
    Cell* find(int row, int col) {
        CellRow* r = rowAt(row);
        return r ? r->at(col) : nullptr;
    }
    const CellRow* rowAt(int row) const {
        return (row >= 1 && row <= int(m_rows.size())) ? m_rows[size_t(row - 1)].get() : nullptr;
    }
    CellRow* rowAt(int row) {
        return (row >= 1 && row <= int(m_rows.size())) ? m_rows[size_t(row - 1)].get() : nullptr;
    }
    // The slot of (row, col), created empty when missing.
    Cell& obtain(int row, int col);
    // Reserves a row's columns in one step (loading).
    void reserveRow(int row, int firstCol, int lastCol);

    void clear();
    void eraseRange(const CellRange& range, bool content, bool formats);

    // Whole rows / columns; cells pushed past the sheet end are dropped.
    void insertRows(int at, int count);
    void removeRows(int at, int count);
    // Columns within the rows rowLo..rowHi (a whole-column insert passes the full span).
    void insertCols(int at, int count, int rowLo, int rowHi);
    void removeCols(int at, int count, int rowLo, int rowHi);
    // Rows within the columns colLo..colHi.
    void insertRowsInBand(int at, int count, int colLo, int colHi);
    void removeRowsInBand(int at, int count, int colLo, int colHi);

    // Takes the cell out (the slot is left empty with format 0); the caller owns the result.
    Cell take(int row, int col);
    // Puts a cell, releasing what the slot held.
    void put(int row, int col, const Cell& cell);

    int allocatedRows() const { return int(m_rows.size()); }
    int lastRow() const;
    int lastCol() const;
    int lastColInRow(int row) const;
    size_t cellCount() const;

    template <typename F> void forEach(F f) {
        for (size_t r = 0; r < m_rows.size(); ++r)
            if (CellRow* row = m_rows[r].get())
                for (size_t i = 0; i < row->cells.size(); ++i)
                    f(int(r + 1), row->first + int(i), row->cells[i]);
    }
    template <typename F> void forEach(F f) const {
        for (size_t r = 0; r < m_rows.size(); ++r)
            if (const CellRow* row = m_rows[r].get())
                for (size_t i = 0; i < row->cells.size(); ++i)
                    f(int(r + 1), row->first + int(i), row->cells[i]);
    }
    template <typename F> void forEachIn(const CellRange& range, F f) {
        const int last = std::min(range.row2, int(m_rows.size()));
        for (int r = std::max(range.row1, 1); r <= last; ++r) {
            CellRow* row = m_rows[size_t(r - 1)].get();
            if (!row)
                continue;
            const int c1 = std::max(range.col1, row->first);
            const int c2 = std::min(range.col2, row->first + int(row->cells.size()) - 1);
            for (int c = c1; c <= c2; ++c)
                f(r, c, row->cells[size_t(c - row->first)]);
        }
    }

private:
    std::vector<std::unique_ptr<CellRow>> m_rows;
};
