#include "TableWindowFixture.h"

#include "CellOperations.h"
#include "EditingCommands.h"
#include "IdentModel.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QStringList>
#include <QTimer>
#include <QToolBar>

#include <functional>

using namespace TableLayout;

namespace {

// Every sheet's cells (entry and format) and hidden rows, to compare a workbook whole.
QString dump(const Workbook& b) {
    QStringList out;
    for (int i = 1; i <= b.sheetCount(); ++i) {
        const Sheet& s = b.sheet(i);
        out << QStringLiteral("== %1").arg(s.name());
        s.cells().forEach([&](int r, int c, const Cell& cell) {
            if (cell.hasContent() || cell.format != 0)
                out << QStringLiteral("%1,%2 %3 [%4]")
                           .arg(r)
                           .arg(c)
                           .arg(s.entry(r, c))
                           .arg(b.formats().at(cell.format).numberFormat);
        });
        for (int r = 1; r <= s.lastRowProps(); ++r)
            if (s.rowHidden(r) || !s.rowHeading(r).isEmpty())
                out << QStringLiteral("row %1 %2 %3")
                           .arg(r)
                           .arg(s.rowHidden(r))
                           .arg(s.rowHeading(r));
    }
    return out.join('\n');
}

class EditingWindowTest : public TableWindowFixture {
protected:
    // Body rows 1…3 with a side code on the row identification sheet and values on every
    // instance sheet: value = sheet * 100 + row.
    void fillBody() {
        const int first = lastHeader() + 1;
        const int codeCol = w->document().model().rowSlotCol(Slot::IndicatorCode);
        for (int i = 0; i < 3; ++i) {
            book().setNumber(rowSheet(), first + i, codeCol, 10 + i);
            for (int s = 1; s <= w->document().model().instanceCount(); ++s) {
                book().setText(s, first + i, kSideCol, QStringLiteral("строка %1").arg(i));
                book().setNumber(s, first + i, kFirstDataCol, s * 100 + i);
            }
        }
    }
    void select(int row, int col) { w->Book->setSelection(row, col, row, col); }
};

} // namespace

TEST_F(EditingWindowTest, InsertingABodyRowKeepsEverySheetAlignedAndUndoesExactly) {
    open(3);
    fillBody();
    book().undoStack().clear();
    const QString before = dump(book());
    const int first = lastHeader() + 1;
    const int codeCol = w->document().model().rowSlotCol(Slot::IndicatorCode);
    select(first + 1, kSideCol);
    trigger("Mins");
    for (int s = 1; s <= 3; ++s) {
        EXPECT_EQ(sheet(s).number(first, kFirstDataCol), s * 100);
        EXPECT_EQ(sheet(s).type(first + 1, kFirstDataCol), 0) << s;
        EXPECT_EQ(sheet(s).number(first + 2, kFirstDataCol), s * 100 + 1);
    }
    EXPECT_EQ(sheet(rowSheet()).number(first + 2, codeCol), 11);
    EXPECT_EQ(sheet(rowSheet()).type(first + 1, codeCol), 0);
    // The column identification sheet keeps its slots where they were.
    EXPECT_TRUE(enabled("Mundo"));
    EXPECT_EQ(act("Mundo")->text(), QStringLiteral("Отменить: Вставка строки"));
    trigger("Mundo");
    EXPECT_EQ(dump(book()), before);
    trigger("Mredo");
    EXPECT_EQ(sheet(2).number(first + 2, kFirstDataCol), 201);
}

TEST_F(EditingWindowTest, DeletingBodyRowsAndColumnsIsOneStepOverAllSheets) {
    open(2);
    fillBody();
    book().undoStack().clear();
    const QString before = dump(book());
    const int first = lastHeader() + 1;
    w->Book->setSelection(first, kSideCol, first + 1, kSideCol);
    trigger("Mdel");
    EXPECT_EQ(sheet(1).number(first, kFirstDataCol), 102);
    EXPECT_EQ(sheet(2).number(first, kFirstDataCol), 202);
    select(first, kFirstDataCol);
    trigger("Mdel");
    EXPECT_EQ(sheet(1).type(first, kFirstDataCol), 0);
    trigger("Mundo");
    trigger("Mundo");
    EXPECT_EQ(dump(book()), before);
}

