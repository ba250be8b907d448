#include "DbTestHelpers.h"
#include "ExchangeView.h"
#include "FactFunds.h"
#include "FillController.h"
#include "InitialWorkbook.h"
#include "ScriptedPrompter.h"
#include "StoreController.h"
#include "TdmMSSQL.h"
#include "TestDatabases.h"
#include "format/BookLocale.h"
#include "model/Workbook.h"

#include <gtest/gtest.h>

using namespace TableLayout;

namespace {

// Each test gets empty funds (FactFunds.h) and a table of its own:
// rows 101, 102 = indicators 7, 8; column C = 2003, D = March 2004, E = 2002.
class FillStoreTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_dbs = std::make_unique<TestDatabases>();
        s_dm = std::make_unique<TdmMSSQL>(AppPrompter());
        s_dm->SetConnectionParams(s_dm->dbMain, s_dbs->factPath(), TestDatabases::password(),
                                  TestDatabases::user());
        s_dm->dbMain.open();
        PrepareFunds(fact());
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
        for (const char* t : {"FD_DOLGELM", "FD_OPERELM", "FD_DOLGAGR", "FD_OPERAGR"})
            dbtest::exec(fact(), QStringLiteral("DELETE FROM %1").arg(QLatin1String(t)));
        LoadStoragePeriods(*s_dm, m_lists);
    }

    // A table with the given number of instance sheets; sheet s names object 500 + s.
    void build(int instances) {
        InitialWorkbook::build(m_book);
        for (int s = 2; s <= instances; ++s)
            m_book.insertSheet(s, QString::number(s));
        m_model.readGeometry();
        const int rows = m_model.rowIdentSheet();
        const int cols = m_model.colIdentSheet();
        m_book.setNumber(rows, 101, rowSlotColumn(Slot::IndicatorCode), 7);
        m_book.setNumber(rows, 102, rowSlotColumn(Slot::IndicatorCode), 8);
        m_book.setNumber(cols, m_model.colSlotRow(Slot::PeriodStart), 3, 2003);
        m_book.setEntry(cols, m_model.colSlotRow(Slot::PeriodStart), 4, QStringLiteral("1.3.2004"));
        m_book.setNumber(cols, m_model.colSlotRow(Slot::PeriodStart), 5, 2002);
        for (int s = 1; s <= instances; ++s)
            setTitleObject(s, 500 + s);
        m_book.setActiveSheet(1);
    }
    void setTitleObject(int sheet, int code, int type = kObjectsDirectoryType) {
        m_book.setNumber(sheet, int(TitleRow::Object), kTitleValueCol, code);
        m_book.setNumber(sheet, int(TitleRow::Object), kTitleExtraCol, type);
    }

    ExchangeContext context() {
        return {m_model,
                *s_dm,
                m_prompter,
                m_view,
                m_lists,
                AggregationDirectoryCount(fact()),
                QStringLiteral("TESTER")};
    }
    bool fill() {
        ExchangeContext ctx = context();
        return FillController(ctx).SBunloadClick();
    }
    bool store() {
        ExchangeContext ctx = context();
        return StoreController(ctx).SBloadClick();
    }
    QVariant dolg(int object, int indicator, int k) {
        return dbtest::scalar(fact(),
                              QStringLiteral("SELECT D%1 FROM FD_DOLGELM WHERE KODFOLDER = :O "
                                             "AND KODPOK = :P")
                                  .arg(k),
                              {{"O", object}, {"P", indicator}});
    }
    QVariant oper(int object, int indicator, int month) {
        return dbtest::scalar(fact(),
                              QStringLiteral("SELECT D%1 FROM FD_OPERELM WHERE KODFOLDER = :O "
                                             "AND KODPOK = :P AND GOD = 2004")
                                  .arg(month),
                              {{"O", object}, {"P", indicator}});
    }
    int fundRows() {
        int n = 0;
        for (const char* t : {"FD_DOLGELM", "FD_OPERELM", "FD_DOLGAGR", "FD_OPERAGR"})
            n += dbtest::scalar(fact(),
                                QStringLiteral("SELECT COUNT(*) FROM %1").arg(QLatin1String(t)))
                     .toInt();
        return n;
    }
    QString fundDump() {
        QStringList out;
        for (const QVariant& v : dbtest::column(
                 fact(), QStringLiteral("SELECT KODFOLDER || '/' || KODPOK || '/' || "
                                        "COALESCE(D1,'-') || '/' || COALESCE(D2,'-') || '/' || "
                                        "COALESCE(D3,'-') FROM FD_DOLGELM ORDER BY 1")))
            out << v.toString();
        for (const QVariant& v :
             dbtest::column(fact(), QStringLiteral("SELECT KODFOLDER || '/' || KODPOK || '/' || "
                                                   "COALESCE(D3,'-') FROM FD_OPERELM ORDER BY 1")))
            out << v.toString();
        return out.join(QLatin1Char(';'));
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

TEST_F(FillStoreTest, FillAfterStoreReturnsWhatWasStoredOnEverySheet) {
    build(2);
    for (int s = 1; s <= 2; ++s) {
        m_book.setNumber(s, 101, 3, 1234.5678 * s);
        m_book.setText(s, 101, 4, QStringLiteral("  текст %1 ").arg(s));
        m_book.setNumber(s, 101, 5, 5 + s);
        m_book.setNumber(s, 102, 3, 0.1 + s);
        m_book.setNumberFormat(s, CellRange(101, 3, 102, 3), QStringLiteral("0.00"));
    }
    m_prompter.answer(Answer::Yes).answer(Answer::No);
    ASSERT_TRUE(store()) << m_prompter.texts().join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(m_prompter.allAnswersUsed());
    // Full precision, not the display format's two decimals.
    EXPECT_EQ(dolg(501, 7, 1).toString(), QStringLiteral("1234.5678"));
    EXPECT_EQ(dolg(502, 7, 1).toString(), QStringLiteral("2469.1356"));
    EXPECT_EQ(oper(502, 7, 3).toString(), QStringLiteral("текст 2"));
    EXPECT_EQ(dolg(501, 7, 3).toString(), QStringLiteral("6"));
    EXPECT_EQ(m_view.statusHistory().mid(0, 2),
              (QStringList{QStringLiteral("Загружено листов: 1 из 2"),
                           QStringLiteral("Загружено листов: 2 из 2")}));
    EXPECT_FALSE(m_view.updatesSuspended());

    const QString first = fundDump();
    const int rows = fundRows();
    m_prompter.answer(Answer::Yes).answer(Answer::No);
    ASSERT_TRUE(store());
    EXPECT_EQ(fundDump(), first);
    EXPECT_EQ(fundRows(), rows);

    for (int s = 1; s <= 2; ++s)
        m_book.clearRange(s, CellRange(101, 3, 102, 5), ClearWhat::Values);
    m_prompter.answer(Answer::Yes);
    ASSERT_TRUE(fill());
    for (int s = 1; s <= 2; ++s) {
        SCOPED_TRACE(s);
        const Sheet& sh = m_book.sheet(s);
        EXPECT_EQ(sh.type(101, 3), 1);
        EXPECT_DOUBLE_EQ(sh.number(101, 3), 1234.5678 * s);
        EXPECT_EQ(sh.text(101, 4), QStringLiteral("текст %1").arg(s));
        EXPECT_DOUBLE_EQ(sh.number(101, 5), 5 + s);
        EXPECT_DOUBLE_EQ(sh.number(102, 3), 0.1 + s);
    }
    EXPECT_EQ(m_view.statusText(), QString());
}

TEST_F(FillStoreTest, NumbersShownWithACommaAreStoredWithThePoint) {
    build(1);
    BookLocale::setDecimalSeparator(QLatin1Char(','));
    m_book.setEntry(1, 101, 3, QStringLiteral("12,5"));
    m_book.setFormula(1, 102, 3, QStringLiteral("=C101/4"));
    ASSERT_EQ(m_book.sheet(1).formattedText(101, 3), QStringLiteral("12,5"));
    m_prompter.answer(Answer::No);
    ASSERT_TRUE(store()) << m_prompter.texts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(dolg(501, 7, 1).toString(), QStringLiteral("12.5"));
    EXPECT_EQ(dolg(501, 8, 1).toString(), QStringLiteral("3.125"));
    m_book.clearRange(1, CellRange(101, 3, 101, 3), ClearWhat::Values);
    ASSERT_TRUE(fill());
    EXPECT_EQ(m_book.sheet(1).number(101, 3), 12.5);
}

TEST_F(FillStoreTest, FillValueRules) {
    build(1);
    dbtest::exec(fact(), QStringLiteral("INSERT INTO FD_OPERELM (KODFOLDER, KODPOK, KODPOK1, "
                                        "KODPOK2, GOD, D3, D4, D5) VALUES (501, 7, 0, 0, 2004, "
                                        "'1,5', NULL, '2.25')"));
    dbtest::exec(fact(), QStringLiteral("INSERT INTO FD_OPERELM (KODFOLDER, KODPOK, KODPOK1, "
                                        "KODPOK2, GOD, D3, D4) VALUES (501, 8, 0, 0, 2004, "
                                        "'нет', '1')"));
    dbtest::exec(fact(), QStringLiteral("INSERT INTO FD_DOLGELM (KODFOLDER, KODPOK, KODPOK1, "
                                        "KODPOK2, D1, D2, D3) VALUES (501, 7, 0, 0, '10', '20', "
                                        "'30')"));
    // Column D reads March to May for row 101 and March alone for row 102.
    const int rows = m_model.rowIdentSheet();
    m_book.setEntry(rows, 101, rowSlotColumn(Slot::PeriodStart), QStringLiteral("1.3.2004"));
    m_book.setEntry(rows, 101, rowSlotColumn(Slot::PeriodEnd), QStringLiteral("1.5.2004"));
    m_book.setNumber(1, 101, 5, 5); // no such fund column value: becomes empty, then 0
    m_book.setEntry(1, 102, 3, QStringLiteral("=1+1"));
    m_book.setText(1, 102, 5, QStringLiteral("X"));

    ASSERT_TRUE(fill());
    EXPECT_TRUE(m_prompter.shown().isEmpty()); // one instance sheet: no question
    const Sheet& sh = m_book.sheet(1);
    // Row 101 carries its own monthly period in every column.
    EXPECT_DOUBLE_EQ(sh.number(101, 3), 3.75);
    EXPECT_DOUBLE_EQ(sh.number(101, 5), 3.75);
    EXPECT_EQ(sh.text(102, 4), QStringLiteral("нет"));
    EXPECT_EQ(sh.formula(102, 3), QStringLiteral("=1+1"));
    EXPECT_EQ(sh.text(102, 5), QStringLiteral("X"));
    EXPECT_EQ(m_view.statusHistory().first(), QStringLiteral("Заполнение таблицы"));

    // A range with a text in it.
    dbtest::exec(fact(), QStringLiteral("UPDATE FD_OPERELM SET D4 = 'много' WHERE KODPOK = 7"));
    ASSERT_TRUE(fill());
    EXPECT_EQ(sh.text(101, 4), QStringLiteral("#Не число!"));

    // A missing fund row clears the cell; on the active sheet it then reads 0.
    m_book.setEntry(rows, 101, rowSlotColumn(Slot::PeriodStart), QString());
    m_book.setEntry(rows, 101, rowSlotColumn(Slot::PeriodEnd), QString());
    m_book.setNumber(1, 102, 3, 5);
    ASSERT_TRUE(fill());
    EXPECT_DOUBLE_EQ(sh.number(101, 3), 10); // 2003 is first in the list: D1
    EXPECT_DOUBLE_EQ(sh.number(101, 4), 1.5);
    EXPECT_DOUBLE_EQ(sh.number(101, 5), 30);
    EXPECT_EQ(sh.type(102, 3), 1);
    EXPECT_DOUBLE_EQ(sh.number(102, 3), 0);
}

TEST_F(FillStoreTest, InfinityAndNanInTheFundsAreTexts) {
    build(1);
    dbtest::exec(fact(), QStringLiteral("INSERT INTO FD_DOLGELM (KODFOLDER, KODPOK, KODPOK1, "
                                        "KODPOK2, D1, D3) VALUES (501, 7, 0, 0, 'inf', 'nan')"));
    dbtest::exec(fact(), QStringLiteral("INSERT INTO FD_OPERELM (KODFOLDER, KODPOK, KODPOK1, "
                                        "KODPOK2, GOD, D3, D4) VALUES (501, 8, 0, 0, 2004, "
                                        "'-inf', '1')"));
    const int rows = m_model.rowIdentSheet();
    ASSERT_TRUE(fill());
    const Sheet& sh = m_book.sheet(1);
    EXPECT_EQ(sh.type(101, 3), 2);
    EXPECT_EQ(sh.text(101, 3), QStringLiteral("inf"));
    EXPECT_EQ(sh.text(101, 5), QStringLiteral("nan"));
    EXPECT_EQ(sh.text(102, 4), QStringLiteral("-inf"));
    // In a range it is no number either.
    m_book.setEntry(rows, 102, rowSlotColumn(Slot::PeriodStart), QStringLiteral("1.3.2004"));
    m_book.setEntry(rows, 102, rowSlotColumn(Slot::PeriodEnd), QStringLiteral("1.4.2004"));
    ASSERT_TRUE(fill());
    EXPECT_EQ(sh.text(102, 3), QStringLiteral("#Не число!"));
}

TEST_F(FillStoreTest, ANegativeObjectCodeNamesTheObjectThatWasFound) {
    build(1);
    // Typed as "-501" in the title and "-503" for row 102; both were looked up by magnitude.
    setTitleObject(1, -501);
    const int rows = m_model.rowIdentSheet();
    m_book.setNumber(rows, 102, rowSlotColumn(Slot::Object), -503);
    m_book.setNumber(rows, 102, rowSlotColumn(Slot::ObjectType), kObjectsDirectoryType);
    m_book.setNumber(1, 101, 3, 4);
    m_book.setNumber(1, 102, 3, 6);
    m_prompter.answer(Answer::No);
    ASSERT_TRUE(store()) << m_prompter.lastText().toStdString();
    EXPECT_EQ(dolg(501, 7, 1).toString(), QStringLiteral("4"));
    EXPECT_EQ(dolg(503, 8, 1).toString(), QStringLiteral("6"));

    m_book.clearRange(1, CellRange(101, 3, 102, 3), ClearWhat::Values);
    ASSERT_TRUE(fill());
    EXPECT_DOUBLE_EQ(m_book.sheet(1).number(101, 3), 4);
    EXPECT_DOUBLE_EQ(m_book.sheet(1).number(102, 3), 6);
    EXPECT_EQ(m_book.sheet(rows).entry(102, rowSlotColumn(Slot::Object)), QStringLiteral("-503"))
        << "the code stays as typed";
}

TEST_F(FillStoreTest, StoreSkipRules) {
    build(1);
    m_book.setNumber(1, 101, 3, 1);
    m_book.setEntry(1, 101, 5, QStringLiteral("=C101*3"));
    m_book.setText(1, 102, 3, QStringLiteral("X"));
    m_book.setText(1, 102, 5, QString(300, QChar(u'ю')));
    m_book.setNumber(1, 102, 4, 0);
    m_prompter.answer(Answer::No);
    ASSERT_TRUE(store());
    EXPECT_EQ(m_prompter.shown().first().text, QStringLiteral("Загружать пустые ячейкм ?"));
    EXPECT_EQ(dolg(501, 7, 1).toString(), QStringLiteral("1"));
    EXPECT_EQ(dolg(501, 7, 3).toString(), QStringLiteral("3"));
    EXPECT_EQ(dolg(501, 8, 3).toString(), QString(250, QChar(u'ю')));
    EXPECT_TRUE(dolg(501, 8, 1).isNull()); // "X"
    EXPECT_TRUE(oper(501, 8, 3).isNull()); // 0 with empty cells not stored
    EXPECT_EQ(m_view.statusHistory().first(), QStringLiteral("Загрузка данных в БД"));

    // Empty cells stored as they read; a hidden row is not stored at all.
    m_book.sheet(1).setRowHidden(101, true);
    m_book.setNumber(1, 101, 3, 99);
    m_prompter.answer(Answer::Yes);
    ASSERT_TRUE(store());
    EXPECT_EQ(oper(501, 8, 3).toString(), QStringLiteral("0"));
    EXPECT_EQ(dolg(501, 7, 1).toString(), QStringLiteral("1"));

    // An end bound on the row's period: nothing of that row is stored.
    m_book.sheet(1).setRowHidden(101, false);
    const int rows = m_model.rowIdentSheet();
    m_book.setNumber(rows, 101, rowSlotColumn(Slot::PeriodStart), 2002);
    m_book.setNumber(rows, 101, rowSlotColumn(Slot::PeriodEnd), 2002);
    m_prompter.answer(Answer::No);
    ASSERT_TRUE(store());
    EXPECT_EQ(dolg(501, 7, 1).toString(), QStringLiteral("1"));
}

TEST_F(FillStoreTest, UnknownObjectNamesTheCellAndRollsTheSheetBack) {
    build(2);
    setTitleObject(2, 999);
    for (int s = 1; s <= 2; ++s) {
        m_book.setNumber(s, 101, 3, 11);
        m_book.setNumber(s, 101, 5, 12);
    }
    m_book.setText(2, 100, 5, QStringLiteral("Итого"));
    m_book.setEntry(m_model.colIdentSheet(), m_model.colSlotRow(Slot::Object), 3,
                    QStringLiteral("503"));
    m_book.setNumber(m_model.colIdentSheet(), m_model.colSlotRow(Slot::ObjectType), 3, 99);
    m_prompter.answer(Answer::Yes).answer(Answer::No);
    EXPECT_FALSE(store());
    EXPECT_EQ(m_prompter.lastText(), QStringLiteral("Лист 2, строка 101, столбец Итого: объект с "
                                                    "кодом 999 отсутствует в справочнике"));
    EXPECT_EQ(m_prompter.shown().size(), 3);
    // Sheet 1 was committed, nothing of sheet 2 is in the funds.
    EXPECT_EQ(dolg(501, 7, 3).toString(), QStringLiteral("12"));
    EXPECT_EQ(dolg(503, 7, 1).toString(), QStringLiteral("11"));
    EXPECT_TRUE(dolg(999, 7, 3).isNull());
    EXPECT_EQ(fundRows(), 2);
    EXPECT_EQ(m_book.activeSheetIndex(), 1);
    EXPECT_FALSE(m_view.updatesSuspended());
    EXPECT_EQ(m_view.statusText(), QString());
}

TEST_F(FillStoreTest, DuplicateKeyFromAnotherUserNamesTheCellAndRollsBack) {
    build(1);
    // Another user's row that the existence check cannot see but the unique index
    // refuses a second of, as when two users insert the same key at once.
    dbtest::exec(fact(),
                 QStringLiteral("CREATE UNIQUE INDEX TESTDUPOPER ON FD_OPERELM (KODPOK, GOD)"));
    dbtest::exec(fact(), QStringLiteral("INSERT INTO FD_OPERELM (KODFOLDER, KODPOK, KODPOK1, "
                                        "KODPOK2, GOD, D3) VALUES (502, 7, 0, 0, 2004, '1')"));
    m_book.setNumber(1, 101, 3, 5);
    m_book.setNumber(1, 101, 4, 6);
    m_prompter.answer(Answer::No);
    const bool stored = store();
    dbtest::exec(fact(), QStringLiteral("DROP INDEX TESTDUPOPER"));
    EXPECT_FALSE(stored);
    EXPECT_TRUE(m_prompter.lastText().startsWith(
        QStringLiteral("Лист 1, строка 101, столбец D: ошибка при загрузке данных в БД.\r\n")))
        << m_prompter.lastText().toStdString();
    EXPECT_TRUE(m_prompter.lastText().contains(QLatin1String("TESTDUPOPER")));
    EXPECT_TRUE(dolg(501, 7, 1).isNull()); // the sheet's earlier cell is rolled back
}

TEST_F(FillStoreTest, ClearedObjectsTypeShowsTheHiddenRow) {
    build(2);
    const int rows = m_model.rowIdentSheet();
    m_book.setNumber(rows, 102, rowSlotColumn(Slot::ObjectType), kObjectsDirectoryType);
    m_model.setSetting(Setting::HideSubordinate, 1);
    for (int s = 1; s <= 2; ++s)
        m_book.sheet(s).setRowHidden(102, true);
    m_prompter.answer(Answer::Yes).answer(Answer::No);
    ASSERT_TRUE(store());
    EXPECT_EQ(m_book.sheet(rows).number(102, rowSlotColumn(Slot::ObjectType)), 0);
    EXPECT_FALSE(m_book.sheet(1).rowHidden(102));
    EXPECT_FALSE(m_book.sheet(2).rowHidden(102));
}

TEST_F(FillStoreTest, AggregationRowsAreKeyedByTheKoVector) {
    build(1);
    setTitleObject(1, 31, 1);
    const int cols = m_model.colIdentSheet();
    m_book.setNumber(cols, m_model.colSlotRow(Slot::Cut1), 3, 41);
    m_book.setNumber(cols, m_model.colSlotRow(Slot::Cut1Type), 3, 2);
    m_book.setNumber(1, 101, 3, 7.5);
    m_book.setNumber(1, 101, 4, 8.5);
    m_prompter.answer(Answer::No);
    ASSERT_TRUE(store());
    EXPECT_EQ(dbtest::scalar(fact(), QStringLiteral("SELECT D1 FROM FD_DOLGAGR WHERE KOD1 = 31 "
                                                    "AND KOD2 = 41 AND KODPOK = 7"))
                  .toString(),
              QStringLiteral("7.5"));
    EXPECT_EQ(dbtest::scalar(fact(), QStringLiteral("SELECT D3 FROM FD_OPERAGR WHERE KOD1 = 31 "
                                                    "AND KOD2 = 0 AND KODPOK = 7 AND GOD = 2004"))
                  .toString(),
              QStringLiteral("8.5"));
    m_book.clearRange(1, CellRange(101, 3, 101, 4), ClearWhat::Values);
    ASSERT_TRUE(fill());
    EXPECT_DOUBLE_EQ(m_book.sheet(1).number(101, 3), 7.5);
    EXPECT_DOUBLE_EQ(m_book.sheet(1).number(101, 4), 8.5);
}

TEST_F(FillStoreTest, ChangedStructureReloadsTheListsAndTheNextStoreSucceeds) {
    build(1);
    m_book.setNumber(m_model.colIdentSheet(), m_model.colSlotRow(Slot::PeriodStart), 5, 2009);
    m_book.setNumber(1, 101, 3, 1);
    m_book.setNumber(1, 101, 5, 2);
    // The lists of this instance name a year whose value column the funds lack.
    m_lists.dolg.append(2009);
    m_prompter.answer(Answer::No);
    EXPECT_FALSE(store());
    EXPECT_EQ(m_prompter.lastText(),
              QStringLiteral("Структура БД изменена другим пользователем\r\nПовторите загрузку"));
    EXPECT_EQ(m_lists.dolg.count(), 3);
    EXPECT_TRUE(dolg(501, 7, 1).isNull());
    m_prompter.answer(Answer::No);
    EXPECT_TRUE(store());
    EXPECT_EQ(dolg(501, 7, 1).toString(), QStringLiteral("1"));
}

TEST_F(FillStoreTest, FillingMeetingAChangedStructureSaysSoAndReloadsTheLists) {
    build(1);
    m_book.setNumber(m_model.colIdentSheet(), m_model.colSlotRow(Slot::PeriodStart), 5, 2009);
    m_lists.dolg.append(2009); // a year whose value column the funds lack
    EXPECT_FALSE(fill());
    EXPECT_EQ(m_prompter.lastText(),
              QStringLiteral("Структура БД изменена другим пользователем\r\nПовторите заполнение"));
    EXPECT_EQ(m_lists.dolg.count(), 3);
    EXPECT_TRUE(fill());
}

TEST_F(FillStoreTest, UnreadableStoragePeriodsAreToldBeforeAnyCell) {
    build(1);
    m_book.setNumber(1, 101, 3, 1);
    dbtest::exec(fact(), QStringLiteral("UPDATE NAST SET GODDOLG = '2003abcd'"));
    m_lists = StoragePeriods{}; // read afresh by the command
    m_prompter.answer(Answer::No);
    const bool stored = store();
    const bool filled = fill();
    dbtest::exec(fact(), QStringLiteral("UPDATE NAST SET GODDOLG = '200320012002'"));
    EXPECT_FALSE(stored);
    EXPECT_FALSE(filled);
    const QStringList texts = m_prompter.texts();
    ASSERT_EQ(texts.size(), 3) << texts.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(texts[1].startsWith(QStringLiteral("Ошибка при загрузке данных в БД.\r\n'abcd'")));
    EXPECT_TRUE(texts[2].startsWith(QStringLiteral("Ошибка при заполнении\r\n\r\n'abcd'")));
    EXPECT_EQ(fundRows(), 0);
}

TEST_F(FillStoreTest, NothingIdentifiedIsSaid) {
    InitialWorkbook::build(m_book);
    m_model.readGeometry();
    EXPECT_FALSE(fill());
    EXPECT_EQ(m_prompter.lastText(), QStringLiteral("В таблице нет идентифицированных строк"));
    EXPECT_FALSE(store());
    EXPECT_EQ(m_prompter.shown().size(), 2);
}

TEST_F(FillStoreTest, IdentificationSheetIsNeverFilled) {
    build(2);
    const int rows = m_model.rowIdentSheet();
    m_book.setActiveSheet(rows);
    const QString before = m_book.sheet(rows).text(101, rowSlotColumn(Slot::Object));
    m_prompter.answer(Answer::No);
    EXPECT_TRUE(fill());
    EXPECT_EQ(m_book.sheet(rows).text(101, rowSlotColumn(Slot::Object)), before);
    EXPECT_EQ(m_book.sheet(rows).type(102, rowSlotColumn(Slot::Attr1Code)), 0);
    EXPECT_EQ(m_book.activeSheetIndex(), rows);
}
