#include "SheetMerge.h"

#include "IdentModel.h"
#include "ImportPlacement.h"
#include "InstanceSheets.h"
#include "Prompter.h"
#include "model/UndoStep.h"
#include "model/Workbook.h"

#include <algorithm>

using namespace TableLayout;

namespace SheetMerge {

const char* notFoundQuestion() {
    return "Объект не найден в списке листов.\r\nДобавить новый лист ?";
}

const char* unidentifiedQuestion() {
    return "Входной отчет не идентифицирован.\r\nПеренести данные в текущий лист ?";
}

const char* overwriteQuestion() {
    return "Лист \"%1\" уже содержит данные.\r\nЗаменить их данными из файла ?";
}

namespace {

constexpr int kTitleBlockFirst = int(TitleRow::Kind);
constexpr int kTitleBlockLast = int(TitleRow::PeriodEnd);

// The body of the saved sheet: the rows below its own header, as its layout cell says
// (a file without one is taken to have the table's header).
struct FileBody {
    int firstRow = 0;
    int lastRow = 0;
    int lastCol = 0;
    bool empty() const { return lastRow < firstRow || lastCol < kSideCol; }
};

FileBody bodyOf(const Sheet& from, const IdentModel& table) {
    const int header = IdentModel::layoutField(from.text(kLayoutRow, kLayoutCol), 7);
    FileBody b;
    b.firstRow = kLastTitleRow + (header > 0 ? header : table.headerRows()) + 1;
    b.lastRow = from.lastRow();
    b.lastCol = from.lastCol();
    return b;
}

bool identifiedByObject(const Sheet& from) {
    const CellValue code = from.value(int(TitleRow::Object), kTitleValueCol);
    return from.text(int(TitleRow::Kind), kTitleValueCol).trimmed() == QStringLiteral("Объект") &&
           code.type == CellValue::Number && code.number != 0;
}

// The sheet named by the same object and the same cuts (a blank reads as 0).
int sheetOfObject(const IdentModel& table, const Sheet& from) {
    for (int s = 1; s <= table.instanceCount(); ++s) {
        const Sheet& sheet = table.book().sheet(s);
        bool same = true;
        for (int row = int(TitleRow::Object); same && row <= int(TitleRow::Cut4); ++row)
            same = sheet.number(row, kTitleValueCol) == from.number(row, kTitleValueCol) &&
                   sheet.number(row, kTitleExtraCol) == from.number(row, kTitleExtraCol);
        if (same)
            return s;
    }
    return 0;
}

bool fits(const IdentModel& table, const FileBody& body, Prompter& prompter) {
    if (body.empty() || table.firstBodyRow() + body.lastRow - body.firstRow <= kMaxRows)
        return true;
    prompter.error(QStringLiteral("Ошибка при импорте: данные не помещаются в лист таблицы"));
    return false;
}

// The file's body into rows from the table's first body row on, columns from `firstCol`.
void copyBody(IdentModel& table, const Workbook& file, const FileBody& body, int sheet,
              int firstCol) {
    if (body.empty())
        return;
    table.book().copyRange(file, 1, CellRange(body.firstRow, firstCol, body.lastRow, body.lastCol),
                           sheet, table.firstBodyRow(), firstCol);
}

bool overwrites(const IdentModel& table, const FileBody& body, int sheet) {
    if (body.empty())
        return false;
    const Sheet& s = table.book().sheet(sheet);
    const int first = table.firstBodyRow();
    const int last = std::min(s.lastRow(), first + body.lastRow - body.firstRow);
    for (int r = first; r <= last; ++r)
        for (int c = kFirstDataCol; c <= std::min(body.lastCol, s.lastColInRow(r)); ++c)
            if (s.type(r, c) != 0)
                return true;
    return false;
}

const QString kStepText = QStringLiteral("Перенос листа из файла");

bool intoObjectSheet(IdentModel& table, const Workbook& file, const FileBody& body, int sheet,
                     Prompter& prompter) {
    Workbook& book = table.book();
    if (overwrites(table, body, sheet) &&
        !prompter.confirm(QString::fromUtf8(overwriteQuestion()).arg(book.sheet(sheet).name()),
                          Answer::No))
        return false;
    UndoStep step(book, kStepText);
    copyBody(table, file, body, sheet, kFirstDataCol);
    book.setActiveSheet(sheet);
    return true;
}

bool intoNewSheet(IdentModel& table, const Workbook& file, const FileBody& body,
                  InstanceSheets& sheets) {
    Workbook& book = table.book();
    const Sheet& from = file.sheet(1);
    UndoStep step(book, kStepText);
    book.setActiveSheet(1);
    if (!sheets.insertSheet())
        return false;
    // Title lines end at row 99: the layout and service rows above them stay the table's.
    const int firstTitle = table.firstShownTitleRow();
    if (from.lastCol() >= 1)
        book.copyRange(file, 1, CellRange(firstTitle, 1, kLastTitleRow, from.lastCol()), 1,
                       firstTitle, 1);
    // The title kind comes along with the object it names.
    book.copyRange(file, 1, CellRange(kTitleBlockFirst, 1, kTitleBlockLast, kTitleExtraCol), 1,
                   kTitleBlockFirst, 1);
    // A side the new sheet took from its neighbour stays; otherwise the file's side comes too.
    const Sheet& fresh = book.sheet(1);
    const int first = table.firstBodyRow();
    const bool sided = fresh.type(first, kSideCol) != 0 && fresh.type(first + 1, kSideCol) != 0;
    copyBody(table, file, body, 1, sided ? kFirstDataCol : kSideCol);
    return true;
}

} // namespace

bool merge(IdentModel& table, const Workbook& file, Prompter& prompter, InstanceSheets* sheets) {
    table.readGeometry();
    const Sheet& from = file.sheet(1);
    const FileBody body = bodyOf(from, table);
    if (!fits(table, body, prompter))
        return false;
    if (identifiedByObject(from)) {
        if (const int sheet = sheetOfObject(table, from))
            return intoObjectSheet(table, file, body, sheet, prompter);
        if (prompter.confirmOrCancel(QString::fromUtf8(notFoundQuestion())) != Answer::Yes ||
            !sheets)
            return false;
        return intoNewSheet(table, file, body, *sheets);
    }
    const int active = table.book().activeSheetIndex();
    if (!table.isInstanceSheet(active)) {
        prompter.error(QString::fromUtf8(ImportPlacement::identSheetRefusal()));
        return false;
    }
    if (prompter.confirmOrCancel(QString::fromUtf8(unidentifiedQuestion())) != Answer::Yes)
        return false;
    UndoStep step(table.book(), kStepText);
    copyBody(table, file, body, active, kFirstDataCol);
    return true;
}

} // namespace SheetMerge
