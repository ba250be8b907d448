#include "DbTestHelpers.h"
#include "ExchangeView.h"
#include "FactFunds.h"
#include "FillController.h"
#include "IdentModel.h"
#include "InitialWorkbook.h"
#include "InstanceSheets.h"
#include "ScriptedPrompter.h"
#include "SupplierReplacement.h"
#include "TableRef.h"
#include "TdmMSSQL.h"
#include "TenderController.h"
#include "TestDatabases.h"
#include "format/BookLocale.h"
#include "io/NativeFormat.h"
#include "model/Workbook.h"

#include <gtest/gtest.h>

using namespace TableLayout;

namespace {

class TenderTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_dbs = std::make_unique<TestDatabases>();
        s_dm = std::make_unique<TdmMSSQL>(AppPrompter());
        s_dm->SetConnectionParams(s_dm->dbMain, s_dbs->factPath(), TestDatabases::password(),
                                  TestDatabases::user());
        s_dm->SetConnectionParams(s_dm->dbTab, s_dbs->tabPath(), TestDatabases::password(),
                                  TestDatabases::user());
        s_dm->dbMain.open();
        s_dm->dbTab.open();
        PrepareFunds(s_dm->dbMain);
        s_folder = dbtest::call(s_dm->dbTab, "INSERT_SBR",
                                {{"NPP", 100},
                                 {"NAMEFOLDER", QStringLiteral("Тендер")},
                                 {"NLEVEL", 1},
                                 {"NAMEID", QString()},
                                 {"KODSPIS", 0},
                                 {"NGOD", 0},
                                 {"NMES", 0}})
                       .output(QStringLiteral("KOD_FOLDER"))
                       .toInt();
    }
    static void TearDownTestSuite() {
        s_dm.reset();
        s_dbs.reset();
    }
    static DbConnection& fact() { return s_dm->dbMain; }
    static DbConnection& tab() { return s_dm->dbTab; }
    static int newTable(const QString& kodAlt) {
        return dbtest::call(tab(), "INSERT_CAT",
                            {{"NPP", 100},
                             {"KODFOLDER", s_folder},
                             {"NAMEFOLDER", QStringLiteral("Предложения")},
                             {"KODALT", kodAlt},
                             {"KODSPIS", 0}})
            .output(QStringLiteral("KOD_ELMT"))
            .toInt();
    }

    void SetUp() override {
        BookLocale::setDecimalSeparator(QLatin1Char('.'));
        BookLocale::setDateSeparator(QLatin1Char('.'));
        AppContext::setSystemDateSeparator(QLatin1Char('.'));
        LoadStoragePeriods(*s_dm, m_lists);
    }

    // A table of supplier offers: one instance sheet per supplier, two header rows,
    // items from row 102.
    void suppliers(const QStringList& names) {
        InitialWorkbook::build(m_book);
        m_model.readGeometry();
        while (m_model.instanceCount() < names.size()) {
            m_book.insertSheet(1);
            m_model.readGeometry();
        }
        m_model.setHeaderRows(2);
        for (int s = 1; s <= names.size(); ++s)
            m_book.setText(s, 99, 3, names[s - 1]);
        m_table.kodAlt = QStringLiteral("Пост.");
    }
    // Requested volume on every sheet; offered volume and price on the supplier's.
    void offer(int row, int sheet, double requested, double volume, double price) {
        m_book.setNumber(sheet, row, 5, requested);
        m_book.setNumber(sheet, row, 6, volume);
        m_book.setNumber(sheet, row, 7, price);
    }
    TenderController tender() {
        return TenderController(*s_dm, m_model, m_sheets, m_prompter, m_table, [this] {
            ExchangeContext ctx{
                m_model, *s_dm, m_prompter, m_view, m_lists, 2, QStringLiteral("TESTER")};
            FillController fill(ctx);
            fill.setTenderMode(true);
            return fill.SBunloadClick();
        });
    }
    QString mark(int s) const { return TenderController::markOf(m_book, s); }
    const Sheet& sheet(int s) const { return m_book.sheet(s); }

    static inline std::unique_ptr<TestDatabases> s_dbs;
    static inline std::unique_ptr<TdmMSSQL> s_dm;
    static inline int s_folder = 0;
    Workbook m_book;
    ScriptedPrompter m_prompter;
    IdentModel m_model{m_book, m_prompter};
    TableRef m_table;
    InstanceSheets m_sheets{*s_dm, m_model, m_prompter, m_table};
    ExchangeView m_view;
    StoragePeriods m_lists;
};

} // namespace

