#include "BookViewTestUtil.h"

#include "FindReplaceDialog.h"

#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

TEST(TBookEditing, TypingAndEnterCommitsAndMovesDown) {
    BookFixture f;
    QStringList edited;
    int modified = 0;
    QObject::connect(&f.book, &TBook::OnEndEdit,
                     [&](const QString& text, bool*) { edited << text; });
    QObject::connect(&f.book, &TBook::OnModified, [&] { ++modified; });
    f.book.setActiveCell(2, 2);
    f.type(QStringLiteral("42.5"));
    ASSERT_TRUE(f.book.isEditing());
    f.key(Qt::Key_Return);
    EXPECT_FALSE(f.book.isEditing());
    EXPECT_EQ(f.book.workbook().number(2, 2), 42.5);
    EXPECT_EQ(f.book.workbook().type(2, 2), 1);
    EXPECT_EQ(edited, QStringList{QStringLiteral("42.5")});
    EXPECT_EQ(modified, 1);
    EXPECT_EQ(f.book.activeRow(), 3);
    EXPECT_EQ(f.book.activeCol(), 2);

    // Tab commits and moves right; an arrow commits when the edit was started by typing.
    f.type(QStringLiteral("7"));
    f.key(Qt::Key_Tab);
    EXPECT_EQ(f.book.workbook().number(3, 2), 7);
    EXPECT_EQ(f.book.activeCol(), 3);
    f.type(QStringLiteral("8"));
    f.key(Qt::Key_Up);
    EXPECT_EQ(f.book.workbook().number(3, 3), 8);
    EXPECT_EQ(f.book.activeRow(), 2);
}

TEST(TBookEditing, EscapeAndOnEndEditCancelKeepOldContent) {
    BookFixture f;
    f.book.workbook().setEntry(1, 1, QStringLiteral("old"));
    f.book.workbook().setModified(false);
    f.book.setActiveCell(1, 1);
    f.type(QStringLiteral("new"));
    f.key(Qt::Key_Escape);
    EXPECT_FALSE(f.book.isEditing());
    EXPECT_EQ(f.book.workbook().text(1, 1), QStringLiteral("old"));

    bool refuse = true;
    QObject::connect(&f.book, &TBook::OnEndEdit, [&](const QString& text, bool* cancel) {
        EXPECT_EQ(text, QStringLiteral("bad"));
        *cancel = refuse;
    });
    f.type(QStringLiteral("bad"));
    f.key(Qt::Key_Return);
    EXPECT_FALSE(f.book.isEditing()); // the editor closes
    EXPECT_EQ(f.book.activeRow(), 1);
    EXPECT_EQ(f.book.workbook().text(1, 1), QStringLiteral("old"));
    EXPECT_FALSE(f.book.workbook().isModified());
}

TEST(TBookEditing, F2EditsTheExistingEntryAndArrowsStayInTheText) {
    BookFixture f;
    f.book.workbook().setFormula(2, 1, QStringLiteral("=1+2"));
    f.book.setActiveCell(2, 1);
    f.key(Qt::Key_F2);
    ASSERT_TRUE(f.book.isEditing());
    EXPECT_EQ(f.book.editor()->text(), QStringLiteral("=1+2"));
    f.key(Qt::Key_Left); // moves in the text, the edit goes on
    EXPECT_TRUE(f.book.isEditing());
    f.type(QStringLiteral("1"));
    f.key(Qt::Key_Return);
    EXPECT_EQ(f.book.workbook().formula(2, 1), QStringLiteral("=1+12"));
    EXPECT_EQ(f.book.workbook().number(2, 1), 13);
}

TEST(TBookEditing, ValidationRefusalReportsTheRuleMessage) {
    BookFixture f;
    Workbook& wb = f.book.workbook();
    QString error;
    ASSERT_TRUE(wb.setValidation(1, CellRange(1, 1, 5, 1), QStringLiteral("A1>0"),
                                 QStringLiteral("Значение должно быть больше нуля"), &error))
        << error.toStdString();
    wb.setNumber(3, 1, 5);
    f.book.setActiveCell(3, 1);

    // Left to itself, the control shows the message and keeps the editor open.
    f.type(QStringLiteral("-4"));
    f.key(Qt::Key_Return);
    EXPECT_TRUE(f.book.isEditing());
    EXPECT_EQ(f.prompter.lastText(), QStringLiteral("Значение должно быть больше нуля"));
    EXPECT_EQ(wb.number(3, 1), 5);
    f.key(Qt::Key_Escape);

    // The program shows its own message and refuses the entry.
    QString reported;
    QObject::connect(&f.book, &TBook::OnValidationFailed,
                     [&](const QString& message, bool* show, int* action) {
                         reported = message;
                         *show = false;
                         *action = TBook::ValidationRefuse;
                     });
    f.prompter.clear();
    f.type(QStringLiteral("-4"));
    f.key(Qt::Key_Return);
    EXPECT_FALSE(f.book.isEditing());
    EXPECT_EQ(reported, QStringLiteral("Значение должно быть больше нуля"));
    EXPECT_TRUE(f.prompter.shown().isEmpty());
    EXPECT_EQ(wb.number(3, 1), 5);
    EXPECT_EQ(f.book.activeRow(), 3);

    // A valid entry passes.
    f.type(QStringLiteral("9"));
    f.key(Qt::Key_Return);
    EXPECT_EQ(wb.number(3, 1), 9);
}

