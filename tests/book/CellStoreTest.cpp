#include "model/CellStore.h"
#include "model/Formula.h"

#include <gtest/gtest.h>

namespace {

Cell numberCell(double x) {
    Cell c;
    c.kind = CellKind::Number;
    c.number = x;
    return c;
}

double at(const CellStore& s, int r, int c) {
    const Cell* cell = s.find(r, c);
    return cell && cell->kind == CellKind::Number ? cell->number : -1;
}

} // namespace

TEST(CellStoreTest, SparseRowsGrowOnlyWhereWritten) {
    CellStore s;
    s.put(16000, 200, numberCell(5));
    EXPECT_EQ(at(s, 16000, 200), 5);
    EXPECT_EQ(s.find(16000, 1), nullptr);
    EXPECT_EQ(s.find(1, 1), nullptr);
    EXPECT_EQ(s.cellCount(), 1u);
    s.put(16000, 3, numberCell(7));
    EXPECT_EQ(at(s, 16000, 3), 7);
    EXPECT_EQ(at(s, 16000, 200), 5);
    EXPECT_EQ(s.lastRow(), 16000);
    EXPECT_EQ(s.lastColInRow(16000), 200);
}

TEST(CellStoreTest, InsertAndRemoveRowsMoveCellsAndDropOverflow) {
    CellStore s;
    s.put(1, 1, numberCell(1));
    s.put(5, 1, numberCell(5));
    s.put(kMaxRows, 1, numberCell(99));
    s.insertRows(3, 2);
    EXPECT_EQ(at(s, 1, 1), 1);
    EXPECT_EQ(at(s, 7, 1), 5);
    EXPECT_EQ(s.find(kMaxRows, 1), nullptr); // pushed past the end
    s.removeRows(2, 5);
    EXPECT_EQ(at(s, 2, 1), 5);
}

TEST(CellStoreTest, ColumnShiftsWithinBandLeaveOtherRowsAlone) {
    CellStore s;
    for (int r = 1; r <= 3; ++r)
        for (int c = 1; c <= 4; ++c)
            s.put(r, c, numberCell(r * 10 + c));
    s.insertCols(2, 1, 2, 2); // only row 2 shifts right
    EXPECT_EQ(at(s, 2, 1), 21);
    EXPECT_EQ(s.find(2, 2)->kind, CellKind::Empty);
    EXPECT_EQ(at(s, 2, 5), 24);
    EXPECT_EQ(at(s, 1, 4), 14);
    s.removeCols(1, 2, 1, 3);
    EXPECT_EQ(at(s, 1, 1), 13);
    EXPECT_EQ(at(s, 2, 1), 22);
    EXPECT_EQ(at(s, 3, 2), 34);
}

TEST(CellStoreTest, RowBandShiftsMoveOnlyTheBand) {
    CellStore s;
    for (int r = 1; r <= 4; ++r)
        for (int c = 1; c <= 2; ++c)
            s.put(r, c, numberCell(r * 10 + c));
    s.insertRowsInBand(2, 1, 2, 2);
    EXPECT_EQ(at(s, 2, 1), 21);
    EXPECT_EQ(at(s, 3, 2), 22);
    EXPECT_EQ(at(s, 5, 2), 42);
    s.removeRowsInBand(1, 2, 2, 2);
    EXPECT_EQ(at(s, 1, 2), 22);
    EXPECT_EQ(at(s, 1, 1), 11);
}

TEST(CellStoreTest, TextAndFormulaContentIsOwnedAndCloned) {
    CellStore s;
    Cell t;
    t.kind = CellKind::Text;
    t.text = new QString("abc");
    s.put(1, 1, t);
    Cell copy = cloneCell(*s.find(1, 1));
    s.put(1, 1, numberCell(1)); // frees the original text
    ASSERT_EQ(copy.kind, CellKind::Text);
    EXPECT_EQ(*copy.text, "abc");
    releaseCellContent(copy);
    EXPECT_EQ(copy.kind, CellKind::Empty);
}
