#include "formula/Recalculator.h"
#include "model/Workbook.h"

#include <gtest/gtest.h>

TEST(StructureTest, SheetObjectsFollowInsertedAndDeletedRows) {
    Workbook b;
    Sheet& s = b.activeSheet();
    s.addMergedRange(CellRange(10, 2, 10, 5));
    s.addMergedRange(CellRange(20, 2, 21, 2));
    const int id = s.addDropDown("tip", CellRange(12, 3, 12, 4), "a;b");
    PrintSettings p;
    p.printArea = CellRange(5, 1, 30, 10);
    s.setPrintSettings(p);
    s.setRowBreak(15, true);
    b.insertRows(1, 11, 2);
    EXPECT_EQ(s.mergedRanges().at(0), CellRange(10, 2, 10, 5));
    EXPECT_EQ(s.mergedRanges().at(1), CellRange(22, 2, 23, 2));
    EXPECT_EQ(s.object(id)->position, CellRange(14, 3, 14, 4));
    EXPECT_EQ(s.printSettings().printArea, CellRange(5, 1, 32, 10));
    EXPECT_EQ(s.rowBreaks(), QList<int>{17});
    b.deleteRows(1, 22, 2);
    EXPECT_EQ(s.mergedRanges().size(), 1);
    b.deleteRows(1, 17, 1);
    EXPECT_TRUE(s.rowBreaks().isEmpty());
}

TEST(StructureTest, ReferencesFromOtherSheetsFollowAndLoseTheirCells) {
    Workbook b(2);
    b.setEntry(1, 5, 2, "3");
    b.setEntry(2, 1, 1, "=Лист1!B5*2");
    b.setEntry(2, 1, 2, "=SUM(Лист1!B1:B10)");
    b.insertRows(1, 1, 3);
    EXPECT_EQ(b.sheet(2).formula(1, 1), "=Лист1!B8*2");
    EXPECT_EQ(b.sheet(2).formula(1, 2), "=SUM(Лист1!B4:B13)");
    EXPECT_EQ(b.sheet(2).number(1, 1), 6);
    b.insertCols(2, 1, 1); // on the referring sheet: only its own cells move
    EXPECT_EQ(b.sheet(2).formula(1, 2), "=Лист1!B8*2");
    b.deleteCols(1, 2, 1);
    EXPECT_EQ(b.sheet(2).formula(1, 2), "=#REF!*2");
    EXPECT_EQ(b.sheet(2).text(1, 2), "#REF!");
    EXPECT_EQ(b.sheet(2).formula(1, 3), "=SUM(#REF!)");
}

TEST(StructureTest, InsertCellsShiftRightAndDeleteShiftLeft) {
    Workbook b;
    b.setEntry(1, 1, "1");
    b.setEntry(1, 2, "2");
    b.setEntry(2, 2, "20");
    b.setEntry(3, 1, "=B1+B2");
    b.insertCells(1, CellRange(1, 1, 1, 1), false);
    EXPECT_EQ(b.number(1, 3), 2);
    EXPECT_EQ(b.number(2, 2), 20);
    EXPECT_EQ(b.formula(3, 1), "=C1+B2");
    EXPECT_EQ(b.number(3, 1), 22);
    b.deleteCells(1, CellRange(2, 1, 2, 2), false);
    EXPECT_EQ(b.formula(3, 1), "=C1+#REF!");
    EXPECT_EQ(b.text(3, 1), "#REF!");
}

