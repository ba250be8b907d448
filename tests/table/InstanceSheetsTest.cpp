#include "TableDbFixture.h"

#include "IdentModel.h"
#include "InitialWorkbook.h"
#include "InstanceSheets.h"
#include "SheetTotals.h"
#include "SheetTree.h"
#include "TableRef.h"
#include "model/Workbook.h"

using namespace TableLayout;

namespace {

class InstanceSheetsTest : public TableDbFixture {
protected:
    void SetUp() override {
        InitialWorkbook::build(m_book);
        m_model.readGeometry();
    }
    // Instance sheets 1 … n with levels as given, each with a title line naming it.
    void withLevels(const QList<int>& levels) {
        while (m_model.instanceCount() < levels.size())
            m_book.insertSheet(1);
        m_model.setTitleRows(1);
        for (int i = 0; i < levels.size(); ++i) {
            m_book.setNumber(i + 1, int(TitleRow::Level), kTitleValueCol, levels[i]);
            m_book.setText(i + 1, 99, 2, QStringLiteral("Лист %1").arg(i + 1));
        }
    }

    Workbook m_book;
    IdentModel m_model{m_book, m_prompter};
    TableRef m_table;
    InstanceSheets m_sheets{dm(), m_model, m_prompter, m_table};
};

} // namespace

TEST_F(InstanceSheetsTest, InsertingASheetCopiesTheLayoutAndDropsTheObjectList) {
    m_table.kodElmt = newTable(12);
    m_table.kodSpis = 12;
    m_model.setHeaderRows(2);
    m_book.setText(1, 100, 3, QStringLiteral("Графа"));
    m_book.setText(1, 103, 2, QStringLiteral("Строка"));
    m_book.setNumber(1, 103, 3, 5);
    m_book.setNumber(1, 103, 4, 9);
    m_book.setNumber(m_model.colIdentSheet(), 1, 4, 12); // column 4 is numbered
    m_book.setText(1, 99, 2, QStringLiteral("Заголовок"));
    m_book.sheet(1).setColWidth(2, 40 * 256);

    ASSERT_TRUE(m_sheets.insertSheet());
    EXPECT_EQ(dbtest::scalar(tab(), QStringLiteral("SELECT KODSPIS FROM CAT WHERE KODELMT = :K"),
                             {{"K", m_table.kodElmt}})
                  .toInt(),
              0);
    EXPECT_EQ(m_table.kodSpis, 0) << "the open table forgets its object list too";
    ASSERT_EQ(m_book.sheetCount(), 4);
    EXPECT_EQ(m_book.activeSheetIndex(), 1);
    const Sheet& fresh = m_book.sheet(1);
    EXPECT_EQ(fresh.text(100, 3), QStringLiteral("Графа"));
    EXPECT_EQ(fresh.text(1, 1), m_book.sheet(2).text(1, 1));
    EXPECT_EQ(fresh.text(103, 2), QStringLiteral("Строка"));
    EXPECT_EQ(fresh.type(103, 3), 0) << "data is not copied";
    EXPECT_EQ(fresh.number(103, 4), 9) << "special columns are";
    EXPECT_TRUE(fresh.text(99, 2).isEmpty()) << "title lines are the instance's own";
    EXPECT_EQ(fresh.colWidth(2), 40 * 256);
    EXPECT_TRUE(fresh.rowHidden(98));
    EXPECT_TRUE(fresh.colHidden(1));
    EXPECT_EQ(fresh.rowHeading(101), QStringLiteral("---"));
    EXPECT_EQ(fresh.options().activeRow, 102);
    EXPECT_EQ(m_book.sheet(2).text(99, 2), QStringLiteral("Заголовок"));
}

