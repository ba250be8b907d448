#include "TableWindowFixture.h"

#include "IdentModel.h"
#include "IdentOptions.h"
#include "ListLaying.h"
#include "ObjectExpansion.h"
#include "ObjectPicking.h"
#include "Placement.h"

#include <QMenu>

using namespace TableLayout;

namespace {

// The demo directories with one more object in "Северный район" (2 of directory 1), so
// that node holds objects 2, 7 and 9; objects 7, 8 and 9 get long-term values of
// indicator 1.
class ObjectExpansionTest : public TableWindowFixture {
protected:
    static void SetUpTestSuite() {
        setUpDatabases(true);
        for (const char* sql :
             {"INSERT INTO ELM (NPP, KODFOLDER, NAMEFOLDER, KOD1, AGR1, KOD2, AGR2) "
              "VALUES (900, 9, 'Амбулатория с. Ключи', 2, 1, 4, 2)",
              "INSERT INTO FD_DOLGELM (KODFOLDER, KODPOK, KODPOK1, KODPOK2, D1, D2, D3, D4) "
              "VALUES (7, 1, 0, 0, '71', '72', '73', '74')",
              "INSERT INTO FD_DOLGELM (KODFOLDER, KODPOK, KODPOK1, KODPOK2, D1, D2, D3, D4) "
              "VALUES (8, 1, 0, 0, '81', '82', '83', '84')",
              "INSERT INTO FD_DOLGELM (KODFOLDER, KODPOK, KODPOK1, KODPOK2, D1, D2, D3, D4) "
              "VALUES (9, 1, 0, 0, '91', '92', '93', '94')"})
            dbtest::exec(fact(), QString::fromUtf8(sql));
    }
    void SetUp() override {
        m_saved = CurrentIdentOptions();
        CurrentIdentOptions().showEachTime = false;
        CurrentIdentOptions().transferNames = true;
        CurrentIdentOptions().identMode = 2;
    }
    void TearDown() override { CurrentIdentOptions() = m_saved; }

    // A right click on (row, col) of the active sheet, then pop-up item `item`.
    void popItem(int row, int col, int item) {
        emit w->Book->OnRClick(row, col);
        auto* a = w->PopMenu->findChild<QAction*>(QStringLiteral("PopItem%1").arg(item));
        ASSERT_NE(a, nullptr);
        ASSERT_TRUE(a->isEnabled());
        w->PopMenu->close();
        a->trigger();
    }
    // The objects directory is the third item: after the two aggregation directories.
    void expandAt(int row, int col) {
        m_prompter.answer(Answer::Yes);
        popItem(row, col, 3);
    }
    void setRow(int row, Slot s, double v) {
        book().setNumber(rowSheet(), row, rowSlotColumn(s), v);
    }
    int code(int row, Slot s) { return w->document().model().rowCode(row, s); }
    QString rowEntry(int row, Slot s) { return sheet(rowSheet()).entry(row, rowSlotColumn(s)); }
    double title(int s, TitleRow row, int col = kTitleValueCol) {
        return sheet(s).number(int(row), col);
    }
    static QString objectName(int kod) {
        return dbtest::scalar(fact(),
                              QStringLiteral("SELECT NAMEFOLDER FROM ELM WHERE KODFOLDER = :K"),
                              {{"K", kod}})
            .toString();
    }
    // A list of members (KOD, TIP, KOD1, TIP1, UR, name), NPP 1, 2, …
    struct Member {
        double kod;
        int tip;
        double kod1;
        int tip1;
        int ur;
        const char* name;
    };
    static int newList(const QString& name, const QList<Member>& members) {
        const int key = dbtest::call(fact(), "INSERT_SPIS", {{"NAME", name}})
                            .output(QStringLiteral("KODSP"))
                            .toInt();
        int npp = 0;
        for (const Member& m : members)
            dbtest::call(fact(), "INSERT_SPISELMT",
                         {{"KODSPIS", key},
                          {"NPP", ++npp},
                          {"KOD", m.kod},
                          {"KOD1", m.kod1},
                          {"KOD2", 0},
                          {"KOD3", 0},
                          {"KOD4", 0},
                          {"TIP", m.tip},
                          {"TIP1", m.tip1},
                          {"TIP2", 0},
                          {"TIP3", 0},
                          {"TIP4", 0},
                          {"UR", m.ur},
                          {"NAMEOBJ", QString::fromUtf8(m.name)}});
        return key;
    }
    // The pop-up item of a list: the lists follow the objects directory in name order.
    int listItem(int kodSpis) {
        const int before =
            dbtest::scalar(fact(),
                           QStringLiteral("SELECT COUNT(*) FROM SPIS WHERE NAME < "
                                          "(SELECT NAME FROM SPIS WHERE KODSPIS = :K)"),
                           {{"K", kodSpis}})
                .toInt();
        return 4 + before;
    }
    int tableList() {
        return dbtest::scalar(tab(), QStringLiteral("SELECT KODSPIS FROM CAT WHERE KODELMT = :K"),
                              {{"K", w->document().table().kodElmt}})
            .toInt();
    }

