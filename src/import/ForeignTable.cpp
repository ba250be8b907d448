#include "ForeignTable.h"

#include "IdentModel.h"
#include "InitialWorkbook.h"
#include "Prompter.h"
#include "model/Workbook.h"

#include <algorithm>

using namespace TableLayout;

namespace ForeignTable {

namespace {

// File column c goes to table column c + 1 (column 1 stays the service column).
void copyRow(Workbook& book, int sheet, int toRow, const Sheet& from, int fromRow) {
    for (int c = 1; c <= std::min(from.lastCol(), kColumnCount - 1); ++c) {
        const CellValue v = from.value(fromRow, c);
        if (v.type == CellValue::Number)
            book.setNumber(sheet, toRow, c + 1, v.number);
        else if (v.type == CellValue::Text && !v.text.isEmpty())
            book.setText(sheet, toRow, c + 1, v.text);
    }
}

} // namespace

bool build(Workbook& table, const Workbook& file, int titleRows, int headerRows,
           Prompter& prompter) {
    if (titleRows < 0 || titleRows > kMaxTitleRows || headerRows < 0) {
        prompter.error(QStringLiteral("Число строк в заголовке должно быть от 0 до %1, "
                                      "число строк в шапке не меньше 0")
                           .arg(kMaxTitleRows));
        return false;
    }
    const Sheet& from = file.sheet(1);
    const int bodyRows = std::max(from.lastRow() - titleRows - headerRows, 0);
    const int t = std::max(titleRows, 1);
    const int h = std::max(headerRows, 1);
    if (kLastTitleRow + h + bodyRows > kMaxRows) {
        prompter.error(QStringLiteral("Ошибка при импорте: данные не помещаются в лист таблицы"));
        return false;
    }
    {
        IdentModel current(table, prompter);
        current.readGeometry();
        if (current.instanceCount() > 1 &&
            !prompter.confirm(QStringLiteral("Все листы будут уничтожены. Продолжить ?"),
                              Answer::No))
            return false;
    }

    Workbook fresh;
    InitialWorkbook::build(fresh);
    // More header rows: rows inserted below the first one on every sheet, so that the
    // slots of the column identification move down with the header.
    if (h > 1)
        for (int s = 1; s <= fresh.sheetCount(); ++s)
            fresh.insertRows(s, kFirstHeaderRow + 1, h - 1);
    IdentModel model(fresh, prompter);
    model.readGeometry();
    model.setTitleRows(t);
    model.setHeaderRows(h);
    const int rowSheet = model.rowIdentSheet();
    const int colSheet = model.colIdentSheet();
    fresh.beginUpdate();
    // Title lines end at row 99: the layout and service rows above stay as they are.
    const int firstTitle = kFirstHeaderRow - t;
    for (int i = 0; i < titleRows; ++i)
        copyRow(fresh, 1, firstTitle + i, from, 1 + i);
    for (int r = firstTitle; r <= kLastTitleRow; ++r)
        fresh.sheet(1).setRowHidden(r, false);
    for (int i = 0; i < h; ++i) {
        const int row = kFirstHeaderRow + i;
        for (int s : {1, rowSheet, colSheet}) {
            if (i < headerRows)
                copyRow(fresh, s, row, from, 1 + titleRows + i);
            fresh.sheet(s).setRowHeading(row, QStringLiteral("---"));
        }
    }
    const int firstBody = model.firstBodyRow();
    for (int i = 0; i < bodyRows; ++i) {
        const int fromRow = 1 + titleRows + headerRows + i;
        const int row = firstBody + i;
        copyRow(fresh, 1, row, from, fromRow);
        const CellValue side = from.value(fromRow, 1);
        if (side.type == CellValue::Number)
            fresh.setNumber(rowSheet, row, kSideCol, side.number);
        else if (side.type == CellValue::Text)
            fresh.setText(rowSheet, row, kSideCol, side.text);
        fresh.setText(rowSheet, row, rowSlotColumn(Slot::IndicatorShown), QStringLiteral(" "));
    }
    fresh.endUpdate();
    SheetOptions o = fresh.sheet(1).options();
    o.activeRow = firstBody;
    o.activeCol = kFirstDataCol;
    fresh.sheet(1).setOptions(o);
    fresh.setActiveSheet(1);
    table.swapContents(fresh);
    table.setModified(true);
    return true;
}

} // namespace ForeignTable
