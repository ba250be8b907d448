#include "BookViewTestUtil.h"
#include "CellPainter.h"

#include <QApplication>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

TEST(TBookNavigation, ArrowsSkipHiddenRowsAndColumns) {
    BookFixture f;
    Sheet& s = f.book.workbook().activeSheet();
    s.setRowHidden(3, true);
    s.setRowHidden(4, true);
    s.setColHidden(2, true);
    f.book.setActiveCell(2, 1);
    f.key(Qt::Key_Down);
    EXPECT_EQ(f.book.activeRow(), 5);
    f.key(Qt::Key_Up);
    EXPECT_EQ(f.book.activeRow(), 2);
    f.key(Qt::Key_Right);
    EXPECT_EQ(f.book.activeCol(), 3);
    f.key(Qt::Key_Left);
    EXPECT_EQ(f.book.activeCol(), 1);
    f.key(Qt::Key_Left); // the sheet's edge stops the cursor
    EXPECT_EQ(f.book.activeCol(), 1);
}

TEST(TBookNavigation, ShiftArrowsCtrlHomeEndAndPages) {
    BookFixture f;
    f.book.workbook().setNumber(40, 6, 1);
    f.book.setActiveCell(2, 2);
    f.key(Qt::Key_Right, Qt::ShiftModifier);
    f.key(Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(f.book.selectionText(), QStringLiteral("B2:C3"));
    EXPECT_EQ(f.book.activeRow(), 2);
    f.key(Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(f.book.activeRow(), 40);
    EXPECT_EQ(f.book.activeCol(), 6);
    EXPECT_GT(f.book.topRow(), 1); // scrolled to show the cell
    f.key(Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(f.book.selectionText(), QStringLiteral("A1"));
    EXPECT_EQ(f.book.topRow(), 1);
    f.key(Qt::Key_PageDown);
    const int page = f.book.activeRow() - 1;
    EXPECT_GT(page, 5);
    EXPECT_EQ(f.book.topRow(), 1 + page);
}

TEST(TBookNavigation, SelectionEventsFollowDoSelChange) {
    BookFixture f;
    int events = 0;
    QObject::connect(&f.book, &TBook::OnSelChange, [&] { ++events; });
    f.book.setDoSelChange(false);
    f.book.setActiveCell(5, 5);
    f.book.setSelection(2, 2, 4, 4);
    f.key(Qt::Key_Down);
    EXPECT_EQ(events, 0);
    f.book.setDoSelChange(true);
    f.key(Qt::Key_Down);
    f.click(2, 3);
    EXPECT_EQ(events, 2);
    EXPECT_EQ(f.book.selectionText(), QStringLiteral("C2"));
}

TEST(TBookNavigation, FrozenRowsAndColumnsStayWhileScrolling) {
    BookFixture f;
    f.book.setFixedRows(2);
    f.book.setFixedCols(1);
    const QRect before = f.book.cellRect(1, 1);
    f.book.verticalScrollBar()->setValue(60);
    f.book.horizontalScrollBar()->setValue(10);
    EXPECT_EQ(f.book.topRow(), 60);
    EXPECT_EQ(f.book.leftCol(), 10);
    EXPECT_EQ(f.book.cellRect(1, 1), before);
    EXPECT_EQ(f.book.cellRect(2, 1).top(), before.bottom() + 1);
    EXPECT_EQ(f.book.cellRect(60, 10).top(), f.book.cellRect(2, 1).bottom() + 1);
    EXPECT_EQ(f.book.cellRect(60, 10).left(), before.right() + 1);
    EXPECT_EQ(f.book.layout().rowAt(f.book.cellRect(60, 1).center().y()), 60);
    // A click on the frozen row reaches row 1, not a scrolled one.
    f.click(1, 10);
    EXPECT_EQ(f.book.activeRow(), 1);
    EXPECT_EQ(f.book.activeCol(), 10);
    // The scroll position is remembered with the sheet, without marking it modified.
    f.book.workbook().setModified(false);
    f.book.setNumSheets(2);
    f.book.setSheet(2);
    f.book.setSheet(1);
    EXPECT_EQ(f.book.topRow(), 60);
}

TEST(TBookNavigation, HeadingClickSelectsWholeLinesAndBorderDragResizes) {
    BookFixture f;
    const SheetLayout& l = f.book.layout();
    QTest::mouseClick(f.book.viewport(), Qt::LeftButton, {},
                      QPoint(f.book.cellRect(1, 3).center().x(), l.origin().y() / 2));
    EXPECT_EQ(f.book.selection(), CellRange(1, 3, kMaxRows, 3));
    QTest::mouseClick(f.book.viewport(), Qt::LeftButton, {},
                      QPoint(l.origin().x() / 2, f.book.cellRect(4, 1).center().y()));
    EXPECT_EQ(f.book.selection(), CellRange(4, 1, 4, kMaxCols));

    int modified = 0;
    QObject::connect(&f.book, &TBook::OnModified, [&] { ++modified; });
    const int oldWidth = f.book.workbook().activeSheet().colWidth(2);
    const QRect b = f.book.cellRect(1, 2);
    const QPoint grip(b.right() + 1, l.origin().y() / 2);
    QTest::mousePress(f.book.viewport(), Qt::LeftButton, {}, grip);
    QMouseEvent move(QEvent::MouseMove, QPointF(grip + QPoint(35, 0)),
                     QPointF(f.book.viewport()->mapToGlobal(grip + QPoint(35, 0))), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(f.book.viewport(), &move);
    QTest::mouseRelease(f.book.viewport(), Qt::LeftButton, {}, grip + QPoint(35, 0));
    EXPECT_GT(f.book.workbook().activeSheet().colWidth(2), oldWidth + 4 * 256);
    EXPECT_NEAR(f.book.cellRect(1, 2).width(), b.width() + 35, 1);
    EXPECT_EQ(modified, 1);
}

TEST(TBookNavigation, CtrlArrowsJumpToTheEdgesOfData) {
    BookFixture f;
    Workbook& wb = f.book.workbook();
    for (int r = 3; r <= 6; ++r)
        wb.setNumber(r, 2, r);
    wb.setNumber(10, 2, 1);
    f.book.setActiveCell(1, 2);
    f.key(Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(f.book.activeRow(), 3); // next filled cell
    f.key(Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(f.book.activeRow(), 6); // end of the run
    f.key(Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(f.book.activeRow(), 10);
    f.key(Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(f.book.activeRow(), kMaxRows); // nothing further: the sheet's edge
    f.key(Qt::Key_Up, Qt::ControlModifier);
    EXPECT_EQ(f.book.activeRow(), 10);
    f.key(Qt::Key_Up, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(f.book.selectionText(), QStringLiteral("B6:B10"));
}

TEST(TBookNavigation, DoubleClickOnAColumnBorderFitsTheWidestText) {
    BookFixture f;
    Workbook& wb = f.book.workbook();
    wb.setEntry(3, 2, QStringLiteral("Очень длинный текст в колонке B"));
    wb.setEntry(4, 2, QStringLiteral("коротко"));
    const QRect b = f.book.cellRect(1, 2);
    QTest::mouseDClick(f.book.viewport(), Qt::LeftButton, {},
                       QPoint(b.right() + 1, f.book.layout().origin().y() / 2));
    const int fitted = f.book.cellRect(3, 2).width();
    const CellPainter cp(wb.activeSheet(), 100);
    const int needed = QFontMetrics(cp.font(0))
                           .horizontalAdvance(QStringLiteral("Очень длинный текст в колонке B"));
    EXPECT_GT(fitted, b.width());
    EXPECT_GE(fitted, needed);
    EXPECT_LT(fitted, needed * 2);

    // Ctrl+A takes the whole sheet; Backspace starts an empty edit.
    f.key(Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(f.book.selection(), CellRange(1, 1, kMaxRows, kMaxCols));
    f.book.setActiveCell(4, 2);
    f.key(Qt::Key_Backspace);
    ASSERT_TRUE(f.book.isEditing());
    f.key(Qt::Key_Return);
    EXPECT_EQ(wb.type(4, 2), 0);
}

TEST(TBookNavigation, OddSizesAndPositionsAreKeptInBounds) {
    BookFixture f;
    f.book.setMaxRow(50);
    f.book.setFixedRows(80); // more than the sheet has
    f.book.setTopRow(500);
    EXPECT_LE(f.book.topRow(), 50);
    f.book.setActiveCell(-3, 100000);
    EXPECT_EQ(f.book.activeRow(), 1);
    EXPECT_EQ(f.book.activeCol(), kMaxCols);
    f.book.setSelectionText(QStringLiteral("not a range"));
    EXPECT_EQ(f.book.selectionText(), cellName(1, kMaxCols));
    f.key(Qt::Key_End, Qt::ControlModifier);
    f.key(Qt::Key_PageDown);
    EXPECT_LE(f.book.activeRow(), 50);
    EXPECT_FALSE(f.render().isNull());
}