TEST_F(InstanceSheetsTest, DeletingRefusesTheLastInstanceAndTheServiceSheets) {
    m_book.setInEditGroup(2, true);
    m_book.setInEditGroup(3, true);
    EXPECT_FALSE(m_sheets.deleteSelected());
    withLevels({1, 1});
    m_book.setActiveSheet(3);
    EXPECT_FALSE(m_sheets.deleteSelected());
    EXPECT_EQ(m_prompter.texts(), (QStringList{QStringLiteral("Лист только один: удалить нельзя"),
                                               QStringLiteral("Служебный лист удалить нельзя")}));
    EXPECT_EQ(m_book.sheetCount(), 4);
}

TEST_F(InstanceSheetsTest, DeletingTakesTheFirstRunOfSelectedSheets) {
    withLevels({1, 1, 1, 1, 1});
    m_book.setActiveSheet(3);
    m_book.setInEditGroup(2, true);
    m_book.setInEditGroup(5, true);
    ASSERT_TRUE(m_sheets.deleteSelected());
    ASSERT_EQ(m_book.sheetCount(), 5);
    EXPECT_EQ(m_book.sheet(1).text(99, 2), QStringLiteral("Лист 1"));
    EXPECT_EQ(m_book.sheet(2).text(99, 2), QStringLiteral("Лист 4"));
    EXPECT_EQ(m_book.sheet(3).text(99, 2), QStringLiteral("Лист 5"));
    EXPECT_EQ(m_book.activeSheetIndex(), 2);

    // A run from sheet 1 over every instance leaves the last one.
    m_sheets.selectAll();
    m_book.setActiveSheet(1);
    m_sheets.selectAll();
    ASSERT_TRUE(m_sheets.deleteSelected());
    ASSERT_EQ(m_book.sheetCount(), 3);
    EXPECT_EQ(m_book.sheet(1).text(99, 2), QStringLiteral("Лист 5"));
    EXPECT_EQ(m_book.sheet(2).text(91, 2), QStringLiteral("Идентификация боковика таблицы"));
    EXPECT_EQ(m_book.activeSheetIndex(), 1);
}

TEST_F(InstanceSheetsTest, LevelsTwoTwoOneListTheTotalSheetFirstAndSumIntoIt) {
    withLevels({2, 2, 1});
    m_book.setNumber(1, 101, 3, 4);
    m_book.setNumber(2, 101, 3, 6);
    m_book.setNumber(2, 102, 5, 1.5);
    m_book.setText(1, 103, 3, QStringLiteral("нет"));
    m_book.setNumber(3, 104, 3, 99); // no sum there: cleared
    m_book.setNumber(1, 101, 6, 8);
    m_book.setNumber(m_model.colIdentSheet(), 1, 6, 1); // a special column is not summed
    m_book.setNumber(3, 101, 6, 2);
    m_book.setValidation(3, CellRange::cell(101, 3), QStringLiteral("C101<5"),
                         QStringLiteral("Много"));

    const SheetTree tree = SheetTree::build(m_model);
    ASSERT_EQ(tree.nodes().size(), 3);
    EXPECT_EQ(tree.roots(), QList<int>{0});
    EXPECT_EQ(tree.sheetOf(0), 3);
    EXPECT_EQ(tree.nodes()[0].caption, QStringLiteral("Лист 3"));
    EXPECT_EQ(tree.children(0), (QList<int>{1, 2}));
    EXPECT_EQ(tree.sheetOf(2), 1);

    ASSERT_TRUE(SheetTotals(m_model, m_prompter).run());
    EXPECT_EQ(m_prompter.lastText(), QStringLiteral("Подсчет итогов завершен!"));
    EXPECT_EQ(m_book.sheet(3).number(101, 3), 10);
    EXPECT_EQ(m_book.sheet(3).number(102, 5), 1.5);
    EXPECT_EQ(m_book.sheet(3).type(104, 3), 0);
    EXPECT_EQ(m_book.sheet(3).number(101, 6), 2);
    EXPECT_EQ(m_book.validationCondition(3, 101, 3), QStringLiteral("1=1"));
    EXPECT_EQ(m_book.sheet(1).number(101, 3), 4) << "the summed sheets stay as they were";
}

