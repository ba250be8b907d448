#include "BookViewTestUtil.h"

#include "CellPainter.h"

#include <QFontMetrics>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

bool dark(QRgb c) {
    return qGray(c) < 100;
}

// Dark pixels per pixel row inside `rect`.
QList<int> darkRows(const QImage& img, const QRect& rect) {
    QList<int> out;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        int n = 0;
        for (int x = rect.left(); x <= rect.right(); ++x)
            n += dark(img.pixel(x, y)) ? 1 : 0;
        out.append(n);
    }
    return out;
}

} // namespace

TEST(TBookPainting, FillBorderTextAndGridShowWhereTheCellsAre) {
    BookFixture f;
    Workbook& wb = f.book.workbook();
    wb.setFormat(1, CellRange::cell(2, 2), [](CellFormat& c) {
        c.pattern = 1;
        c.patternFg = 0x3366CC;
    });
    wb.setFormat(1, CellRange::cell(4, 3), [](CellFormat& c) {
        c.bottom = {BorderStyle::Medium, 0xCC0000};
    });
    wb.setEntry(6, 1, QStringLiteral("WWWW"));
    f.book.setActiveCell(20, 8); // keep the cursor frame away
    const QImage img = f.render();

    const QRect filled = f.book.cellRect(2, 2);
    EXPECT_EQ(img.pixel(filled.center()) & 0xFFFFFF, 0x3366CCu);
    EXPECT_EQ(img.pixel(filled.topLeft() + QPoint(1, 1)) & 0xFFFFFF, 0x3366CCu);
    // The neighbour is not filled.
    EXPECT_EQ(img.pixel(f.book.cellRect(2, 3).center()) & 0xFFFFFF, 0xFFFFFFu);

    const QRect bordered = f.book.cellRect(4, 3);
    const QRgb border = img.pixel(bordered.center().x(), bordered.bottom());
    EXPECT_GT(qRed(border), 150);
    EXPECT_LT(qGreen(border), 80);
    // A cell without a border shows the light grid line there.
    const QRect plain = f.book.cellRect(4, 5);
    const QRgb grid = img.pixel(plain.center().x(), plain.bottom());
    EXPECT_GT(qGray(grid), 150);
    EXPECT_LT(qGray(grid), 250);

    int ink = 0;
    for (int v : darkRows(img, f.book.cellRect(6, 1)))
        ink += v;
    EXPECT_GT(ink, 10);
}

TEST(TBookPainting, RowHeadingTextReplacesTheNumber) {
    BookFixture f;
    Sheet& s = f.book.workbook().activeSheet();
    s.setRowHeading(3, QStringLiteral("---"));
    const QImage img = f.render();
    const int hw = f.book.rowHeadingWidth();
    auto headingRect = [&](int row) {
        const QRect r = f.book.cellRect(row, 1);
        return QRect(1, r.top() + 1, hw - 3, r.height() - 3);
    };
    // Dashes are ink on a thin band in the middle; a digit is ink over most of the height.
    const QList<int> dashes = darkRows(img, headingRect(3));
    const QList<int> digit = darkRows(img, headingRect(4));
    const int dashLines =
        int(std::count_if(dashes.begin(), dashes.end(), [](int n) { return n > 0; }));
    const int digitLines =
        int(std::count_if(digit.begin(), digit.end(), [](int n) { return n > 0; }));
    EXPECT_GE(dashLines, 1);
    EXPECT_LE(dashLines, 3);
    EXPECT_GE(digitLines, 6);
    int dashInk = 0;
    for (int v : dashes)
        dashInk = std::max(dashInk, v);
    EXPECT_GE(dashInk, 9); // three dashes side by side
}

