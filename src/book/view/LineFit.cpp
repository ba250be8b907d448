#include "LineFit.h"

#include "CellPainter.h"
#include "SheetLayout.h"
#include "model/Sheet.h"

#include <algorithm>

namespace {

bool merged(const Sheet& s, int row, int col) {
    for (const CellRange& m : s.mergedRanges())
        if (m.contains(row, col))
            return true;
    return false;
}

} // namespace

void LineFit::rows(Sheet& sheet, int from, int to) {
    CellPainter cp(sheet, 100);
    for (int r = std::max(from, 1);
         r <= std::min(to, std::max(sheet.lastRow(), sheet.lastRowProps())); ++r) {
        if (sheet.rowHidden(r))
            continue;
        int tallest = 0;
        for (int c = 1; c <= sheet.lastColInRow(r); ++c) {
            const Cell* cell = sheet.cell(r, c);
            if (!cell || !cell->hasContent() || sheet.colHidden(c) || merged(sheet, r, c))
                continue;
            const int width = SheetLayout::colPixels(sheet.colWidth(c), 100);
            tallest =
                std::max(tallest, cp.textHeight(cell->format, sheet.formattedText(r, c), width));
        }
        sheet.setRowHeight(r, tallest > 0 ? SheetLayout::twipsFromPixels(tallest, 100) : -1);
    }
}

void LineFit::columns(Sheet& sheet, int from, int to) {
    CellPainter cp(sheet, 100);
    for (int c = std::max(from, 1); c <= to; ++c) {
        if (sheet.colHidden(c))
            continue;
        int widest = 0;
        for (int r = 1; r <= sheet.lastRow(); ++r) {
            const Cell* cell = sheet.cell(r, c);
            if (cell && cell->hasContent() && !sheet.rowHidden(r) && !merged(sheet, r, c))
                widest =
                    std::max(widest, cp.textWidth(cell->format, sheet.formattedText(r, c)) + 2);
        }
        if (widest > 0)
            sheet.setColWidth(c, SheetLayout::widthFromPixels(widest, 100));
    }
}