TEST_F(EditingWindowTest, TitleAndHeaderLimitsAreRefusedWithTheirMessages) {
    open(1);
    IdentModel& m = w->document().model();
    select(99, kSideCol);
    trigger("Mdel");
    EXPECT_EQ(m_prompter.lastText(), EditingCommands::lastTitleLine());
    trigger("Mins"); // the only title line: row 98 becomes the new empty line
    m.readGeometry();
    EXPECT_EQ(m.titleRows(), 2);
    EXPECT_EQ(w->Book->activeRow(), 98);
    EXPECT_FALSE(sheet(1).rowHidden(98));
    for (int i = 0; i < 7; ++i) {
        select(99, kSideCol);
        trigger("Mins");
    }
    m.readGeometry();
    EXPECT_EQ(m.titleRows(), 9);
    m_prompter.clear();
    select(99, kSideCol);
    trigger("Mins");
    EXPECT_EQ(m_prompter.lastText(), EditingCommands::tooManyTitleLines());
    select(kFirstHeaderRow, kSideCol);
    trigger("Mdel");
    EXPECT_EQ(m_prompter.lastText(), EditingCommands::lastHeaderRow());
    trigger("Mins"); // a header row on every sheet, its heading "---"
    m.readGeometry();
    EXPECT_EQ(m.headerRows(), 2);
    for (int s = 1; s <= book().sheetCount(); ++s)
        EXPECT_EQ(sheet(s).rowHeading(kFirstHeaderRow), QStringLiteral("---"));
}

TEST_F(EditingWindowTest, SortingOrdersNumbersTextsAndBlanksOnEverySheetAlike) {
    open(2);
    const int first = lastHeader() + 1;
    const int codeCol = w->document().model().rowSlotCol(Slot::IndicatorCode);
    const QStringList keys{"5", "текст", "", "1", "3"};
    for (int i = 0; i < keys.size(); ++i) {
        book().setEntry(1, first + i, kFirstDataCol, keys[i]);
        book().setNumber(1, first + i, kSideCol, i); // keeps the row non-empty
        book().setNumber(2, first + i, kSideCol, i);
        book().setNumber(rowSheet(), first + i, codeCol, 100 + i);
    }
    book().setText(1, first + 6, kSideCol, "после пустой строки");
    select(first, kFirstDataCol);
    trigger("SBSortUp");
    QList<double> order, codes;
    for (int i = 0; i < 5; ++i) {
        order << sheet(2).number(first + i, kSideCol);
        codes << sheet(rowSheet()).number(first + i, codeCol);
    }
    EXPECT_EQ(order, (QList<double>{3, 4, 0, 1, 2}));
    EXPECT_EQ(codes, (QList<double>{103, 104, 100, 101, 102}));
    EXPECT_EQ(sheet(1).text(first + 6, kSideCol), QStringLiteral("после пустой строки"));
    EXPECT_EQ(sheet(1).lastCol(), kFirstDataCol); // the scratch column is gone
    trigger("Mundo");
    EXPECT_EQ(sheet(rowSheet()).number(first, codeCol), 100);
}

TEST_F(EditingWindowTest, BlankAndEmptyRowsKeepFormulasAndHideOnlyZeroRows) {
    open(1);
    const int first = lastHeader() + 1;
    book().setNumber(1, first, kFirstDataCol, 7);
    book().setEntry(1, first + 1, kFirstDataCol, QStringLiteral("=C%1*2").arg(first));
    book().setText(1, first + 2, kFirstDataCol, "слово");
    trigger("mBlank");
    EXPECT_EQ(sheet(1).type(first, kFirstDataCol), 0);
    EXPECT_EQ(sheet(1).formula(first + 1, kFirstDataCol), QStringLiteral("=C%1*2").arg(first));
    EXPECT_EQ(sheet(1).number(first + 1, kFirstDataCol), 0);
    book().setNumber(1, first + 3, kFirstDataCol, 4);
    act("imZeroStr")->setChecked(true);
    trigger("imZeroStr");                       // unticked: empty rows hidden
    EXPECT_TRUE(sheet(1).rowHidden(first + 2)); // a text only counts as 0
    EXPECT_FALSE(sheet(1).rowHidden(first + 3));
    EXPECT_EQ(w->document().model().setting(Setting::HideEmptyRows), 1);
}

