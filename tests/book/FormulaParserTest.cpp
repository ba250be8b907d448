#include "formula/FormulaParser.h"
#include "formula/RefAdjuster.h"
#include "model/Workbook.h"

#include <gtest/gtest.h>

namespace {

QString roundTrip(Workbook& b, const QString& text, int row = 5, int col = 5) {
    QString error;
    auto code = FormulaParser(b, &b.sheet(1), row, col).compile(text, &error);
    if (!code)
        return "ERROR: " + error;
    return printFormula(*code, b, &b.sheet(1), row, col);
}

} // namespace

TEST(FormulaParserTest, PrintsWhatWasWritten) {
    Workbook b(2);
    b.renameSheet(2, "Data 2");
    const QStringList same = {
        "A1+$B$2*C$3-$D4",
        "SUM(A1:B10)/COUNT(A1:B10)",
        "-(A1+2)^2%",
        "\"say \"\"hi\"\"\"&A1",
        "IF(A1>=0,\"+\",\"-\")",
        "'Data 2'!A1+Лист1!B2",
        "SUM('Data 2'!$A$1:B3)",
        "#DIV/0!",
        "IF(A1,,1)",
        "ROUND(1.5E+20,2)",
        "TRUE<>FALSE",
        "UNKNOWNFN(A1,2)",
    };
    for (const QString& f : same)
        EXPECT_EQ(roundTrip(b, f), f) << f.toStdString();
    EXPECT_EQ(roundTrip(b, "sum( a1 ; b2 )"), "SUM(A1,B2)");
    EXPECT_EQ(roundTrip(b, "B5:A1"), "A1:B5");
    EXPECT_EQ(roundTrip(b, "'Нет такого'!A1"), "#REF!");
}

TEST(FormulaParserTest, SyntaxErrorsAreRefused) {
    Workbook b;
    for (const char* bad : {"", "1+", "(1", "1)", "SUM(1", "\"open", "A1:", "1 2", "#WHAT", "IF(1)",
                            "ROUND(1,2,3)", "'Лист1'", "@"})
        EXPECT_TRUE(roundTrip(b, bad).startsWith("ERROR")) << bad;
    // Deep nesting is refused instead of exhausting the stack.
    EXPECT_TRUE(roundTrip(b, QString(5000, '(') + "1" + QString(5000, ')')).startsWith("ERROR"));
    EXPECT_TRUE(roundTrip(b, QString(5000, '-') + "1").startsWith("ERROR"));
    EXPECT_TRUE(roundTrip(b, "1+" + QString(9000, '1')).startsWith("ERROR"));
}

TEST(FormulaParserTest, CodeIsRelativeToTheHost) {
    Workbook b;
    auto code = FormulaParser(b, &b.sheet(1), 10, 3).compile("C9+$C$1+C$2+$B10");
    ASSERT_TRUE(code);
    // The same code read from another host addresses the same relative cells.
    EXPECT_EQ(printFormula(*code, b, &b.sheet(1), 20, 5), "E19+$C$1+E$2+$B20");
    EXPECT_EQ(printFormula(*code, b, &b.sheet(1), 1, 3), "#REF!+$C$1+C$2+$B1");
}

TEST(RefAdjusterTest, ShiftsAreasByTheirPlaceAgainstTheChange) {
    Workbook b;
    const Sheet* s = &b.sheet(1);
    const ShiftTransform ins(s, true, 5, 3, 1, kMaxCols);
    CellRange a(2, 1, 4, 1);
    EXPECT_TRUE(ins.mapArea(s, a));
    EXPECT_EQ(a, CellRange(2, 1, 4, 1)); // above: unchanged
    a = CellRange(2, 1, 6, 1);
    EXPECT_TRUE(ins.mapArea(s, a));
    EXPECT_EQ(a, CellRange(2, 1, 9, 1)); // across: grows
    a = CellRange(5, 1, 6, 1);
    EXPECT_TRUE(ins.mapArea(s, a));
    EXPECT_EQ(a, CellRange(8, 1, 9, 1)); // below: moves

    const ShiftTransform del(s, true, 5, -3, 1, kMaxCols);
    a = CellRange(5, 1, 7, 2);
    EXPECT_FALSE(del.mapArea(s, a)); // wholly deleted
    a = CellRange(3, 1, 6, 1);
    EXPECT_TRUE(del.mapArea(s, a));
    EXPECT_EQ(a, CellRange(3, 1, 4, 1)); // loses its deleted tail
    a = CellRange(6, 1, 10, 1);
    EXPECT_TRUE(del.mapArea(s, a));
    EXPECT_EQ(a, CellRange(5, 1, 7, 1)); // loses its deleted head
    int r = 6, c = 1;
    EXPECT_FALSE(del.mapCell(s, r, c));
    r = 9;
    EXPECT_TRUE(del.mapCell(s, r, c));
    EXPECT_EQ(r, 6);

    // A band shift leaves areas reaching outside the band alone.
    const ShiftTransform band(s, true, 5, 2, 2, 3);
    a = CellRange(6, 1, 7, 3);
    EXPECT_TRUE(band.mapArea(s, a));
    EXPECT_EQ(a, CellRange(6, 1, 7, 3));
    r = 6;
    c = 1;
    EXPECT_TRUE(band.mapCell(s, r, c));
    EXPECT_EQ(r, 6);
    c = 2;
    EXPECT_TRUE(band.mapCell(s, r, c));
    EXPECT_EQ(r, 8);
    // Other sheets are not touched; pushing past the last row loses the cell.
    Workbook other;
    r = 6;
    EXPECT_TRUE(ins.mapCell(&other.sheet(1), r, c));
    EXPECT_EQ(r, 6);
    r = kMaxRows - 1;
    EXPECT_FALSE(ins.mapCell(s, r, c));
}

TEST(RefAdjusterTest, MoveFollowsTheMovedCellsAndLosesTheOverwritten) {
    Workbook b;
    const Sheet* s = &b.sheet(1);
    const MoveTransform move(s, CellRange(1, 1, 2, 2), 10, 0);
    int r = 2, c = 2;
    EXPECT_TRUE(move.mapCell(s, r, c));
    EXPECT_EQ(r, 12);
    r = 11;
    c = 1;
    EXPECT_FALSE(move.mapCell(s, r, c));
    r = 5;
    EXPECT_TRUE(move.mapCell(s, r, c));
    EXPECT_EQ(r, 5);
    CellRange a(1, 1, 2, 1);
    EXPECT_TRUE(move.mapArea(s, a));
    EXPECT_EQ(a, CellRange(11, 1, 12, 1));
}
