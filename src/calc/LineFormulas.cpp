#include "LineFormulas.h"

#include "IdentModel.h"
#include "Prompter.h"
#include "formula/FormulaCode.h"
#include "formula/Recalculator.h"
#include "model/CellAddress.h"
#include "model/Formula.h"
#include "model/Workbook.h"

#include <algorithm>
#include <vector>

using namespace TableLayout;

namespace {

// Whether the code, run for (row, col) of `host`, reads that very cell: a copy of it there
// would be on a cycle of its own.
bool readsItself(const FormulaCode& code, const Sheet& host, int row, int col) {
    for (const Instr& in : code.code) {
        if (in.op != Op::Ref && in.op != Op::Area)
            continue;
        if ((in.flags & OtherSheet) && in.sheet != host.id())
            continue;
        const int r1 = refRow(in, row, false), c1 = refCol(in, col, false);
        const int r2 = in.op == Op::Area ? refRow(in, row, true) : r1;
        const int c2 = in.op == Op::Area ? refCol(in, col, true) : c1;
        if (r1 <= row && row <= r2 && c1 <= col && col <= c2)
            return true;
    }
    return false;
}

// Whether a reference, seen from (row, col), stays inside the sheet.
bool refInSheet(const Instr& in, int row, int col) {
    const int r1 = refRow(in, row, false), c1 = refCol(in, col, false);
    const int r2 = in.op == Op::Area ? refRow(in, row, true) : r1;
    const int c2 = in.op == Op::Area ? refCol(in, col, true) : c1;
    return r1 >= 1 && c1 >= 1 && r2 <= kMaxRows && c2 <= kMaxCols;
}

// Whether the code, run along a line from (row1, col1) to (row2, col2), may read a formula
// cell of the workbook; a large area counts as one without looking.
bool mayReadFormulas(const FormulaCode& code, const Workbook& book, const Sheet& host, int row1,
                     int col1, int row2, int col2) {
    constexpr long kScanLimit = 4096;
    for (const Instr& in : code.code) {
        if (in.op != Op::Ref && in.op != Op::Area)
            continue;
        const Sheet* s = (in.flags & OtherSheet) ? book.sheetById(in.sheet) : &host;
        if (!s)
            continue;
        const bool area = in.op == Op::Area;
        const int r1 = std::max(1, std::min(refRow(in, row1, false), refRow(in, row2, false)));
        const int c1 = std::max(1, std::min(refCol(in, col1, false), refCol(in, col2, false)));
        const int r2 = std::max(refRow(in, row1, area), refRow(in, row2, area));
        const int c2 = std::max(refCol(in, col1, area), refCol(in, col2, area));
        if (long(r2 - r1 + 1) * long(c2 - c1 + 1) > kScanLimit)
            return true;
        for (int r = r1; r <= r2; ++r)
            for (int c = c1; c <= c2; ++c) {
                const Cell* cell = s->cell(r, c);
                if (cell && cell->kind == CellKind::Formula)
                    return true;
            }
    }
    return false;
}

QString shownText(const CellValue& v) {
    switch (v.type) {
    case CellValue::Boolean:
        return v.number != 0 ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    case CellValue::Error:
        return errorText(v.error);
    case CellValue::Text:
        return v.text;
    default:
        return {};
    }
}

} // namespace

LineFormulas::LineFormulas(IdentModel& model, Prompter& prompter)
    : m_model(model), m_prompter(prompter) {}

QString LineFormulas::unsupported(const Sheet& sheet, int row, int col) {
    const Cell* c = sheet.cell(row, col);
    if (!c || c->kind == CellKind::Empty)
        return {};
    if (c->kind != CellKind::Formula) {
        const QString text = sheet.text(row, col).trimmed();
        if (text.startsWith(QLatin1Char('=')))
            return QStringLiteral("Формула не распознана: ") + text;
        return QStringLiteral("В ячейке нет формулы: ") + text;
    }
    const FormulaCode& code = *c->formula->code;
    for (const Instr& in : code.code) {
        if (in.op == Op::CallUnknown)
            return QStringLiteral("Неизвестная функция в формуле ") + sheet.formula(row, col) +
                   QStringLiteral(": ") + code.strings[in.func];
        if (in.op == Op::RefError ||
            ((in.op == Op::Ref || in.op == Op::Area) && !refInSheet(in, row, col)))
            return QStringLiteral("Формула ссылается на несуществующую ячейку: ") +
                   sheet.formula(row, col);
    }
    return {};
}

bool LineFormulas::store(int sheet, int row, int col, int toSheet, int toRow, int toCol) {
    Workbook& book = m_model.book();
    const Sheet& from = book.sheet(sheet);
    const QString why = unsupported(from, row, col);
    if (!why.isEmpty()) {
        m_prompter.info(why);
        return false;
    }
    CopyOptions contents;
    contents.formats = false;
    book.copyRange(book, sheet, CellRange::cell(row, col), toSheet, toRow, toCol, contents);
    // Copied off the sheet's edge a reference is lost: such a slot would compute nothing.
    const QString lost = unsupported(book.sheet(toSheet), toRow, toCol);
    if (!lost.isEmpty()) {
        book.clearCell(toSheet, toRow, toCol);
        m_prompter.info(lost);
        return false;
    }
    return true;
}

