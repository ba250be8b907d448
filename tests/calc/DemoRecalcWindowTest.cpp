#include "DemoTables.h"
#include "ScriptedPrompter.h"
#include "TBook.h"
#include "TableRef.h"
#include "TdmMSSQL.h"
#include "TestDatabases.h"
#include "TfmKisTabl.h"
#include "model/Workbook.h"

#include <QAction>

#include <gtest/gtest.h>

#include <cmath>

// The demo table of totals and shares in the editor, as a user sees it on the first
// start: with automatic recalculation on, a fill leaves the region total and the shares
// current; with it off, they wait for "Пересчет".
namespace {
void expectTotalsAndShares(const Sheet& s) {
    for (int col = 3; col <= 6; ++col) {
        const double sum = s.number(102, col) + s.number(103, col) + s.number(104, col);
        EXPECT_DOUBLE_EQ(s.number(101, col), sum) << col;
        for (int row = 105; row <= 107; ++row)
            EXPECT_DOUBLE_EQ(s.number(row, col),
                             std::round(s.number(row - 3, col) / sum * 1000) / 10)
                << row << ":" << col;
    }
}
} // namespace

TEST(DemoRecalcWindow, AFillTotalsTheDistrictsAndTheirSharesUnlessAutomaticRecalcIsOff) {
    TestDatabases dbs(true);
    ScriptedPrompter prompter;
    TdmMSSQL dm(prompter);
    dm.SetConnectionParams(dm.dbMain, dbs.factPath(), TestDatabases::password(),
                           TestDatabases::user());
    dm.SetConnectionParams(dm.dbTab, dbs.tabPath(), TestDatabases::password(),
                           TestDatabases::user());
    dm.dbMain.open();
    dm.dbTab.open();
    ASSERT_EQ(DemoTables::write(dm), 4);

    TfmKisTabl w(dm, prompter);
    w.openTable(TableRef::read(dm, 6).value_or(TableRef{}));
    const Sheet& s = w.Book->workbook().sheet(1);
    w.action(QStringLiteral("ThisPage"))->trigger();
    EXPECT_EQ(s.type(101, 3), 0); // nothing to total before the fill

    w.action(QStringLiteral("AutoCalc"))->trigger(); // off
    w.action(QStringLiteral("imLoadTabl"))->trigger();
    ASSERT_GT(s.number(102, 3), 0) << prompter.lastText().toStdString();
    EXPECT_EQ(s.number(101, 3), 0); // blank cells of the sheet read as 0 after a fill
    w.action(QStringLiteral("ThisPage"))->trigger();
    EXPECT_TRUE(prompter.texts().isEmpty()) << prompter.texts().join('|').toStdString();
    expectTotalsAndShares(s);
    EXPECT_EQ(s.formattedText(105, 3).count(QLatin1Char(',')) +
                  s.formattedText(105, 3).count(QLatin1Char('.')),
              1); // a share shows one decimal

    w.action(QStringLiteral("AutoCalc"))->trigger(); // on again
    Workbook& book = w.Book->workbook();
    book.setNumber(1, 101, 3, 0);
    book.setNumber(1, 105, 3, 0);
    w.action(QStringLiteral("imLoadTabl"))->trigger();
    EXPECT_TRUE(prompter.texts().isEmpty()) << prompter.texts().join('|').toStdString();
    expectTotalsAndShares(s);
}
