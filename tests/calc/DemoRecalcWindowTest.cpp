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

// The demo table of totals and shares in the editor: filled from the demo funds, then
// recalculated, as a user shows it on the first start.
TEST(DemoRecalcWindow, AFillThenARecalculationTotalsTheDistrictsAndTheirShares) {
    TestDatabases dbs(true);
    ScriptedPrompter prompter;
    TdmMSSQL dm(prompter);
    dm.SetConnectionParams(dm.dbMain, dbs.factPath(), TestDatabases::password(),
                           TestDatabases::user());
    dm.SetConnectionParams(dm.dbTab, dbs.tabPath(), TestDatabases::password(),
                           TestDatabases::user());
    dm.dbMain.open();
    dm.dbTab.open();
    ASSERT_EQ(DemoTables::write(dm), 3);

    TfmKisTabl w(dm, prompter);
    w.openTable(TableRef::read(dm, 6).value_or(TableRef{}));
    const Sheet& s = w.Book->workbook().sheet(1);
    w.action(QStringLiteral("ThisPage"))->trigger();
    EXPECT_EQ(s.type(101, 3), 0); // nothing to total before the fill

    w.action(QStringLiteral("imLoadTabl"))->trigger();
    ASSERT_GT(s.number(102, 3), 0) << prompter.lastText().toStdString();
    const double before = s.number(101, 3);
    w.action(QStringLiteral("ThisPage"))->trigger();
    EXPECT_TRUE(prompter.texts().isEmpty()) << prompter.texts().join('|').toStdString();
    for (int col = 3; col <= 6; ++col) {
        const double sum = s.number(102, col) + s.number(103, col) + s.number(104, col);
        EXPECT_DOUBLE_EQ(s.number(101, col), sum) << col;
        for (int row = 105; row <= 107; ++row)
            EXPECT_DOUBLE_EQ(s.number(row, col),
                             std::round(s.number(row - 3, col) / sum * 1000) / 10)
                << row << ":" << col;
    }
    EXPECT_NE(s.number(101, 3), before);
    EXPECT_EQ(s.formattedText(105, 3).count(QLatin1Char(',')) +
                  s.formattedText(105, 3).count(QLatin1Char('.')),
              1); // a share shows one decimal
}
