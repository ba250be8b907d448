#include "PageLayout.h"
#include "SheetLayout.h"

#include "model/Sheet.h"
#include "model/Workbook.h"

#include <gtest/gtest.h>

namespace {

// Rows and columns a page can hold, counted from the layout's own units: a row of
// `rowTwips` and columns of `width`, on A4 portrait with the given margins.
int fits(double roomInches, int lineSize) {
    return int(roomInches * PageLayout::kGridDpi) / lineSize;
}

} // namespace

// A sheet taller and wider than a page: header rows 1-2 and the side column A repeat on
// every page they do not start; the rows and columns of each page follow from the units.
TEST(PageLayoutTitles, TitleRowsAndColumnsRepeatAndTakeTheirRoom) {
    Workbook wb;
    Sheet& s = wb.sheet(1);
    for (int r = 1; r <= 300; ++r)
        wb.setNumber(r, 1, r);
    for (int c = 1; c <= 40; ++c)
        wb.setNumber(1, c, c);
    for (int c = 1; c <= 40; ++c)
        s.setColWidth(c, 10 * 256);
    s.setRowHeight(1, 600); // a tall header row
    const int row = SheetLayout::rowPixels(s.rowHeight(5), 100);
    const int head = SheetLayout::rowPixels(600, 100) + row;
    const int col = SheetLayout::colPixels(10 * 256, 100);
    PrintSettings ps = s.printSettings();
    ps.titleRow1 = 1;
    ps.titleRow2 = 2;
    ps.titleCol1 = ps.titleCol2 = 1;
    s.setPrintSettings(ps);

    const PageLayout layout(s);
    const double roomH = 11.69 - ps.topMargin - ps.bottomMargin;
    const double roomW = 8.27 - ps.leftMargin - ps.rightMargin;
    const int firstRows = (int(roomH * PageLayout::kGridDpi) - head) / row + 2;
    const int laterRows = (int(roomH * PageLayout::kGridDpi) - head) / row;
    const int firstCols = fits(roomW, col);
    const int laterCols = (int(roomW * PageLayout::kGridDpi) - col) / col;

    const QList<int> rowStarts = layout.rowStarts();
    ASSERT_GE(rowStarts.size(), 2);
    EXPECT_EQ(rowStarts[0], firstRows + 1);
    EXPECT_EQ(rowStarts[1], rowStarts[0] + laterRows);
    const QList<int> colStarts = layout.colStarts();
    ASSERT_GE(colStarts.size(), 2);
    EXPECT_EQ(colStarts[0], firstCols + 1);
    EXPECT_EQ(colStarts[1], colStarts[0] + laterCols);
    EXPECT_EQ(layout.pageCount(), (rowStarts.size() + 1) * (colStarts.size() + 1));

    // Down first: the first page has no titles, the second repeats the header rows, the
    // first page of the second column strip repeats the side column.
    const auto& pages = layout.pages();
    EXPECT_FALSE(pages[0].titleRows.isValid());
    EXPECT_FALSE(pages[0].titleCols.isValid());
    EXPECT_EQ(pages[1].cells.row1, rowStarts[0]);
    EXPECT_EQ(pages[1].titleRows.row1, 1);
    EXPECT_EQ(pages[1].titleRows.row2, 2);
    const auto& across = pages[rowStarts.size() + 1];
    EXPECT_EQ(across.cells.col1, colStarts[0]);
    EXPECT_EQ(across.titleCols.col1, 1);
    EXPECT_FALSE(across.titleRows.isValid());
    EXPECT_EQ(pages.last().cells.row2, 300);
    EXPECT_EQ(pages.last().cells.col2, 40);
}

TEST(PageLayoutTitles, ManualBreaksStillStartPagesAndLandscapeTurnsThePaper) {
    Workbook wb;
    Sheet& s = wb.sheet(1);
    for (int r = 1; r <= 60; ++r)
        wb.setNumber(r, 1, r);
    s.setRowBreak(20, true);
    PrintSettings ps = s.printSettings();
    ps.titleRow1 = ps.titleRow2 = 1;
    s.setPrintSettings(ps);
    const PageLayout portrait(s);
    ASSERT_EQ(portrait.rowStarts(), QList<int>{20});
    EXPECT_TRUE(portrait.pages()[1].titleRows.isValid());

    s.clearPageBreaks();
    for (int r = 61; r <= 200; ++r)
        wb.setNumber(r, 1, r);
    const int tall = PageLayout(s).rowStarts().value(0);
    ps.landscape = true;
    s.setPrintSettings(ps);
    const PageLayout landscape(s);
    EXPECT_LT(landscape.rowStarts().value(0), tall);
    EXPECT_DOUBLE_EQ(landscape.paperInches().width(), 11.69);
}