TEST(TBookPainting, HiddenRowsZoomAndRepaintOff) {
    BookFixture f;
    Sheet& s = f.book.workbook().activeSheet();
    const int h = f.book.cellRect(2, 1).height();
    s.setRowHidden(2, true);
    EXPECT_EQ(f.book.cellRect(3, 1).top(), f.book.cellRect(1, 1).bottom() + 1);
    EXPECT_EQ(f.book.layout().rowAt(f.book.cellRect(1, 1).bottom() + 2), 3);
    f.book.setViewScale(200);
    EXPECT_NEAR(f.book.cellRect(3, 1).height(), 2 * h, 1);
    f.book.setViewScale(1000);
    EXPECT_EQ(f.book.viewScale(), 400);

    // With painting off, a change shows only once painting is on again.
    f.book.setViewScale(100);
    f.book.workbook().setFormat(1, CellRange::cell(4, 2), [](CellFormat& c) {
        c.pattern = 1;
        c.patternFg = 0x00AA00;
    });
    const QRect cell = f.book.cellRect(4, 2);
    f.book.setRepaint(false);
    f.book.workbook().setFormat(1, CellRange::cell(4, 2),
                                [](CellFormat& c) { c.patternFg = 0xAA0000; });
    f.book.setRepaint(true);
    EXPECT_EQ(f.render().pixel(cell.center()) & 0xFFFFFF, 0xAA0000u);
}

TEST(TBookPainting, MergedRangeIsOneCellWithoutInnerGridLines) {
    BookFixture f;
    Sheet& s = f.book.workbook().activeSheet();
    f.book.workbook().setEntry(2, 2, QStringLiteral("x"));
    s.addMergedRange(CellRange(2, 2, 3, 4));
    f.book.setActiveCell(10, 8);
    const QImage img = f.render();
    const QRect b2 = f.book.cellRect(2, 2);
    const QRect b5 = f.book.cellRect(5, 2);
    // The grid line right of B is gone inside the merged range, kept below it.
    EXPECT_EQ(img.pixel(b2.right(), b2.top() + 2) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_NE(img.pixel(b5.right(), b5.top() + 2) & 0xFFFFFF, 0xFFFFFFu);
    // So is the line between rows 2 and 3.
    EXPECT_EQ(img.pixel(b2.left() + 2, b2.bottom()) & 0xFFFFFF, 0xFFFFFFu);
    // A click anywhere in it selects the whole range with its top-left cell active.
    f.click(3, 3);
    EXPECT_EQ(f.book.selectionText(), QStringLiteral("B2:D3"));
    EXPECT_EQ(f.book.activeRow(), 2);
    EXPECT_EQ(f.book.activeCol(), 2);
}

TEST(TBookPainting, TextOfAColumnScrolledAwayStillRunsOverEmptyCells) {
    BookFixture f;
    Workbook& wb = f.book.workbook();
    wb.setEntry(2, 2, QStringLiteral("WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW"));
    wb.setEntry(3, 2, QStringLiteral("W"));
    f.book.setActiveCell(10, 8);
    f.book.setLeftCol(3);
    const QImage img = f.render();
    auto inkIn = [&](int row, int col) {
        int n = 0;
        for (const int v : darkRows(img, f.book.cellRect(row, col).adjusted(1, 1, -2, -2)))
            n += v;
        return n;
    };
    EXPECT_GT(inkIn(2, 3), 10); // the long text reaches C
    EXPECT_EQ(inkIn(3, 3), 0);  // the short one does not
}

TEST(TBookPainting, ANarrowGeneralNumberDropsDecimalsBeforeHashes) {
    Workbook wb;
    wb.setNumber(1, 1, 1, 1234.5678);
    wb.setNumber(1, 2, 1, 1234.6);
    wb.setNumberFormat(1, CellRange::cell(2, 1), QStringLiteral("0.0"));
    const Sheet& s = wb.sheet(1);
    const CellPainter cp(s, 100);
    const QFontMetrics fm(cp.font(s.formatIndex(1, 1)));
    // Room for "1234.6" but not for the whole number.
    const QRect rect(0, 0, fm.horizontalAdvance(QStringLiteral("1234.6")) + 6, fm.height() + 4);
    ASSERT_GT(fm.horizontalAdvance(QStringLiteral("1234.57")) + 4, rect.width());
    auto paint = [&](int row) {
        QImage img(rect.size(), QImage::Format_RGB32);
        img.fill(Qt::white);
        QPainter p(&img);
        cp.paintText(p, rect, rect, s.formatIndex(row, 1), s.formattedText(row, 1),
                     CellValue::Number);
        return img;
    };
    EXPECT_EQ(paint(1), paint(2));
}
