#pragma once

#include "FormulaCode.h"

#include "model/CellAddress.h"

#include <memory>

class Workbook;
class Sheet;

// How a structural edit moves cells; used to keep references pointing at the same data.
class RefTransform {
public:
    virtual ~RefTransform() = default;
    // False when the cell is gone.
    virtual bool mapCell(const Sheet* sheet, int& row, int& col) const = 0;
    virtual bool mapArea(const Sheet* sheet, CellRange& area) const = 0;
};

// Rows (or columns) inserted (count > 0) or deleted (count < 0) at `at`, within the band
// of columns (or rows) bandLo..bandHi of one sheet.
class ShiftTransform : public RefTransform {
public:
    ShiftTransform(const Sheet* sheet, bool rows, int at, int count, int bandLo, int bandHi)
        : m_sheet(sheet), m_rows(rows), m_at(at), m_count(count), m_lo(bandLo), m_hi(bandHi) {}
    bool mapCell(const Sheet* sheet, int& row, int& col) const override;
    bool mapArea(const Sheet* sheet, CellRange& area) const override;

private:
    bool mapLine(int& v) const;
    const Sheet* m_sheet;
    bool m_rows;
    int m_at;
    int m_count;
    int m_lo;
    int m_hi;
};

// A range moved by an offset: references into it follow it, references to the cells it
// lands on are lost.
class MoveTransform : public RefTransform {
public:
    MoveTransform(const Sheet* sheet, const CellRange& from, int rowOffset, int colOffset)
        : m_sheet(sheet), m_from(from), m_dr(rowOffset), m_dc(colOffset) {}
    bool mapCell(const Sheet* sheet, int& row, int& col) const override;
    bool mapArea(const Sheet* sheet, CellRange& area) const override;

private:
    const Sheet* m_sheet;
    CellRange m_from;
    int m_dr;
    int m_dc;
};

// The code of a formula whose host moves from (oldRow, oldCol) to (newRow, newCol) while
// `t` moves the cells it reads; the same pointer when nothing changes.
std::shared_ptr<const FormulaCode> adjustFormula(const std::shared_ptr<const FormulaCode>& code,
                                                 const Workbook& book, const Sheet* host,
                                                 int oldRow, int oldCol, int newRow, int newCol,
                                                 const RefTransform& t);