TEST_F(TenderTest, ConsolidatedOrderSortsOffersAsNumbers) {
    suppliers({QStringLiteral("Альфа"), QStringLiteral("Бета"), QStringLiteral("Гамма")});
    // Price x 1000 compared as text would put 10 before 9.5005, -1 before -2 and 1e16
    // before 10.
    offer(102, 1, 10, 20, 10);
    offer(102, 2, 10, 20, 9.5);
    offer(102, 3, 10, 20, 9.5005);
    offer(103, 1, 5, 5, -1);
    offer(103, 2, 5, 5, -2);
    offer(103, 3, 5, 5, 1e16);
    // Equal prices: the smaller volume first; it covers a part of the request only.
    offer(104, 1, 10, 3, 7);
    offer(104, 2, 10, 1, 7);
    m_book.setNumber(1, 105, 5, 4); // asked for, offered by nobody
    offer(106, 1, 1, 1, 1);
    m_book.setText(m_model.rowIdentSheet(), 106, rowSlotColumn(Slot::IndicatorShown),
                   QStringLiteral("0"));

    TenderController t = tender();
    for (int run = 0; run < 2; ++run) {
        ASSERT_TRUE(t.mPredlClick());
        ASSERT_EQ(m_book.sheetCount(), 7) << "run " << run;
        EXPECT_EQ(mark(1), QStringLiteral("Svod"));
        EXPECT_EQ(mark(2), QStringLiteral("Sort"));
        for (int s = 3; s <= 5; ++s)
            EXPECT_EQ(mark(s), QString()) << s;
    }
    EXPECT_EQ(sheet(1).text(99, 3), QStringLiteral("Сводный заказ поставщикам"));
    EXPECT_EQ(sheet(2).text(99, 3), QStringLiteral("Сортировка поставщиков по ценам"));
    const Sheet& so = sheet(2);
    auto order = [&](int r) {
        QStringList out;
        for (int i = 0; i < int(so.number(r, 1)); ++i)
            out << so.text(r, 8 + 3 * i);
        return out.join(u',');
    };
    EXPECT_EQ(order(102), QStringLiteral("Бета,Гамма,Альфа"));
    EXPECT_EQ(order(103), QStringLiteral("Бета,Альфа,Гамма"));
    EXPECT_EQ(order(104), QStringLiteral("Бета,Альфа"));
    EXPECT_DOUBLE_EQ(so.number(102, 6), 9.5);
    EXPECT_DOUBLE_EQ(so.number(102, 15), (10 + 9.5 + 9.5005) / 3) << "average at 6 + 3n";
    EXPECT_EQ(so.type(105, 1), 0);

    const Sheet& sv = sheet(1);
    EXPECT_DOUBLE_EQ(sv.number(102, 5), 10);
    EXPECT_DOUBLE_EQ(sv.number(102, 7), 95);
    EXPECT_EQ(sv.text(102, 8), QStringLiteral("Бета"));
    EXPECT_DOUBLE_EQ(sv.number(104, 5), 1) << "only what the cheapest offers";
    const int rowsNow = m_model.rowIdentSheet();
    EXPECT_EQ(sheet(rowsNow).text(105, 3), QStringLiteral("Прятать"));
    EXPECT_EQ(sheet(rowsNow).text(102, 3), QString());
    EXPECT_EQ(sv.type(106, 5), 0) << "an excluded item";
    EXPECT_EQ(sv.text(107, 2), QStringLiteral("Стоимость заказа"));
    EXPECT_EQ(sv.formula(107, 7), QStringLiteral("=SUM(G102:G106)"));
    EXPECT_EQ(sheet(1).text(100, 5), QStringLiteral("Объем"));
    EXPECT_EQ(sheet(1).text(101, 5), QStringLiteral("поставки"));
}

