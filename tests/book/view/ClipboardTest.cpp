#include "BookClipboard.h"
#include "BookViewTestUtil.h"

#include <QApplication>
#include <QClipboard>

#include <gtest/gtest.h>

TEST(TBookClipboard, CopyPasteKeepsFormatsAndAdjustsFormulas) {
    BookFixture f;
    Workbook& wb = f.book.workbook();
    wb.setNumber(1, 1, 2);
    wb.setNumber(2, 1, 3);
    wb.setFormula(1, 2, QStringLiteral("=A1*10"));
    wb.setFormula(2, 2, QStringLiteral("=SUM(A$1:A2)"));
    wb.setNumberFormat(1, CellRange(1, 2, 2, 2), QStringLiteral("0.00"));
    f.book.setSelection(1, 1, 2, 2);
    f.key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("2\t20.00\r\n3\t5.00\r\n"));

    f.book.setActiveCell(5, 4);
    f.key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(wb.formula(5, 5), QStringLiteral("=D5*10"));
    EXPECT_EQ(wb.formula(6, 5), QStringLiteral("=SUM(D$1:D6)"));
    EXPECT_EQ(wb.number(5, 5), 20);
    EXPECT_EQ(wb.number(6, 5), 5);
    EXPECT_EQ(wb.activeSheet().format(5, 5).numberFormat, QStringLiteral("0.00"));
    EXPECT_EQ(f.book.selectionText(), QStringLiteral("D5:E6"));
    // The source is untouched.
    EXPECT_EQ(wb.formula(1, 2), QStringLiteral("=A1*10"));
}

TEST(TBookClipboard, CutMovesCellsAndReferencesFollow) {
    BookFixture f;
    Workbook& wb = f.book.workbook();
    wb.setNumber(1, 1, 4);
    wb.setFormula(1, 3, QStringLiteral("=A1+1"));
    f.book.setActiveCell(1, 1);
    f.book.editCut();
    f.book.setActiveCell(10, 1);
    f.book.editPaste();
    EXPECT_EQ(wb.type(1, 1), 0);
    EXPECT_EQ(wb.number(10, 1), 4);
    EXPECT_EQ(wb.formula(1, 3), QStringLiteral("=A10+1"));
    EXPECT_EQ(wb.number(1, 3), 5);
    // A cut pastes once.
    f.book.setActiveCell(20, 1);
    f.book.editPaste();
    EXPECT_EQ(wb.type(20, 1), 0);
}

TEST(TBookClipboard, TextFromOutsideIsPastedAsTypedEntries) {
    BookFixture f;
    Workbook& wb = f.book.workbook();
    QApplication::clipboard()->setText(QStringLiteral("1\tзаголовок\r\n2,5\t=A1\r\n"));
    f.book.setActiveCell(3, 2);
    f.book.editPaste();
    EXPECT_EQ(wb.number(3, 2), 1);
    EXPECT_EQ(wb.text(3, 3), QStringLiteral("заголовок"));
    EXPECT_EQ(wb.number(4, 2), 2.5);
    // Text from outside never turns into a formula.
    EXPECT_EQ(wb.type(4, 3), 2);
    EXPECT_EQ(f.book.selectionText(), QStringLiteral("B3:C4"));
}

TEST(TBookClipboard, PasteRefusedOnProtectedCells) {
    BookFixture f;
    Workbook& wb = f.book.workbook();
    wb.setNumber(1, 1, 1);
    f.book.setActiveCell(1, 1);
    f.book.editCopy();
    f.book.setEnableProtection(true);
    f.book.setActiveCell(3, 3);
    f.book.editPaste();
    EXPECT_EQ(wb.type(3, 3), 0);
    EXPECT_EQ(f.prompter.lastText(), QStringLiteral("Ячейка защищена от изменений"));
}
