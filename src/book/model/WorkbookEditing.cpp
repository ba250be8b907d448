#include "Formula.h"
#include "Workbook.h"
#include "format/BookLocale.h"
#include "formula/FormulaParser.h"
#include "formula/Recalculator.h"

#include <QHash>

#include <algorithm>

void Workbook::clearRange(int sheetIndex, const CellRange& range, ClearWhat what) {
    if (!hasSheet(sheetIndex) || !range.isValid())
        return;
    Sheet& s = sheet(sheetIndex);
    beginUpdate();
    std::vector<std::pair<int, int>> filled;
    s.m_cells.forEachIn(range, [&](int r, int c, Cell& cell) {
        if (cell.hasContent())
            filled.push_back({r, c});
        if (what != ClearWhat::Values && cell.format != 0) {
            m_undo->noteCell(s, r, c);
            cell.format = 0;
        }
    });
    if (what != ClearWhat::Formats)
        for (auto [r, c] : filled)
            writeCell(s, r, c, Cell(), 0, true);
    s.cellsChanged(range);
    endUpdate();
}

void Workbook::copyRange(const Workbook& from, int fromSheet, const CellRange& range, int toSheet,
                         int toRow, int toCol, const CopyOptions& options) {
    if (!from.hasSheet(fromSheet) || !hasSheet(toSheet) || !range.isValid() || toRow < 1 ||
        toCol < 1 || toRow > kMaxRows || toCol > kMaxCols)
        return;
    const Sheet& src = from.sheet(fromSheet);
    Sheet& dst = sheet(toSheet);
    const bool foreign = &from != this;
    struct Item {
        int dr, dc;
        Cell cell;
    };
    // Taken aside first: source and destination may overlap.
    std::vector<Item> items;
    const int lastRow = std::min(range.row2, src.m_cells.allocatedRows());
    for (int r = range.row1; r <= lastRow; ++r) {
        const CellRow* row = src.m_cells.rowAt(r);
        if (!row)
            continue;
        for (int c = std::max(range.col1, row->first);
             c <= std::min(range.col2, row->first + int(row->cells.size()) - 1); ++c) {
            const Cell& cell = row->cells[size_t(c - row->first)];
            if (!cell.hasContent() && cell.format == 0)
                continue;
            Item it{r - range.row1, c - range.col1, cloneCell(cell)};
            if (foreign) {
                it.cell.format = m_formats.intern(from.formats().at(cell.format));
                if (cell.kind == CellKind::Formula) {
                    // Sheet names resolve in this workbook; compiling at the source position
                    // keeps the relative form, so the copy adjusts where it lands.
                    const QString text = printFormula(*cell.formula->code, from, &src, r, c);
                    auto code = FormulaParser(*this, &dst, r, c).compile(text);
                    if (code)
                        it.cell.formula->code = std::move(code);
                }
            }
            items.push_back(std::move(it));
        }
    }
    beginUpdate();
    const CellRange target(toRow, toCol, std::min(kMaxRows, toRow + range.rowCount() - 1),
                           std::min(kMaxCols, toCol + range.colCount() - 1));
    if (options.contents) {
        std::vector<std::pair<int, int>> filled;
        dst.m_cells.forEachIn(target, [&](int r, int c, Cell& cell) {
            if (cell.hasContent())
                filled.push_back({r, c});
        });
        for (auto [r, c] : filled)
            writeCell(dst, r, c, Cell(), 0, true);
    }
    if (options.formats)
        dst.m_cells.forEachIn(target, [&](int r, int c, Cell& cell) {
            if (cell.format != 0) {
                m_undo->noteCell(dst, r, c);
                cell.format = 0;
            }
        });
    for (Item& it : items) {
        const int r = toRow + it.dr, c = toCol + it.dc;
        if (r > kMaxRows || c > kMaxCols) {
            releaseCellContent(it.cell);
            continue;
        }
        if (options.contents) {
            const uint32_t fmt = it.cell.format;
            writeCell(dst, r, c, it.cell, fmt, !options.formats);
        } else {
            if (options.formats && it.cell.format != 0) {
                m_undo->noteCell(dst, r, c);
                dst.m_cells.obtain(r, c).format = it.cell.format;
            }
            releaseCellContent(it.cell);
        }
    }
    for (int i = 0; i < range.rowCount() && toRow + i <= kMaxRows; ++i) {
        LineProps p = dst.rowProps(toRow + i);
        const LineProps& sp = src.rowProps(range.row1 + i);
        if (options.rowHeights)
            p.size = sp.size;
        if (options.hiddenFlags)
            p.hidden = sp.hidden;
        if (options.rowHeights || options.hiddenFlags)
            dst.setRowProps(toRow + i, p);
    }
    for (int i = 0; i < range.colCount() && toCol + i <= kMaxCols; ++i) {
        LineProps p = dst.colProps(toCol + i);
        const LineProps& sp = src.colProps(range.col1 + i);
        if (options.colWidths)
            p.size = sp.size;
        if (options.hiddenFlags)
            p.hidden = sp.hidden;
        if (options.colWidths || options.hiddenFlags)
            dst.setColProps(toCol + i, p);
    }
    dst.cellsChanged(target);
    endUpdate();
}

