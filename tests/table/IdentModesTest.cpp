#include "TableWindowFixture.h"

using namespace TableLayout;

namespace {

class IdentModesTest : public TableWindowFixture {};

const char* const kLockedSample[] = {"ShowSText",  "MinsSheet", "MdelSheet", "SBunload",
                                     "imLoadTabl", "SBhidrow",  "imHideCol", "MlockSh"};

} // namespace

TEST_F(IdentModesTest, SideIdentificationAndBackRestoreSheetTabsAndCommands) {
    open(2);
    w->Book->setSheet(2);
    ASSERT_TRUE(enabled("SBunload"));
    act("sbCalcAgr")->setEnabled(false);
    trigger("SBidbok");

    EXPECT_EQ(w->identState().mode, IdentMode::Side);
    EXPECT_EQ(w->Book->sheet(), rowSheet());
    EXPECT_EQ(book().editGroup(), QList<int>{rowSheet()});
    EXPECT_FALSE(w->Book->showTabs());
    EXPECT_TRUE(act("mIdBok")->isChecked());
    EXPECT_TRUE(act("SBidbok")->isChecked());
    EXPECT_FALSE(enabled("mIdShap"));
    EXPECT_FALSE(enabled("SBidzag"));
    EXPECT_FALSE(enabled("MhiddenS"));
    EXPECT_TRUE(enabled("imKodInternal"));
    for (const char* name : kLockedSample)
        EXPECT_FALSE(enabled(name)) << name;
    EXPECT_EQ(panel(1), QStringLiteral("Идентификация боковика"));
    EXPECT_EQ(sheet(rowSheet()).text(91, 2), QStringLiteral("Идентификация боковика"));
    for (int col : {3, 4, 6, 8, 18, 19, 20, 21, 22})
        EXPECT_TRUE(sheet(rowSheet()).colHidden(col)) << col;
    for (int col : {5, 7, 9, 10, 15, 16, 17})
        EXPECT_FALSE(sheet(rowSheet()).colHidden(col)) << col;
    EXPECT_TRUE(sheet(rowSheet()).rowHidden(100));
    EXPECT_EQ(w->Book->fixedRows(), lastHeader());
    EXPECT_EQ(w->Book->activeRow(), 101);
    EXPECT_EQ(w->Book->activeCol(), 5);

    trigger("mIdBok");
    EXPECT_EQ(w->identState().mode, IdentMode::Normal);
    EXPECT_EQ(w->Book->sheet(), 2) << "the instance sheet that was active";
    EXPECT_EQ(book().editGroup(), QList<int>{2});
    EXPECT_TRUE(w->Book->showTabs());
    EXPECT_FALSE(act("SBidbok")->isChecked());
    for (const char* name : kLockedSample)
        EXPECT_TRUE(enabled(name)) << name;
    EXPECT_TRUE(enabled("mIdShap"));
    EXPECT_FALSE(enabled("imKodInternal"));
    EXPECT_FALSE(enabled("sbCalcAgr")) << "a command off before the mode stays off";
    EXPECT_EQ(sheet(rowSheet()).options().frozenRows, 0);
}

TEST_F(IdentModesTest, HeaderIdentificationHidesInternalSlotsAndKeepsTheirStateBetweenVisits) {
    open();
    trigger("mIdShap");
    const int cs = colSheet();
    const int h = lastHeader();
    EXPECT_EQ(w->Book->sheet(), cs);
    EXPECT_EQ(sheet(cs).text(91, 2), QStringLiteral("Идентификация шапки"));
    EXPECT_FALSE(sheet(cs).rowHidden(91)) << "the hint is in view";
    for (int slot : {1, 2, 4, 6, 16, 17, 18, 19, 20})
        EXPECT_TRUE(sheet(cs).rowHidden(h + slot)) << slot;
    for (int slot : {3, 5, 7, 8, 13, 14, 15})
        EXPECT_FALSE(sheet(cs).rowHidden(h + slot)) << slot;
    EXPECT_EQ(w->Book->fixedCols(), 2);
    EXPECT_EQ(w->Book->activeRow(), h + 3);
    EXPECT_EQ(w->Book->activeCol(), 3);

    // The periods hidden (as the options do) stay hidden after marking columns.
    sheet(cs).setRowHidden(h + 14, true);
    key(Qt::Key_Escape);
    EXPECT_EQ(w->identState().mode, IdentMode::Normal);
    trigger("MhiddenC");
    EXPECT_FALSE(sheet(cs).rowHidden(h + 1));
    EXPECT_EQ(w->Book->maxRow(), h + 1);
    trigger("MhiddenC");
    EXPECT_EQ(w->Book->sheet(), 1);
    EXPECT_TRUE(sheet(cs).rowHidden(h + 1));
    EXPECT_TRUE(sheet(cs).rowHidden(h + 14));
    EXPECT_FALSE(sheet(cs).rowHidden(h + 3));
    EXPECT_EQ(sheet(cs).maxRow(), 16384);
}