TEST_F(InstanceSheetsTest, TotalsNeedLevels) {
    withLevels({1, 1});
    m_book.setText(2, int(TitleRow::Level), kTitleValueCol, QStringLiteral("два"));
    EXPECT_FALSE(SheetTotals(m_model, m_prompter).run());
    m_book.setNumber(2, int(TitleRow::Level), kTitleValueCol, 0);
    EXPECT_FALSE(SheetTotals(m_model, m_prompter).run());
    EXPECT_EQ(m_prompter.texts(),
              (QStringList{QStringLiteral("В листе 2 неправильный номер уровня: два"),
                           QStringLiteral("В листах таблицы не заданы уровни")}));
}

TEST_F(InstanceSheetsTest, TheTreeNestsDeeperSheetsAndCollapsesBigLists) {
    // Sheet order 3,2,3,2,1: visited backwards 1 is the root, 2 its child, 3 under 2,
    // then 2 back beside the other 2.
    withLevels({3, 2, 3, 2, 1});
    m_book.clearCell(1, int(TitleRow::Level), kTitleValueCol);
    const SheetTree small = SheetTree::build(m_model);
    EXPECT_EQ(m_book.sheet(1).number(int(TitleRow::Level), kTitleValueCol), 1)
        << "a blank level becomes 1";
    ASSERT_EQ(small.nodes().size(), 5);
    EXPECT_EQ(small.nodes()[1].parent, 0);
    EXPECT_EQ(small.nodes()[2].parent, 1);
    EXPECT_EQ(small.nodes()[3].parent, 0);
    EXPECT_EQ(small.nodes()[4].level, 1);
    EXPECT_EQ(small.nodes()[4].parent, -1);
    EXPECT_TRUE(small.nodes()[2].expanded);

    QList<int> levels{1};
    for (int i = 0; i < 120; ++i)
        levels.prepend(2 + i % 3); // levels up to 4 under one root
    withLevels(levels);
    const SheetTree big = SheetTree::build(m_model);
    ASSERT_EQ(big.roots().size(), 1);
    for (int i = 0; i < big.nodes().size(); ++i)
        EXPECT_EQ(big.visible(i), big.nodes()[i].level < 4) << i;
}

TEST_F(InstanceSheetsTest, AccompanyingTextGroupAndProtection) {
    withLevels({1, 1});
    m_sheets.setAccompanyingTextShown(true);
    EXPECT_EQ(m_model.extraTextLines(), 2);
    EXPECT_FALSE(m_book.sheet(2).rowHidden(23));
    EXPECT_TRUE(m_book.sheet(2).rowHidden(24));
    EXPECT_FALSE(m_book.sheet(3).rowHidden(21));
    EXPECT_TRUE(m_book.sheet(4).rowHidden(21)) << "not on the column identification sheet";
    EXPECT_TRUE(m_sheets.accompanyingTextShown());
    m_sheets.setAccompanyingTextShown(false);
    EXPECT_TRUE(m_book.sheet(1).rowHidden(21));

    m_book.setActiveSheet(1);
    m_sheets.selectAll();
    EXPECT_TRUE(m_book.isInEditGroup(2));
    EXPECT_FALSE(m_book.isInEditGroup(3));
    m_book.setNumber(101, 3, 1);
    m_sheets.keepOnlyActiveInGroup();
    m_book.setNumber(102, 3, 1);
    EXPECT_EQ(m_book.sheet(2).number(101, 3), 1);
    EXPECT_EQ(m_book.sheet(2).type(102, 3), 0);
    m_book.setInEditGroup(1, true);
    m_sheets.keepOnlyActiveInGroup();
    m_book.setActiveSheet(2);
    EXPECT_EQ(m_book.editGroup(), QList<int>{2}) << "no group follows a change of sheet";

    m_sheets.toggleProtection();
    EXPECT_TRUE(m_book.sheet(2).options().protection);
    m_sheets.setColumnCount255();
    EXPECT_EQ(m_book.sheet(1).maxCol(), 255);
}