bool LineFormulas::storeRowFormula(int sheet, int row, int col) {
    return store(sheet, row, col, m_model.rowIdentSheet(), row, rowSlotColumn(Slot::Formula));
}

bool LineFormulas::storeColFormula(int sheet, int row, int col) {
    return store(sheet, row, col, m_model.colIdentSheet(), m_model.colSlotRow(Slot::Formula), col);
}

void LineFormulas::problem(const QString& text) {
    if (!m_problems.contains(text))
        m_problems << text;
}

void LineFormulas::applyRows(int sheet) {
    apply(sheet, true);
}

void LineFormulas::applyCols(int sheet) {
    apply(sheet, false);
}

void LineFormulas::apply(int sheet, bool rows) {
    Workbook& book = m_model.book();
    Sheet& target = book.sheet(sheet);
    const int slotSheet = rows ? m_model.rowIdentSheet() : m_model.colIdentSheet();
    const Sheet& slotCells = book.sheet(slotSheet);
    const int firstRow = m_model.firstBodyRow();
    const int lastRow = std::max(target.lastRow(), book.sheet(m_model.rowIdentSheet()).lastRow());
    const int lastCol = std::max(target.lastCol(), book.sheet(m_model.colIdentSheet()).lastCol());

    // Special identification is read once: a body row or column carrying one is never written.
    std::vector<bool> specialCol(size_t(std::max(lastCol, 0)) + 1, false);
    for (int c = kFirstDataCol; c <= lastCol; ++c)
        specialCol[size_t(c)] = !m_model.isDataColumn(c);
    std::vector<bool> specialRow(size_t(std::max(lastRow, 0)) + 1, false);
    for (int r = firstRow; r <= lastRow; ++r)
        specialRow[size_t(r)] = m_model.headerRowSpecialKind(r) != 0;

    Evaluator& eval = book.recalculator().evaluator();
    const int slotRow = m_model.colSlotRow(Slot::Formula);
    const int slotCol = rowSlotColumn(Slot::Formula);
    const int firstLine = rows ? firstRow : kFirstDataCol;
    const int lastLine = rows ? lastRow : lastCol;
    const int firstCross = rows ? kFirstDataCol : firstRow;
    const int lastCross = rows ? lastCol : lastRow;

    // The cells a line's formula is computed for, from the first to the last written one.
    int fromCross = firstCross, toCross = lastCross;
    const std::vector<bool>& specialCross = rows ? specialCol : specialRow;
    while (fromCross <= toCross && specialCross[size_t(fromCross)])
        ++fromCross;
    while (toCross >= fromCross && specialCross[size_t(toCross)])
        --toCross;

    book.beginUpdate();
    for (int line = firstLine; line <= lastLine; ++line) {
        const int sr = rows ? line : slotRow;
        const int sc = rows ? slotCol : line;
        const Cell* slot = slotCells.cell(sr, sc);
        if (!slot || slot->kind == CellKind::Empty ||
            (slot->kind == CellKind::Text && slot->text->trimmed().isEmpty()))
            continue;
        const QString lineName =
            rows ? QStringLiteral("Формула над строкой ") + QString::number(line)
                 : QStringLiteral("Формула над колонкой ") + columnName(line);
        const QString why = unsupported(slotCells, sr, sc);
        if (!why.isEmpty()) {
            problem(lineName + QStringLiteral(" не вычислена. ") + why);
            continue;
        }
        if (rows ? specialRow[size_t(line)] : specialCol[size_t(line)])
            continue;
        const std::shared_ptr<const FormulaCode> code = slot->formula->code;
        const bool readsFormulas =
            mayReadFormulas(*code, book, target, rows ? line : fromCross, rows ? fromCross : line,
                            rows ? line : toCross, rows ? toCross : line);
        // Formulas of the body that read what the previous lines wrote are current first.
        if (readsFormulas && book.recalculator().hasPending())
            book.recalc();
        for (int x = firstCross; x <= lastCross; ++x) {
            if (rows ? specialCol[size_t(x)] : specialRow[size_t(x)])
                continue;
            const int r = rows ? line : x;
            const int c = rows ? x : line;
            bool circular = readsItself(*code, target, r, c);
            CellValue v;
            if (!circular && readsFormulas) {
                // Through the workbook, as a copy of the slot: a cycle through the body's own
                // formulas back to this cell is the engine's to find.
                CopyOptions contents;
                contents.formats = false;
                book.copyRange(book, slotSheet, CellRange::cell(sr, sc), sheet, r, c, contents);
                book.recalc();
                const Cell* cell = target.cell(r, c);
                circular = cell && cell->kind == CellKind::Formula && cell->formula->circular;
                v = target.value(r, c);
            } else if (!circular) {
                v = eval.evaluate(*code, &target, r, c);
            }
            ++m_written;
            if (circular) {
                // On a cycle the engine gives #VALUE!, which leaves the cell empty.
                book.clearCell(sheet, r, c);
                problem(lineName + QStringLiteral(" образует циклическую ссылку"));
                continue;
            }
            if (v.type == CellValue::Number) {
                book.setNumber(sheet, r, c, v.number);
            } else if (v.type == CellValue::Empty ||
                       (v.type == CellValue::Error &&
                        (v.error == CellError::Div0 || v.error == CellError::Value))) {
                book.clearCell(sheet, r, c);
            } else {
                book.setEntry(sheet, r, c, shownText(v));
            }
        }
    }
    book.endUpdate();
}
