#include "EditingCommands.h"

#include "IdentModel.h"
#include "Prompter.h"
#include "TableLayout.h"

#include "model/UndoStep.h"
#include "model/Workbook.h"

#include <algorithm>

namespace {

constexpr int kTextRow = 21;
constexpr int kMaxTextLines = 69;

} // namespace

EditingCommands::EditingCommands(IdentModel& model, Prompter& prompter)
    : m_model(model), m_prompter(prompter) {}

Workbook& EditingCommands::book() const {
    return m_model.book();
}

int EditingCommands::lastUsedRow(int sheet) const {
    return std::max(book().sheet(sheet).lastRow(), m_model.firstBodyRow());
}

EditingCommands::Cursor EditingCommands::insertAt(int row, int col) {
    Workbook& b = book();
    m_model.readGeometry();
    const int H = m_model.lastHeaderRow();
    const int colSheet = m_model.colIdentSheet(), rowSheet = m_model.rowIdentSheet();
    if (col <= TableLayout::kSideCol && row >= kTextRow && row < TableLayout::kFirstTitleRow) {
        const int k = m_model.extraTextLines();
        if (k >= kMaxTextLines || row > kTextRow + k + 1)
            return {};
        UndoStep step(b, QStringLiteral("Вставка строки текста"));
        for (int s = 1; s <= b.sheetCount(); ++s) {
            if (s == colSheet)
                continue;
            b.moveRange(s, CellRange(row, 2, kTextRow + k, kMaxCols), 1, 0);
            b.sheet(s).setRowHidden(kTextRow + k + 1, false);
        }
        m_model.setExtraTextLines(k + 1);
        return {};
    }
    if (col <= TableLayout::kSideCol && row >= TableLayout::kFirstTitleRow &&
        row < TableLayout::kFirstHeaderRow) {
        const int f = std::min(m_model.firstShownTitleRow(), row);
        if (f <= TableLayout::kFirstTitleRow) {
            m_prompter.info(tooManyTitleLines());
            return {};
        }
        UndoStep step(b, QStringLiteral("Вставка строки заголовка"));
        for (int s = 1; s <= b.sheetCount(); ++s) {
            if (s == colSheet)
                continue;
            b.sheet(s).setRowHidden(f - 1, false);
            if (row - 1 >= f)
                b.moveRange(s, CellRange(f, 1, row - 1, kMaxCols), -1, 0);
        }
        m_model.setTitleRows(m_model.titleRows() + 1);
        return {row - 1, col};
    }
    if (col <= TableLayout::kSideCol && row >= TableLayout::kFirstHeaderRow && row <= H) {
        UndoStep step(b, QStringLiteral("Вставка строки шапки"));
        for (int s = 1; s <= b.sheetCount(); ++s) {
            b.insertRows(s, row, 1);
            b.sheet(s).setRowHeading(row, QStringLiteral("---"));
        }
        m_model.setHeaderRows(m_model.headerRows() + 1);
        return {};
    }
    if (col <= TableLayout::kSideCol && row > H) {
        UndoStep step(b, QStringLiteral("Вставка строки"));
        for (int s = 1; s <= b.sheetCount(); ++s) {
            if (s == colSheet)
                continue;
            b.insertRows(s, row, 1);
            if (row == H + 1)
                b.clearRange(s, CellRange(row, 1, row, kMaxCols), ClearWhat::Formats);
        }
        return {};
    }
    if (col >= TableLayout::kFirstDataCol) {
        UndoStep step(b, QStringLiteral("Вставка колонки"));
        for (int s = 1; s <= b.sheetCount(); ++s) {
            if (s == rowSheet)
                continue;
            Sheet& sh = b.sheet(s);
            const int width = sh.colProps(col).size;
            b.insertCells(s, CellRange(TableLayout::kFirstHeaderRow, col, lastUsedRow(s), col),
                          false);
            sh.setColWidth(col, width);
        }
    }
    return {};
}