TEST(TBookEditing, AFormulaNamingAMissingSheetStaysOpenForCorrection) {
    BookFixture f;
    Workbook& wb = f.book.workbook();
    wb.insertSheet(2, QStringLiteral("Итоги"));
    wb.setNumber(2, 1, 1, 3);
    wb.setNumber(1, 4, 2, 5);
    int endEdits = 0;
    QObject::connect(&f.book, &TBook::OnEndEdit, [&](const QString&, bool*) { ++endEdits; });
    f.book.setActiveCell(4, 2);
    f.type(QStringLiteral("="));
    f.book.editor()->setText(QStringLiteral("=Итог!A1*2"));
    f.key(Qt::Key_Return);
    ASSERT_TRUE(f.book.isEditing());
    EXPECT_EQ(f.book.editor()->text(), QStringLiteral("=Итог!A1*2"));
    EXPECT_EQ(f.prompter.lastText(),
              QStringLiteral("В формуле указан несуществующий лист \"Итог\""));
    EXPECT_EQ(endEdits, 0);
    EXPECT_EQ(wb.number(4, 2), 5);
    EXPECT_EQ(f.book.activeRow(), 4);

    f.book.editor()->setText(QStringLiteral("=Итоги!A1*2"));
    f.key(Qt::Key_Return);
    EXPECT_FALSE(f.book.isEditing());
    EXPECT_EQ(wb.number(4, 2), 6);
    EXPECT_EQ(endEdits, 1);
}

TEST(TBookEditing, ProtectionRefusesLockedCellsOnly) {
    BookFixture f;
    Workbook& wb = f.book.workbook();
    wb.setEntry(1, 1, QStringLiteral("fixed"));
    wb.setFormat(1, CellRange::cell(2, 1), [](CellFormat& c) { c.locked = false; });
    f.book.setEnableProtection(true);
    f.book.setActiveCell(1, 1);
    f.type(QStringLiteral("x"));
    EXPECT_FALSE(f.book.isEditing());
    EXPECT_EQ(f.prompter.lastText(), QStringLiteral("Ячейка защищена от изменений"));
    f.key(Qt::Key_Delete);
    EXPECT_EQ(wb.text(1, 1), QStringLiteral("fixed"));

    f.book.setActiveCell(2, 1);
    f.type(QStringLiteral("5"));
    f.key(Qt::Key_Return);
    EXPECT_EQ(wb.number(2, 1), 5);
    f.book.setEnableProtection(false);
    f.book.setActiveCell(1, 1);
    f.key(Qt::Key_Delete);
    EXPECT_EQ(wb.type(1, 1), 0);
}

TEST(TBookEditing, EntryReachesEverySheetOfTheEditGroup) {
    BookFixture f;
    f.book.setNumSheets(3);
    f.book.workbook().setInEditGroup(3, true);
    f.book.setActiveCell(4, 2);
    f.type(QStringLiteral("11"));
    f.key(Qt::Key_Return);
    EXPECT_EQ(f.book.workbook().sheet(1).number(4, 2), 11);
    EXPECT_EQ(f.book.workbook().sheet(2).type(4, 2), 0);
    EXPECT_EQ(f.book.workbook().sheet(3).number(4, 2), 11);
}

TEST(TBookEditing, DoubleClickEditsAndFindReplaceWorkOnTheSheet) {
    BookFixture f;
    Workbook& wb = f.book.workbook();
    wb.setEntry(4, 3, QStringLiteral("Итого"));
    QTest::mouseDClick(f.book.viewport(), Qt::LeftButton, {}, f.cellCenter(4, 3));
    ASSERT_TRUE(f.book.isEditing());
    EXPECT_EQ(f.book.editor()->text(), QStringLiteral("Итого"));
    f.key(Qt::Key_Escape);

    f.book.setActiveCell(1, 1);
    EXPECT_TRUE(f.book.findNext(QStringLiteral("итог")));
    EXPECT_EQ(f.book.selectionText(), QStringLiteral("C4"));
    EXPECT_FALSE(f.book.findNext(QStringLiteral("итог"), true));

    FindReplaceDialog dialog(&f.book, true);
    dialog.findLine()->setText(QStringLiteral("Итого"));
    dialog.replaceLine()->setText(QStringLiteral("Всего"));
    dialog.replaceAll();
    EXPECT_EQ(wb.text(4, 3), QStringLiteral("Всего"));
}

// A window keeps the workbook as a member and the control as a child widget, so the
// workbook dies first. The control must not touch it afterwards (the sanitizer build
// reports the use after free).
TEST(TBookLifetime, TheControlOutlivesTheWorkbookItShows) {
    struct Window : QWidget {
        Workbook book{3};
        TBook* view = new TBook(this);
        Window() { view->setWorkbook(&book); }
    };
    auto window = std::make_unique<Window>();
    window->book.setEntry(1, 1, QStringLiteral("5"));
    window->show();
    QApplication::processEvents();
    window.reset();

    // Alive beyond its workbook, with an entry being typed: it falls back to a workbook
    // of its own and takes entries there.
    BookFixture f;
    auto book = std::make_unique<Workbook>(3);
    f.book.setWorkbook(book.get());
    f.book.setActiveCell(4, 2);
    f.type(QStringLiteral("12"));
    ASSERT_TRUE(f.book.isEditing());
    book.reset();
    EXPECT_FALSE(f.book.isEditing());
    QApplication::processEvents();
    EXPECT_EQ(f.book.numSheets(), 1);
    f.book.setActiveCell(2, 2);
    f.type(QStringLiteral("7"));
    f.key(Qt::Key_Return);
    EXPECT_EQ(f.book.workbook().number(2, 2), 7);
}
