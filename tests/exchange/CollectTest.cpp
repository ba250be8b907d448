#include "CollectController.h"
#include "DbTestHelpers.h"
#include "ExchangeView.h"
#include "FactFunds.h"
#include "InitialWorkbook.h"
#include "ScriptedPrompter.h"
#include "TdmMSSQL.h"
#include "TestDatabases.h"
#include "format/BookLocale.h"
#include "model/Workbook.h"

#include <gtest/gtest.h>

using namespace TableLayout;

namespace {

// Objects 501, 502, 503 and 504 belong to node 12 of directory 2; 501, 502 and 504 to
// node 1 of directory 1, 503 to node 2. Object 504 has no fund rows.
// Operational 2004, indicator 7: D3 = 1, 2, blank; D4 = 10, 20, 30.
// Long-term (list 2003, 2001, 2002 = D1, D2, D3): 5/6/7, 50/60/70, 500/-/700.
void PrepareMemberships(DbConnection& f) {
    for (const char* sql : {
             "ALTER TABLE ELM ADD KOD1 DOUBLE PRECISION, ADD KOD2 DOUBLE PRECISION",
             "UPDATE ELM SET KOD1 = 1, KOD2 = 12 WHERE KODFOLDER IN (501, 502)",
             "UPDATE ELM SET KOD1 = 2, KOD2 = 12 WHERE KODFOLDER = 503",
             "INSERT INTO ELM (NPP, KODFOLDER, NAMEFOLDER, KOD1, KOD2) VALUES (4, 504, 'Пустой', "
             "1, 12)",
         })
        dbtest::exec(f, QString::fromUtf8(sql));
}

class CollectTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_dbs = std::make_unique<TestDatabases>();
        s_dm = std::make_unique<TdmMSSQL>(AppPrompter());
        s_dm->SetConnectionParams(s_dm->dbMain, s_dbs->factPath(), TestDatabases::password(),
                                  TestDatabases::user());
        s_dm->dbMain.open();
        PrepareFunds(fact());
        PrepareMemberships(fact());
    }
    static void TearDownTestSuite() {
        s_dm.reset();
        s_dbs.reset();
    }
    static DbConnection& fact() { return s_dm->dbMain; }

    void SetUp() override {
        BookLocale::setDecimalSeparator(QLatin1Char('.'));
        BookLocale::setDateSeparator(QLatin1Char('.'));
        AppContext::setSystemDateSeparator(QLatin1Char('.'));
        for (const char* t : {"FD_DOLGELM", "FD_OPERELM"})
            dbtest::exec(fact(), QStringLiteral("DELETE FROM %1").arg(QLatin1String(t)));
        for (const char* sql :
             {"INSERT INTO FD_OPERELM (KODFOLDER, KODPOK, KODPOK1, KODPOK2, GOD, D3, D4) "
              "VALUES (501, 7, 0, 0, 2004, '1', '10')",
              "INSERT INTO FD_OPERELM (KODFOLDER, KODPOK, KODPOK1, KODPOK2, GOD, D3, D4) "
              "VALUES (502, 7, 0, 0, 2004, '2', '20')",
              "INSERT INTO FD_OPERELM (KODFOLDER, KODPOK, KODPOK1, KODPOK2, GOD, D3, D4) "
              "VALUES (503, 7, 0, 0, 2004, '  ', '30')",
              "INSERT INTO FD_DOLGELM (KODFOLDER, KODPOK, KODPOK1, KODPOK2, D1, D2, D3) "
              "VALUES (501, 7, 0, 0, '5', '6', '7')",
              "INSERT INTO FD_DOLGELM (KODFOLDER, KODPOK, KODPOK1, KODPOK2, D1, D2, D3) "
              "VALUES (502, 7, 0, 0, '50', '60', '70')",
              "INSERT INTO FD_DOLGELM (KODFOLDER, KODPOK, KODPOK1, KODPOK2, D1, D2, D3) "
              "VALUES (503, 7, 0, 0, '500', NULL, '700')"})
            dbtest::exec(fact(), QString::fromUtf8(sql));
        LoadStoragePeriods(*s_dm, m_lists);
    }

    // Rows (all indicator 7): 101 node 12 of directory 2; 102 node 1 of directory 1 with
    // cut node 12 of directory 2; 103 node 77 of directory 2 (no members); 104 object 501
    // of the objects directory; 105 node 13 of directory 2 with cut node 12 of the same
    // directory. Columns: C March 2004, D March-April 2004, E 2003, F 2001-2003,
    // G 2003-2010 (2010 is no storage year), H March-March 2004.
    void build(int instances) {
        InitialWorkbook::build(m_book);
        for (int s = 2; s <= instances; ++s)
            m_book.insertSheet(s, QString::number(s));
        m_model.readGeometry();
        const int rows = m_model.rowIdentSheet();
        auto rowNode = [&](int r, Slot code, int value, Slot type, int dir) {
            m_book.setNumber(rows, r, rowSlotColumn(code), value);
            m_book.setNumber(rows, r, rowSlotColumn(type), dir);
        };
        for (int r = 101; r <= 105; ++r)
            m_book.setNumber(rows, r, rowSlotColumn(Slot::IndicatorCode), 7);
        rowNode(101, Slot::Object, 12, Slot::ObjectType, 2);
        rowNode(102, Slot::Object, 1, Slot::ObjectType, 1);
        rowNode(102, Slot::Cut1, 12, Slot::Cut1Type, 2);
        rowNode(103, Slot::Object, 77, Slot::ObjectType, 2);
        rowNode(104, Slot::Object, 501, Slot::ObjectType, kObjectsDirectoryType);
        rowNode(105, Slot::Object, 13, Slot::ObjectType, 2);
        rowNode(105, Slot::Cut1, 12, Slot::Cut1Type, 2);
        const int cols = m_model.colIdentSheet();
        const int start = m_model.colSlotRow(Slot::PeriodStart);
        const int end = m_model.colSlotRow(Slot::PeriodEnd);
        m_book.setEntry(cols, start, 3, QStringLiteral("1.3.2004"));
        m_book.setEntry(cols, start, 4, QStringLiteral("1.3.2004"));
        m_book.setEntry(cols, end, 4, QStringLiteral("1.4.2004"));
        m_book.setNumber(cols, start, 5, 2003);
        m_book.setNumber(cols, start, 6, 2001);
        m_book.setNumber(cols, end, 6, 2003);
        m_book.setNumber(cols, start, 7, 2003);
        m_book.setNumber(cols, end, 7, 2010);
        m_book.setEntry(cols, start, 8, QStringLiteral("1.3.2004"));
        m_book.setEntry(cols, end, 8, QStringLiteral("1.3.2004"));
        m_book.setActiveSheet(1);
    }

    bool collect() {
        ExchangeContext ctx{m_model,
                            *s_dm,
                            m_prompter,
                            m_view,
                            m_lists,
                            AggregationDirectoryCount(fact()),
                            QStringLiteral("TESTER")};
        return CollectController(ctx).sbCalcAgrClick();
    }

    static inline std::unique_ptr<TestDatabases> s_dbs;
    static inline std::unique_ptr<TdmMSSQL> s_dm;
    Workbook m_book;
    ScriptedPrompter m_prompter;
    IdentModel m_model{m_book, m_prompter};
    ExchangeView m_view;
    StoragePeriods m_lists;
};

} // namespace