TEST_F(EditingWindowTest, OperationsShareAndRefuseDivisionByZero) {
    open(1);
    const int first = lastHeader() + 1;
    for (int i = 0; i < 3; ++i)
        book().setNumber(1, first + i, kFirstDataCol, QList<int>{20, 30, 50}[i]);
    const CellRange sel(first, kFirstDataCol, first + 2, kFirstDataCol);
    CellOperations share(book(), 1, sel);
    ASSERT_TRUE(share.apply(CellOperations::Share, {}, m_prompter));
    EXPECT_EQ(sheet(1).number(first, kFirstDataCol), 40);
    EXPECT_EQ(sheet(1).number(first + 1, kFirstDataCol), 60);
    EXPECT_EQ(sheet(1).number(first + 2, kFirstDataCol), 100);
    CellOperations divide(book(), 1, sel);
    EXPECT_FALSE(divide.apply(CellOperations::Divide, "0", m_prompter));
    EXPECT_EQ(m_prompter.lastText(), CellOperations::divisionByZero());
    EXPECT_FALSE(divide.apply(CellOperations::Divide, "", m_prompter));
    EXPECT_EQ(m_prompter.lastText(), QStringLiteral("Необходимо ввести число"));
    EXPECT_FALSE(divide.apply(CellOperations::Divide, "два", m_prompter));
    EXPECT_EQ(m_prompter.lastText(), QStringLiteral("Веедено не число"));
    EXPECT_EQ(sheet(1).number(first + 2, kFirstDataCol), 100);
    ASSERT_TRUE(divide.apply(CellOperations::Divide, "4", m_prompter));
    EXPECT_EQ(sheet(1).number(first + 2, kFirstDataCol), 25);
    book().undoStack().undo();
    EXPECT_EQ(sheet(1).number(first + 2, kFirstDataCol), 100);
}

namespace {

// Acts on the modal window that the command about to run will show.
void onModal(std::function<void(QWidget*)> act) {
    QTimer::singleShot(0, [act] {
        QWidget* w = QApplication::activeModalWidget();
        ASSERT_NE(w, nullptr);
        act(w);
    });
}

void click(QWidget* window, const char* button) {
    auto* b = window->findChild<QPushButton*>(QString::fromLatin1(button));
    ASSERT_NE(b, nullptr);
    b->click();
}

} // namespace

TEST_F(EditingWindowTest, FormatWindowCancelChangesNothingAndKeepsFormatsAsTheyWere) {
    open(1);
    const int first = lastHeader() + 1;
    book().setNumberFormat(1, CellRange::cell(first, kFirstDataCol), "0.00");
    book().setNumberFormat(1, CellRange::cell(first, kFirstDataCol + 1), "#,##0");
    w->Book->setSelection(first, kFirstDataCol, first, kFirstDataCol + 1);
    onModal([](QWidget* d) { click(d, "BCans"); });
    trigger("MfCell");
    EXPECT_EQ(sheet(1).format(first, kFirstDataCol).numberFormat, "0.00");
    EXPECT_EQ(sheet(1).format(first, kFirstDataCol + 1).numberFormat, "#,##0");
    QString kind;
    onModal([&kind](QWidget* d) {
        kind = d->findChild<QListWidget*>("ListBF")->currentItem()->text();
        click(d, "bOk");
    });
    trigger("MfCell");
    EXPECT_EQ(kind, QStringLiteral("Числовой"));
    EXPECT_EQ(sheet(1).format(first, kFirstDataCol).numberFormat, "0.00");
    EXPECT_EQ(sheet(1).format(first, kFirstDataCol + 1).numberFormat, "0.00");
    trigger("Mundo");
    EXPECT_EQ(sheet(1).format(first, kFirstDataCol + 1).numberFormat, "#,##0");
}