TEST_F(IdentModesTest, RowSlotStatesArePutBackWhenMarkingEnds) {
    open();
    const int rs = rowSheet();
    trigger("mIdBok");
    sheet(rs).setColHidden(16, true); // periods off
    sheet(rs).setColHidden(4, false); // internal codes on
    trigger("mIdBok");
    trigger("MhiddenS");
    EXPECT_FALSE(sheet(rs).colHidden(3));
    EXPECT_EQ(w->Book->activeRow(), 101);
    EXPECT_EQ(w->Book->activeCol(), 3);
    EXPECT_FALSE(enabled("SBsheet"));
    trigger("MhiddenS");
    EXPECT_TRUE(sheet(rs).colHidden(3));
    EXPECT_TRUE(sheet(rs).colHidden(16));
    EXPECT_FALSE(sheet(rs).colHidden(4));
    trigger("mIdBok");
    EXPECT_TRUE(sheet(rs).colHidden(4)) << "internal codes are hidden on every entry";
    EXPECT_TRUE(sheet(rs).colHidden(16));
    EXPECT_FALSE(sheet(rs).colHidden(17));
}

TEST_F(IdentModesTest, TitleIdentificationOnlyOnAnInstanceSheet) {
    open();
    w->Book->setSheet(rowSheet());
    trigger("mIdZag");
    EXPECT_EQ(w->identState().mode, IdentMode::Normal);
    EXPECT_FALSE(act("mIdZag")->isChecked());
    EXPECT_FALSE(act("SBidzag")->isChecked());
    EXPECT_TRUE(w->Book->showTabs());
}

TEST_F(IdentModesTest, TitleIdentificationShowsTheBlockAndTheKindObject) {
    open(2);
    trigger("SBidzag");
    ASSERT_EQ(w->identState().mode, IdentMode::Title);
    Sheet& s = sheet(1);
    EXPECT_EQ(s.text(2, 2), QStringLiteral("Идентификация заголовка"));
    EXPECT_EQ(s.format(2, 2).font.color, 0x0000FFu);
    for (int row = 2; row <= 5; ++row)
        EXPECT_FALSE(s.rowHidden(row)) << row;
    EXPECT_EQ(s.text(4, 2), QStringLiteral("Что поместить в заголовок: "));
    EXPECT_EQ(s.text(16, 2), QStringLiteral("Конец периода"));
    for (int row : {4, 6, 11, 16}) {
        EXPECT_EQ(s.format(row, 2).pattern, 1) << row;
        EXPECT_EQ(s.format(row, 2).patternFg, 0xFFFF00u) << row;
    }
    const DropDownObject* tip = s.object(s.findObject(QStringLiteral("tip")));
    ASSERT_NE(tip, nullptr);
    EXPECT_EQ(tip->items, QStringLiteral("Показатель;Признак;Объект;Разрез;Период"));
    EXPECT_EQ(tip->position, CellRange(4, 3, 4, 4));
    EXPECT_EQ(tip->selected, 0);
    EXPECT_EQ(w->Book->activeRow(), 4);
    EXPECT_EQ(w->Book->activeCol(), 3);
    EXPECT_TRUE(s.rowHidden(6)) << "no kind chosen yet";

    chooseKind(3); // "Разрез"
    EXPECT_EQ(s.text(4, 3), QStringLiteral("Разрез"));
    EXPECT_EQ(sheet(2).text(4, 3), QStringLiteral("Разрез"));
    EXPECT_FALSE(s.rowHidden(10));
    EXPECT_FALSE(s.rowHidden(14));
    EXPECT_TRUE(s.rowHidden(9));
    EXPECT_TRUE(m_prompter.shown().isEmpty()) << "the first choice asks nothing";

    trigger("SBidzag");
    EXPECT_EQ(s.findObject(QStringLiteral("tip")), 0);
    for (int row = 1; row <= 98; ++row)
        ASSERT_TRUE(s.rowHidden(row)) << row;

    // Entering again shows the kind written there.
    trigger("mIdZag");
    EXPECT_EQ(tipSelected(1), 4);
    EXPECT_FALSE(s.rowHidden(10));
    EXPECT_EQ(w->Book->activeRow(), 10);
}

