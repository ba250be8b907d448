#include "DemoTables.h"
#include "DbTestHelpers.h"
#include "ExchangeView.h"
#include "FillController.h"
#include "Recalculation.h"
#include "ScriptedPrompter.h"
#include "TableDocument.h"
#include "TableRef.h"
#include "TdmMSSQL.h"
#include "TestDatabases.h"
#include "model/Workbook.h"

#include <cmath>

#include <gtest/gtest.h>

// The demo collection's tables, filled from the demo funds as a first start does.
TEST(DemoTables, FillShowsTheDemoFunds) {
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
    EXPECT_EQ(DemoTables::write(dm), 0); // never over a workbook already there

    auto fillTable = [&](int kod, Workbook& book, bool recalc = false) {
        TableDocument doc(dm, book, prompter);
        doc.open(*TableRef::read(dm, kod));
        StoragePeriods lists;
        LoadStoragePeriods(dm, lists);
        ExchangeView view;
        ExchangeContext ctx{doc.model(),
                            dm,
                            prompter,
                            view,
                            lists,
                            AggregationDirectoryCount(dm.dbMain),
                            QStringLiteral("SYSDBA")};
        prompter.answer(Answer::Yes);
        EXPECT_TRUE(FillController(ctx).SBunloadClick()) << prompter.lastText().toStdString();
        if (recalc)
            Recalculation(doc.model(), prompter, false).AllPages();
    };

    Workbook territories;
    fillTable(1, territories);
    // Southern district (sheet 3), beds (row 101) in 2023 (D2, column D).
    const QString beds =
        dbtest::scalar(dm.dbMain, QStringLiteral("SELECT D2 FROM FD_DOLGAGR WHERE KOD1 = 3 AND "
                                                 "KOD2 = 0 AND KODPOK = 1 AND KODPOK1 = 0 AND "
                                                 "KODPOK2 = 0"))
            .toString();
    ASSERT_FALSE(beds.isEmpty());
    EXPECT_DOUBLE_EQ(territories.sheet(3).number(101, 4), beds.toDouble());
    // Discharges (row 104) in March 2025 (column H).
    const QString march =
        dbtest::scalar(dm.dbMain, QStringLiteral("SELECT D3 FROM FD_OPERAGR WHERE KOD1 = 3 AND "
                                                 "KOD2 = 0 AND KODPOK = 4 AND GOD = 2025 AND "
                                                 "KODPOK1 = 0 AND KODPOK2 = 0"))
            .toString();
    ASSERT_FALSE(march.isEmpty());
    EXPECT_DOUBLE_EQ(territories.sheet(3).number(104, 9), march.toDouble());

    Workbook objects;
    fillTable(4, objects);
    const QString visits =
        dbtest::scalar(dm.dbMain, QStringLiteral("SELECT D5 FROM FD_OPERELM WHERE KODFOLDER = 2 "
                                                 "AND KODPOK = 15 AND GOD = 2025"))
            .toString();
    ASSERT_FALSE(visits.isEmpty());
    // May 2025 is column 5 + 4 = I on the first institution's sheet.
    EXPECT_DOUBLE_EQ(objects.sheet(1).number(101, 9), visits.toDouble());

    // The region's row is the sum of its districts only after "Пересчет"; the shares are
    // computed from that total in the same run (totals come first in the table's order).
    Workbook totals;
    fillTable(6, totals);
    const Sheet& filled = totals.sheet(1);
    const double north2023 = filled.number(102, 4);
    ASSERT_GT(north2023, 0);
    EXPECT_EQ(filled.number(101, 4), 0); // no fund value names the sum of the districts
    prompter.clear();
    Workbook recalculated;
    fillTable(6, recalculated, true);
    EXPECT_TRUE(prompter.texts().size() <= 1) << prompter.texts().join('|').toStdString();
    const Sheet& s = recalculated.sheet(1);
    for (int col = 3; col <= 6; ++col) {
        const double sum = s.number(102, col) + s.number(103, col) + s.number(104, col);
        ASSERT_GT(sum, 0);
        EXPECT_DOUBLE_EQ(s.number(101, col), sum);
        EXPECT_EQ(s.type(105, col), 1); // a constant
        EXPECT_DOUBLE_EQ(s.number(105, col), std::round(s.number(102, col) / sum * 1000) / 10);
    }
}