TEST_F(CollectTest, NodesGetTheSumsOfTheirObjects) {
    build(1);
    m_book.setNumber(1, 103, 3, 5);
    m_book.setNumber(1, 104, 3, 42);
    m_book.setEntry(1, 103, 4, QStringLiteral("=2+2"));
    m_book.setText(1, 103, 5, QStringLiteral("X"));
    m_book.sheet(1).setRowHidden(101, true);
    ASSERT_TRUE(collect());
    EXPECT_TRUE(m_prompter.shown().isEmpty()) << m_prompter.texts().join(u'|').toStdString();
    const Sheet& sh = m_book.sheet(1);
    // Blank values and an object without fund rows add nothing; a hidden row is summed.
    EXPECT_DOUBLE_EQ(sh.number(101, 3), 3);
    EXPECT_DOUBLE_EQ(sh.number(101, 4), 63) << "March and April";
    EXPECT_DOUBLE_EQ(sh.number(101, 5), 555);
    EXPECT_DOUBLE_EQ(sh.number(101, 6), 1398) << "2001 to 2003";
    EXPECT_DOUBLE_EQ(sh.number(101, 7), 555) << "an end year that is not stored: 2003 alone";
    EXPECT_DOUBLE_EQ(sh.number(101, 8), 3) << "March to March is March";
    // Only objects in both nodes; an object in both counts once.
    EXPECT_DOUBLE_EQ(sh.number(102, 3), 3);
    EXPECT_DOUBLE_EQ(sh.number(102, 5), 55);
    // A node without objects gives 0, also over what the cell held.
    EXPECT_EQ(sh.type(103, 3), 1);
    EXPECT_DOUBLE_EQ(sh.number(103, 3), 0);
    EXPECT_EQ(sh.formula(103, 4), QStringLiteral("=2+2"));
    EXPECT_EQ(sh.text(103, 5), QStringLiteral("X"));
    EXPECT_DOUBLE_EQ(sh.number(103, 6), 0);
    // An object of the objects directory is filling's business.
    EXPECT_DOUBLE_EQ(sh.number(104, 3), 42);
    EXPECT_EQ(sh.type(104, 5), 0);
    // Two nodes of one directory: the later one counts.
    EXPECT_DOUBLE_EQ(sh.number(105, 3), 3);
    EXPECT_EQ(m_view.statusHistory().first(), QStringLiteral("Заполнение таблицы"));
    EXPECT_FALSE(m_view.updatesSuspended());
}