TEST_F(TenderTest, AnalysisWithAZeroMinimumPriceShowsNoPercentage) {
    suppliers({QStringLiteral("Альфа"), QStringLiteral("Бета")});
    TenderController t = tender();
    EXPECT_FALSE(t.mAnalClick());
    EXPECT_EQ(m_prompter.texts().last(), QStringLiteral("Не выполнена операция \"Сводный заказ\""));

    offer(102, 1, 10, 5, 0);
    offer(102, 2, 10, 20, 4);
    offer(103, 1, 2, 2, 3);
    offer(103, 2, 2, 2, 5);
    ASSERT_TRUE(t.mPredlClick());
    for (int run = 0; run < 2; ++run) {
        ASSERT_TRUE(t.mAnalClick());
        ASSERT_EQ(m_book.sheetCount(), 8) << "run " << run;
    }
    EXPECT_EQ(mark(1), QStringLiteral("Anal"));
    EXPECT_EQ(mark(2), QStringLiteral("Power"));
    EXPECT_EQ(mark(3), QStringLiteral("Svod"));
    EXPECT_EQ(mark(4), QStringLiteral("Sort"));
    const Sheet& an = sheet(1);
    EXPECT_DOUBLE_EQ(an.number(102, 6), -5) << "deficit";
    EXPECT_DOUBLE_EQ(an.number(102, 7), 0);
    EXPECT_EQ(an.type(102, 9), 0) << "no percentage over a zero price";
    EXPECT_EQ(an.type(102, 11), 0);
    EXPECT_DOUBLE_EQ(an.number(102, 10), 4);
    EXPECT_DOUBLE_EQ(an.number(103, 9), (4.0 - 3) / 3 * 100);
    EXPECT_DOUBLE_EQ(an.number(104, 7), 6) << "10 x 0 + 2 x 3";
    EXPECT_DOUBLE_EQ(an.number(104, 10), 50);
    EXPECT_DOUBLE_EQ(an.number(104, 11), (50.0 - 6) / 6 * 100);
    const Sheet& pw = sheet(2);
    EXPECT_EQ(pw.text(102, 2), QStringLiteral("Бета")) << "from the last supplier";
    EXPECT_DOUBLE_EQ(pw.number(102, 6), 2) << "above the average twice";
    EXPECT_EQ(pw.text(103, 2), QStringLiteral("Альфа"));
    EXPECT_DOUBLE_EQ(pw.number(103, 4), 2) << "cheapest twice";
    EXPECT_DOUBLE_EQ(pw.number(103, 7), 6);
    EXPECT_EQ(pw.text(100, 3), QStringLiteral("   Количество позиций:        всего: 2"));
    for (int c = 5; c <= 11; ++c)
        for (int r = 102; r <= 104; ++r)
            EXPECT_FALSE(an.text(r, c).contains(QLatin1String("inf"))) << r << "," << c;
}

