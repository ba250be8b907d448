#include "ImportPlacement.h"

#include "IdentModel.h"
#include "Prompter.h"
#include "model/UndoStack.h"
#include "model/Workbook.h"

#include <algorithm>

namespace ImportPlacement {

const char* bodyQuestion() {
    return "Тело таблицы на текущем листе уже содержит данные.\r\n"
           "Заменить их импортируемыми данными ?";
}

const char* sideQuestion() {
    return "Тело или боковик таблицы на текущем листе уже содержат данные.\r\n"
           "Заменить их импортируемыми данными ?";
}

const char* identSheetRefusal() {
    return "Данные импортируются только в лист таблицы, а не в лист идентификации";
}

namespace {

bool holdsData(const Sheet& s, int firstRow, int firstCol) {
    for (int r = firstRow; r <= s.lastRow(); ++r)
        for (int c = firstCol; c <= s.lastCol(); ++c)
            if (s.type(r, c) != 0)
                return true;
    return false;
}

int shiftOf(Target target) {
    return target == Target::Body ? 2 : 1;
}

int clearFromOf(Target target) {
    return target == Target::Body ? TableLayout::kFirstDataCol : TableLayout::kSideCol;
}

} // namespace

bool place(IdentModel& ident, const Workbook& preview, int startRow, Target target,
           Prompter& prompter) {
    if (!prepare(ident, preview, startRow, target, prompter))
        return false;
    put(ident, preview, startRow, target);
    return true;
}

bool prepare(IdentModel& ident, const Workbook& preview, int startRow, Target target,
             Prompter& prompter) {
    Workbook& book = ident.book();
    ident.readGeometry();
    const int sheet = book.activeSheetIndex();
    if (!ident.isInstanceSheet(sheet)) {
        prompter.error(QString::fromUtf8(identSheetRefusal()));
        return false;
    }
    startRow = std::max(startRow, 1);
    const Sheet& from = preview.sheet(1);
    const int rows = std::max(from.lastRow() - startRow + 1, 0);
    if (ident.firstBodyRow() + rows - 1 > kMaxRows || from.lastCol() + shiftOf(target) > kMaxCols) {
        prompter.error(QStringLiteral("Ошибка при импорте: данные не помещаются в лист "
                                      "таблицы (%1 строк, %2 столбцов)")
                           .arg(rows)
                           .arg(from.lastCol()));
        return false;
    }
    if (holdsData(book.sheet(sheet), ident.firstBodyRow(), clearFromOf(target)) &&
        !prompter.confirm(
            QString::fromUtf8(target == Target::Body ? bodyQuestion() : sideQuestion()),
            Answer::No))
        return false;
    return true;
}

void put(IdentModel& ident, const Workbook& preview, int startRow, Target target) {
    Workbook& book = ident.book();
    ident.readGeometry();
    const int sheet = book.activeSheetIndex();
    startRow = std::max(startRow, 1);
    const Sheet& from = preview.sheet(1);
    const Sheet& to = book.sheet(sheet);
    const int firstRow = ident.firstBodyRow();
    const int clearFrom = clearFromOf(target);
    book.undoStack().begin(QStringLiteral("Импорт данных"));
    book.beginUpdate();
    if (to.lastRow() >= firstRow && to.lastCol() >= clearFrom)
        book.clearRange(sheet, CellRange(firstRow, clearFrom, to.lastRow(), to.lastCol()),
                        ClearWhat::Values);
    for (int r = startRow; r <= from.lastRow(); ++r) {
        const int row = firstRow + r - startRow;
        for (int c = 1; c <= from.lastCol(); ++c) {
            const CellValue v = from.value(r, c);
            if (v.type == CellValue::Number)
                book.setNumber(sheet, row, c + shiftOf(target), v.number);
            else if (v.type == CellValue::Text && !v.text.isEmpty())
                book.setText(sheet, row, c + shiftOf(target), v.text);
        }
    }
    book.endUpdate();
    book.undoStack().end();
}

} // namespace ImportPlacement