    IdentOptions m_saved;
};

TEST_F(ObjectExpansionTest, MembersAreSelectedByEveryNodeOfTheKey) {
    EXPECT_EQ(
        ObjectExpansion::membersSql({{5, 2}, {17, 3}}),
        (QStringList{QStringLiteral("SELECT KODFOLDER, NAMEFOLDER FROM ELM WHERE"),
                     QStringLiteral("KOD2=:KOD1 and KOD3=:KOD2"), QStringLiteral("ORDER BY NPP")}));
}

// Rows r (node 2 of directory 1), r + 1 (node 5 of directory 2 cut by node 3 of directory
// 1) and r + 2 (an object of the objects directory) expanded at once.
TEST_F(ObjectExpansionTest, SideRowsGetTheirObjectsBelowThemAndTheTableFillsFromTheFunds) {
    open();
    trigger("mIdBok");
    const int r = lastHeader() + 1;
    // The column names the year the rows do not override.
    book().setEntry(colSheet(), w->document().model().colSlotRow(Slot::PeriodStart), kFirstDataCol,
                    "2022");
    for (int i = 0; i < 3; ++i) {
        setRow(r + i, Slot::IndicatorCode, 1);
        book().setText(rowSheet(), r + i, rowSlotColumn(Slot::IndicatorShown), "К01");
        book().setEntry(rowSheet(), r + i, rowSlotColumn(Slot::PeriodStart), "2023");
        setRow(r + i, Slot::Level, 1);
    }
    setRow(r, Slot::Object, 2);
    setRow(r, Slot::ObjectType, 1);
    setRow(r + 1, Slot::Object, 5);
    setRow(r + 1, Slot::ObjectType, 2);
    setRow(r + 1, Slot::Cut1, 3);
    setRow(r + 1, Slot::Cut1Type, 1);
    setRow(r + 2, Slot::Object, 7);
    setRow(r + 2, Slot::ObjectType, 99);
    w->Book->setSelection(r, rowSlotColumn(Slot::Object), r + 2, rowSlotColumn(Slot::Object));
    expandAt(r, rowSlotColumn(Slot::Object));

    // Three objects below r, one below the old r + 1; the old r + 2 is now r + 6.
    EXPECT_EQ(m_prompter.texts(),
              (QStringList{ObjectPicking::modeQuestion(2), ObjectExpansion::noKey(r + 6)}));
    const QList<std::pair<int, int>> added = {{r + 1, 2}, {r + 2, 7}, {r + 3, 9}, {r + 5, 8}};
    for (const auto& [row, object] : added) {
        SCOPED_TRACE(row);
        EXPECT_EQ(code(row, Slot::Object), object);
        EXPECT_EQ(code(row, Slot::ObjectType), 99);
        EXPECT_EQ(code(row, Slot::Level), 2);
        EXPECT_EQ(code(row, Slot::IndicatorCode), 1);
        EXPECT_EQ(rowEntry(row, Slot::IndicatorShown), QStringLiteral("К01"));
        EXPECT_EQ(rowEntry(row, Slot::PeriodStart), QStringLiteral("2023"));
        EXPECT_TRUE(rowEntry(row, Slot::Cut1).isEmpty());
        EXPECT_TRUE(rowEntry(row, Slot::Cut1Type).isEmpty());
        for (int s : {1, rowSheet()})
            EXPECT_EQ(sheet(s).entry(row, kSideCol), QStringLiteral(" ") + objectName(object));
    }
    EXPECT_EQ(code(r + 4, Slot::Object), 5);
    EXPECT_EQ(code(r + 4, Slot::Cut1), 3);
    EXPECT_EQ(code(r + 6, Slot::Object), 7);
    EXPECT_TRUE(rowEntry(r + 7, Slot::Object).isEmpty());

    trigger("mIdBok");
    w->imTestIdentClick();
    EXPECT_EQ(m_prompter.lastText(), QStringLiteral("Ошибки в идентификации не обнаружены"));

    w->SBunloadClick();
    for (const auto& [row, object] : added)
        EXPECT_EQ(sheet(1).number(row, kFirstDataCol),
                  dbtest::scalar(fact(),
                                 QStringLiteral("SELECT D2 FROM FD_DOLGELM WHERE KODFOLDER = :O "
                                                "AND KODPOK = 1 AND KODPOK1 = 0 AND KODPOK2 = 0"),
                                 {{"O", object}})
                      .toDouble())
            << row;

    // "Подчиненные объекты" hides exactly the rows of the objects directory.
    trigger("imHideElm");
    EXPECT_EQ(w->document().model().setting(Setting::HideSubordinate), 1);
    for (int row = r; row <= r + 6; ++row) {
        const bool subordinate = code(row, Slot::ObjectType) == 99;
        EXPECT_EQ(sheet(1).rowHidden(row), subordinate) << row;
    }
    trigger("imHideElm");
    EXPECT_EQ(w->document().model().setting(Setting::HideSubordinate), 0);
    EXPECT_FALSE(sheet(1).rowHidden(r + 1));
}

// A code without a directory type names no directory here as in the identification test:
// the row is refused, not expanded by directory 1.
TEST_F(ObjectExpansionTest, CodeWithoutDirectoryTypeRefusesItsRow) {
    open();
    trigger("mIdBok");
    const int r = lastHeader() + 1;
    setRow(r, Slot::Object, 2);
    setRow(r, Slot::ObjectType, 1);
    setRow(r, Slot::Cut1, 2);
    expandAt(r, rowSlotColumn(Slot::Object));
    EXPECT_EQ(m_prompter.texts(),
              (QStringList{ObjectPicking::modeQuestion(2), ObjectExpansion::untyped(r, 2)}));
    EXPECT_EQ(sheet(rowSheet()).lastRow(), r);
}

TEST_F(ObjectExpansionTest, ExpansionInTheHeaderIsRefused) {
    open();
    trigger("mIdShap");
    expandAt(w->document().model().colSlotRow(Slot::Object), kFirstDataCol);
    EXPECT_EQ(m_prompter.lastText(), ObjectExpansion::notInHeader());
}

// The last (only) sheet with node 5 of directory 2 (objects 7 and 8), then a list of three
// members laid over the sheets.
TEST_F(ObjectExpansionTest, TitleExpansionAndAListLaidIntoTheTitle) {
    open();
    trigger("mIdZag");
    book().setNumber(1, int(TitleRow::Object), kTitleValueCol, 5);
    book().setNumber(1, int(TitleRow::Object), kTitleExtraCol, 2);
    book().setNumber(1, int(TitleRow::Level), kTitleValueCol, 1);
    expandAt(int(TitleRow::Object), kTitleValueCol);
    ASSERT_EQ(w->document().model().instanceCount(), 3);
    const QList<int> objects = {8, 7, 5};
    for (int s = 1; s <= 3; ++s) {
        SCOPED_TRACE(s);
        EXPECT_EQ(title(s, TitleRow::Object), objects[s - 1]);
        EXPECT_EQ(title(s, TitleRow::Object, kTitleExtraCol), s == 3 ? 2 : 99);
        EXPECT_EQ(title(s, TitleRow::Level), s == 3 ? 1 : 2);
    }
    EXPECT_EQ(sheet(1).entry(kLastTitleRow, kTitleValueCol), objectName(8));
    EXPECT_EQ(book().activeSheetIndex(), 3);

    const int list = newList(QStringLiteral("Три района"), {{2, 1, 0, 0, 1, "Северный район"},
                                                            {5, 2, 3, 1, 1, "ФАП Южного района"},
                                                            {7, 99, 0, 0, 2, "ФАП с. Берёзовка"}});
    book().setNumber(3, int(TitleRow::Cut1), kTitleValueCol, 4);
    book().setNumber(3, int(TitleRow::Cut1), kTitleExtraCol, 1);
    // Asked first: "Нет" keeps every sheet and the link.
    m_prompter.answer(Answer::No);
    popItem(int(TitleRow::Object), kTitleValueCol, listItem(list));
    EXPECT_EQ(m_prompter.lastText(), Placement::deleteSheetsQuestion());
    EXPECT_EQ(w->document().model().instanceCount(), 3);
    EXPECT_EQ(title(1, TitleRow::Object), 8);
    EXPECT_EQ(tableList(), 0);

    m_prompter.answer(Answer::Yes);
    popItem(int(TitleRow::Object), kTitleValueCol, listItem(list));
    ASSERT_EQ(w->document().model().instanceCount(), 3);
    const QList<int> laid = {7, 5, 2};
    for (int s = 1; s <= 3; ++s) {
        SCOPED_TRACE(s);
        EXPECT_EQ(title(s, TitleRow::Object), laid[s - 1]);
        // The cut the kept sheet had is gone where the member has none.
        EXPECT_EQ(title(s, TitleRow::Cut1), s == 2 ? 3 : 0);
    }
    EXPECT_EQ(title(1, TitleRow::Level), 2);
    EXPECT_EQ(sheet(1).entry(kLastTitleRow, kTitleValueCol), QStringLiteral("ФАП с. Берёзовка"));
    EXPECT_EQ(tableList(), list);
    EXPECT_EQ(w->document().table().kodSpis, list);
}

// Laid into the side a member writes every slot of its row: a 0 clears what was there.
// A sheet of a node with a cut: the new sheet names its object alone, without the cut.
TEST_F(ObjectExpansionTest, TitleExpansionDoesNotCarryTheCutsOntoTheObjectsSheets) {
    open();
    trigger("mIdZag");
    book().setNumber(1, int(TitleRow::Object), kTitleValueCol, 5);
    book().setNumber(1, int(TitleRow::Object), kTitleExtraCol, 2);
    book().setNumber(1, int(TitleRow::Cut1), kTitleValueCol, 3);
    book().setNumber(1, int(TitleRow::Cut1), kTitleExtraCol, 1);
    expandAt(int(TitleRow::Object), kTitleValueCol);
    ASSERT_EQ(w->document().model().instanceCount(), 2);
    EXPECT_EQ(title(1, TitleRow::Object), 8);
    EXPECT_EQ(title(1, TitleRow::Cut1), 0);
    EXPECT_EQ(title(1, TitleRow::Cut1, kTitleExtraCol), 0);
    EXPECT_EQ(title(2, TitleRow::Object), 5);
    EXPECT_EQ(title(2, TitleRow::Cut1), 3);
}

TEST_F(ObjectExpansionTest, ListLaidIntoTheSideClearsWhatAMemberDoesNotSet) {
    const int list = newList(QStringLiteral("Боковик"), {{2, 1, 0, 0, 1, "Северный район"},
                                                         {5, 2, 3, 1, 2, "ФАП Южного района"}});
    open();
    trigger("mIdBok");
    const int r = lastHeader() + 1;
    setRow(r, Slot::Object, 4);
    setRow(r, Slot::ObjectType, 1);
    setRow(r, Slot::Cut1, 4);
    setRow(r, Slot::Cut1Type, 2);
    setRow(r, Slot::Level, 3);
    // The row is identified: asked first, "Нет" lays nothing.
    m_prompter.answer(Answer::No);
    popItem(r, rowSlotColumn(Slot::Object), listItem(list));
    EXPECT_EQ(m_prompter.texts(), QStringList{Placement::overwriteRowsQuestion()});
    EXPECT_EQ(code(r, Slot::Object), 4);
    m_prompter.clear();
    m_prompter.answer(Answer::Yes);
    popItem(r, rowSlotColumn(Slot::Object), listItem(list));
    EXPECT_EQ(m_prompter.texts(), QStringList{Placement::overwriteRowsQuestion()});
    EXPECT_EQ(code(r, Slot::Object), 2);
    EXPECT_TRUE(rowEntry(r, Slot::Cut1).isEmpty());
    EXPECT_TRUE(rowEntry(r, Slot::Cut1Type).isEmpty());
    EXPECT_EQ(code(r, Slot::Level), 1);
    EXPECT_EQ(code(r + 1, Slot::Cut1), 3);
    EXPECT_EQ(sheet(1).entry(r + 1, kSideCol), QStringLiteral("ФАП Южного района"));
    EXPECT_EQ(tableList(), 0);
}

// A server error while the table is linked to the list is told with the server's words;
// the sheets stay as laid.
TEST_F(ObjectExpansionTest, FailedLinkIsReported) {
    const int list = newList(QStringLiteral("Один"), {{2, 1, 0, 0, 1, "Северный район"}});
    open();
    const int kod = w->document().table().kodElmt;
    dbtest::exec(tab(), QStringLiteral("CREATE EXCEPTION E_NO_LINK 'списки закрыты'"));
    dbtest::exec(tab(), QStringLiteral("CREATE TRIGGER CAT_NO_LINK FOR CAT BEFORE UPDATE AS "
                                       "BEGIN IF (NEW.KODELMT = %1 AND NEW.KODSPIS <> 0) THEN "
                                       "EXCEPTION E_NO_LINK; END")
                            .arg(kod));
    trigger("mIdZag");
    popItem(int(TitleRow::Object), kTitleValueCol, listItem(list));
    dbtest::exec(tab(), QStringLiteral("DROP TRIGGER CAT_NO_LINK"));
    dbtest::exec(tab(), QStringLiteral("DROP EXCEPTION E_NO_LINK"));
    ASSERT_EQ(m_prompter.texts().size(), 1);
    EXPECT_TRUE(m_prompter.lastText().startsWith(ListLaying::linkFailed() + "\r\n\r\n"));
    EXPECT_TRUE(m_prompter.lastText().contains(QStringLiteral("списки закрыты")));
    EXPECT_EQ(title(1, TitleRow::Object), 2);
    EXPECT_EQ(tableList(), 0);
}

} // namespace