TEST_F(TenderTest, AllocationMakesASheetPerInstitutionFilledAlone) {
    // A supplier order table: items 7 and 8, volume from the funds in column E (2003), price in
    // F, cost in G; columns H and I show the unit and the row numbers.
    InitialWorkbook::build(m_book);
    m_model.readGeometry();
    m_book.insertSheet(1);
    m_model.readGeometry();
    m_table.kodAlt = QStringLiteral("Спец. 1");
    const int rows = m_model.rowIdentSheet();
    const int cols = m_model.colIdentSheet();
    m_book.setNumber(rows, 101, rowSlotColumn(Slot::IndicatorCode), 7);
    m_book.setNumber(rows, 102, rowSlotColumn(Slot::IndicatorCode), 8);
    m_book.setNumber(cols, m_model.colSlotRow(Slot::PeriodStart), 5, 2003);
    m_book.setNumber(cols, 1, 4, SpecialKind::Unit);
    m_book.setNumber(cols, 1, 8, SpecialKind::Unit);
    m_book.setNumber(cols, 1, 9, SpecialKind::NumberingBase + 1);
    m_book.setNumber(cols, 1, 5, SpecialKind::Arbitrary);
    m_book.setNumber(cols, 1, 6, SpecialKind::Arbitrary);
    m_book.setNumber(cols, 1, 7, SpecialKind::Arbitrary);
    for (int s = 1; s <= 2; ++s) {
        m_book.setText(s, 99, 3, QStringLiteral("Спецификация"));
        m_book.setNumber(s, 101, 5, 100 + s);
        m_book.setNumber(s, 101, 6, 2.5);
        m_book.setNumber(s, 102, 5, 200 + s);
        m_book.setNumber(s, 102, 6, 4);
    }
    dbtest::exec(fact(), QStringLiteral("DELETE FROM FD_DOLGELM"));
    dbtest::exec(fact(), QStringLiteral("INSERT INTO FD_DOLGELM (KODFOLDER, KODPOK, KODPOK1, "
                                        "KODPOK2, D1) VALUES (501, 7, 0, 0, '10')"));
    dbtest::exec(fact(), QStringLiteral("INSERT INTO FD_DOLGELM (KODFOLDER, KODPOK, KODPOK1, "
                                        "KODPOK2, D1) VALUES (502, 8, 0, 0, '3')"));
    TenderController t = tender();
    EXPECT_FALSE(t.mRaznClick());
    EXPECT_EQ(m_prompter.texts().last(), QStringLiteral("Список ЛПУ не создан"))
        << m_prompter.texts().join(u'|').toStdString();

    dbtest::exec(fact(), QStringLiteral("INSERT INTO SPIS (NAME) VALUES ('ЛПУ')"));
    const int spis =
        dbtest::scalar(fact(), QStringLiteral("SELECT MAX(KODSPIS) FROM SPIS")).toInt();
    for (const auto& [npp, kod, tip, ur, name] :
         {std::tuple{1, 1, 1, 1, "Район"}, std::tuple{2, 501, 99, 2, "Один"},
          std::tuple{3, 502, 99, 2, "Два"}})
        dbtest::exec(fact(),
                     QStringLiteral("INSERT INTO SPISELMT (KODSPIS, NPP, KOD, TIP, UR, NAMEOBJ) "
                                    "VALUES (:S, :N, :K, :T, :U, :M)"),
                     {{"S", spis},
                      {"N", npp},
                      {"K", kod},
                      {"T", tip},
                      {"U", ur},
                      {"M", QString::fromUtf8(name)}});
    m_book.setActiveSheet(2);
    m_prompter.choice(-1);
    EXPECT_FALSE(t.mRaznClick());
    EXPECT_EQ(m_book.sheetCount(), 4) << "Escape changes nothing";
    EXPECT_DOUBLE_EQ(sheet(cols).number(1, 5), SpecialKind::Arbitrary);

    m_prompter.choice(0);
    ASSERT_TRUE(t.mRaznClick());
    ASSERT_EQ(m_book.sheetCount(), 6) << "the level-1 member gets no sheet";
    for (const auto& shown : m_prompter.shown())
        EXPECT_NE(shown.kind, ScriptedPrompter::Kind::Question) << shown.text.toStdString();
    // Sheets go in front of the active one: the last member ends up first.
    EXPECT_EQ(sheet(3).text(99, 3), QStringLiteral("Спецификация - Один"));
    EXPECT_EQ(sheet(2).text(99, 3), QStringLiteral("Спецификация - Два"));
    EXPECT_DOUBLE_EQ(sheet(3).number(9, 3), 501);
    EXPECT_EQ(sheet(3).text(4, 3), QStringLiteral("Объект"));
    EXPECT_DOUBLE_EQ(sheet(3).number(101, 5), 10);
    EXPECT_DOUBLE_EQ(sheet(3).number(101, 7), 25);
    EXPECT_TRUE(sheet(3).rowHidden(102)) << "nothing for this institution";
    EXPECT_FALSE(sheet(3).rowHidden(101));
    EXPECT_TRUE(sheet(2).rowHidden(101));
    EXPECT_DOUBLE_EQ(sheet(2).number(102, 7), 12);
    // Filled alone: both sheets of the order table keep their volumes.
    EXPECT_DOUBLE_EQ(sheet(4).number(101, 5), 102);
    EXPECT_DOUBLE_EQ(sheet(1).number(101, 5), 101);
    const int colsNow = m_model.colIdentSheet();
    // Only arbitrary columns became data columns; the unit column stays one.
    EXPECT_DOUBLE_EQ(sheet(colsNow).number(1, 8), SpecialKind::Unit);
    EXPECT_DOUBLE_EQ(sheet(colsNow).number(1, 9), SpecialKind::NumberingBase + 1);
    EXPECT_DOUBLE_EQ(sheet(colsNow).number(1, 5), 0);
}

