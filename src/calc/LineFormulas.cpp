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
        // Formulas of the body that read what the previous lines wrote are current first.
        if (book.recalculator().hasPending())
            book.recalc();
        const std::shared_ptr<const FormulaCode> code = slot->formula->code;
        for (int x = firstCross; x <= lastCross; ++x) {
            if (rows ? specialCol[size_t(x)] : specialRow[size_t(x)])
                continue;
            const int r = rows ? line : x;
            const int c = rows ? x : line;
            if (readsItself(*code, target, r, c)) {
                // On a cycle the engine gives #VALUE!, which leaves the cell empty.
                book.clearCell(sheet, r, c);
                problem(lineName +
                        QStringLiteral(" ссылается на свою ячейку (циклическая ссылка)"));
                continue;
            }
            const CellValue v = eval.evaluate(*code, &target, r, c);
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