TEST_F(IdentModesTest, ARefusedKindChangeKeepsSheetsAndBlock) {
    open(3);
    for (int i = 1; i <= 3; ++i) {
        book().setText(i, 4, 3, QStringLiteral("Показатель"));
        book().setNumber(i, 6, 3, 25);
        book().setText(i, 99, 3, QStringLiteral("Лист %1").arg(i));
    }
    trigger("mIdZag");
    EXPECT_EQ(tipSelected(1), 1);
    m_prompter.answer(Answer::No);
    chooseKind(2);
    ASSERT_EQ(m_prompter.shown().size(), 1);
    EXPECT_EQ(m_prompter.shown()[0].text,
              QStringLiteral("При замене элемента идентификации\r\nпредыдущая идентификация "
                             "будет очищена с удалением листов.\r\n\r\nОчистить ?"));
    EXPECT_EQ(m_prompter.shown()[0].caption, QStringLiteral("Подтверждение"));
    EXPECT_EQ(m_prompter.shown()[0].buttons, QuestionButtons::YesNoCancel);
    EXPECT_EQ(book().sheetCount(), 5);
    EXPECT_EQ(sheet(1).text(4, 3), QStringLiteral("Показатель"));
    EXPECT_EQ(sheet(1).number(6, 3), 25);
    EXPECT_FALSE(sheet(1).rowHidden(6));
    EXPECT_TRUE(sheet(1).rowHidden(9));
    EXPECT_EQ(tipSelected(1), 3) << "the object shows the refused choice";

    // Cancel is a refusal too; the comparison is still with the kind applied.
    m_prompter.answer(Answer::Cancel);
    chooseKind(4);
    EXPECT_EQ(book().sheetCount(), 5);
    EXPECT_EQ(m_prompter.shown().size(), 2);
}

TEST_F(IdentModesTest, AnAcceptedKindChangeLeavesOneSheetAndAClearTitle) {
    open(3);
    w->document().model().setTitleRows(3);
    for (int i = 1; i <= 3; ++i) {
        book().setText(i, 4, 3, QStringLiteral("Показатель"));
        book().setNumber(i, 6, 3, 25);
        book().setNumber(i, 15, 3, 2003);
        for (int row = 97; row <= 99; ++row) {
            sheet(i).setRowHidden(row, false);
            book().setText(i, row, 2, QStringLiteral("Строка %1").arg(row));
            book().setText(i, row, 7, QStringLiteral("справа"));
        }
    }
    book().setText(2, 20, 3, QStringLiteral("не титул"));
    w->Book->setSheet(2);
    trigger("mIdZag");
    m_prompter.answer(Answer::Yes);
    chooseKind(2);

    EXPECT_EQ(book().sheetCount(), 3);
    EXPECT_EQ(w->Book->sheet(), 1);
    EXPECT_EQ(sheet(1).text(20, 3), QStringLiteral("не титул")) << "the active sheet stayed";
    EXPECT_EQ(w->document().model().titleRows(), 1);
    EXPECT_EQ(w->document().model().titleRows(), IdentModel::layoutField(sheet(1).text(1, 1), 1));
    for (int row = 91; row <= 99; ++row) {
        EXPECT_TRUE(sheet(1).text(row, 2).isEmpty()) << row;
        EXPECT_TRUE(sheet(1).text(row, 7).isEmpty()) << row;
    }
    EXPECT_TRUE(sheet(1).text(6, 3).isEmpty());
    EXPECT_TRUE(sheet(1).text(15, 3).isEmpty());
    EXPECT_EQ(sheet(1).text(4, 3), QStringLiteral("Объект"));
    for (int row = 9; row <= 14; ++row)
        EXPECT_FALSE(sheet(1).rowHidden(row)) << row;
    EXPECT_TRUE(sheet(1).rowHidden(6));
    EXPECT_TRUE(sheet(1).rowHidden(97));
    EXPECT_FALSE(enabled("SBsheet"));

    trigger("mIdZag");
    EXPECT_EQ(w->Book->sheet(), 1);
    EXPECT_EQ(sheet(1).findObject(QStringLiteral("tip")), 0);
}