EditingCommands::Cursor EditingCommands::deleteAt(const CellRange& selection) {
    Workbook& b = book();
    m_model.readGeometry();
    const int row = selection.row1, col = selection.col1;
    const int H = m_model.lastHeaderRow();
    const int colSheet = m_model.colIdentSheet(), rowSheet = m_model.rowIdentSheet();
    if (col <= TableLayout::kSideCol && row >= kTextRow && row < TableLayout::kFirstTitleRow) {
        const int k = m_model.extraTextLines();
        const int last = kTextRow + k;
        if (row > last)
            return {};
        UndoStep step(b, QStringLiteral("Удаление строки текста"));
        Cursor cursor;
        for (int s = 1; s <= b.sheetCount(); ++s) {
            if (s == colSheet)
                continue;
            b.clearRange(s, CellRange(row, 2, row, kMaxCols), ClearWhat::All);
            if (row < last)
                b.moveRange(s, CellRange(row + 1, 2, last, kMaxCols), -1, 0);
            b.sheet(s).setRowHidden(last, true);
        }
        if (k > 0)
            m_model.setExtraTextLines(k - 1);
        if (row == last && k > 0)
            cursor = {row - 1, col};
        return cursor;
    }
    if (col <= TableLayout::kSideCol && row >= TableLayout::kFirstTitleRow &&
        row < TableLayout::kFirstHeaderRow) {
        if (m_model.titleRows() <= 1) {
            m_prompter.error(lastTitleLine());
            return {};
        }
        const int f = m_model.firstShownTitleRow();
        UndoStep step(b, QStringLiteral("Удаление строки заголовка"));
        for (int s = 1; s <= b.sheetCount(); ++s) {
            if (row > f)
                b.moveRange(s, CellRange(f, 1, row - 1, kMaxCols), 1, 0);
            else
                b.clearRange(s, CellRange(f, 1, f, kMaxCols), ClearWhat::All);
            b.sheet(s).setRowHidden(f, true);
        }
        m_model.setTitleRows(m_model.titleRows() - 1);
        return row == f ? Cursor{row + 1, col} : Cursor{};
    }
    if (col <= TableLayout::kSideCol && row >= TableLayout::kFirstHeaderRow) {
        if (row <= H) {
            if (m_model.headerRows() <= 1) {
                m_prompter.error(lastHeaderRow());
                return {};
            }
            UndoStep step(b, QStringLiteral("Удаление строки шапки"));
            for (int s = 1; s <= b.sheetCount(); ++s)
                b.deleteRows(s, row, 1);
            m_model.setHeaderRows(m_model.headerRows() - 1);
            return {};
        }
        UndoStep step(b, QStringLiteral("Удаление строк"));
        for (int s = 1; s <= b.sheetCount(); ++s)
            if (s != colSheet)
                b.deleteRows(s, row, std::max(1, selection.row2 - row + 1));
        return {};
    }
    if (col >= TableLayout::kFirstDataCol) {
        UndoStep step(b, QStringLiteral("Удаление колонки"));
        for (int s = 1; s <= b.sheetCount(); ++s)
            if (s != rowSheet)
                b.deleteCells(s, CellRange(TableLayout::kFirstHeaderRow, col, lastUsedRow(s), col),
                              false);
    }
    return {};
}

void EditingCommands::blank() {
    Workbook& b = book();
    m_model.readGeometry();
    UndoStep step(b, QStringLiteral("Бланк"));
    for (int s = 1; s <= m_model.instanceCount(); ++s) {
        Sheet& sh = b.sheet(s);
        const int lastRow = sh.lastRow(), lastCol = sh.lastCol();
        for (int c = TableLayout::kFirstDataCol; c <= lastCol; ++c) {
            if (!m_model.isDataColumn(c))
                continue;
            for (int r = m_model.firstBodyRow(); r <= lastRow; ++r) {
                const Cell* cell = sh.cell(r, c);
                if (cell && cell->kind == CellKind::Number)
                    b.clearCell(s, r, c);
            }
        }
    }
}

bool EditingCommands::rowIsEmpty(int sheet, int row) const {
    const CellRow* r = book().sheet(sheet).cells().rowAt(row);
    if (!r)
        return true;
    return std::none_of(r->cells.begin(), r->cells.end(),
                        [](const Cell& c) { return c.hasContent(); });
}