namespace {

// Numbers, then texts (then errors), blanks always last.
int sortRank(const CellValue& v) {
    switch (v.type) {
    case CellValue::Number:
    case CellValue::Boolean:
        return 0;
    case CellValue::Text:
        return 1;
    case CellValue::Error:
        return 2;
    default:
        return 3;
    }
}

int compareForSort(const CellValue& a, const CellValue& b, bool descending) {
    const int ra = sortRank(a), rb = sortRank(b);
    if (ra == 3 || rb == 3)
        return ra == rb ? 0 : (ra == 3 ? 1 : -1);
    int c = 0;
    if (ra != rb)
        c = ra < rb ? -1 : 1;
    else if (ra == 0)
        c = a.number < b.number ? -1 : (a.number > b.number ? 1 : 0);
    else if (ra == 1)
        c = BookLocale::compareText(a.text, b.text);
    c = c < 0 ? -1 : (c > 0 ? 1 : 0);
    return descending ? -c : c;
}

} // namespace

void Workbook::sortRange(int sheetIndex, const CellRange& range, const QList<int>& keys) {
    if (!hasSheet(sheetIndex) || !range.isValid() || keys.isEmpty())
        return;
    Sheet& s = sheet(sheetIndex);
    const int rows = range.rowCount();
    std::vector<std::vector<CellValue>> keyValues(static_cast<size_t>(rows));
    for (int i = 0; i < rows; ++i)
        for (int k : keys)
            keyValues[size_t(i)].push_back(s.value(range.row1 + i, std::abs(k)));
    std::vector<int> order(static_cast<size_t>(rows));
    for (int i = 0; i < rows; ++i)
        order[size_t(i)] = i;
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        for (qsizetype k = 0; k < keys.size(); ++k) {
            const int c = compareForSort(keyValues[size_t(a)][size_t(k)],
                                         keyValues[size_t(b)][size_t(k)], keys[k] < 0);
            if (c != 0)
                return c < 0;
        }
        return false;
    });
    if (m_undo->recording()) {
        // Rows trade places: every used column of every row of the range may change.
        QList<int> used;
        s.m_cells.forEachIn(range, [&](int, int c, Cell& cell) {
            if ((cell.hasContent() || cell.format != 0) && !used.contains(c))
                used.append(c);
        });
        for (int i = 0; i < rows; ++i)
            for (int c : used)
                m_undo->noteCell(s, range.row1 + i, c);
    }
    m_recalc->structureChanged();
    std::vector<std::vector<Cell>> taken(static_cast<size_t>(rows));
    for (int i = 0; i < rows; ++i)
        for (int c = range.col1; c <= range.col2; ++c)
            taken[size_t(i)].push_back(s.m_cells.take(range.row1 + i, c));
    for (int i = 0; i < rows; ++i) {
        auto& src = taken[size_t(order[size_t(i)])];
        for (int c = range.col1; c <= range.col2; ++c)
            s.m_cells.put(range.row1 + i, c, src[size_t(c - range.col1)]);
    }
    m_modified = true;
    s.cellsChanged(range);
    afterEdit();
}

static bool matches(const QString& text, const QString& what, bool matchCase, bool whole) {
    const Qt::CaseSensitivity cs = matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    return whole ? text.compare(what, cs) == 0 : text.contains(what, cs);
}

bool Workbook::find(int sheetIndex, const QString& what, int& row, int& col, bool matchCase,
                    bool wholeCell) const {
    if (!hasSheet(sheetIndex) || what.isEmpty())
        return false;
    const Sheet& s = sheet(sheetIndex);
    int foundRow = 0, foundCol = 0, firstRow = 0, firstCol = 0;
    s.m_cells.forEach([&](int r, int c, const Cell& cell) {
        if (foundRow || !cell.hasContent())
            return;
        if (!matches(s.entry(r, c), what, matchCase, wholeCell) &&
            !matches(s.formattedText(r, c), what, matchCase, wholeCell))
            return;
        if (!firstRow) {
            firstRow = r;
            firstCol = c;
        }
        if (r > row || (r == row && c > col)) {
            foundRow = r;
            foundCol = c;
        }
    });
    if (!foundRow) {
        // Wrap round to the first match.
        foundRow = firstRow;
        foundCol = firstCol;
    }
    if (!foundRow)
        return false;
    row = foundRow;
    col = foundCol;
    return true;
}

int Workbook::replaceAll(int sheetIndex, const QString& what, const QString& with, bool matchCase,
                         bool wholeCell) {
    if (!hasSheet(sheetIndex) || what.isEmpty())
        return 0;
    Sheet& s = sheet(sheetIndex);
    std::vector<std::tuple<int, int, QString>> changes;
    const Qt::CaseSensitivity cs = matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    s.m_cells.forEach([&](int r, int c, const Cell& cell) {
        if (!cell.hasContent())
            return;
        const QString entry = s.entry(r, c);
        if (!matches(entry, what, matchCase, wholeCell))
            return;
        QString replaced = entry;
        if (wholeCell)
            replaced = with;
        else
            replaced.replace(what, with, cs);
        changes.emplace_back(r, c, replaced);
    });
    beginUpdate();
    for (auto& [r, c, text] : changes)
        writeEntry(s, r, c, text);
    endUpdate();
    return int(changes.size());
}
