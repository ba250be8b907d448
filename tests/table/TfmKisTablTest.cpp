#include "TableDbFixture.h"

#include "TBook.h"
#include "TfmKisTabl.h"
#include "TfmSheets.h"
#include "model/Workbook.h"

#include "AppContext.h"
#include "format/BookLocale.h"
#include "io/NativeFormat.h"

#include <QAction>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <functional>

using namespace TableLayout;

namespace {

class TfmKisTablTest : public TableDbFixture {
protected:
    static void SetUpTestSuite() {
        TableDbFixture::SetUpTestSuite();
        seedSmallDirectory();
        dbtest::exec(fact(), QStringLiteral("UPDATE NAST SET GODOPER = '2004'"));
    }
    TableRef refOf(int kodElmt) { return TableRef::read(dm(), kodElmt).value_or(TableRef{}); }
    // A cell of the workbook stored in TABF1.
    static double storedNumber(int kodElmt, int sheet, int row, int col) {
        Workbook book;
        EXPECT_TRUE(NativeFormat::load(book, storedBytes(kodElmt)));
        return book.hasSheet(sheet) ? book.sheet(sheet).number(row, col) : -1;
    }
};

// Keeps what the status panels show while each box is up.
class PanelWatchingPrompter : public ScriptedPrompter {
public:
    std::function<void()> onMessage;
    void message(const QString& text, const QString& caption, PromptIcon icon) override {
        if (onMessage)
            onMessage();
        ScriptedPrompter::message(text, caption, icon);
    }
};

} // namespace

TEST_F(TfmKisTablTest, OpensATableIntoTheControlWithItsCommands) {
    const int table = newTable();
    TfmKisTabl window(dm(), m_prompter);
    window.openTable(refOf(table));
    EXPECT_EQ(window.windowTitle(), refOf(table).name);
    EXPECT_EQ(window.Book->numSheets(), 3);
    EXPECT_EQ(window.Book->sheet(), 1);
    EXPECT_EQ(window.Book->activeRow(), 101);
    EXPECT_EQ(window.Book->activeCol(), 3);
    EXPECT_TRUE(window.Book->showTabs());
    EXPECT_EQ(window.Book->topRow(), 99) << "the title line on top";
    EXPECT_EQ(window.Book->leftCol(), 2) << "the side column on the left";
    for (const char* name : {"imSave", "Msave", "MinsSheet", "MdelSheet", "SBsheet", "sbSeetsSel",
                             "ShowSText", "MlockSh", "miMaxCol", "Mtoolspanel", "Mformpanel",
                             "Meditpanel", "SBsave", "imZeroStr", "imZeroCol", "ItogUp"})
        EXPECT_NE(window.action(QString::fromLatin1(name)), nullptr) << name;
    EXPECT_FALSE(window.action(QStringLiteral("SBsheet"))->isEnabled());
    EXPECT_TRUE(window.action(QStringLiteral("ItogUp"))->isChecked());
    EXPECT_TRUE(window.action(QStringLiteral("ItogLeft"))->isChecked());
    EXPECT_TRUE(window.action(QStringLiteral("imZeroStr"))->isChecked());

    window.Book->setSheet(2);
    EXPECT_EQ(window.Book->workbook().editGroup(), QList<int>{2});
    window.Book->setSheet(1);
    window.action(QStringLiteral("MinsSheet"))->trigger();
    EXPECT_EQ(window.Book->numSheets(), 4);
    EXPECT_TRUE(window.action(QStringLiteral("SBsheet"))->isEnabled());
    EXPECT_EQ(window.Book->activeRow(), 101);
}

TEST_F(TfmKisTablTest, ClosingGoesThroughTheQuestion) {
    const int table = newTable();
    TfmKisTabl window(dm(), m_prompter);
    window.openTable(refOf(table));
    window.show();
    m_prompter.answer(Answer::Cancel);
    window.close();
    EXPECT_TRUE(window.isVisible());
    m_prompter.answer(Answer::Yes);
    window.close();
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(storedBytes(table).isEmpty());
}

TEST_F(TfmKisTablTest, TheSheetListChoosesASheet) {
    const int table = newTable();
    TfmKisTabl window(dm(), m_prompter);
    window.openTable(refOf(table));
    window.action(QStringLiteral("MinsSheet"))->trigger();
    TfmSheets list(window.document().model(), m_prompter);
    list.show();
    ASSERT_EQ(list.tree()->topLevelItemCount(), 2);
    emit list.tree()->itemDoubleClicked(list.tree()->topLevelItem(1), 0);
    EXPECT_EQ(list.chosenSheet(), 1);
}

TEST_F(TfmKisTablTest, AFinishedTextLineExpandsTitleReferenceCodes) {
    const int table = newTable();
    TfmKisTabl window(dm(), m_prompter);
    window.openTable(refOf(table));
    Workbook& book = window.Book->workbook();
    book.setNumber(1, int(TitleRow::Object), kTitleValueCol, 812);
    window.action(QStringLiteral("ShowSText"))->trigger();
    EXPECT_TRUE(window.action(QStringLiteral("ShowSText"))->isChecked());
    window.Book->setActiveCell(22, 3);
    ASSERT_TRUE(window.Book->commitEntry(QStringLiteral("#ko")));
    QCoreApplication::processEvents();
    EXPECT_EQ(book.sheet(3).text(22, 3), QStringLiteral("#ko"));
    EXPECT_EQ(book.sheet(1).number(22, 3), 812);
}