// Each supplier of the consolidated order gets a table of its items; a table whose
// workbook cannot be written is not made at all, and the command stops there.
TEST_F(TenderTest, SupplierOrderTablesPerSupplierAndNoneWithoutItsWorkbook) {
    suppliers({QStringLiteral("Альфа"), QStringLiteral("Бета"), QStringLiteral("Гамма")});
    m_table.kodElmt = newTable(QStringLiteral("Пост."));
    for (int s = 1; s <= 3; ++s)
        for (int r = 102; r <= 104; ++r)
            m_book.setText(s, r, 2, QStringLiteral("Позиция %1").arg(r));
    offer(102, 1, 10, 20, 1); // Альфа
    offer(102, 2, 10, 20, 2);
    offer(103, 2, 4, 20, 3); // Бета
    offer(103, 3, 4, 20, 5);
    offer(104, 3, 6, 20, 7); // Гамма
    offer(104, 1, 6, 20, 8);
    TenderController t = tender();
    EXPECT_FALSE(t.mSpecClick());
    EXPECT_EQ(m_prompter.texts().last(),
              QStringLiteral("        Отсутствует сводный лист!\r\nНеобходимо выполнить операцию "
                             "\"Сводный заказ\""));
    ASSERT_TRUE(t.mPredlClick());

    const auto tables = [&] {
        return dbtest::column(tab(),
                              QStringLiteral("SELECT NAMEFOLDER FROM CAT WHERE KODFOLDER = "
                                             ":F AND KODALT = 'Спец.' ORDER BY NPP"),
                              {{"F", s_folder}});
    };
    dbtest::exec(tab(), QStringLiteral("CREATE EXCEPTION NO_BOOK 'no book'"));
    dbtest::exec(tab(), QStringLiteral(
                            "CREATE TRIGGER CAT_NO_BOOK FOR CAT BEFORE UPDATE AS BEGIN "
                            "IF (NEW.NAMEFOLDER = 'Спецификация - Бета' AND NEW.TABF1 IS NOT NULL) "
                            "THEN EXCEPTION NO_BOOK; END"));
    EXPECT_FALSE(t.mSpecClick());
    EXPECT_TRUE(m_prompter.texts().last().startsWith(
        QStringLiteral("Ошибка при создании таблицы со спецификациями\r\n\r\n")))
        << m_prompter.texts().last().toStdString();
    const QVariantList made = tables();
    ASSERT_EQ(made.size(), 1) << "Бета is not made, Гамма not tried";
    EXPECT_EQ(made[0].toString(), QStringLiteral("Спецификация - Альфа"));
    dbtest::exec(tab(), QStringLiteral("DROP TRIGGER CAT_NO_BOOK"));
    dbtest::exec(tab(), QStringLiteral("DELETE FROM CAT WHERE KODALT = 'Спец.'"));

    ASSERT_TRUE(t.mSpecClick());
    ASSERT_EQ(tables().size(), 3);
    const QByteArray bytes =
        dbtest::scalar(tab(), QStringLiteral("SELECT TABF1 FROM CAT WHERE NAMEFOLDER = "
                                             "'Спецификация - Бета'"))
            .toByteArray();
    Workbook order;
    ASSERT_TRUE(NativeFormat::load(order, bytes));
    ASSERT_EQ(order.sheetCount(), 3);
    const Sheet& items = order.sheet(1);
    EXPECT_EQ(items.text(99, 3), QStringLiteral("Бета"));
    EXPECT_EQ(items.text(102, 2), QStringLiteral("Позиция 103"));
    EXPECT_DOUBLE_EQ(items.number(102, 5), 4);
    EXPECT_DOUBLE_EQ(items.number(102, 6), 3);
    EXPECT_DOUBLE_EQ(items.number(102, 7), 12);
    EXPECT_EQ(items.text(103, 2), QString()) << "one item, no total row";
    EXPECT_TRUE(items.colHidden(1));
}

