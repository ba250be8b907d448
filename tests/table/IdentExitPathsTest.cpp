#include "TableWindowFixture.h"

#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

using namespace TableLayout;

namespace {

const QString kNotFound = QStringLiteral("Код не найден в справочнике");
const QString kSaveQuestion = QStringLiteral("Сохранить таблицу ?");

// The table editor over a small directory: what happens to an entry still being typed
// when a mode is left, and how the modes meet the title block and the status bar.
class IdentExitPathsTest : public TableWindowFixture {
protected:
    static void SetUpTestSuite() {
        TableDbFixture::SetUpTestSuite();
        seedSmallDirectory();
    }
    // The user has typed `text` into the cell and not finished the edit yet.
    void typeWithoutEnter(int row, int col, const QString& text) {
        w->Book->setActiveCell(row, col);
        w->Book->startEdit(text, false);
        ASSERT_TRUE(w->Book->isEditing());
    }
};

constexpr int kRow = 101; // the first body row of a new table

TEST_F(IdentExitPathsTest, AnEntryStillOpenWhenTheModeEndsIsResolvedInTheMode) {
    open();
    trigger("mIdBok");
    typeWithoutEnter(kRow, 5, QStringLiteral("В-1"));
    w->modes().leave(); // the way the sheet list and closing leave a mode

    EXPECT_FALSE(w->Book->isEditing());
    EXPECT_EQ(w->identState().mode, IdentMode::Normal);
    EXPECT_EQ(sheet(rowSheet()).entry(kRow, 5), QStringLiteral("В-1"));
    EXPECT_EQ(sheet(rowSheet()).number(kRow, 4), 26) << "the internal code beside it";
    EXPECT_EQ(sheet(1).text(kRow, kSideCol), QStringLiteral("Врачей"));
    EXPECT_EQ(sheet(1).entry(kRow, 5), QString()) << "nothing typed lands on the table sheet";

    // A code the directory does not know is refused as in the mode, and not kept.
    trigger("mIdBok");
    typeWithoutEnter(kRow, 5, QStringLiteral("Ж-7"));
    w->modes().leave();
    EXPECT_EQ(m_prompter.texts(), QStringList{kNotFound});
    EXPECT_EQ(sheet(rowSheet()).entry(kRow, 5), QStringLiteral("В-1"));
    EXPECT_EQ(sheet(rowSheet()).number(kRow, 4), 26);
}

TEST_F(IdentExitPathsTest, CommandsThatMoveTheCursorTakeTheOpenEntryFirst) {
    open(1, 7); // with an object list, special identification serves header identification
    trigger("mIdShap");
    const int shown = w->document().model().colSlotRow(Slot::IndicatorShown);
    typeWithoutEnter(shown, 4, QStringLiteral("-25"));
    // The dialog would wait for the user: close whatever opens.
    QTimer::singleShot(0, [] {
        if (QWidget* dialog = QApplication::activeModalWidget())
            dialog->close();
    });
    trigger("Msved");
    EXPECT_FALSE(w->Book->isEditing());
    EXPECT_EQ(sheet(colSheet()).number(shown - 1, 4), 25);
    EXPECT_EQ(sheet(colSheet()).entry(shown, 4), QStringLiteral("-25"));
}

TEST_F(IdentExitPathsTest, ClosingTakesTheOpenEntryBeforeTheQuestion) {
    open();
    trigger("mIdBok");
    typeWithoutEnter(kRow + 1, 7, QStringLiteral("-25"));
    m_prompter.answer(Answer::Cancel);
    w->close();

    EXPECT_EQ(m_prompter.texts(), QStringList{kSaveQuestion});
    EXPECT_EQ(sheet(rowSheet()).number(kRow + 1, 6), 25);
    EXPECT_EQ(sheet(1).text(kRow + 1, kSideCol), QStringLiteral("Коек всего"));
    EXPECT_EQ(w->identState().mode, IdentMode::Side) << "Cancel keeps the window in the mode";

    // In normal work the typed figure is part of what is saved.
    trigger("mIdBok");
    typeWithoutEnter(kRow, 3, QStringLiteral("12"));
    m_prompter.answer(Answer::No);
    w->close();
    EXPECT_EQ(sheet(1).number(kRow, 3), 12);
}

TEST_F(IdentExitPathsTest, TheTitleKindIsChosenFromTheListOnly) {
    open(2);
    trigger("mIdZag");
    const int kindRow = int(TitleRow::Kind);
    ASSERT_TRUE(sheet(1).text(kindRow, kTitleValueCol).isEmpty());
    typeWithoutEnter(kindRow, kTitleValueCol, QStringLiteral("Объект"));
    ASSERT_TRUE(w->Book->endEdit());
    EXPECT_EQ(m_prompter.texts(),
              QStringList{QStringLiteral("Элемент заголовка выбирается из списка")});
    EXPECT_TRUE(sheet(1).text(kindRow, kTitleValueCol).isEmpty());
    EXPECT_TRUE(sheet(2).text(kindRow, kTitleValueCol).isEmpty());
    EXPECT_TRUE(sheet(1).rowHidden(int(TitleRow::Object))) << "no kind, no kind rows";

    // An entry still open when another kind is chosen is taken under the kind it was
    // typed for.
    chooseKind(0);
    typeWithoutEnter(int(TitleRow::Indicator), kTitleExtraCol, QStringLiteral("В-1"));
    m_prompter.answer(Answer::No);
    chooseKind(2);
    EXPECT_FALSE(w->Book->isEditing());
    EXPECT_EQ(sheet(1).number(int(TitleRow::Indicator), kTitleValueCol), 26);
    m_prompter.clear();

    // Beside the list too, and the rows of the title block still take their codes.
    typeWithoutEnter(kindRow, kTitleExtraCol, QStringLiteral("x"));
    ASSERT_TRUE(w->Book->endEdit());
    EXPECT_TRUE(sheet(1).entry(kindRow, kTitleExtraCol).isEmpty());
    EXPECT_EQ(m_prompter.texts(),
              QStringList{QStringLiteral("Элемент заголовка выбирается из списка")});
}

TEST_F(IdentExitPathsTest, TitleIdentificationLeavesTheAccompanyingTextShown) {
    open();
    trigger("ShowSText");
    ASSERT_FALSE(sheet(1).rowHidden(kFirstTextRow));
    trigger("mIdZag");
    chooseKind(0);
    chooseKind(2);
    EXPECT_FALSE(sheet(1).rowHidden(kFirstTextRow)) << "a new kind hides only the title block";
    EXPECT_TRUE(sheet(1).rowHidden(int(TitleRow::Indicator)));
    trigger("mIdZag");
    EXPECT_FALSE(sheet(1).rowHidden(kFirstTextRow));
    EXPECT_TRUE(act("ShowSText")->isChecked());
    for (int row : {1, 4, 9, 14, 20, 98})
        EXPECT_TRUE(sheet(1).rowHidden(row)) << row;
}

TEST_F(IdentExitPathsTest, TitleReferenceCopiesFollowTheTitleIdentification) {
    open();
    trigger("ShowSText");
    w->Book->setActiveCell(kFirstTextRow + 1, kSideCol);
    ASSERT_TRUE(w->Book->commitEntry(QStringLiteral("#z9")));
    w->Book->setActiveCell(kFirstTextRow + 2, kSideCol);
    ASSERT_TRUE(w->Book->commitEntry(QStringLiteral("#kp")));
    QCoreApplication::processEvents();

    trigger("mIdZag");
    chooseKind(0);
    w->Book->setActiveCell(int(TitleRow::Indicator), kTitleExtraCol);
    ASSERT_TRUE(w->Book->commitEntry(QStringLiteral("В-1")));
    QCoreApplication::processEvents();
    EXPECT_EQ(sheet(1).text(kLastTitleRow, kTitleValueCol), QStringLiteral("Врачей"));
    EXPECT_EQ(sheet(1).text(kFirstTextRow + 1, kTitleValueCol), QStringLiteral("Врачей"))
        << "the name transferred into the last title line reaches its copy";
    EXPECT_EQ(sheet(1).number(kFirstTextRow + 2, kSideCol), 26) << "and the indicator its own";
}

TEST_F(IdentExitPathsTest, TheStatusFollowsTheCellFromTheStartAndBesideADateBound) {
    open();
    EXPECT_EQ(panel(0), QStringLiteral("%1:3").arg(kRow)) << "told before the first move";
    EXPECT_EQ(panel(1), QStringLiteral("Работа с данными"));

    trigger("mIdBok");
    const int start = rowSlotColumn(Slot::PeriodStart);
    w->Book->setActiveCell(kRow, start);
    ASSERT_TRUE(w->Book->commitEntry(QStringLiteral("1/3/2003")));
    w->Book->setActiveCell(kRow + 1, start);

    EXPECT_EQ(sheet(rowSheet()).format(kRow, start).numberFormat, QStringLiteral("mmm/yy"));
    EXPECT_EQ(panel(0), QStringLiteral("%1:%2").arg(kRow + 1).arg(start));
    EXPECT_EQ(panel(1), QStringLiteral("Идентификация боковика"));
    EXPECT_EQ(w->Book->activeRow(), kRow + 1) << "the cursor stays where the user put it";

    // Back in normal work the region is told again on the instance sheet.
    trigger("mIdBok");
    EXPECT_EQ(panel(1), QStringLiteral("Работа с данными"));
}

TEST_F(IdentExitPathsTest, TheIdentificationMenu) {
    open();
    QMenu* ident = nullptr;
    for (QAction* a : w->findChild<QMenuBar*>()->actions())
        if (a->text() == QStringLiteral("&Идентификация"))
            ident = a->menu();
    ASSERT_NE(ident, nullptr);
    QStringList names;
    for (QAction* a : ident->actions())
        names << (a->isSeparator() ? QStringLiteral("-") : a->objectName());
    EXPECT_EQ(names, (QStringList{"MidentModes", "-", "MSpis", "Msved", "MhiddenS", "MhiddenC",
                                  "imKodInternal", "imTestIdent", "Moption"}));
    QStringList modes;
    for (QAction* a : ident->actions().first()->menu()->actions())
        modes << a->text();
    EXPECT_EQ(modes, (QStringList{"&Боковика", "&Шапки", "&Заголовка"}));

    QAction* test = w->action(QStringLiteral("imTestIdent"));
    EXPECT_EQ(test->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_U));
    EXPECT_EQ(w->action(QStringLiteral("imKodInternal"))->shortcut(),
              QKeySequence(Qt::CTRL | Qt::Key_F7));
    for (const char* mode : {"mIdBok", "mIdShap", "mIdZag"}) {
        trigger(mode);
        EXPECT_FALSE(test->isEnabled()) << mode;
        trigger(mode);
    }
    EXPECT_TRUE(test->isEnabled()); // back in normal work
}

} // namespace
