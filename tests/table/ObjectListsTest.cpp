#include "TableDbFixture.h"

#include "IdentModel.h"
#include "InitialWorkbook.h"
#include "ObjectLists.h"
#include "model/Workbook.h"

using namespace TableLayout;

namespace {

class ObjectListsTest : public TableDbFixture {
protected:
    void SetUp() override {
        InitialWorkbook::build(m_book);
        m_model.readGeometry();
        m_kodElmt = newTable();
    }
    int rowSheet() const { return m_model.rowIdentSheet(); }
    void sideRow(int row, int object, int type, int level, const QString& name) {
        m_book.setNumber(rowSheet(), row, rowSlotColumn(Slot::Object), object);
        m_book.setNumber(rowSheet(), row, rowSlotColumn(Slot::ObjectType), type);
        m_book.setNumber(rowSheet(), row, rowSlotColumn(Slot::Level), level);
        m_book.setText(rowSheet(), row, kSideCol, name);
    }
    // Five body rows 101 … 105, row 103 hidden.
    void fiveRows() {
        for (int i = 0; i < 5; ++i)
            sideRow(101 + i, 40 + i, 99, 1 + i % 2, QStringLiteral("Объект %1").arg(i + 1));
        m_book.sheet(rowSheet()).setRowHidden(103, true);
    }
    int listKey(const QString& name) {
        return dbtest::scalar(fact(), QStringLiteral("SELECT KODSPIS FROM SPIS WHERE NAME = :N"),
                              {{"N", name}})
            .toInt();
    }
    // One column of the list's members in their order.
    QVariantList members(int kodSpis, const QString& column) {
        return dbtest::column(fact(),
                              QStringLiteral("SELECT ") + column +
                                  QStringLiteral(" FROM SPISELMT WHERE KODSPIS = :K ORDER BY NPP"),
                              {{"K", kodSpis}});
    }
    QList<int> memberNpps(int kodSpis) {
        return dbtest::ints(members(kodSpis, QStringLiteral("NPP")));
    }
    int catList(int kodElmt) {
        return dbtest::scalar(tab(), QStringLiteral("SELECT KODSPIS FROM CAT WHERE KODELMT = :K"),
                              {{"K", kodElmt}})
            .toInt();
    }
    void link(int kodElmt, int kodSpis) {
        dbtest::exec(tab(), QStringLiteral("UPDATE CAT SET KODSPIS = :S WHERE KODELMT = :K"),
                     {{"S", kodSpis}, {"K", kodElmt}});
    }

