#include "CalcWindowFixture.h"

#include "io/NativeFormat.h"

namespace {

class FormulaViewTest : public CalcWindowFixture {};

} // namespace

TEST_F(FormulaViewTest, RowFormulasAreShownAloneOnTheRowSheetAndPutBackAfter) {
    open(2);
    w->Book->setSheet(2);
    const Sheet& rows = sheet(rowSheet());
    const int formulaCol = rowSlotColumn(Slot::Formula);
    const bool levelHidden = rows.colHidden(rowSlotColumn(Slot::Level));
    const bool col30Hidden = rows.colHidden(30);
    trigger("FViewSTR");
    EXPECT_EQ(book().activeSheetIndex(), rowSheet());
    EXPECT_EQ(book().editGroup(), QList<int>{rowSheet()});
    EXPECT_EQ(panel(1), QStringLiteral("Формулы над строками"));
    EXPECT_EQ(rows.text(kFirstTitleRow, kSideCol), QStringLiteral("Формулы над строками"));
    EXPECT_FALSE(w->Book->showTabs());
    EXPECT_TRUE(rows.options().showFormulas);
    EXPECT_TRUE(rows.options().showRowHeadings);
    EXPECT_EQ(rows.colWidth(kSideCol), 14 * 256);
    EXPECT_EQ(rows.colWidth(formulaCol), 30 * 256);
    EXPECT_FALSE(rows.colHidden(formulaCol));
    EXPECT_TRUE(rows.colHidden(rowSlotColumn(Slot::Level)));
    EXPECT_TRUE(rows.colHidden(3));
    EXPECT_EQ(w->Book->activeRow(), lastHeader() + 1);
    EXPECT_EQ(w->Book->activeCol(), formulaCol);
    EXPECT_TRUE(act("FViewSTR")->isChecked());
    for (const char* locked : {"FViewCOL", "ThisPage", "AllPages", "MformStr", "Prior", "AutoCalc",
                               "ItogUp", "MOperations"})
        EXPECT_FALSE(enabled(locked)) << locked;

    trigger("FViewSTR");
    EXPECT_EQ(book().activeSheetIndex(), 2);
    EXPECT_FALSE(rows.options().showFormulas);
    EXPECT_EQ(rows.colWidth(kSideCol), 28 * 256);
    EXPECT_EQ(rows.colHidden(rowSlotColumn(Slot::Level)), levelHidden);
    EXPECT_EQ(rows.colHidden(30), col30Hidden);
    EXPECT_EQ(rows.maxCol(), kColumnCount);
    EXPECT_TRUE(w->Book->showTabs());
    for (const char* name : {"FViewCOL", "ThisPage", "MformStr", "Prior", "AutoCalc"})
        EXPECT_TRUE(enabled(name)) << name;
}

TEST_F(FormulaViewTest, ColumnFormulasShowTheirSlotRowAloneAndEscapeLeaves) {
    open();
    const Sheet& cols = sheet(colSheet());
    const int formulaRow = lastHeader() + int(Slot::Formula);
    const int levelRow = lastHeader() + int(Slot::Level);
    const bool levelHidden = cols.rowHidden(levelRow);
    trigger("FViewCOL");
    EXPECT_EQ(book().activeSheetIndex(), colSheet());
    EXPECT_EQ(panel(1), QStringLiteral("Формулы над колонками"));
    EXPECT_EQ(cols.text(kFirstTitleRow, kSideCol), QStringLiteral("Формулы над колонками"));
    EXPECT_TRUE(w->Book->showEditBar());
    EXPECT_TRUE(cols.rowHidden(lastHeader() + 1));
    EXPECT_TRUE(cols.rowHidden(levelRow));
    EXPECT_FALSE(cols.rowHidden(formulaRow));
    EXPECT_EQ(cols.maxRow(), formulaRow);
    EXPECT_EQ(w->Book->activeRow(), formulaRow);
    EXPECT_EQ(w->Book->activeCol(), kFirstDataCol);
    EXPECT_FALSE(enabled("FViewSTR"));

    key(Qt::Key_Escape);
    EXPECT_EQ(book().activeSheetIndex(), 1);
    EXPECT_FALSE(act("FViewCOL")->isChecked());
    EXPECT_EQ(cols.rowHidden(levelRow), levelHidden);
    EXPECT_EQ(cols.maxRow(), 16384);
    EXPECT_FALSE(cols.options().showFormulas);
    EXPECT_TRUE(enabled("FViewSTR"));
}

TEST_F(FormulaViewTest, SideIdentificationLocksTheCalculationsAndLeavingPutsTheSlotsBack) {
    open();
    trigger("SBidbok");
    for (const char* locked : {"FViewSTR", "FViewCOL", "ThisPage", "MformStr", "AutoCalc"})
        EXPECT_FALSE(enabled(locked)) << locked;
    // The user shows the level column while identifying; the formula view then brings it
    // back as it was left.
    book().sheet(rowSheet()).setColHidden(rowSlotColumn(Slot::Level), false);
    trigger("SBidbok");
    trigger("FViewSTR");
    EXPECT_TRUE(sheet(rowSheet()).colHidden(rowSlotColumn(Slot::Level)));
    trigger("FViewSTR");
    EXPECT_FALSE(sheet(rowSheet()).colHidden(rowSlotColumn(Slot::Level)));
}

TEST_F(FormulaViewTest, SavingInTheViewStoresTheTableAsItLooksOutsideIt) {
    open();
    const int levelCol = rowSlotColumn(Slot::Level);
    const bool levelHidden = sheet(rowSheet()).colHidden(levelCol);
    trigger("FViewSTR");
    trigger("imSave");
    EXPECT_TRUE(act("FViewSTR")->isChecked());
    EXPECT_EQ(book().activeSheetIndex(), rowSheet());
    EXPECT_TRUE(sheet(rowSheet()).options().showFormulas);

    Workbook stored;
    ASSERT_TRUE(NativeFormat::load(stored, storedBytes(w->document().table().kodElmt)));
    const Sheet& rows = stored.sheet(stored.sheetCount() - 1);
    EXPECT_FALSE(rows.options().showFormulas);
    EXPECT_EQ(rows.colHidden(levelCol), levelHidden);
    EXPECT_EQ(rows.colWidth(kSideCol), 28 * 256);
}
