#include "DbError.h"
#include "DbTestHelpers.h"
#include "DbTransaction.h"
#include "ExchangeView.h"
#include "FactFunds.h"
#include "InitialWorkbook.h"
#include "ScriptedPrompter.h"
#include "StoreController.h"
#include "TdmMSSQL.h"
#include "TestDatabases.h"
#include "format/BookLocale.h"
#include "model/Workbook.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace TableLayout;

namespace {

// One running program: its own data module on the fact database and its own table,
// whose cell C101 names indicator 7 of aggregation node 31 in 2003.
struct Program {
    explicit Program(const TestDatabases& dbs, const QString& user = TestDatabases::user())
        : dm(prompter) {
        dm.SetConnectionParams(dm.dbMain, dbs.factPath(), TestDatabases::password(), user);
        dm.dbMain.open();
        InitialWorkbook::build(book);
        model.readGeometry();
        book.setNumber(model.rowIdentSheet(), 101, rowSlotColumn(Slot::IndicatorCode), 7);
        book.setNumber(model.colIdentSheet(), model.colSlotRow(Slot::PeriodStart), 3, 2003);
        book.setNumber(1, int(TitleRow::Object), kTitleValueCol, 31);
        book.setNumber(1, int(TitleRow::Object), kTitleExtraCol, 1);
        LoadStoragePeriods(dm, lists);
    }
    bool store(double value) {
        book.setNumber(1, 101, 3, value);
        prompter.answer(Answer::No);
        ExchangeContext ctx{model, dm, prompter, view, lists, 2, QStringLiteral("TESTER")};
        return StoreController(ctx).SBloadClick();
    }

    ScriptedPrompter prompter;
    TdmMSSQL dm;
    Workbook book;
    IdentModel model{book, prompter};
    ExchangeView view;
    StoragePeriods lists;
};

} // namespace

// The aggregation tables have no unique index before the first aggregation directory
// is made through the program (here the KOD columns were added by hand): nothing but
// taking turns keeps two programs from each inserting the same new fund row.
TEST(ConcurrentStore, TwoProgramsStoringOneNewCellAtOnceLeaveOneFundRow) {
    BookLocale::setDecimalSeparator(QLatin1Char('.'));
    TestDatabases dbs;
    Program first(dbs), second(dbs);
    PrepareFunds(first.dm.dbMain);
    LoadStoragePeriods(first.dm, first.lists);
    LoadStoragePeriods(second.dm, second.lists);

    // The first program's store is still open when the second one starts its own.
    first.dm.dbMain.startTransaction();
    ASSERT_TRUE(first.store(1)) << first.prompter.lastText().toStdString();
    bool secondStored = false;
    std::thread other([&] { secondStored = second.store(2); });
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    first.dm.dbMain.commit();
    other.join();

    EXPECT_TRUE(secondStored) << second.prompter.lastText().toStdString();
    const QVariantList rows =
        dbtest::column(first.dm.dbMain,
                       QStringLiteral("SELECT D1 FROM FD_DOLGAGR WHERE KOD1 = 31 AND KODPOK = 7"));
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0].toString(), QStringLiteral("2"));
}

// Taking a turn changes NAST; a user who may store into the funds but not change NAST
// stores as before.
TEST(ConcurrentStore, AUserWhoMayNotChangeNastStillStores) {
    BookLocale::setDecimalSeparator(QLatin1Char('.'));
    TestDatabases dbs;
    {
        Program owner(dbs);
        PrepareFunds(owner.dm.dbMain);
        dbtest::exec(owner.dm.dbMain, QStringLiteral("GRANT SELECT ON NAST TO CLERK"));
        dbtest::exec(owner.dm.dbMain, QStringLiteral("GRANT ALL ON FD_DOLGAGR TO CLERK"));
    }
    Program clerk(dbs, QStringLiteral("CLERK"));
    EXPECT_THROW(dbtest::exec(clerk.dm.dbMain, QStringLiteral("UPDATE NAST SET NAMEELM = 'x'")),
                 DbError);
    ASSERT_TRUE(clerk.store(5)) << clerk.prompter.lastText().toStdString();
    EXPECT_EQ(
        dbtest::scalar(clerk.dm.dbMain,
                       QStringLiteral("SELECT D1 FROM FD_DOLGAGR WHERE KOD1 = 31 AND KODPOK = 7"))
            .toString(),
        QStringLiteral("5"));
}