    Workbook m_book;
    IdentModel m_model{m_book, m_prompter};
    int m_kodElmt = 0;
    ObjectLists lists() { return ObjectLists(dm(), m_model, m_prompter, m_kodElmt); }
};

TEST_F(ObjectListsTest, SideListSkipsHiddenRowsAndNumbersFromTheHeader) {
    fiveRows();
    ObjectLists l = lists();
    ASSERT_TRUE(l.checkObjectsOnly(IdentMode::Side));
    ASSERT_TRUE(l.create(IdentMode::Side, QStringLiteral("Сторона")));
    const int key = listKey(QStringLiteral("Сторона"));
    ASSERT_NE(key, 0);
    EXPECT_EQ(memberNpps(key), (QList<int>{101, 102, 103, 104}));
    EXPECT_EQ(dbtest::ints(members(key, QStringLiteral("KOD"))), (QList<int>{40, 41, 43, 44}))
        << "row 104 follows row 102";
    EXPECT_EQ(dbtest::ints(members(key, QStringLiteral("TIP"))), (QList<int>{99, 99, 99, 99}));
    EXPECT_EQ(dbtest::ints(members(key, QStringLiteral("UR"))), (QList<int>{1, 2, 2, 1}));
    EXPECT_EQ(members(key, QStringLiteral("NAMEOBJ"))[2].toString(), QStringLiteral("Объект 4"));
    EXPECT_TRUE(m_prompter.shown().isEmpty());
}

TEST_F(ObjectListsTest, IndicatorOrPeriodAnywhereRefusesTheList) {
    fiveRows();
    m_book.setNumber(rowSheet(), 103, rowSlotColumn(Slot::IndicatorCode), 25); // hidden row
    EXPECT_FALSE(lists().checkObjectsOnly(IdentMode::Side));
    EXPECT_EQ(m_prompter.texts(), QStringList{ObjectLists::cannotCreate()});

    m_prompter.clear();
    m_book.setNumber(1, int(TitleRow::PeriodStart), kTitleValueCol, 2004);
    EXPECT_FALSE(lists().checkObjectsOnly(IdentMode::Title));
    EXPECT_EQ(m_prompter.texts(), QStringList{ObjectLists::cannotCreate()});
}

TEST_F(ObjectListsTest, TitleListStartsWithTheLastSheetAndCaptionsStartWithABlank) {
    m_book.insertSheet(1);
    m_model.readGeometry();
    for (int s = 1; s <= 2; ++s) {
        m_book.setNumber(s, int(TitleRow::Object), kTitleValueCol, 76 + s);
        m_book.setNumber(s, int(TitleRow::Object), kTitleExtraCol, 99);
        m_book.setText(s, kLastTitleRow, kTitleValueCol, QStringLiteral("Лист %1").arg(s));
    }
    ObjectLists l = lists();
    ASSERT_TRUE(l.create(IdentMode::Title, QStringLiteral("Заголовок")));
    const int key = listKey(QStringLiteral("Заголовок"));
    EXPECT_EQ(memberNpps(key), (QList<int>{1, 2}));
    EXPECT_EQ(dbtest::ints(members(key, QStringLiteral("KOD"))), (QList<int>{78, 77}));
    EXPECT_EQ(members(key, QStringLiteral("NAMEOBJ"))[0].toString(), QStringLiteral(" Лист 2"));
}

TEST_F(ObjectListsTest, ReplacingKeepsTheKeyAndUnlinksTheTables) {
    fiveRows();
    ASSERT_TRUE(lists().create(IdentMode::Side, QStringLiteral("Замена")));
    const int key = listKey(QStringLiteral("Замена"));
    link(m_kodElmt, key);
    m_book.sheet(rowSheet()).setRowHidden(103, false);

    m_prompter.answer(Answer::No);
    EXPECT_FALSE(lists().create(IdentMode::Side, QStringLiteral("Замена")));
    EXPECT_EQ(catList(m_kodElmt), key);

    m_prompter.clear();
    m_prompter.answer(Answer::Yes);
    ASSERT_TRUE(lists().create(IdentMode::Side, QStringLiteral("Замена")));
    EXPECT_EQ(m_prompter.texts(), QStringList{ObjectLists::replaceQuestion()});
    EXPECT_EQ(listKey(QStringLiteral("Замена")), key);
    EXPECT_EQ(memberNpps(key).size(), 5);
    EXPECT_EQ(catList(m_kodElmt), 0);
}

// A member that the database refuses (its caption is longer than the column) is told,
// and nothing of the replacement is kept: the tables stay linked to the list, whose
// members stay as they were.
TEST_F(ObjectListsTest, AFailedMemberIsReportedAndLeavesListAndLinksAsTheyWere) {
    fiveRows();
    ASSERT_TRUE(lists().create(IdentMode::Side, QStringLiteral("Сбой")));
    const int key = listKey(QStringLiteral("Сбой"));
    link(m_kodElmt, key);
    m_book.setText(rowSheet(), 105, kSideCol, QString(300, QLatin1Char('x')));

    m_prompter.answer(Answer::Yes);
    EXPECT_FALSE(lists().create(IdentMode::Side, QStringLiteral("Сбой")));
    ASSERT_EQ(m_prompter.texts().size(), 2);
    EXPECT_TRUE(
        m_prompter.texts()[1].startsWith(QStringLiteral("Ошибка при записи списка. Повторите...")))
        << m_prompter.texts()[1].toStdString();
    EXPECT_EQ(catList(m_kodElmt), key);
    EXPECT_EQ(memberNpps(key), (QList<int>{101, 102, 103, 104}));

    m_prompter.clear();
    EXPECT_FALSE(lists().create(IdentMode::Side, QStringLiteral("Новый сбой")));
    EXPECT_EQ(listKey(QStringLiteral("Новый сбой")), 0) << "no list without its members";
}

TEST_F(ObjectListsTest, TooLongANameIsRefusedBeforeTheDatabase) {
    EXPECT_FALSE(lists().create(IdentMode::Side, QString(101, QLatin1Char('a'))));
    EXPECT_EQ(m_prompter.texts(), QStringList{ObjectLists::nameTooLong()});
    EXPECT_FALSE(lists().create(IdentMode::Side, QStringLiteral("   ")));
}

TEST_F(ObjectListsTest, DeletingUnlinksEveryLinkedTable) {
    fiveRows();
    ASSERT_TRUE(lists().create(IdentMode::Side, QStringLiteral("Удаляемый")));
    const int key = listKey(QStringLiteral("Удаляемый"));
    const int other = newTable(key);
    link(m_kodElmt, key);
    ObjectLists l = lists();
    const auto all = l.lists();
    int index = -1;
    for (int i = 0; i < all.size(); ++i)
        if (all[i].kodSpis == key)
            index = i;
    ASSERT_GE(index, 0);
    m_prompter.answer(Answer::No);
    EXPECT_FALSE(l.remove(index));
    EXPECT_EQ(listKey(QStringLiteral("Удаляемый")), key);
    m_prompter.answer(Answer::Yes);
    ASSERT_TRUE(l.remove(index));
    EXPECT_EQ(m_prompter.texts().last(), ObjectLists::deleteQuestion(QStringLiteral("Удаляемый")));
    EXPECT_EQ(listKey(QStringLiteral("Удаляемый")), 0);
    EXPECT_TRUE(memberNpps(key).isEmpty());
    EXPECT_EQ(catList(m_kodElmt), 0);
    EXPECT_EQ(catList(other), 0);
}

} // namespace