TEST_F(TenderTest, SupplierReplacementShowsOffersAndReplacesAsOneUndoStep) {
    suppliers({QStringLiteral("Альфа"), QStringLiteral("Бета"), QStringLiteral("Гамма")});
    m_book.setText(1, 102, kSideCol, QStringLiteral("Бинт"));
    m_book.setText(1, 102, 3, QStringLiteral("стерильный"));
    m_book.setText(1, 102, 4, QStringLiteral("10 см"));
    offer(102, 1, 10, 20, 5);
    offer(102, 2, 10, 8, 6);
    offer(102, 3, 10, 20, 7.5);
    offer(103, 1, 4, 4, 2);
    offer(103, 2, 4, 4, 3);
    offer(104, 1, 3, 3, 1); // a single offer: nothing to choose
    offer(105, 2, 2, 2, 1); // supplied by another
    offer(105, 3, 2, 2, 4);
    offer(106, 1, 1, 1, 0); // the chosen supplier offers nothing here; a zero price
    offer(106, 3, 1, 1, 2);
    ASSERT_TRUE(tender().mPredlClick());
    EXPECT_TRUE(SupplierReplacement::opensAt(m_model, 1, 102));
    EXPECT_FALSE(SupplierReplacement::opensAt(m_model, 1, 107)) << "the total row";
    EXPECT_FALSE(SupplierReplacement::opensAt(m_model, 1, 101)) << "a header row";
    EXPECT_FALSE(SupplierReplacement::opensAt(m_model, 2, 102)) << "the sorted offers";
    EXPECT_FALSE(SupplierReplacement::opensAt(m_model, 3, 102)) << "a supplier's sheet";

    SupplierReplacement r(m_model, 1, 102);
    EXPECT_EQ(r.item(), QStringLiteral("Бинт\nстерильный  10 см"));
    EXPECT_EQ(r.currentSupplier(), QStringLiteral("Альфа"));
    EXPECT_DOUBLE_EQ(r.currentPrice(), 5);
    EXPECT_DOUBLE_EQ(r.currentCost(), 50);
    EXPECT_DOUBLE_EQ(r.currentDeficit(), 0);
    ASSERT_EQ(r.offers().size(), 3u);
    EXPECT_EQ(r.offers()[2].supplier, QStringLiteral("Гамма"));
    EXPECT_EQ(r.preselected(), 1);
    SupplierReplacement::Figures f = r.figures(1);
    EXPECT_DOUBLE_EQ(f.price, 6);
    EXPECT_DOUBLE_EQ(f.cost, 48);
    EXPECT_DOUBLE_EQ(f.deficit, 2);
    EXPECT_EQ(f.percent, QStringLiteral("20.00%"));
    EXPECT_EQ(f.deviation, QStringLiteral("-2.00"));
    f = r.figures(2);
    EXPECT_EQ(f.percent, QStringLiteral("50.00%"));
    EXPECT_EQ(f.deviation, QStringLiteral("+100.00"));
    EXPECT_DOUBLE_EQ(f.deficit, -10);
    EXPECT_TRUE(SupplierReplacement(m_model, 1, 104).offers().empty());
    const SupplierReplacement::Figures zero = SupplierReplacement(m_model, 1, 106).figures(1);
    EXPECT_EQ(zero.percent, QString()) << "no percentage over a zero price";
    EXPECT_EQ(zero.deviation, QStringLiteral("+2.00"));

    m_book.undoStack().setEnabled(true);
    EXPECT_EQ(r.apply(1, true), 2);
    const Sheet& sv = sheet(1);
    EXPECT_EQ(sv.text(102, 8), QStringLiteral("Бета"));
    EXPECT_DOUBLE_EQ(sv.number(102, 5), 8) << "the offered volume";
    EXPECT_DOUBLE_EQ(sv.number(102, 7), 48);
    EXPECT_EQ(sv.text(103, 8), QStringLiteral("Бета"));
    EXPECT_DOUBLE_EQ(sv.number(103, 6), 3) << "that row's own offer";
    EXPECT_DOUBLE_EQ(sv.number(103, 7), 12);
    EXPECT_EQ(sv.text(104, 8), QStringLiteral("Альфа"));
    EXPECT_EQ(sv.text(105, 8), QStringLiteral("Бета"));
    EXPECT_DOUBLE_EQ(sv.number(105, 6), 1);
    EXPECT_EQ(sv.text(106, 8), QStringLiteral("Альфа"));
    ASSERT_EQ(m_book.undoStack().count(), 1);
    EXPECT_EQ(m_book.undoStack().undoText(), QStringLiteral("Замена поставщика"));
    ASSERT_TRUE(m_book.undoStack().undo());
    EXPECT_EQ(sv.text(102, 8), QStringLiteral("Альфа"));
    EXPECT_EQ(sv.text(103, 8), QStringLiteral("Альфа"));
    EXPECT_DOUBLE_EQ(sv.number(102, 7), 50);
}
