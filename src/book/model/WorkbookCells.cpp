#include "Workbook.h"

#include "Formula.h"
#include "format/EntryParser.h"
#include "format/NumberFormat.h"
#include "formula/CodeCache.h"
#include "formula/FormulaParser.h"
#include "formula/Recalculator.h"

#include <algorithm>

// The edit group's forms are one update, so that they are one undo step too.
void Workbook::setEntry(int row, int col, const QString& entry) {
    beginUpdate();
    for (int i : editGroup())
        writeEntry(sheet(i), row, col, entry);
    endUpdate();
}

void Workbook::setNumber(int row, int col, double value) {
    beginUpdate();
    for (int i : editGroup())
        setNumber(i, row, col, value);
    endUpdate();
}

void Workbook::setText(int row, int col, const QString& text) {
    beginUpdate();
    for (int i : editGroup())
        setText(i, row, col, text);
    endUpdate();
}

bool Workbook::setFormula(int row, int col, const QString& formula, QString* error) {
    bool ok = true;
    beginUpdate();
    for (int i : editGroup())
        ok = setFormula(i, row, col, formula, error) && ok;
    endUpdate();
    return ok;
}

void Workbook::clearCell(int row, int col) {
    beginUpdate();
    for (int i : editGroup())
        clearCell(i, row, col);
    endUpdate();
}

void Workbook::setEntry(int sheetIndex, int row, int col, const QString& entry) {
    if (!hasSheet(sheetIndex))
        return;
    writeEntry(sheet(sheetIndex), row, col, entry);
    afterEdit();
}

void Workbook::setNumber(int sheetIndex, int row, int col, double value) {
    if (!hasSheet(sheetIndex))
        return;
    Cell c;
    c.kind = CellKind::Number;
    c.number = value;
    writeCell(sheet(sheetIndex), row, col, c, 0, true);
    afterEdit();
}

void Workbook::setText(int sheetIndex, int row, int col, const QString& text) {
    if (!hasSheet(sheetIndex))
        return;
    Cell c;
    if (!text.isEmpty()) {
        c.kind = CellKind::Text;
        c.text = new QString(text);
    }
    writeCell(sheet(sheetIndex), row, col, c, 0, true);
    afterEdit();
}

bool Workbook::setFormula(int sheetIndex, int row, int col, const QString& formula,
                          QString* error) {
    if (!hasSheet(sheetIndex))
        return false;
    Sheet& s = sheet(sheetIndex);
    FormulaParser parser(*this, &s, row, col);
    auto code = parser.compile(formula.startsWith('=') ? formula.mid(1) : formula, error);
    if (!code)
        return false;
    Cell c;
    c.kind = CellKind::Formula;
    c.formula = new Formula;
    c.formula->code = std::move(code);
    writeCell(s, row, col, c, 0, true);
    afterEdit();
    return true;
}

void Workbook::clearCell(int sheetIndex, int row, int col) {
    if (!hasSheet(sheetIndex))
        return;
    writeCell(sheet(sheetIndex), row, col, Cell(), 0, true);
    afterEdit();
}

QString Workbook::missingSheet(int sheetIndex, int row, int col, const QString& entry) const {
    if (!hasSheet(sheetIndex))
        return {};
    const ParsedEntry p = EntryParser::parse(entry);
    if (p.kind != ParsedEntry::Formula)
        return {};
    FormulaParser parser(*this, &sheet(sheetIndex), row, col);
    return parser.compile(p.text) ? parser.missingSheet() : QString();
}
