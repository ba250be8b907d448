#include "model/Workbook.h"
#include "format/BookLocale.h"

#include <gtest/gtest.h>

namespace {

struct Recorder : WorkbookObserver {
    std::vector<WorkbookChange> changes;
    void workbookChanged(const WorkbookChange& c) override { changes.push_back(c); }
};

} // namespace

TEST(WorkbookTest, CellTypesAndReads) {
    Workbook b;
    b.setEntry(1, 1, "12,5");
    b.setEntry(1, 2, "abc");
    b.setEntry(1, 3, "=A1*2");
    b.setEntry(1, 4, "=A1&B1");
    EXPECT_EQ(b.type(1, 1), 1);
    EXPECT_EQ(b.type(1, 2), 2);
    EXPECT_EQ(b.type(1, 3), -1);
    EXPECT_EQ(b.type(1, 4), -2);
    EXPECT_EQ(b.type(9, 9), 0);
    EXPECT_DOUBLE_EQ(b.number(1, 3), 25);
    EXPECT_EQ(b.text(1, 4), "12.5abc");
    EXPECT_EQ(b.entry(1, 3), "=A1*2");
    EXPECT_EQ(b.formula(1, 1), "");
    EXPECT_EQ(b.lastRow(), 1);
    EXPECT_EQ(b.lastCol(), 4);
    EXPECT_EQ(b.activeSheet().lastColInRow(2), 0);
}

