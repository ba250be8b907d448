#include "CalcWindowFixture.h"

#include "SheetTotals.h"

namespace {

class TotalsWindowTest : public CalcWindowFixture {};

// Rows inserted across a table: the instance sheets and the row identification sheet move
// together; the column identification sheet keeps its slot rows.
void insertRowsEverywhere(Workbook& book, int at, int count) {
    for (int s = 1; s < book.sheetCount(); ++s)
        book.insertRows(s, at, count);
}

} // namespace

TEST_F(TotalsWindowTest, RowTotalsAboveSumLevelByLevelAndKeepATotalWithoutComponents) {
    open();
    // Levels 1, 2, 3, 2: row 103 goes into 102, then 102 and 104 into 101.
    for (auto [row, level] : {std::pair{101, 1}, {102, 2}, {103, 3}, {104, 2}})
        rowLevel(row, level);
    values(101, {0, 0, 7});
    values(102, {0, 1});
    values(103, {5, 2});
    values(104, {10, 0});
    trigger("ThisPage");
    EXPECT_TRUE(m_prompter.texts().isEmpty()) << m_prompter.lastText().toStdString();
    EXPECT_EQ(num(102, 3), 5);
    EXPECT_EQ(num(101, 3), 15);
    EXPECT_EQ(num(102, 4), 2); // its own 1 is replaced by the sum of its component
    EXPECT_EQ(num(101, 4), 2);
    EXPECT_EQ(num(101, 5), 7); // no component holds anything: the total keeps its value
}

TEST_F(TotalsWindowTest, RowTotalsBelowNeedTheComponentsFirst) {
    open();
    trigger("ItogDown");
    EXPECT_EQ(setting(Setting::RowTotals), 2);
    EXPECT_TRUE(act("ItogDown")->isChecked());
    for (auto [row, level] : {std::pair{101, 3}, {102, 2}, {103, 2}, {104, 1}})
        rowLevel(row, level);
    values(101, {5});
    values(103, {10});
    trigger("ThisPage");
    EXPECT_EQ(num(102, 3), 5);
    EXPECT_EQ(num(104, 3), 15);
}

TEST_F(TotalsWindowTest, ColumnTotalsLeftAndRightAndNone) {
    open();
    EXPECT_TRUE(act("ItogLeft")->isChecked()); // a new table's placement
    colLevel(3, 1);
    colLevel(4, 2);
    colLevel(5, 2);
    values(101, {0, 4, 6});
    values(102, {0, 1, 0});
    trigger("ThisPage");
    EXPECT_EQ(num(101, 3), 10);
    EXPECT_EQ(num(102, 3), 1);

    trigger("ItogRight");
    EXPECT_EQ(setting(Setting::ColTotals), 1);
    colLevel(3, 2);
    colLevel(6, 1);
    trigger("ThisPage");
    EXPECT_EQ(num(101, 6), 20); // C (10 by now), D and E
    book().setNumber(1, 101, 6, 99);
    trigger("ItogNoCol");
    EXPECT_EQ(setting(Setting::ColTotals), 3);
    trigger("ThisPage");
    EXPECT_EQ(num(101, 6), 99);
}

TEST_F(TotalsWindowTest, AWrongLevelIsToldOncePerRunAndTheTotalsStillRun) {
    open(2);
    rowLevel(101, 1);
    rowLevel(102, 3);
    rowLevel(103, 1);
    rowLevel(104, 2);
    values(104, {3}, 1);
    values(104, {4}, 2);
    colLevel(3, 1);
    colLevel(4, 3);
    trigger("AllPages");
    EXPECT_EQ(m_prompter.texts(),
              QStringList({QStringLiteral("Неправильный номер уровня в столбце D"),
                           QStringLiteral("Неправильный номер уровня в строке 102")}));
    EXPECT_EQ(num(103, 3, 1), 3);
    EXPECT_EQ(num(103, 3, 2), 4);

    // Below: the walk goes backwards and names the rows as it meets them.
    m_prompter.clear();
    trigger("ItogDown");
    trigger("ItogNoCol");
    rowLevel(101, 3);
    rowLevel(102, 1);
    rowLevel(103, 4);
    rowLevel(104, 1);
    trigger("ThisPage");
    EXPECT_EQ(m_prompter.texts(),
              QStringList(QStringLiteral("Неправильный номер уровня в строке 103,101")));

    m_prompter.clear();
    trigger("ItogNoRow");
    trigger("ThisPage");
    EXPECT_TRUE(m_prompter.texts().isEmpty());
}

TEST_F(TotalsWindowTest, SpecialColumnsAreNeverWrittenAndCollectingLevelsAddsTheTotal) {
    open();
    rowLevel(101, 1);
    rowLevel(102, 2);
    rowLevel(103, 2);
    columnKind(4, 1); // units
    values(101, {10, 0});
    values(102, {1, 5});
    values(103, {2, 6});
    TFmPrior::FmPrior().SborUr->setChecked(true);
    trigger("ThisPage");
    EXPECT_EQ(num(101, 3), 13);
    EXPECT_EQ(sheet(1).type(101, 4), 1);
    EXPECT_EQ(num(101, 4), 0);
}

TEST_F(TotalsWindowTest, ATotalFollowsRowsInsertedInsideAndOutsideItsRange) {
    open();
    rowLevel(101, 1);
    rowLevel(102, 2);
    rowLevel(103, 2);
    values(102, {1});
    values(103, {2});
    // Inside the range: the new row is a component once it has its level.
    insertRowsEverywhere(book(), 103, 1);
    rowLevel(103, 2);
    values(103, {40});
    // Outside: a row above the total moves it down and takes no part.
    insertRowsEverywhere(book(), 101, 1);
    values(101, {1000});
    trigger("ThisPage");
    EXPECT_EQ(num(102, 3), 43);
    EXPECT_EQ(num(101, 3), 1000);

    // Deleting a component takes it out of the total.
    book().deleteRows(1, 104, 1);
    book().deleteRows(rowSheet(), 104, 1);
    trigger("ThisPage");
    EXPECT_EQ(num(102, 3), 3);
}

TEST_F(TotalsWindowTest, ColumnTotalsFollowInsertedColumnsAndNewSheetsTakePart) {
    open();
    colLevel(3, 1);
    colLevel(4, 2);
    values(101, {0, 5});
    // Columns move on the instance sheets and the column identification sheet.
    for (int s : {1, colSheet()})
        book().insertCols(s, 4, 1);
    colLevel(4, 2);
    values(101, {0, 7});
    trigger("MinsSheet"); // a new first instance sheet before the old one
    ASSERT_EQ(w->document().model().instanceCount(), 2);
    values(101, {0, 1, 2}, 1);
    trigger("AllPages");
    EXPECT_EQ(num(101, 3, 1), 3);
    EXPECT_EQ(num(101, 3, 2), 12);
}

TEST_F(TotalsWindowTest, SheetTotalsFollowADeletedSheet) {
    open(3);
    for (int s = 1; s <= 3; ++s)
        book().setNumber(s, int(TitleRow::Level), kTitleValueCol, s < 3 ? 2 : 1);
    values(101, {1}, 1);
    values(101, {2}, 2);
    // Sheet 2 goes; the level-1 sheet then totals sheet 1 alone.
    w->Book->setSheet(2);
    trigger("MdelSheet");
    ASSERT_EQ(w->document().model().instanceCount(), 2);
    ASSERT_TRUE(SheetTotals(w->document().model(), m_prompter).run());
    EXPECT_EQ(num(101, 3, 2), 1);
}