TEST(StructureTest, CopyOptionsAndCopyBetweenWorkbooks) {
    Workbook from(2);
    Sheet& s = from.sheet(1);
    from.setEntry(1, 1, 1, "5");
    from.setEntry(1, 2, 1, "=A1+Лист2!A1");
    from.setEntry(2, 1, 1, "1");
    from.setFormat(1, CellRange(1, 1, 2, 1), [](CellFormat& f) {
        f.font.bold = true;
        f.numberFormat = "0.0";
    });
    s.setRowHidden(2, true);
    s.setRowHeight(1, 600);
    s.setColWidth(1, 5000);

    Workbook to;
    to.setEntry(11, 1, "junk");
    CopyOptions o;
    o.rowHeights = true;
    o.colWidths = true;
    o.hiddenFlags = true;
    to.copyRange(from, 1, CellRange(1, 1, 3, 1), 1, 10, 2, o);
    EXPECT_EQ(to.entry(10, 2), "5");
    EXPECT_EQ(to.formattedText(10, 2), "5.0");
    EXPECT_TRUE(to.activeSheet().format(11, 2).font.bold);
    // Sheet names resolve in the receiving workbook, which has no Лист2.
    EXPECT_EQ(to.formula(11, 2), "=B10+#REF!");
    EXPECT_TRUE(to.activeSheet().rowHidden(11));
    EXPECT_EQ(to.activeSheet().rowHeight(10), 600);
    EXPECT_EQ(to.activeSheet().colWidth(2), 5000);
    EXPECT_EQ(to.text(11, 1), "junk"); // outside the target

    Workbook plain;
    CopyOptions valuesOnly;
    valuesOnly.formats = false;
    plain.copyRange(from, 1, CellRange(1, 1, 1, 1), 1, 1, 1, valuesOnly);
    EXPECT_EQ(plain.formattedText(1, 1), "5");
    EXPECT_FALSE(plain.activeSheet().rowHidden(2));
}

TEST(StructureTest, OverlappingCopyInsideOneSheet) {
    Workbook b;
    for (int r = 1; r <= 4; ++r)
        b.setNumber(r, 1, r);
    b.copyRange(b, 1, CellRange(1, 1, 4, 1), 1, 2, 1);
    for (int r = 2; r <= 5; ++r)
        EXPECT_EQ(b.number(r, 1), r - 1);
}

TEST(StructureTest, UpdateBracketRecalculatesOnceAndSheetSizeIsAdjustable) {
    Workbook b;
    b.setEntry(1, 2, "=SUM(A1:A100)");
    const uint64_t before = b.recalculator().evaluationCount();
    b.beginUpdate();
    for (int r = 1; r <= 100; ++r)
        b.setNumber(r, 1, 1);
    b.endUpdate();
    EXPECT_EQ(b.recalculator().evaluationCount() - before, 1u);
    EXPECT_EQ(b.number(1, 2), 100);
    Sheet& s = b.activeSheet();
    s.setMaxCol(255);
    EXPECT_EQ(s.maxCol(), 255);
    s.setMaxCol(256);
    EXPECT_EQ(s.maxCol(), 256);
    s.setMaxRow(100000);
    EXPECT_EQ(s.maxRow(), kMaxRows);
}

TEST(StructureTest, FindWrapsAround) {
    Workbook b;
    b.setEntry(2, 2, "итог");
    b.setEntry(5, 1, "Итог");
    int row = 2, col = 2;
    ASSERT_TRUE(b.find(1, "итог", row, col));
    EXPECT_EQ(row, 5);
    ASSERT_TRUE(b.find(1, "итог", row, col));
    EXPECT_EQ(row, 2);
    EXPECT_FALSE(b.find(1, "нет", row, col));
    row = 0;
    col = 0;
    ASSERT_TRUE(b.find(1, "Итог", row, col, true));
    EXPECT_EQ(row, 5);
    EXPECT_EQ(b.replaceAll(1, "ИТОГ", "Всего", false, true), 2);
    EXPECT_EQ(b.text(2, 2), "Всего");
}

TEST(StructureTest, MoveSheetKeepsActiveSheetAndReferences) {
    Workbook b(3);
    b.setEntry(3, 1, 1, "4");
    b.setEntry(1, 1, 1, "=Лист3!A1");
    b.setActiveSheet(3);
    b.moveSheet(3, 1);
    EXPECT_EQ(b.activeSheetIndex(), 1);
    EXPECT_EQ(b.sheet(1).name(), "Лист3");
    EXPECT_EQ(b.sheet(2).number(1, 1), 4);
    b.setEntry(1, 1, 1, "5");
    EXPECT_EQ(b.sheet(2).number(1, 1), 5);
}
