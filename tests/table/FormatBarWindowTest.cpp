#include "TableWindowFixture.h"

#include "FontDialog.h"
#include "FontSizeBox.h"
#include "TableLayout.h"

#include <QAbstractButton>
#include <QApplication>
#include <QColorDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace TableLayout;

namespace {

// Acts on the modal window that the command about to run will show.
void onDialog(std::function<void(QWidget*)> act) {
    QTimer::singleShot(0, [act] {
        QWidget* d = QApplication::activeModalWidget();
        ASSERT_NE(d, nullptr);
        act(d);
    });
}

class FormatBarWindowTest : public TableWindowFixture {
protected:
    int body() { return lastHeader() + 1; }
    void select(int row, int col) { select(row, col, row, col); }
    void select(int r1, int c1, int r2, int c2) { w->Book->setSelection(r1, c1, r2, c2); }
    const CellFormat& format(int row, int col) { return sheet(1).format(row, col); }
    FontSizeBox* sizeBox() { return w->findChild<FontSizeBox*>("BoxSize"); }
    void typeIntoSizeBox(const QString& text, int key) {
        sizeBox()->setEditText(text);
        QTest::keyClick(sizeBox()->lineEdit(), Qt::Key(key));
    }
};

} // namespace

TEST_F(FormatBarWindowTest, AutofitFitsTheSelectedLinesToTheirContentAsOneStep) {
    open(1);
    const int r = body();
    book().setText(1, r, kFirstDataCol, QStringLiteral("короткий"));
    book().setText(1, r + 1, kFirstDataCol + 1,
                   QStringLiteral("заметно более длинный текст в этой колонке"));
    const int wrapCol = kFirstDataCol + 3;
    book().setText(1, r + 2, wrapCol, QStringLiteral("текст, который переносится по словам"));
    book().setFormat(1, CellRange::cell(r + 2, wrapCol), [](CellFormat& f) { f.wordWrap = true; });
    book().undoStack().clear();
    const int width = sheet(1).colWidth(kFirstDataCol + 2);
    const int height = sheet(1).rowHeight(r);

    select(r, kFirstDataCol, r + 2, kFirstDataCol + 2);
    trigger("McolWavto");
    const int shortCol = sheet(1).colWidth(kFirstDataCol);
    const int longCol = sheet(1).colWidth(kFirstDataCol + 1);
    EXPECT_GT(longCol, 2 * shortCol);
    EXPECT_EQ(sheet(1).colWidth(kFirstDataCol + 2), width); // nothing to fit: kept
    ASSERT_TRUE(book().undoStack().canUndo());
    EXPECT_EQ(book().undoStack().undoText(), QStringLiteral("Автоподбор ширины"));

    select(r, kFirstDataCol, r + 2, wrapCol);
    sheet(1).setRowHeight(r + 1, 1000);
    book().undoStack().clear();
    trigger("MrowHavto");
    EXPECT_GT(sheet(1).rowHeight(r + 2), sheet(1).rowHeight(r)); // wrapped over lines
    EXPECT_LT(sheet(1).rowHeight(r + 1), 1000);
    EXPECT_LE(std::abs(sheet(1).rowHeight(r) - height), height / 2);
    trigger("Mundo");
    EXPECT_EQ(sheet(1).rowHeight(r + 1), 1000);
    EXPECT_EQ(sheet(1).colWidth(kFirstDataCol + 1), longCol); // the earlier step stays
}

