#include "Workbook.h"

#include "Formula.h"
#include "format/EntryParser.h"
#include "format/NumberFormat.h"
#include "formula/CodeCache.h"
#include "formula/FormulaParser.h"
#include "formula/Recalculator.h"

#include <algorithm>

void Workbook::setFormat(int sheetIndex, const CellRange& range,
                         const std::function<void(CellFormat&)>& change) {
    if (!hasSheet(sheetIndex) || !range.isValid())
        return;
    Sheet& s = sheet(sheetIndex);
    const CellRange r(range.row1, range.col1, std::min(range.row2, kMaxRows),
                      std::min(range.col2, kMaxCols));
    // Formats shared by many cells are edited once per distinct source format.
    QHash<uint32_t, uint32_t> mapped;
    for (int row = r.row1; row <= r.row2; ++row)
        for (int col = r.col1; col <= r.col2; ++col) {
            const uint32_t old = s.formatIndex(row, col);
            auto it = mapped.constFind(old);
            uint32_t target;
            if (it == mapped.constEnd()) {
                CellFormat f = m_formats.at(old);
                change(f);
                target = m_formats.intern(f);
                mapped.insert(old, target);
            } else {
                target = it.value();
            }
            if (target == old)
                continue;
            m_undo->noteCell(s, row, col);
            s.m_cells.obtain(row, col).format = target;
        }
    s.cellsChanged(r);
}

void Workbook::setNumberFormat(int sheetIndex, const CellRange& range, const QString& fmt) {
    setFormat(sheetIndex, range, [&](CellFormat& f) { f.numberFormat = fmt; });
}

void Workbook::setFormat(const CellRange& range, const std::function<void(CellFormat&)>& change) {
    for (int i : editGroup())
        setFormat(i, range, change);
}

void Workbook::setNumberFormat(const CellRange& range, const QString& numberFormat) {
    for (int i : editGroup())
        setNumberFormat(i, range, numberFormat);
}

void Workbook::clearRange(const CellRange& range, ClearWhat what) {
    for (int i : editGroup())
        clearRange(i, range, what);
}

void Workbook::setShowTabs(bool on) {
    if (m_showTabs == on)
        return;
    m_showTabs = on;
    m_modified = true;
    notify({WorkbookChange::SheetList, 0, {}});
}

void Workbook::setFormatIndex(int sheetIndex, int row, int col, uint32_t index) {
    if (!hasSheet(sheetIndex) || index >= m_formats.size() || row < 1 || row > kMaxRows ||
        col < 1 || col > kMaxCols)
        return;
    Sheet& s = sheet(sheetIndex);
    m_undo->noteCell(s, row, col);
    if (Cell* c = s.m_cells.find(row, col))
        c->format = index;
    else if (index != 0)
        s.m_cells.obtain(row, col).format = index;
    s.cellsChanged(CellRange::cell(row, col));
}

bool Workbook::setValidation(int sheetIndex, const CellRange& range, const QString& condition,
                             const QString& message, QString* error) {
    if (!hasSheet(sheetIndex) || !range.isValid())
        return false;
    Sheet& s = sheet(sheetIndex);
    FormulaParser parser(*this, &s, range.row1, range.col1);
    auto code = parser.compile(condition.startsWith('=') ? condition.mid(1) : condition, error);
    if (!code)
        return false;
    s.aboutToChange();
    s.m_rules.push_back({range, std::move(code), message});
    s.changed();
    return true;
}

void Workbook::removeValidation(int sheetIndex, const CellRange& range) {
    if (!hasSheet(sheetIndex))
        return;
    Sheet& s = sheet(sheetIndex);
    s.aboutToChange();
    std::erase_if(s.m_rules, [&](const ValidationRule& r) { return r.range.intersects(range); });
    s.changed();
}

QString Workbook::validationCondition(int sheetIndex, int row, int col) const {
    if (!hasSheet(sheetIndex))
        return {};
    const Sheet& s = sheet(sheetIndex);
    const ValidationRule* rule = s.ruleAt(row, col);
    if (!rule)
        return {};
    // The condition is stored relative to the first cell; read at this cell it adjusts.
    return printFormula(*rule->condition, *this, &s, row, col);
}

bool Workbook::validate(int sheetIndex, int row, int col, const QString& candidate,
                        QString* message) const {
    if (!hasSheet(sheetIndex))
        return true;
    const Sheet& s = sheet(sheetIndex);
    const ValidationRule* rule = s.ruleAt(row, col);
    if (!rule)
        return true;
    const ParsedEntry p = EntryParser::parse(candidate);
    Evaluator& ev = m_recalc->evaluator();
    CellValue v;
    if (p.kind == ParsedEntry::Number) {
        v = CellValue::fromNumber(p.number);
    } else if (p.kind == ParsedEntry::Formula) {
        // A formula is judged by the value it would give in this cell.
        const auto code = FormulaParser(*this, &s, row, col).compile(p.text);
        v = code ? ev.evaluate(*code, &s, row, col) : CellValue::fromText(candidate);
    } else if (p.kind == ParsedEntry::Text) {
        v = CellValue::fromText(candidate);
    }
    ev.setOverride(&s, row, col, v);
    const CellValue r = ev.evaluate(*rule->condition, &s, row, col);
    ev.clearOverride();
    const bool ok = (r.type == CellValue::Number || r.type == CellValue::Boolean) && r.number != 0;
    if (!ok && message)
        *message = rule->message;
    return ok;
}

bool Workbook::satisfiesValidation(int sheetIndex, int row, int col, QString* message) const {
    if (!hasSheet(sheetIndex))
        return true;
    const Sheet& s = sheet(sheetIndex);
    const ValidationRule* rule = s.ruleAt(row, col);
    if (!rule)
        return true;
    const CellValue r = m_recalc->evaluator().evaluate(*rule->condition, &s, row, col);
    const bool ok = (r.type == CellValue::Number || r.type == CellValue::Boolean) && r.number != 0;
    if (!ok && message)
        *message = rule->message;
    return ok;
}