void EditingCommands::sortBody(int col, bool descending) {
    Workbook& b = book();
    m_model.readGeometry();
    const int first = m_model.firstBodyRow();
    const int active = b.activeSheetIndex();
    const Sheet& src = b.sheet(active);
    std::vector<CellValue> keys;
    for (int r = first; r <= src.lastRow(); ++r)
        keys.push_back(src.value(r, col));
    if (keys.empty())
        return;
    UndoStep step(b, descending ? QStringLiteral("Сортировка по убыванию")
                                : QStringLiteral("Сортировка по возрастанию"));
    for (int s = 1; s <= b.sheetCount(); ++s) {
        if (s == m_model.colIdentSheet())
            continue;
        int last = first - 1;
        while (last + 1 <= b.sheet(s).lastRow() && !rowIsEmpty(s, last + 1))
            ++last;
        if (last < first)
            continue;
        const int scratch = b.sheet(s).lastCol() + 2;
        if (scratch > kMaxCols)
            continue;
        for (int r = first; r <= last && size_t(r - first) < keys.size(); ++r) {
            const CellValue& v = keys[size_t(r - first)];
            if (v.type == CellValue::Number)
                b.setNumber(s, r, scratch, v.number);
            else if (v.type == CellValue::Text)
                b.setText(s, r, scratch, v.text);
        }
        b.sortRange(s, CellRange(first, 1, last, scratch), {descending ? -scratch : scratch});
        b.clearRange(s, CellRange(first, scratch, last, scratch), ClearWhat::All);
    }
}

void EditingCommands::showZeros(bool on) {
    Workbook& b = book();
    m_model.readGeometry();
    UndoStep step(b, QStringLiteral("Показать нули"));
    m_model.setSetting(Setting::ShowZeros, on ? 1 : 0);
    for (int s = 1; s <= m_model.instanceCount(); ++s) {
        SheetOptions o = b.sheet(s).options();
        o.showZeros = on;
        b.sheet(s).setOptions(o);
    }
}

bool EditingCommands::colIsEmpty(int sheet, int col, int lastRow) const {
    const Sheet& sh = book().sheet(sheet);
    for (int r = m_model.firstBodyRow(); r <= lastRow; ++r) {
        const CellValue v = sh.value(r, col);
        if (v.type == CellValue::Number && v.number != 0)
            return false;
    }
    return true;
}

void EditingCommands::showEmptyRows(bool on, bool hideMarked) {
    Workbook& b = book();
    m_model.readGeometry();
    UndoStep step(b, QStringLiteral("Показать пустые строки"));
    m_model.setSetting(Setting::HideEmptyRows, on ? 0 : 1);
    for (int s = 1; s <= m_model.instanceCount(); ++s) {
        Sheet& sh = b.sheet(s);
        const int lastRow = sh.lastRow(), lastCol = sh.lastCol();
        for (int r = m_model.firstBodyRow(); r <= lastRow; ++r) {
            bool empty = true;
            for (int c = TableLayout::kFirstDataCol; c <= lastCol && empty; ++c) {
                const CellValue v = sh.value(r, c);
                empty = !(m_model.isDataColumn(c) && v.type == CellValue::Number && v.number != 0);
            }
            if (!empty)
                continue;
            sh.setRowHidden(r, !on || (hideMarked && m_model.rowMarkedHidden(r)));
        }
    }
}

void EditingCommands::showEmptyCols(bool on, bool hideMarked) {
    Workbook& b = book();
    m_model.readGeometry();
    UndoStep step(b, QStringLiteral("Показать пустые колонки"));
    m_model.setSetting(Setting::HideEmptyCols, on ? 0 : 1);
    for (int s = 1; s <= m_model.instanceCount(); ++s) {
        Sheet& sh = b.sheet(s);
        const int lastRow = sh.lastRow(), lastCol = sh.lastCol();
        for (int c = TableLayout::kFirstDataCol; c <= lastCol; ++c) {
            if (!m_model.isDataColumn(c) || !colIsEmpty(s, c, lastRow))
                continue;
            sh.setColHidden(c, !on || (hideMarked && m_model.colMarkedHidden(c)));
        }
    }
}

int EditingCommands::shownRowNear(int row) const {
    const Sheet& sh = book().activeSheet();
    for (int r = row; r <= sh.lastRow(); ++r)
        if (!sh.rowHidden(r))
            return r;
    for (int r = row - 1; r >= m_model.firstBodyRow(); --r)
        if (!sh.rowHidden(r))
            return r;
    return row;
}

int EditingCommands::shownColNear(int col) const {
    const Sheet& sh = book().activeSheet();
    for (int c = col; c <= sh.lastCol(); ++c)
        if (!sh.colHidden(c))
            return c;
    for (int c = col - 1; c >= TableLayout::kFirstDataCol; --c)
        if (!sh.colHidden(c))
            return c;
    return col;
}