TEST(WorkbookTest, BadFormulaEntryIsKeptAsText) {
    Workbook b;
    b.setEntry(1, 1, "=1+");
    EXPECT_EQ(b.type(1, 1), 2);
    EXPECT_EQ(b.text(1, 1), "=1+");
    QString error;
    EXPECT_FALSE(b.setFormula(1, 2, "=SUM(", &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(b.type(1, 2), 0);
}

TEST(WorkbookTest, DateEntryGetsDateFormatAndKeepsAnExistingOne) {
    Workbook b;
    b.setEntry(1, 1, "1.3.2004");
    EXPECT_EQ(b.activeSheet().format(1, 1).numberFormat, "dd.mm.yyyy");
    EXPECT_EQ(b.entry(1, 1), "1.3.2004");
    EXPECT_EQ(b.formattedText(1, 1), "01.03.2004");
    b.setNumberFormat(1, CellRange::cell(2, 1), "mmm/yy");
    b.setEntry(2, 1, "3/2004");
    EXPECT_EQ(b.activeSheet().format(2, 1).numberFormat, "mmm/yy");
    EXPECT_EQ(b.formattedText(2, 1), "мар/04");
    EXPECT_EQ(b.entry(2, 1), "1.3.2004");
    b.setEntry(3, 1, "2003");
    EXPECT_EQ(b.activeSheet().format(3, 1).numberFormat, "General");
}

TEST(WorkbookTest, TextFormattedCellsKeepWhatIsTyped) {
    Workbook b;
    b.setNumberFormat(1, CellRange(1, 1, 3, 1), "@");
    b.setEntry(1, 1, "00123");
    b.setEntry(2, 1, "=A1+1");
    b.setEntry(3, 1, "1.3.2004");
    for (int r = 1; r <= 3; ++r)
        EXPECT_EQ(b.activeSheet().value(r, 1).type, CellValue::Text) << r;
    EXPECT_EQ(b.formattedText(1, 1), "00123");
    EXPECT_EQ(b.formattedText(2, 1), "=A1+1");
    EXPECT_EQ(b.activeSheet().format(3, 1).numberFormat, "@");
    b.setNumberFormat(1, CellRange::cell(1, 1), "0.00");
    b.setEntry(1, 1, "00123");
    EXPECT_EQ(b.formattedText(1, 1), "123.00");
}

TEST(WorkbookTest, ZerosAndErrorsInFormattedText) {
    Workbook b;
    b.setEntry(1, 1, "0");
    b.setEntry(1, 2, "=1/0");
    EXPECT_EQ(b.formattedText(1, 1), "0");
    EXPECT_EQ(b.formattedText(1, 2), "#DIV/0!");
    SheetOptions o = b.activeSheet().options();
    o.showZeros = false;
    b.activeSheet().setOptions(o);
    EXPECT_EQ(b.formattedText(1, 1), "");
    o.showFormulas = true;
    b.activeSheet().setOptions(o);
    EXPECT_EQ(b.formattedText(1, 2), "=1/0");
}

TEST(WorkbookTest, EditGroupWritesReachEverySelectedSheet) {
    Workbook b(3);
    b.setInEditGroup(3, true);
    b.setEntry(2, 2, "7");
    EXPECT_EQ(b.sheet(1).number(2, 2), 7);
    EXPECT_EQ(b.sheet(2).type(2, 2), 0);
    EXPECT_EQ(b.sheet(3).number(2, 2), 7);
    b.setEntry(2, 3, 5, "x"); // sheet 2 alone
    EXPECT_EQ(b.sheet(2).text(3, 5), "x");
    EXPECT_EQ(b.sheet(1).type(3, 5), 0);
    EXPECT_EQ(b.editGroup(), (QList<int>{1, 3}));
    b.setNumberFormat(CellRange::cell(2, 2), "0.00");
    EXPECT_EQ(b.sheet(3).formattedText(2, 2), "7.00");
    b.clearRange(CellRange(1, 1, 5, 5), ClearWhat::All);
    EXPECT_EQ(b.sheet(3).type(2, 2), 0);
    EXPECT_EQ(b.sheet(2).text(3, 5), "x"); // outside the group
    b.setInEditGroup(3, false);
    EXPECT_EQ(b.editGroup(), (QList<int>{1}));
}

TEST(WorkbookTest, FormatsAreSharedByIndex) {
    Workbook b;
    b.setFormat(1, CellRange(1, 1, 100, 3), [](CellFormat& f) { f.font.bold = true; });
    const uint32_t idx = b.activeSheet().formatIndex(50, 2);
    EXPECT_NE(idx, 0u);
    EXPECT_EQ(b.activeSheet().formatIndex(1, 1), idx);
    EXPECT_TRUE(b.activeSheet().format(100, 3).font.bold);
    const uint32_t before = b.formats().size();
    b.setFormat(1, CellRange(200, 1, 200, 1), [](CellFormat& f) { f.font.bold = true; });
    EXPECT_EQ(b.formats().size(), before);
}

TEST(WorkbookTest, RowAndColumnProperties) {
    Workbook b;
    Sheet& s = b.activeSheet();
    s.setRowHidden(5, true);
    s.setColWidth(2, 28 * 256);
    s.setRowHeading(100, "---");
    EXPECT_TRUE(s.rowHidden(5));
    EXPECT_FALSE(s.rowHidden(6));
    EXPECT_EQ(s.colWidth(2), 28 * 256);
    EXPECT_EQ(s.colWidth(3), s.defaultColWidth());
    b.insertRows(1, 3, 2);
    EXPECT_TRUE(s.rowHidden(7));
    EXPECT_EQ(s.rowHeading(102), "---");
    b.deleteCols(1, 1, 1);
    EXPECT_EQ(s.colWidth(1), 28 * 256);
}

TEST(WorkbookTest, DropDownObjects) {
    Workbook b;
    Sheet& s = b.activeSheet();
    const int id = s.addDropDown("tip", CellRange(2, 2, 2, 4), "Один;Два;Три");
    EXPECT_EQ(s.findObject("TIP"), id);
    EXPECT_TRUE(s.setObjectSelected(id, 2));
    EXPECT_EQ(s.object(id)->itemList().at(1), "Два");
    EXPECT_FALSE(s.setObjectSelected(id, 4));
    EXPECT_TRUE(s.deleteObject(id));
    EXPECT_EQ(s.findObject("tip"), 0);
    EXPECT_FALSE(s.deleteObject(id));
}

TEST(WorkbookTest, ValidationAdjustsConditionAndRefuses) {
    Workbook b;
    QString error;
    ASSERT_TRUE(b.setValidation(1, CellRange(101, 3, 110, 5), "C101>0", "Должно быть > 0", &error));
    EXPECT_EQ(b.validationCondition(1, 102, 3), "C102>0");
    EXPECT_EQ(b.validationCondition(1, 105, 4), "D105>0");
    EXPECT_EQ(b.validationCondition(1, 1, 1), "");
    QString message;
    EXPECT_TRUE(b.validate(1, 102, 3, "5", &message));
    EXPECT_FALSE(b.validate(1, 102, 3, "-5", &message));
    EXPECT_EQ(message, "Должно быть > 0");
    EXPECT_TRUE(b.validate(1, 1, 1, "-5", &message)); // no rule there
    EXPECT_FALSE(b.setValidation(1, CellRange(1, 1, 2, 2), "A1>(", "m", &error));
    EXPECT_FALSE(error.isEmpty());
    // A rule follows its range when rows are inserted above.
    b.insertRows(1, 1, 1);
    EXPECT_EQ(b.validationCondition(1, 103, 3), "C103>0");
}

TEST(WorkbookTest, ValidationJudgesAFormulaByItsValue) {
    Workbook b;
    ASSERT_TRUE(b.setValidation(1, CellRange(102, 3, 102, 3), "C102>0", "Должно быть > 0"));
    ASSERT_TRUE(b.setValidation(1, CellRange(102, 6, 102, 6), "F102<100", "Меньше 100"));
    b.setEntry(1, 1, "60");
    QString message;
    EXPECT_TRUE(b.validate(1, 102, 6, "=1+1", &message));
    EXPECT_FALSE(b.validate(1, 102, 3, "=0-5", &message));
    EXPECT_FALSE(b.validate(1, 102, 6, "=A1*2", &message));
    EXPECT_TRUE(b.validate(1, 102, 3, "=A1", &message));
    // A formula that does not compile is judged as the text it is kept as.
    EXPECT_TRUE(b.validate(1, 102, 3, "=1+", &message));
}

TEST(WorkbookTest, FormulaNamingAMissingSheetKeepsItsText) {
    Workbook b(2);
    EXPECT_EQ(b.missingSheet(1, 1, 1, "=Лист9!A1+1"), "Лист9");
    EXPECT_EQ(b.missingSheet(1, 1, 1, "='Нет такого'!A1:B2"), "Нет такого");
    EXPECT_EQ(b.missingSheet(1, 1, 1, "=Лист2!A1+1"), "");
    EXPECT_EQ(b.missingSheet(1, 1, 1, "Лист9!A1"), "");
    b.setEntry(1, 1, "=Лист9!A1+1");
    EXPECT_EQ(b.type(1, 1), 2);
    EXPECT_EQ(b.entry(1, 1), "=Лист9!A1+1");
}

TEST(WorkbookTest, ObserversHearCellAndStructureChanges) {
    Workbook b;
    Recorder rec;
    b.addObserver(&rec);
    b.setEntry(3, 4, "1");
    ASSERT_FALSE(rec.changes.empty());
    EXPECT_EQ(rec.changes.front().kind, WorkbookChange::Cells);
    EXPECT_EQ(rec.changes.front().range, CellRange::cell(3, 4));
    rec.changes.clear();
    b.insertCols(1, 1, 1);
    bool sawStructure = false;
    for (const auto& c : rec.changes)
        sawStructure |= c.kind == WorkbookChange::RowsColumns;
    EXPECT_TRUE(sawStructure);
    b.removeObserver(&rec);
    rec.changes.clear();
    b.setEntry(1, 1, "2");
    EXPECT_TRUE(rec.changes.empty());
}

TEST(WorkbookTest, SheetsInsertDeleteAndRename) {
    Workbook b(2);
    b.sheet(2).cells();
    b.setEntry(2, 1, 1, "=Лист1!A1+1");
    b.setEntry(1, 1, 1, "4");
    EXPECT_EQ(b.sheet(2).number(1, 1), 5);
    Sheet& inserted = b.insertSheet(1, "Новый");
    EXPECT_EQ(b.sheetCount(), 3);
    EXPECT_EQ(inserted.index(), 1);
    EXPECT_EQ(b.sheet(3).formula(1, 1), "=Лист1!A1+1");
    EXPECT_TRUE(b.renameSheet(2, "Data sheet"));
    EXPECT_EQ(b.sheet(3).formula(1, 1), "='Data sheet'!A1+1");
    EXPECT_FALSE(b.renameSheet(1, "data sheet")); // names are unique regardless of case
    EXPECT_TRUE(b.deleteSheet(2));
    b.recalcAll();
    EXPECT_EQ(b.sheet(2).text(1, 1), "#REF!");
    EXPECT_TRUE(b.deleteSheet(1));
    EXPECT_FALSE(b.deleteSheet(1));
}

TEST(WorkbookTest, SortIsStableWithBlanksLast) {
    Workbook b;
    const char* rows[][2] = {{"b", "1"}, {"3", "2"}, {"", "3"}, {"a", "4"}, {"3", "5"}, {"1", "6"}};
    for (int i = 0; i < 6; ++i) {
        b.setEntry(i + 1, 1, rows[i][0]);
        b.setEntry(i + 1, 2, rows[i][1]);
    }
    b.sortRange(1, CellRange(1, 1, 6, 2), {1});
    QStringList order;
    for (int i = 1; i <= 6; ++i)
        order << b.text(i, 2);
    EXPECT_EQ(order, (QStringList{"6", "2", "5", "4", "1", "3"}));
    b.sortRange(1, CellRange(1, 1, 6, 2), {-1});
    order.clear();
    for (int i = 1; i <= 6; ++i)
        order << b.text(i, 2);
    EXPECT_EQ(order, (QStringList{"1", "4", "2", "5", "6", "3"}));
}

TEST(WorkbookTest, ClearMoveCopyFindReplace) {
    Workbook b;
    b.setEntry(1, 1, "10");
    b.setEntry(2, 1, "=A1*2");
    b.setNumberFormat(1, CellRange::cell(1, 1), "0.00");
    b.clearRange(1, CellRange::cell(1, 1), ClearWhat::Formats);
    EXPECT_EQ(b.formattedText(1, 1), "10");
    b.moveRange(1, CellRange(1, 1, 1, 1), 4, 2); // A1 -> C5; A2 follows
    EXPECT_EQ(b.entry(2, 1), "=C5*2");
    EXPECT_EQ(b.number(2, 1), 20);
    Workbook other;
    other.copyRange(b, 1, CellRange(1, 1, 2, 1), 1, 1, 4);
    EXPECT_EQ(other.entry(2, 4), "=F5*2");
    int row = 0, col = 0;
    b.setEntry(7, 7, "Итого по району");
    EXPECT_TRUE(b.find(1, "итого", row, col));
    EXPECT_EQ(row, 7);
    EXPECT_EQ(col, 7);
    EXPECT_EQ(b.replaceAll(1, "району", "области"), 1);
    EXPECT_EQ(b.text(7, 7), "Итого по области");
    b.clearRange(1, CellRange(1, 1, 10, 10), ClearWhat::Values);
    EXPECT_EQ(b.lastRow(), 0);
}
