#pragma once

#include "EvalValue.h"
#include "FormulaCode.h"
#include "Functions.h"
#include "model/CellValue.h"
#include "model/Formula.h"
#include "model/Sheet.h"

#include <QString>

#include <vector>

class Workbook;
class Sheet;
struct Cell;

// Runs compiled formula code for a host cell. One evaluator is reused for many formulas;
// it keeps its stack and string pool between runs.
class Evaluator {
public:
    explicit Evaluator(const Workbook& book);

    CellValue evaluate(const FormulaCode& code, const Sheet* host, int row, int col);
    void evaluateInto(const FormulaCode& code, const Sheet* host, int row, int col,
                      CellValue& result);

    // While set, reading (sheet, row, col) gives `value` instead of the cell's own content;
    // validation tries a candidate value this way.
    void setOverride(const Sheet* sheet, int row, int col, const CellValue& value);
    void clearOverride() { m_overrideSheet = nullptr; }

private:
    friend struct FunctionCall;

    EvalValue cellValue(const Sheet* sheet, int row, int col);
    EvalValue fromCell(const Cell* cell);
    EvalValue fromCellValue(const CellValue& v);
    EvalValue scalar(const EvalValue& v);
    bool toNumber(const EvalValue& v, double& out, CellError& err);
    QString toText(const EvalValue& v);
    bool toBool(const EvalValue& v, bool& out, CellError& err);
    EvalValue text(const QString& s);
    const QString& textOf(const EvalValue& v) const { return m_strings[v.str]; }
    int compare(const EvalValue& a, const EvalValue& b);
    EvalValue call(Fn fn, EvalValue* args, int argc);
    CellValue toCellValue(const EvalValue& v);

    // Functions.cpp
    EvalValue aggregate(Fn fn, EvalValue* args, int argc);
    EvalValue countIf(EvalValue* args, int argc, bool sum);
    EvalValue lookup(Fn fn, EvalValue* args, int argc);
    EvalValue textFunction(Fn fn, EvalValue* args, int argc);
    EvalValue mathFunction(Fn fn, EvalValue* args, int argc);
    EvalValue dateFunction(Fn fn, EvalValue* args, int argc);
    template <typename F> void forEachInRange(const EvalValue& range, F f);

    const Workbook& m_book;
    std::vector<EvalValue> m_stack;
    std::vector<QString> m_strings;
    const Sheet* m_host = nullptr;
    int m_row = 0;
    int m_col = 0;
    const Sheet* m_overrideSheet = nullptr;
    int m_overrideRow = 0;
    int m_overrideCol = 0;
    CellValue m_override;
};

// Calls f(value) for every cell of the range that holds something (override included).
template <typename F> void Evaluator::forEachInRange(const EvalValue& range, F f) {
    const CellStore& store = range.sheet->cells();
    const bool overrideHere = m_overrideSheet == range.sheet;
    const int last = std::min(range.r2, store.allocatedRows());
    for (int r = range.r1; r <= last; ++r) {
        const CellRow* row = store.rowAt(r);
        if (!row)
            continue;
        const int c1 = std::max(range.c1, row->first);
        const int c2 = std::min(range.c2, row->first + int(row->cells.size()) - 1);
        for (int c = c1; c <= c2; ++c) {
            const Cell& cell = row->cells[size_t(c - row->first)];
            if (overrideHere && r == m_overrideRow && c == m_overrideCol)
                continue;
            if (cell.kind != CellKind::Empty)
                f(fromCell(&cell));
        }
    }
    if (overrideHere && range.r1 <= m_overrideRow && m_overrideRow <= range.r2 &&
        range.c1 <= m_overrideCol && m_overrideCol <= range.c2 && !m_override.isEmpty())
        f(fromCellValue(m_override));
}