TEST_F(TfmKisTablTest, EveryCommandTakesTheEntryStillBeingTyped) {
    const int table = newTable();
    TfmKisTabl window(dm(), m_prompter);
    window.openTable(refOf(table));
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    auto typeWithoutEnter = [&](const QString& text) {
        window.Book->setActiveCell(101, 3);
        window.Book->startEdit(text, false);
        ASSERT_TRUE(window.Book->isEditing());
    };

    // Ctrl+S pressed in the cell editor.
    typeWithoutEnter(QStringLiteral("777"));
    QTest::keyClick(window.Book->editor(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_FALSE(window.Book->isEditing());
    EXPECT_EQ(storedNumber(table, 1, 101, 3), 777);

    typeWithoutEnter(QStringLiteral("778"));
    window.action(QStringLiteral("SBsave"))->trigger();
    EXPECT_EQ(storedNumber(table, 1, 101, 3), 778);

    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("t.vts"));
    typeWithoutEnter(QStringLiteral("779"));
    m_prompter.choice(0).file(file);
    window.action(QStringLiteral("Msave"))->trigger();
    QFile written(file);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    Workbook outside;
    ASSERT_TRUE(NativeFormat::load(outside, written.readAll()));
    EXPECT_EQ(outside.sheet(1).number(101, 3), 779);

    // The figure stays on the sheet it was typed on, not on the sheet inserted before it.
    typeWithoutEnter(QStringLiteral("780"));
    window.action(QStringLiteral("MinsSheet"))->trigger();
    EXPECT_FALSE(window.Book->isEditing());
    const Workbook& book = window.Book->workbook();
    ASSERT_EQ(book.sheetCount(), 4);
    EXPECT_EQ(book.sheet(2).number(101, 3), 780);
    EXPECT_TRUE(book.sheet(1).entry(101, 3).isEmpty());

    // Typed on a sheet that is then deleted, it goes with that sheet.
    window.Book->setSheet(1);
    typeWithoutEnter(QStringLiteral("781"));
    window.action(QStringLiteral("MdelSheet"))->trigger();
    EXPECT_FALSE(window.Book->isEditing());
    ASSERT_EQ(book.sheetCount(), 3);
    EXPECT_EQ(book.sheet(1).number(101, 3), 780);
}

TEST_F(TfmKisTablTest, ExchangeStatusGoesToTheModePanel) {
    AppContext::setSystemDateSeparator(QLatin1Char('.'));
    BookLocale::setDateSeparator(QLatin1Char('.'));
    PanelWatchingPrompter prompter;
    const int table = newTable();
    TfmKisTabl window(dm(), prompter);
    window.openTable(refOf(table));
    window.action(QStringLiteral("MinsSheet"))->trigger();
    Workbook& book = window.Book->workbook();
    IdentModel& model = window.document().model();
    // Row 101 = indicator 25 in March 2004; sheet 1 = object 77, sheet 2 = an unknown one.
    book.setNumber(model.rowIdentSheet(), 101, rowSlotColumn(Slot::IndicatorCode), 25);
    book.setEntry(model.colIdentSheet(), model.colSlotRow(Slot::PeriodStart), 3,
                  QStringLiteral("1.3.2004"));
    for (int s = 1; s <= 2; ++s) {
        book.setNumber(s, int(TitleRow::Object), kTitleValueCol, s == 1 ? 77 : 999);
        book.setNumber(s, int(TitleRow::Object), kTitleExtraCol, kObjectsDirectoryType);
        book.setNumber(s, 101, 3, 5);
    }
    auto panel = [&](int i) {
        return window.findChild<QLabel*>(QStringLiteral("StPanel%1").arg(i))->text();
    };
    const QString cell = panel(0);
    ASSERT_FALSE(cell.isEmpty());
    QStringList seen;
    prompter.onMessage = [&] { seen << panel(1) << panel(0); };
    prompter.answer(Answer::Yes).answer(Answer::No);
    window.action(QStringLiteral("SBload"))->trigger();
    EXPECT_TRUE(prompter.lastText().contains(QStringLiteral("объект с кодом 999")))
        << prompter.lastText().toStdString();
    EXPECT_EQ(seen, (QStringList{QStringLiteral("Загружено листов: 1 из 2"), cell}));
}

TEST_F(TfmKisTablTest, SavingOverAnUnreadableStoredTableAsksFirst) {
    const int table = newTable();
    const QByteArray damaged("not a workbook");
    storeBytes(table, damaged);
    TfmKisTabl window(dm(), m_prompter);
    window.openTable(refOf(table));
    m_prompter.clear();
    m_prompter.answer(Answer::No);
    window.action(QStringLiteral("imSave"))->trigger();
    EXPECT_EQ(storedBytes(table), damaged);
    ASSERT_EQ(m_prompter.shown().size(), 1);
    EXPECT_EQ(m_prompter.lastText(), TableDocument::replaceQuestion());
    EXPECT_EQ(m_prompter.shown()[0].defaultButton, Answer::No);

    window.show();
    m_prompter.answer(Answer::No);
    window.close();
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(storedBytes(table), damaged);
    EXPECT_EQ(m_prompter.shown()[1].text, TableDocument::replaceQuestion());
    EXPECT_EQ(m_prompter.shown()[1].defaultButton, Answer::No);
}
