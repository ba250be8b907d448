#include "TableDbFixture.h"

#include "TBook.h"
#include "TfmKisTabl.h"
#include "TfmSheets.h"
#include "model/Workbook.h"

#include <QAction>
#include <QCoreApplication>
#include <QTreeWidget>

using namespace TableLayout;

namespace {

class TfmKisTablTest : public TableDbFixture {
protected:
    TableRef refOf(int kodElmt) { return TableRef::read(dm(), kodElmt).value_or(TableRef{}); }
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