TEST_F(CollectTest, ValuesTheServerCannotSumAreConvertedHere) {
    build(1);
    dbtest::exec(fact(), QStringLiteral("UPDATE FD_OPERELM SET D3 = '1,5' WHERE KODFOLDER = 502"));
    ASSERT_TRUE(collect());
    const Sheet& sh = m_book.sheet(1);
    EXPECT_DOUBLE_EQ(sh.number(101, 3), 2.5);
    EXPECT_DOUBLE_EQ(sh.number(101, 4), 62.5);
    EXPECT_DOUBLE_EQ(sh.number(101, 5), 555) << "the long-term cells are not disturbed";

    dbtest::exec(fact(),
                 QStringLiteral("UPDATE FD_OPERELM SET D3 = 'много' WHERE KODFOLDER = 503"));
    dbtest::exec(fact(),
                 QStringLiteral("UPDATE FD_DOLGELM SET D2 = '1e400' WHERE KODFOLDER = 503"));
    ASSERT_TRUE(collect());
    EXPECT_TRUE(m_prompter.shown().isEmpty()) << m_prompter.texts().join(u'|').toStdString();
    EXPECT_EQ(sh.text(101, 3), QStringLiteral("#Не число!"));
    EXPECT_EQ(sh.text(101, 4), QStringLiteral("#Не число!"));
    EXPECT_EQ(sh.text(101, 6), QStringLiteral("#Не число!")) << "a number too large for a cell";
    EXPECT_DOUBLE_EQ(sh.number(101, 5), 555);
    EXPECT_DOUBLE_EQ(sh.number(102, 3), 2.5) << "503 is not in node 1 of directory 1";
}

TEST_F(CollectTest, SheetsQuestionAndStatusTexts) {
    build(2);
    // Sheet 2 names its own node in the title: the rows' nodes win where they have one.
    m_book.setNumber(2, 101, 3, 9);
    m_prompter.answer(Answer::Cancel);
    EXPECT_FALSE(collect());
    EXPECT_EQ(m_prompter.shown().last().text, QStringLiteral("Заполнить все листы ?"));
    EXPECT_EQ(m_prompter.shown().last().caption, QStringLiteral("Подтверждение"));
    EXPECT_DOUBLE_EQ(m_book.sheet(2).number(101, 3), 9);

    m_book.setActiveSheet(2);
    m_prompter.answer(Answer::No);
    ASSERT_TRUE(collect());
    EXPECT_DOUBLE_EQ(m_book.sheet(2).number(101, 3), 3);
    EXPECT_EQ(m_book.sheet(1).type(101, 3), 0) << "only the active sheet";
    EXPECT_EQ(m_book.activeSheetIndex(), 2);

    m_prompter.answer(Answer::Yes);
    ASSERT_TRUE(collect());
    EXPECT_DOUBLE_EQ(m_book.sheet(1).number(101, 3), 3);
    const QStringList status = m_view.statusHistory();
    EXPECT_TRUE(status.contains(QStringLiteral("Заполнено листов: 1 из 2")));
    EXPECT_TRUE(status.contains(QStringLiteral("Заполнено листов: 2 из 2")));
}

