#include "InitialWorkbook.h"

#include "IdentModel.h"
#include "Prompter.h"
#include "model/Workbook.h"

using namespace TableLayout;

namespace {

constexpr quint32 kSilver = 0xC0C0C0;
constexpr quint32 kBlue = 0x0000FF;
constexpr int kCyrillic = 204;

void prepareSheet(Sheet& s) {
    s.setDefaultFont(
        CellFont{QStringLiteral("Times New Roman"), 10, false, false, false, 0, kCyrillic});
    SheetOptions o = s.options();
    o.showZeros = false;
    o.showRowHeadings = true;
    o.showColHeadings = true;
    o.frozenRows = 0;
    o.frozenCols = 0;
    s.setOptions(o);
    s.setMaxCol(kColumnCount);
    s.setColHidden(kSettingsCol, true);
    for (int r = 1; r < kLastTitleRow; ++r)
        s.setRowHidden(r, true);
    s.setColWidth(kSideCol, kSideWidthChars * 256);
    s.setRowHeading(kFirstHeaderRow, QStringLiteral("---"));
}

void writeSheetTitle(Workbook& book, int sheet, const QString& title) {
    book.setText(sheet, kFirstTitleRow, kSideCol, title);
    book.setFormat(sheet, CellRange::cell(kFirstTitleRow, kSideCol), [](CellFormat& f) {
        f.font.size = 12;
        f.font.color = kBlue;
    });
}

void captionStyle(CellFormat& f) {
    f.pattern = 1;
    f.patternFg = kSilver;
    f.wordWrap = true;
}

} // namespace

namespace InitialWorkbook {

void build(Workbook& book) {
    book.reset(3);
    book.beginUpdate();
    for (int i = 1; i <= 3; ++i)
        prepareSheet(book.sheet(i));
    IdentModel model(book, AppPrompter());
    book.setText(1, kLayoutRow, kLayoutCol,
                 IdentModel::withLayoutField(IdentModel::withLayoutField({}, 1, 1), 7, 1));
    model.readGeometry();

    const int rowSheet = model.rowIdentSheet();
    const int defaults[] = {0, 0, 0, 0, 0, 0, 1, 1, 2, 0};
    for (int i = 0; i < 10; ++i)
        book.setNumber(rowSheet, int(Setting::ShowZeros) + i, kSettingsCol, defaults[i]);

    Sheet& rows = book.sheet(rowSheet);
    rows.setRowHidden(kFirstHeaderRow, true);
    rows.setRowHidden(kFirstTitleRow, false);
    writeSheetTitle(book, rowSheet, QStringLiteral("Идентификация боковика таблицы"));
    for (int i = 1; i <= kCaptionedSlots; ++i) {
        const int col = rowSlotColumn(Slot(i));
        book.setText(rowSheet, kLastTitleRow, col, IdentModel::rowSlotCaption(Slot(i)));
        rows.setColWidth(col, kSlotWidthChars * 256);
    }
    for (int i = 1; i <= kSlotCount; ++i)
        rows.setColHidden(rowSlotColumn(Slot(i)), !IdentModel::slotShown(Slot(i)));
    book.setFormat(rowSheet,
                   CellRange(kLastTitleRow, rowSlotColumn(Slot(1)), kLastTitleRow,
                             rowSlotColumn(Slot(kCaptionedSlots))),
                   captionStyle);
    rows.setRowHeight(kLastTitleRow, 2 * rows.defaultRowHeight());

    const int colSheet = model.colIdentSheet();
    writeSheetTitle(book, colSheet, QStringLiteral("Идентификация шапки таблицы"));
    for (int i = 1; i <= kCaptionedSlots; ++i)
        book.setText(colSheet, model.colSlotRow(Slot(i)), kSideCol,
                     IdentModel::colSlotCaption(Slot(i)));
    book.setFormat(colSheet,
                   CellRange(model.colSlotRow(Slot(1)), kSideCol,
                             model.colSlotRow(Slot(kCaptionedSlots)), kSideCol),
                   captionStyle);

    Sheet& first = book.sheet(1);
    SheetOptions o = first.options();
    o.activeRow = model.firstBodyRow();
    o.activeCol = kFirstDataCol;
    o.selection = CellRange::cell(o.activeRow, o.activeCol);
    first.setOptions(o);
    book.setActiveSheet(1);
    book.endUpdate();
    book.setModified(false);
}

} // namespace InitialWorkbook