TEST_F(FormatBarWindowTest, FontDialogAppliesOnOkOnlyAndKeepsTheOneSizeRule) {
    open(1);
    const int r = body();
    select(r, kFirstDataCol, r, kFirstDataCol + 1);
    onDialog([](QWidget* d) {
        auto* f = qobject_cast<FontDialog*>(d);
        ASSERT_NE(f, nullptr);
        QFont font = f->currentFont();
        font.setPointSize(14);
        font.setBold(true);
        f->setCurrentFont(font);
        f->reject();
    });
    trigger("MFont");
    EXPECT_FALSE(format(r, kFirstDataCol).font.bold);
    EXPECT_FALSE(book().undoStack().canUndo());

    onDialog([](QWidget* d) {
        auto* f = qobject_cast<FontDialog*>(d);
        QFont font = f->currentFont();
        font.setPointSize(14);
        font.setItalic(true);
        f->setCurrentFont(font);
        f->accept();
    });
    trigger("MFont");
    for (int c : {kFirstDataCol, kFirstDataCol + 1}) {
        EXPECT_EQ(format(r, c).font.size, 14);
        EXPECT_TRUE(format(r, c).font.italic);
    }
    EXPECT_EQ(sizeBox()->currentText(), QStringLiteral("14"));

    onDialog([](QWidget* d) {
        auto* f = qobject_cast<FontDialog*>(d);
        QFont font = f->currentFont();
        font.setPointSize(6);
        f->setCurrentFont(font);
        f->accept();
    });
    trigger("MFont");
    EXPECT_EQ(m_prompter.lastText(), QStringLiteral("Размер шрифта - число от 8 до 40"));
    EXPECT_EQ(format(r, kFirstDataCol).font.size, 14);
    trigger("Mundo");
    EXPECT_FALSE(format(r, kFirstDataCol).font.italic);
}

TEST_F(FormatBarWindowTest, FontColourAndStrikeoutAreOneStepAndSurviveSaving) {
    open(1);
    const int r = body();
    book().setText(1, r, kFirstDataCol, QStringLiteral("зачеркнуто"));
    book().undoStack().clear();
    select(r, kFirstDataCol, r, kFirstDataCol + 1);
    // The user picks a colour through the colour button, ticks strikeout, then cancels.
    auto pickRedStruck = [](QWidget* d) {
        auto* f = qobject_cast<FontDialog*>(d);
        ASSERT_NE(f, nullptr);
        onDialog([](QWidget* c) {
            auto* colours = qobject_cast<QColorDialog*>(c);
            ASSERT_NE(colours, nullptr);
            colours->setCurrentColor(QColor(200, 0, 0));
            colours->accept();
        });
        f->findChild<QAbstractButton*>("FontColor")->click();
        f->findChild<QAbstractButton*>("FontStrikeout")->click();
    };
    onDialog([&](QWidget* d) {
        pickRedStruck(d);
        qobject_cast<QDialog*>(d)->reject();
    });
    trigger("MFont");
    EXPECT_EQ(format(r, kFirstDataCol), CellFormat());
    EXPECT_FALSE(book().undoStack().canUndo());

    onDialog([&](QWidget* d) {
        pickRedStruck(d);
        qobject_cast<QDialog*>(d)->accept();
    });
    trigger("MFont");
    for (int c : {kFirstDataCol, kFirstDataCol + 1}) {
        EXPECT_EQ(format(r, c).font.color, 0xC80000u);
        EXPECT_TRUE(format(r, c).font.strikeout);
    }
    // The dialog opens on what the cell has.
    onDialog([](QWidget* d) {
        auto* f = qobject_cast<FontDialog*>(d);
        EXPECT_EQ(f->color(), 0xC80000u);
        EXPECT_TRUE(f->currentFont().strikeOut());
        f->reject();
    });
    trigger("MFont");
    trigger("Mundo");
    EXPECT_FALSE(format(r, kFirstDataCol).font.strikeout);
    EXPECT_EQ(format(r, kFirstDataCol).font.color, 0u);
    trigger("Mredo");
    // Bold from the bar changes bold alone: the strikeout stays.
    trigger("Bbld");
    EXPECT_TRUE(format(r, kFirstDataCol).font.bold);
    EXPECT_TRUE(format(r, kFirstDataCol).font.strikeout);
    trigger("imSave");

    TfmKisTabl again(dm(), m_prompter);
    again.openTable(w->document().table());
    const CellFont& font = again.Book->workbook().sheet(1).format(r, kFirstDataCol + 1).font;
    EXPECT_EQ(font.color, 0xC80000u);
    EXPECT_TRUE(font.strikeout);
    EXPECT_EQ(font.size, 10);
}