TEST_F(EditingWindowTest, ToolBarsShowPicturesWithTheirTextsAsTooltips) {
    open(1);
    for (const char* bar : {"MainTB", "FrmTB"}) {
        auto* tb = w->findChild<QToolBar*>(QString::fromLatin1(bar));
        ASSERT_NE(tb, nullptr);
        for (QAction* a : tb->actions()) {
            if (a->isSeparator() || a->objectName().isEmpty())
                continue;
            EXPECT_FALSE(a->icon().isNull()) << a->objectName().toStdString();
            EXPECT_FALSE(a->toolTip().isEmpty()) << a->objectName().toStdString();
        }
    }
    EXPECT_EQ(act("Bbld")->toolTip(), QStringLiteral("Полужирный"));
    EXPECT_TRUE(enabled("Bbld"));
    select(lastHeader() + 1, kFirstDataCol);
    trigger("Bbld");
    EXPECT_TRUE(sheet(1).format(lastHeader() + 1, kFirstDataCol).font.bold);
}

TEST_F(EditingWindowTest, CopyAndPasteBetweenTwoTables) {
    open(1);
    const int first = lastHeader() + 1;
    book().setNumber(1, first, kFirstDataCol, 12);
    book().setEntry(1, first + 1, kFirstDataCol, QStringLiteral("=C%1*2").arg(first));
    w->Book->setSelection(first, kFirstDataCol, first + 1, kFirstDataCol);
    trigger("sbCopy");
    TfmKisTabl other(dm(), m_prompter);
    other.openTable(TableRef::read(dm(), newTable(0)).value_or(TableRef{}));
    other.Book->setSheet(1);
    other.Book->setSelection(first, kFirstDataCol + 1, first, kFirstDataCol + 1);
    other.action("sbPaste")->trigger();
    Workbook& b2 = other.Book->workbook();
    EXPECT_EQ(b2.sheet(1).number(first, kFirstDataCol + 1), 12);
    EXPECT_EQ(b2.sheet(1).formula(first + 1, kFirstDataCol + 1),
              QStringLiteral("=D%1*2").arg(first));
    EXPECT_EQ(b2.sheet(1).number(first + 1, kFirstDataCol + 1), 24);
    other.action("Mundo")->trigger();
    EXPECT_EQ(b2.sheet(1).type(first, kFirstDataCol + 1), 0);
}

TEST_F(EditingWindowTest, FillingCannotBeUndoneAndForgetsEarlierSteps) {
    open(1);
    select(lastHeader() + 1, kFirstDataCol);
    trigger("MclearAll"); // nothing to clear: no step
    EXPECT_FALSE(enabled("Mundo"));
    book().undoStack().begin("ввод");
    book().setNumber(1, lastHeader() + 1, kFirstDataCol, 5);
    book().undoStack().end();
    ASSERT_TRUE(book().undoStack().canUndo());
    trigger("SBunload");
    EXPECT_FALSE(book().undoStack().canUndo());
    EXPECT_FALSE(enabled("Mundo"));
    EXPECT_EQ(w->findChild<QStatusBar*>("StBar")->currentMessage(),
              QStringLiteral("Заполнение из БД не отменяется: прежние правки отменить уже нельзя"));
}

TEST_F(EditingWindowTest, OperationsWindowTakesSharesOfTheSelection) {
    open(1);
    const int first = lastHeader() + 1;
    for (int i = 0; i < 3; ++i)
        book().setNumber(1, first + i, kFirstDataCol, QList<int>{20, 30, 50}[i]);
    w->Book->setSelection(first, kFirstDataCol, first + 2, kFirstDataCol);
    EXPECT_TRUE(enabled("MOperations"));
    onModal([this](QWidget* d) {
        auto* edit = d->findChild<QLineEdit*>("Edit1");
        edit->setText("0");
        d->findChildren<QRadioButton*>().at(1)->click(); // "Деление на число"
        click(d, "bOk");
        EXPECT_EQ(m_prompter.lastText(), QStringLiteral("Делить на ноль нельзя"));
        d->findChildren<QRadioButton*>().at(4)->click(); // "Удельный вес"
        EXPECT_FALSE(edit->isEnabled());
        click(d, "bOk");
    });
    trigger("MOperations");
    EXPECT_EQ(sheet(1).number(first, kFirstDataCol), 40);
    EXPECT_EQ(sheet(1).number(first + 1, kFirstDataCol), 60);
    EXPECT_EQ(sheet(1).number(first + 2, kFirstDataCol), 100);
}
