#include "DbTestHelpers.h"
#include "ExchangeView.h"
#include "FactFunds.h"
#include "FillController.h"
#include "InitialWorkbook.h"
#include "PeriodController.h"
#include "ScriptedPrompter.h"
#include "StoreController.h"
#include "TdmMSSQL.h"
#include "TestDatabases.h"
#include "model/Workbook.h"

#include <gtest/gtest.h>

using namespace TableLayout;

namespace {

void connect(TdmMSSQL& dm, const TestDatabases& dbs) {
    dm.SetConnectionParams(dm.dbMain, dbs.factPath(), TestDatabases::password(),
                           TestDatabases::user());
    dm.dbMain.open();
    dm.registerInstance();
}

} // namespace

// Two programs on one fact database: the other one adds long-term years while this one
// keeps the lists it read at its first fill.
TEST(StoragePeriodsChange, YearsAddedByAnotherProgramAreFilledAndStored) {
    TestDatabases dbs;
    ScriptedPrompter prompter;
    TdmMSSQL ours(prompter);
    TdmMSSQL theirs(prompter);
    connect(ours, dbs);
    connect(theirs, dbs);
    PrepareFunds(ours.dbMain);

    // Row 101 = indicator 7 over object 501; columns C, D, E = 2003, 2005, 2006.
    Workbook book;
    IdentModel model(book, prompter);
    InitialWorkbook::build(book);
    model.readGeometry();
    book.setNumber(2, 101, rowSlotColumn(Slot::IndicatorCode), 7);
    const int periodRow = model.colSlotRow(Slot::PeriodStart);
    book.setNumber(3, periodRow, 3, 2003);
    book.setNumber(3, periodRow, 4, 2005);
    book.setNumber(3, periodRow, 5, 2006);
    book.setNumber(1, int(TitleRow::Object), kTitleValueCol, 501);
    book.setNumber(1, int(TitleRow::Object), kTitleExtraCol, kObjectsDirectoryType);

    StoragePeriods lists;
    ExchangeView view;
    ExchangeContext ctx{model,
                        ours,
                        prompter,
                        view,
                        lists,
                        AggregationDirectoryCount(ours.dbMain),
                        QStringLiteral("SYSDBA")};
    ASSERT_TRUE(FillController(ctx).SBunloadClick()) << prompter.lastText().toStdString();
    ASSERT_EQ(lists.dolg.count(), 3);

    StoragePeriods theirLists;
    PeriodController periods(theirs, prompter, theirLists);
    auto addYear = [&](const QString& year) {
        const int node = periods.add(PeriodController::Fund::Dolg);
        ASSERT_GE(node, 0);
        periods.endEdit(PeriodController::Fund::Dolg, node, year);
        ASSERT_EQ(theirLists.dolg.years.last(), year.toInt()) << prompter.lastText().toStdString();
    };
    addYear(QStringLiteral("2005")); // column D4
    dbtest::exec(theirs.dbMain,
                 QStringLiteral("INSERT INTO FD_DOLGELM (KODFOLDER, KODPOK, KODPOK1, KODPOK2, D4) "
                                "VALUES (501, 7, 0, 0, '42')"));

    ASSERT_TRUE(FillController(ctx).SBunloadClick()) << prompter.lastText().toStdString();
    EXPECT_DOUBLE_EQ(book.sheet(1).number(101, 4), 42);
    EXPECT_TRUE(prompter.shown().isEmpty()) << prompter.lastText().toStdString();

    addYear(QStringLiteral("2006")); // column D5
    book.setNumber(1, 101, 5, 6);
    prompter.answer(Answer::No);
    ASSERT_TRUE(StoreController(ctx).SBloadClick()) << prompter.lastText().toStdString();
    EXPECT_EQ(dbtest::scalar(ours.dbMain, QStringLiteral("SELECT D5 FROM FD_DOLGELM WHERE "
                                                         "KODFOLDER = 501 AND KODPOK = 7"))
                  .toString(),
              QStringLiteral("6"));
}