TEST_F(FormatBarWindowTest, SizeBoxRefusesWithOneMessageAndEscapeChangesNothing) {
    open(1);
    const int r = body();
    select(r, kFirstDataCol);
    const int listed = sizeBox()->count();
    for (const char* typed : {"50", "7", "шесть"}) {
        typeIntoSizeBox(QString::fromUtf8(typed), Qt::Key_Return);
        EXPECT_EQ(m_prompter.lastText(), QStringLiteral("Размер шрифта - число от 8 до 40"));
        EXPECT_EQ(sizeBox()->currentText(), QStringLiteral("10")) << typed;
    }
    EXPECT_EQ(sizeBox()->count(), listed); // a refused size never joins the list
    typeIntoSizeBox(QStringLiteral("20"), Qt::Key_Escape);
    EXPECT_EQ(sizeBox()->currentText(), QStringLiteral("10"));
    EXPECT_FALSE(book().undoStack().canUndo());
    EXPECT_EQ(format(r, kFirstDataCol).font.size, 0);

    typeIntoSizeBox(QStringLiteral(" 16 "), Qt::Key_Return);
    EXPECT_EQ(format(r, kFirstDataCol).font.size, 16);
    EXPECT_EQ(sizeBox()->count(), listed);
    emit sizeBox()->activated(sizeBox()->findText(QStringLiteral("24")));
    EXPECT_EQ(format(r, kFirstDataCol).font.size, 24);
    trigger("Mundo");
    EXPECT_EQ(format(r, kFirstDataCol).font.size, 16);
}

TEST_F(FormatBarWindowTest, BarsAndTicksFollowTheActiveCell) {
    open(1);
    const int r = body();
    book().setFormat(1, CellRange::cell(r, kFirstDataCol), [](CellFormat& f) {
        f.font.bold = true;
        f.font.size = 14;
        f.hAlign = HAlign::Center;
        f.vAlign = VAlign::Top;
        f.wordWrap = true;
    });
    select(r, kFirstDataCol);
    EXPECT_TRUE(act("Bbld")->isChecked());
    EXPECT_FALSE(act("Bital")->isChecked());
    EXPECT_TRUE(act("Bcnt")->isChecked());
    EXPECT_TRUE(act("Mcenter")->isChecked());
    EXPECT_FALSE(act("Bleft")->isChecked());
    EXPECT_TRUE(act("imUp")->isChecked());
    EXPECT_TRUE(act("MwordW")->isChecked());
    EXPECT_EQ(sizeBox()->currentText(), QStringLiteral("14"));

    select(r, kFirstDataCol + 1);
    for (const char* name : {"Bbld", "Bcnt", "Mcenter", "imUp", "MwordW"})
        EXPECT_FALSE(act(name)->isChecked()) << name;
    EXPECT_TRUE(act("imDown")->isChecked());
    EXPECT_EQ(sizeBox()->currentText(), QStringLiteral("10"));
    // The button pressed after the refresh takes the cell's state as its start.
    trigger("Bbld");
    EXPECT_TRUE(format(r, kFirstDataCol + 1).font.bold);
}

TEST_F(FormatBarWindowTest, MergeButtonAndMenuTickFollowTheSelectionAndUndo) {
    open(1);
    const int r = body();
    select(r, kFirstDataCol, r + 1, kFirstDataCol + 1);
    EXPECT_FALSE(act("sbMerge")->isChecked());
    trigger("sbMerge");
    ASSERT_EQ(sheet(1).mergedRanges().size(), 1);
    EXPECT_EQ(sheet(1).mergedRanges().first(),
              CellRange(r, kFirstDataCol, r + 1, kFirstDataCol + 1));
    EXPECT_TRUE(act("mMergeCells")->isChecked());
    select(r + 5, kFirstDataCol);
    EXPECT_FALSE(act("sbMerge")->isChecked());
    EXPECT_FALSE(act("mMergeCells")->isChecked());
    select(r, kFirstDataCol, r + 1, kFirstDataCol + 1);
    EXPECT_TRUE(act("sbMerge")->isChecked());
    trigger("mMergeCells"); // ticked: unmerges
    EXPECT_TRUE(sheet(1).mergedRanges().isEmpty());
    EXPECT_FALSE(act("sbMerge")->isChecked());
    trigger("Mundo");
    EXPECT_EQ(sheet(1).mergedRanges().size(), 1);
    EXPECT_TRUE(act("sbMerge")->isChecked());
    trigger("Mundo");
    EXPECT_TRUE(sheet(1).mergedRanges().isEmpty());
}