TEST_F(IdentModesTest, WithOneInstanceSheetTheKindChangesWithoutAQuestion) {
    open();
    book().setText(1, 4, 3, QStringLiteral("Показатель"));
    book().setNumber(1, 6, 3, 25);
    trigger("mIdZag");
    chooseKind(4);
    EXPECT_TRUE(m_prompter.shown().isEmpty());
    EXPECT_EQ(sheet(1).text(4, 3), QStringLiteral("Период"));
    EXPECT_EQ(sheet(1).number(6, 3), 25) << "nothing cleared";
    EXPECT_FALSE(sheet(1).rowHidden(15));
    EXPECT_TRUE(sheet(1).rowHidden(6));
}

TEST_F(IdentModesTest, MarkingARowHidesItOnAllInstanceSheetsWhenHidingIsOn) {
    open(2);
    trigger("SBhidrow");
    EXPECT_EQ(w->document().model().setting(Setting::HideMarkedRows), 1);
    EXPECT_TRUE(act("imHideStr")->isChecked());
    trigger("MhiddenS");
    const int rs = rowSheet();
    emit w->Book->OnClick(101, 3);
    EXPECT_EQ(sheet(rs).text(101, 3), QStringLiteral("Прятать"));
    EXPECT_TRUE(sheet(1).rowHidden(101));
    EXPECT_TRUE(sheet(2).rowHidden(101));
    EXPECT_FALSE(sheet(rs).rowHidden(101));
    emit w->Book->OnClick(101, 5);
    emit w->Book->OnClick(100, 3);
    EXPECT_TRUE(sheet(rs).text(101, 5).isEmpty());
    EXPECT_TRUE(sheet(rs).text(100, 3).isEmpty());
    emit w->Book->OnClick(101, 3);
    EXPECT_TRUE(sheet(rs).text(101, 3).isEmpty());
    EXPECT_FALSE(sheet(1).rowHidden(101));
    EXPECT_FALSE(sheet(2).rowHidden(101));

    key(Qt::Key_Escape);
    EXPECT_EQ(w->identState().mode, IdentMode::Normal);
    EXPECT_EQ(w->Book->sheet(), 1);
    EXPECT_TRUE(sheet(rs).colHidden(3));
}

TEST_F(IdentModesTest, HideCommandsFollowTheMarkersAndMoveTheCursorOff) {
    open(2);
    const int rs = rowSheet();
    book().setText(rs, 101, 3, QStringLiteral(" Прятать "));
    book().setText(rs, 102, 3, QStringLiteral("Прятать"));
    book().setText(colSheet(), lastHeader() + 1, 4, QStringLiteral("Прятать"));
    w->Book->setActiveCell(101, 3);
    trigger("SBhidrow");
    for (int i : {1, 2}) {
        EXPECT_TRUE(sheet(i).rowHidden(101)) << i;
        EXPECT_TRUE(sheet(i).rowHidden(102)) << i;
        EXPECT_FALSE(sheet(i).rowHidden(103)) << i;
    }
    EXPECT_EQ(w->Book->activeRow(), 103);
    trigger("imHideStr");
    EXPECT_EQ(w->document().model().setting(Setting::HideMarkedRows), 0);
    EXPECT_FALSE(act("SBhidrow")->isChecked());
    EXPECT_FALSE(sheet(2).rowHidden(101));

    trigger("SBhidcol");
    EXPECT_TRUE(sheet(1).colHidden(4));
    EXPECT_TRUE(sheet(2).colHidden(4));
    EXPECT_EQ(w->document().model().setting(Setting::HideMarkedCols), 1);
    trigger("MhiddenC");
    emit w->Book->OnClick(lastHeader() + 1, 4);
    EXPECT_FALSE(sheet(1).colHidden(4));
    EXPECT_TRUE(sheet(colSheet()).text(lastHeader() + 1, 4).isEmpty());
}