TEST_F(CollectTest, NothingIdentifiedIsSaid) {
    InitialWorkbook::build(m_book);
    m_model.readGeometry();
    EXPECT_FALSE(collect());
    ASSERT_EQ(m_prompter.shown().size(), 1);
    EXPECT_EQ(m_prompter.shown().first().text,
              QStringLiteral("В таблице нет идентифицированных строк"));
    EXPECT_EQ(m_prompter.shown().first().icon, PromptIcon::Error);
}

TEST_F(CollectTest, DirectoryTheDatabaseLacksOrCodeWithoutTypeIsNoNode) {
    build(1);
    const int rows = m_model.rowIdentSheet();
    // Directory 5 does not exist; node 12 without a type would sum every object.
    m_book.setNumber(rows, 101, rowSlotColumn(Slot::ObjectType), 5);
    m_book.setNumber(rows, 102, rowSlotColumn(Slot::Cut1Type), 0);
    m_book.setNumber(1, 101, 3, 8);
    m_book.setNumber(1, 102, 3, 8);
    ASSERT_TRUE(collect());
    EXPECT_TRUE(m_prompter.shown().isEmpty()) << m_prompter.texts().join(u'|').toStdString();
    EXPECT_DOUBLE_EQ(m_book.sheet(1).number(101, 3), 8);
    EXPECT_DOUBLE_EQ(m_book.sheet(1).number(102, 3), 8);
    EXPECT_DOUBLE_EQ(m_book.sheet(1).number(105, 3), 3);
}

// A user who may read the settings but not the object funds is told so, in the
// system's words, once.
TEST(CollectRights, AUserWithoutRightsIsToldSo) {
    BookLocale::setDecimalSeparator(QLatin1Char('.'));
    TestDatabases dbs;
    {
        TdmMSSQL owner(AppPrompter());
        owner.SetConnectionParams(owner.dbMain, dbs.factPath(), TestDatabases::password(),
                                  TestDatabases::user());
        owner.dbMain.open();
        PrepareFunds(owner.dbMain);
        PrepareMemberships(owner.dbMain);
        for (const char* t : {"NAST", "SPISAGR", "USERS", "ELM"})
            dbtest::exec(owner.dbMain, QStringLiteral("GRANT SELECT ON %1 TO CLERK").arg(t));
    }
    ScriptedPrompter prompter;
    TdmMSSQL dm(prompter);
    dm.SetConnectionParams(dm.dbMain, dbs.factPath(), TestDatabases::password(),
                           QStringLiteral("CLERK"));
    dm.dbMain.open();
    Workbook book;
    InitialWorkbook::build(book);
    book.insertSheet(2, QStringLiteral("2"));
    IdentModel model(book, prompter);
    model.readGeometry();
    book.setNumber(model.rowIdentSheet(), 101, rowSlotColumn(Slot::IndicatorCode), 7);
    book.setNumber(model.colIdentSheet(), model.colSlotRow(Slot::PeriodStart), 3, 2003);
    for (int s = 1; s <= 2; ++s) {
        book.setNumber(s, int(TitleRow::Object), kTitleValueCol, 12);
        book.setNumber(s, int(TitleRow::Object), kTitleExtraCol, 2);
    }
    ExchangeView view;
    StoragePeriods lists;
    LoadStoragePeriods(dm, lists);
    ExchangeContext ctx{model, dm, prompter, view, lists, 2, QStringLiteral("CLERK")};
    prompter.answer(Answer::Yes);
    EXPECT_FALSE(CollectController(ctx).sbCalcAgrClick());
    const QStringList texts = prompter.texts();
    ASSERT_EQ(texts.size(), 2) << texts.join(u'|').toStdString();
    EXPECT_EQ(texts[1], QStringLiteral("Пользователь  CLERK  не  имеет  прав\r\nна  заполнение  "
                                       "таблицы  данными  из  ФД"));
}