TEST_F(FormatBarWindowTest, BorderAndFillFromTheFormatMenu) {
    open(1);
    const int r = body();
    select(r, kFirstDataCol, r + 1, kFirstDataCol + 1);
    trigger("MBorder");
    auto* panel = w->findChild<QMenu*>("PanelBord");
    ASSERT_TRUE(panel->isVisible());
    panel->findChild<QAction*>("SBin")->trigger();
    panel->hide();
    EXPECT_EQ(format(r, kFirstDataCol).right.style, BorderStyle::Thin);
    EXPECT_EQ(format(r, kFirstDataCol).bottom.style, BorderStyle::Thin);
    EXPECT_EQ(format(r, kFirstDataCol).top.style, BorderStyle::None);
    EXPECT_EQ(format(r + 1, kFirstDataCol + 1).right.style, BorderStyle::None);
    trigger("SBbrd"); // the remembered choice again: no new lines, no change
    EXPECT_EQ(format(r + 1, kFirstDataCol + 1).left.style, BorderStyle::Thin);

    onDialog([](QWidget* d) {
        auto* c = qobject_cast<QColorDialog*>(d);
        ASSERT_NE(c, nullptr);
        c->setCurrentColor(QColor(255, 0, 0));
        c->accept();
    });
    trigger("Mpattern");
    EXPECT_EQ(format(r, kFirstDataCol).pattern, 1);
    EXPECT_EQ(format(r, kFirstDataCol).patternFg, 0xFF0000u);
    onDialog([](QWidget* d) { qobject_cast<QColorDialog*>(d)->reject(); });
    trigger("Mpattern");
    EXPECT_EQ(format(r + 1, kFirstDataCol + 1).patternFg, 0xFF0000u);
    trigger("Mundo");
    EXPECT_EQ(format(r, kFirstDataCol).pattern, 0);
}

TEST_F(FormatBarWindowTest, SizeWindowEscapeAndCancelChangeNothing) {
    open(1);
    const int r = body();
    select(r, kFirstDataCol);
    const int width = sheet(1).colWidth(kFirstDataCol);
    for (int key : {int(Qt::Key_Escape), 0}) {
        onDialog([key](QWidget* d) {
            auto* edit = d->findChild<QLineEdit*>("Edit1");
            edit->clear();
            QTest::keyClicks(edit, QStringLiteral("30"));
            if (key)
                QTest::keyClick(edit, Qt::Key(key));
            else
                d->findChild<QAbstractButton*>("BCans")->click();
        });
        trigger("McolW");
        EXPECT_EQ(sheet(1).colWidth(kFirstDataCol), width);
    }
    onDialog([](QWidget* d) {
        auto* edit = d->findChild<QLineEdit*>("Edit1");
        edit->clear();
        QTest::keyClicks(edit, QStringLiteral("30"));
        QTest::keyClick(edit, Qt::Key_Return);
    });
    trigger("McolW");
    EXPECT_EQ(sheet(1).colWidth(kFirstDataCol), 30 * 256);
}

TEST_F(FormatBarWindowTest, AccompanyingTextTickFollowsTheShownLinesWhenAMenuOpens) {
    open(1);
    trigger("ShowSText");
    ASSERT_TRUE(act("ShowSText")->isChecked());
    // Deleting every text line hides row 21; the tick learns it when "Правка" opens.
    select(kFirstTextRow, kSideCol);
    for (int i = 0; i < 3 && !sheet(1).rowHidden(kFirstTextRow); ++i) {
        select(kFirstTextRow, kSideCol);
        trigger("Mdel");
    }
    ASSERT_TRUE(sheet(1).rowHidden(kFirstTextRow));
    QMenu* edit = nullptr;
    for (QAction* a : w->findChild<QMenuBar*>()->actions())
        if (a->text() == QStringLiteral("&Правка"))
            edit = a->menu();
    ASSERT_NE(edit, nullptr);
    emit edit->aboutToShow();
    EXPECT_FALSE(act("ShowSText")->isChecked());
    trigger("Mundo");
    emit edit->aboutToShow();
    EXPECT_EQ(act("ShowSText")->isChecked(), !sheet(1).rowHidden(kFirstTextRow));
}
