#include "formula/Recalculator.h"
#include "model/Workbook.h"

#include <gtest/gtest.h>

TEST(RecalcTest, AnEditRecomputesOnlyItsDependents) {
    Workbook b;
    b.beginUpdate();
    for (int r = 1; r <= 200; ++r) {
        b.setNumber(1, r, 1, r);
        b.setFormula(1, r, 2, QStringLiteral("=A%1*2").arg(r));
        b.setFormula(1, r, 3, QStringLiteral("=SUM(A%1:B%1)").arg(r));
    }
    b.setFormula(1, 1, 4, "=SUM(C1:C200)");
    b.endUpdate();
    EXPECT_EQ(b.number(1, 4), 3 * 200 * 201 / 2);
    const uint64_t before = b.recalculator().evaluationCount();
    b.setNumber(1, 50, 1, 1000);
    // B50, C50 and D1 — nothing else.
    EXPECT_EQ(b.recalculator().evaluationCount() - before, 3u);
    EXPECT_EQ(b.number(50, 3), 3000);
    EXPECT_EQ(b.number(1, 4), 3 * 200 * 201 / 2 + 3 * (1000 - 50));
}

TEST(RecalcTest, LongChainNeedsNoRecursion) {
    Workbook b;
    const int n = 200000;
    b.beginUpdate();
    b.setNumber(1, 1, 1, 1);
    for (int i = 2; i <= n; ++i) {
        // Rows wrap into further columns to stay inside the sheet.
        const int row = (i - 1) % 16000 + 1, col = (i - 1) / 16000 + 1;
        const int prow = (i - 2) % 16000 + 1, pcol = (i - 2) / 16000 + 1;
        b.setFormula(1, row, col, "=" + cellName(prow, pcol) + "+1");
    }
    b.endUpdate();
    const int lastRow = (n - 1) % 16000 + 1, lastCol = (n - 1) / 16000 + 1;
    EXPECT_EQ(b.number(lastRow, lastCol), n);
    b.setNumber(1, 1, 1, 10);
    EXPECT_EQ(b.number(lastRow, lastCol), n + 9);
    b.recalcAll();
    EXPECT_EQ(b.number(lastRow, lastCol), n + 9);
}

TEST(RecalcTest, CycleIsReportedAndBrokenByAnEdit) {
    Workbook b;
    b.setEntry(1, 1, "=B1+1");
    b.setEntry(1, 2, "=A1+1");
    EXPECT_EQ(b.circularCells().size(), 2);
    EXPECT_EQ(b.text(1, 1), "#VALUE!");
    b.setEntry(1, 2, "5");
    EXPECT_TRUE(b.circularCells().isEmpty());
    EXPECT_EQ(b.number(1, 1), 6);
}

TEST(RecalcTest, AutoRecalcOffWaitsAndStructureChangesRecompute) {
    Workbook b;
    b.setEntry(1, 1, "2");
    b.setEntry(1, 2, "=A1*A1");
    b.setAutoRecalc(false);
    b.setEntry(1, 1, "3");
    EXPECT_EQ(b.number(1, 2), 4);
    b.recalc();
    EXPECT_EQ(b.number(1, 2), 9);
    b.setAutoRecalc(true);
    b.insertRows(1, 1, 1);
    b.setEntry(2, 1, "4");
    EXPECT_EQ(b.number(2, 2), 16);
}

TEST(RecalcTest, RangeDependentsSeeNewCellsInsideTheRange) {
    Workbook b;
    b.setEntry(1, 1, "=SUM(B1:B1000)");
    b.setEntry(999, 2, "5");
    EXPECT_EQ(b.number(1, 1), 5);
    b.setEntry(500, 2, "=B999*2");
    EXPECT_EQ(b.number(1, 1), 15);
    b.clearCell(1, 999, 2);
    EXPECT_EQ(b.number(1, 1), 0);
}

TEST(RecalcTest, ResultTurningFromTextToNumberReadsAsAPlainNumber) {
    Workbook b;
    b.setEntry(1, 1, "abc");
    b.setEntry(1, 2, "=A1");
    EXPECT_EQ(b.value(1, 2), CellValue::fromText("abc"));
    b.setEntry(1, 1, "5");
    EXPECT_EQ(b.value(1, 2), CellValue::fromNumber(5));
    EXPECT_EQ(b.type(1, 2), -1);
    b.recalcAll();
    EXPECT_EQ(b.value(1, 2), CellValue::fromNumber(5));
}
