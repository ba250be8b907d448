#include "model/ChartData.h"
#include "model/Workbook.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::optional<double>> values(std::initializer_list<std::optional<double>> v) {
    return v;
}

} // namespace

TEST(ChartDataTest, SeriesTakeNumbersAndFormulasAndLeaveGapsForTextsAndBlanks) {
    Workbook b;
    // Names in the first row and column, found without being given.
    b.setEntry(1, 1, 2, "2023");
    b.setEntry(1, 1, 3, "2024");
    b.setEntry(1, 2, 1, "Север");
    b.setEntry(1, 3, 1, "Юг");
    b.setEntry(1, 4, 1, "Запад");
    b.setEntry(1, 2, 2, "10");
    b.setEntry(1, 2, 3, "=B2*2");
    b.setEntry(1, 3, 2, "нет данных");
    b.setEntry(1, 3, 3, "0");
    b.setEntry(1, 4, 2, "-5,5");
    ChartObject c;
    c.data = CellRange(1, 1, 4, 3);
    c = ChartData::resolveNames(b.sheet(1), c);
    EXPECT_EQ(c.data, CellRange(2, 2, 4, 3));
    EXPECT_EQ(c.rowNames, CellRange(2, 1, 4, 1));
    EXPECT_EQ(c.colNames, CellRange(1, 2, 1, 3));

    const ChartData d = ChartData::of(b.sheet(1), c);
    EXPECT_TRUE(d.seriesInColumns);
    EXPECT_EQ(d.categories, QStringList({"Север", "Юг", "Запад"}));
    ASSERT_EQ(d.series.size(), 2u);
    EXPECT_EQ(d.series[0].name, "2023");
    EXPECT_EQ(d.series[0].values, values({10.0, std::nullopt, -5.5}));
    EXPECT_EQ(d.series[1].values, values({20.0, 0.0, std::nullopt}));
    EXPECT_EQ(d.minValue(), -5.5);
    EXPECT_EQ(d.maxValue(), 20);

    // A single row: its columns are the categories, the row is the one series.
    ChartObject row;
    row.data = CellRange(2, 2, 2, 3);
    row.rowNames = CellRange(2, 1, 2, 1);
    row.colNames = CellRange(1, 2, 1, 3);
    const ChartData r = ChartData::of(b.sheet(1), row);
    EXPECT_FALSE(r.seriesInColumns);
    EXPECT_EQ(r.categories, QStringList({"2023", "2024"}));
    ASSERT_EQ(r.series.size(), 1u);
    EXPECT_EQ(r.series[0].name, "Север");
    EXPECT_EQ(r.series[0].values, values({10.0, 20.0}));

    // Numbers only: nothing is taken for names, and the names are made up.
    ChartObject bare;
    bare.data = CellRange(2, 2, 4, 3);
    EXPECT_EQ(ChartData::resolveNames(b.sheet(1), bare), bare);
    const ChartData n = ChartData::of(b.sheet(1), bare);
    EXPECT_EQ(n.categories, QStringList({"1", "2", "3"}));
    EXPECT_EQ(n.series[1].name, "Ряд 2");
}

TEST(ChartDataTest, ChartFollowsRowEditsAndIsUndoneAsOneStep) {
    Workbook b;
    b.undoStack().setEnabled(true);
    ChartObject c;
    c.frame = CellRange(10, 5, 20, 9);
    c.data = CellRange(3, 2, 6, 3);
    c.rowNames = CellRange(3, 1, 6, 1);
    const int id = b.sheet(1).addChart(c);
    ASSERT_TRUE(b.undoStack().canUndo());

    b.insertRows(1, 1, 2);
    const ChartObject* moved = b.sheet(1).chart(id);
    ASSERT_NE(moved, nullptr);
    EXPECT_EQ(moved->data, CellRange(5, 2, 8, 3));
    EXPECT_EQ(moved->rowNames, CellRange(5, 1, 8, 1));
    EXPECT_EQ(moved->frame, CellRange(12, 5, 22, 9));
    b.deleteRows(1, 6, 2);
    EXPECT_EQ(b.sheet(1).chart(id)->data, CellRange(5, 2, 6, 3));
    // Its data gone, the chart goes too; undo brings it back.
    b.deleteRows(1, 5, 2);
    EXPECT_TRUE(b.sheet(1).charts().empty());
    b.undoStack().undo();
    EXPECT_EQ(b.sheet(1).chart(id)->data, CellRange(5, 2, 6, 3));
    b.undoStack().undo();
    b.undoStack().undo();
    b.undoStack().undo();
    EXPECT_TRUE(b.sheet(1).charts().empty());
    b.undoStack().redo();
    EXPECT_EQ(b.sheet(1).chart(id)->frame, c.frame);
}