TEST_F(IdentModesTest, StatusTellsTheRegionTheCellAndItsControl) {
    open();
    const int h = lastHeader();
    book().setText(rowSheet(), h + 1, 24, QStringLiteral("C101>0"));
    book().setText(colSheet(), h + 22, 5, QStringLiteral("1=1"));
    const struct {
        int row, col;
        const char* region;
        bool control;
    } cases[] = {
        {99, 2, "Редактирование заголовка", false}, {100, 3, "Редактирование шапки", false},
        {101, 2, "Редактирование боковика", false}, {101, 3, "Работа с данными", true},
        {102, 3, "Работа с данными", false},        {102, 5, "Работа с данными", true}};
    for (const auto& c : cases) {
        w->Book->setActiveCell(c.row, c.col);
        EXPECT_EQ(panel(0), QStringLiteral("%1:%2").arg(c.row).arg(c.col));
        EXPECT_EQ(panel(1), QString::fromUtf8(c.region)) << c.row << ":" << c.col;
        EXPECT_EQ(panel(2), c.control ? QStringLiteral("Контроль") : QString())
            << c.row << ":" << c.col;
    }
    EXPECT_EQ(w->identState().row, 102);
    EXPECT_EQ(w->identState().col, 5);
    EXPECT_EQ(w->identState().prevRow, 102);
    EXPECT_EQ(w->identState().prevCol, 3);
}

TEST_F(IdentModesTest, CtrlHomeAndCtrlEndGoBetweenInstanceSheets) {
    open(3);
    w->Book->setSheet(2);
    key(Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(w->Book->sheet(), 3);
    EXPECT_EQ(book().editGroup(), QList<int>{3});
    key(Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(w->Book->sheet(), 1);

    // In title identification the title block goes along.
    trigger("mIdZag");
    key(Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(w->Book->sheet(), 3);
    EXPECT_EQ(sheet(1).findObject(QStringLiteral("tip")), 0);
    EXPECT_NE(sheet(3).findObject(QStringLiteral("tip")), 0);
    trigger("mIdZag");
    EXPECT_EQ(w->Book->sheet(), 3);
    EXPECT_EQ(sheet(3).findObject(QStringLiteral("tip")), 0);
}

TEST_F(IdentModesTest, EscapeLeavesAModeOrClosesFromAnInstanceSheet) {
    open();
    w->show();
    trigger("mIdBok");
    key(Qt::Key_Escape);
    EXPECT_EQ(w->identState().mode, IdentMode::Normal);
    EXPECT_TRUE(m_prompter.shown().isEmpty());
    EXPECT_TRUE(w->isVisible());

    w->Book->setSheet(rowSheet());
    key(Qt::Key_Escape);
    EXPECT_TRUE(m_prompter.shown().isEmpty()) << "an identification sheet does not close";

    w->Book->setSheet(1);
    m_prompter.answer(Answer::Cancel);
    key(Qt::Key_Escape);
    EXPECT_EQ(m_prompter.lastText(), QStringLiteral("Сохранить таблицу ?"));
    EXPECT_TRUE(w->isVisible());

    // Closing in title identification leaves it first.
    trigger("mIdZag");
    m_prompter.answer(Answer::No);
    w->close();
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(w->identState().mode, IdentMode::Normal);
    EXPECT_EQ(sheet(1).findObject(QStringLiteral("tip")), 0);
    EXPECT_TRUE(sheet(1).rowHidden(4));
}

TEST_F(IdentModesTest, CommandsThatNeedTheObjectList) {
    open(2);
    trigger("mIdShap");
    EXPECT_FALSE(enabled("SBsheet"));
    EXPECT_FALSE(enabled("Msved"));
    EXPECT_TRUE(enabled("Moption"));
    trigger("mIdShap");
    EXPECT_TRUE(enabled("SBsheet"));
    EXPECT_TRUE(enabled("Msved"));

    open(1, 7);
    trigger("mIdBok");
    EXPECT_TRUE(enabled("Msved"));
    EXPECT_FALSE(enabled("SBsheet")) << "one instance sheet";
    trigger("mIdBok");
    trigger("mIdZag");
    EXPECT_TRUE(enabled("Msved"));
    EXPECT_FALSE(enabled("imKodInternal"));
}
