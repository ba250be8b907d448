#include "RefAdjuster.h"

#include "model/Workbook.h"

bool ShiftTransform::mapLine(int& v) const {
    if (m_count > 0) {
        if (v >= m_at)
            v += m_count;
        return v <= (m_rows ? kMaxRows : kMaxCols);
    }
    const int n = -m_count;
    if (v >= m_at && v < m_at + n)
        return false;
    if (v >= m_at + n)
        v -= n;
    return true;
}

bool ShiftTransform::mapCell(const Sheet* sheet, int& row, int& col) const {
    if (sheet != m_sheet)
        return true;
    const int other = m_rows ? col : row;
    if (other < m_lo || other > m_hi)
        return true;
    return mapLine(m_rows ? row : col);
}

bool ShiftTransform::mapArea(const Sheet* sheet, CellRange& a) const {
    if (sheet != m_sheet)
        return true;
    const int o1 = m_rows ? a.col1 : a.row1;
    const int o2 = m_rows ? a.col2 : a.row2;
    // Only areas lying wholly within the shifted band move; others keep their cells.
    if (o1 < m_lo || o2 > m_hi)
        return true;
    int& v1 = m_rows ? a.row1 : a.col1;
    int& v2 = m_rows ? a.row2 : a.col2;
    const int limit = m_rows ? kMaxRows : kMaxCols;
    if (m_count > 0) {
        if (v1 >= m_at)
            v1 += m_count;
        if (v2 >= m_at)
            v2 += m_count;
        if (v1 > limit)
            return false;
        v2 = std::min(v2, limit);
        return true;
    }
    const int n = -m_count;
    const int lo = m_at, hi = m_at + n - 1;
    if (v1 >= lo && v2 <= hi)
        return false;
    const int n1 = v1 < lo ? v1 : (v1 > hi ? v1 - n : lo);
    const int n2 = v2 < lo ? v2 : (v2 > hi ? v2 - n : lo - 1);
    v1 = n1;
    v2 = n2;
    return true;
}

bool MoveTransform::mapCell(const Sheet* sheet, int& row, int& col) const {
    if (sheet != m_sheet)
        return true;
    if (m_from.contains(row, col)) {
        row += m_dr;
        col += m_dc;
        return row >= 1 && row <= kMaxRows && col >= 1 && col <= kMaxCols;
    }
    const CellRange to(m_from.row1 + m_dr, m_from.col1 + m_dc, m_from.row2 + m_dr,
                       m_from.col2 + m_dc);
    return !to.contains(row, col);
}

bool MoveTransform::mapArea(const Sheet* sheet, CellRange& a) const {
    if (sheet != m_sheet)
        return true;
    if (m_from.contains(a.row1, a.col1) && m_from.contains(a.row2, a.col2)) {
        a = CellRange(a.row1 + m_dr, a.col1 + m_dc, a.row2 + m_dr, a.col2 + m_dc);
        return a.row1 >= 1 && a.col1 >= 1 && a.row2 <= kMaxRows && a.col2 <= kMaxCols;
    }
    return true;
}

std::shared_ptr<const FormulaCode> adjustFormula(const std::shared_ptr<const FormulaCode>& code,
                                                 const Workbook& book, const Sheet* host,
                                                 int oldRow, int oldCol, int newRow, int newCol,
                                                 const RefTransform& t) {
    std::shared_ptr<FormulaCode> changed;
    for (size_t i = 0; i < code->code.size(); ++i) {
        const Instr& in = code->code[i];
        if (in.op != Op::Ref && in.op != Op::Area)
            continue;
        const Sheet* s = (in.flags & OtherSheet) ? book.sheetById(in.sheet) : host;
        Instr out = in;
        bool alive = true;
        if (s) {
            if (in.op == Op::Ref) {
                int r = refRow(in, oldRow, false), c = refCol(in, oldCol, false);
                alive = t.mapCell(s, r, c);
                setRefRow(out, newRow, false, r);
                setRefCol(out, newCol, false, c);
                setRefRow(out, newRow, true, r);
                setRefCol(out, newCol, true, c);
            } else {
                CellRange a(refRow(in, oldRow, false), refCol(in, oldCol, false),
                            refRow(in, oldRow, true), refCol(in, oldCol, true));
                alive = t.mapArea(s, a);
                setRefRow(out, newRow, false, a.row1);
                setRefCol(out, newCol, false, a.col1);
                setRefRow(out, newRow, true, a.row2);
                setRefCol(out, newCol, true, a.col2);
            }
        } else {
            // A reference into a deleted sheet keeps its coordinates as they read.
            setRefRow(out, newRow, false, refRow(in, oldRow, false));
            setRefCol(out, newCol, false, refCol(in, oldCol, false));
            setRefRow(out, newRow, true, refRow(in, oldRow, true));
            setRefCol(out, newCol, true, refCol(in, oldCol, true));
        }
        if (!alive) {
            out = Instr();
            out.op = Op::RefError;
            out.func = uint32_t(CellError::Ref);
        }
        if (out.op == in.op && out.row1 == in.row1 && out.col1 == in.col1 && out.row2 == in.row2 &&
            out.col2 == in.col2)
            continue;
        if (!changed)
            changed = std::make_shared<FormulaCode>(*code);
        changed->code[i] = out;
    }
    if (!changed)
        return code;
    return changed;
}
