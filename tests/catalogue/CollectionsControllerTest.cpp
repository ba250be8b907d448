#include "OutlineTestSupport.h"

#include "AppContext.h"
#include "CollectionsController.h"
#include "ElementOperations.h"
#include "ElementRowSet.h"
#include "ScriptedLoginLauncher.h"

#include <gtest/gtest.h>

using namespace dbtest;

namespace {

// The message boxes shown, without the password fields asked.
QStringList Messages(const ScriptedPrompter& prompter) {
    QStringList out;
    for (const ScriptedPrompter::Shown& s : prompter.shown())
        if (s.kind == ScriptedPrompter::Kind::Message)
            out << s.text;
    return out;
}

// One running program with the collections window's logic over its tree and grid.
struct Window {
    Window(const TestDatabases& dbs, const QString& user = TestDatabases::user())
        : program(dbs, OutlineDescriptor::Collections(), user),
          rows(program.dm.query(QStringLiteral("quCAT"))),
          elements(program.dm, ElementDescriptor::Tables(), rows, program.prompter, program.state),
          controller(program.dm, program.prompter, program.engine, elements) {
        program.engine.BuildOutline();
    }
    Instance program;
    ElementRowSet rows;
    ElementOperations elements;
    CollectionsController controller;
    ScriptedPrompter& prompter() { return program.prompter; }
    void select(const QString& name) { program.tree.setCurrent(FindNode(program.tree, name)); }
    // Selects a collection without sub-collections and shows its tables.
    void openTables(const QString& name) {
        select(name);
        ASSERT_TRUE(controller.openCollection());
        elements.openFolder(controller.currentCollection());
    }
};

class Collections : public ::testing::Test {
protected:
    void SetUp() override {
        m_dbs = std::make_unique<TestDatabases>();
        m_tab = m_dbs->connect(1);
        SeedSbr(*m_tab, {"A:1", "A1:2", "B:1"});
    }
    void TearDown() override {
        m_tab.reset();
        m_dbs.reset();
    }
    int folder(const QString& name) {
        return scalar(*m_tab, QStringLiteral("SELECT KODFOLDER FROM SBR WHERE NAMEFOLDER = '") +
                                  name + QLatin1Char('\''))
            .toInt();
    }
    // A table in a collection; returns its key.
    int table(const QString& collection, const QString& name, const QString& parol = {},
              const QVariant& typeUse = QVariant()) {
        const int key = call(*m_tab, "INSERT_CAT",
                             {{"NPP", 100 * (++m_tables)},
                              {"KODFOLDER", folder(collection)},
                              {"NAMEFOLDER", name},
                              {"KODALT", ""},
                              {"KODSPIS", 0}})
                            .output(QStringLiteral("KOD_ELMT"))
                            .toInt();
        exec(*m_tab, QStringLiteral("UPDATE CAT SET PAROL = :P, TYPEUSE = :T WHERE KODELMT = :K"),
             {{"P", parol}, {"T", typeUse}, {"K", key}});
        return key;
    }
    int inUse(int key) {
        return scalar(*m_tab, QStringLiteral("SELECT ISINUSE FROM CAT WHERE KODELMT = ") +
                                  QString::number(key))
            .toInt();
    }
    void setInUse(int key, int value) {
        exec(*m_tab, QStringLiteral("UPDATE CAT SET ISINUSE = :V WHERE KODELMT = :K"),
             {{"V", value}, {"K", key}});
    }

    std::unique_ptr<TestDatabases> m_dbs;
    std::unique_ptr<DbConnection> m_tab;
    int m_tables = 0;
};

} // namespace

TEST_F(Collections, OnlyACollectionWithoutSubCollectionsShowsTables) {
    Window w(*m_dbs);
    w.select(QStringLiteral("A"));
    EXPECT_FALSE(w.controller.openCollection());
    EXPECT_EQ(w.controller.mode(), CollectionsController::Mode::Collections);
    w.openTables(QStringLiteral("A1"));
    EXPECT_EQ(w.controller.mode(), CollectionsController::Mode::Tables);
    EXPECT_EQ(w.controller.currentCollection(), folder(QStringLiteral("A1")));
    EXPECT_EQ(w.controller.tablesCaption(), QStringLiteral("Таблицы сборника \"A1\""));
    w.controller.enterTree();
    EXPECT_EQ(w.controller.mode(), CollectionsController::Mode::Collections);
    EXPECT_TRUE(w.prompter().texts().isEmpty());
}

TEST_F(Collections, CollectionPasswordGuardsItsTables) {
    exec(*m_tab, QStringLiteral("UPDATE SBR SET PAROL = 'Key' WHERE NAMEFOLDER = 'B'"));
    Window w(*m_dbs);
    w.select(QStringLiteral("B"));
    w.prompter().input(QStringLiteral("key")).input(std::nullopt);
    EXPECT_FALSE(w.controller.openCollection());
    EXPECT_EQ(Messages(w.prompter()), QStringList{QStringLiteral("Неверный пароль")});
    w.prompter().input(QStringLiteral("Key"));
    EXPECT_TRUE(w.controller.openCollection());
    EXPECT_TRUE(w.prompter().allAnswersUsed());
}

TEST_F(Collections, DeleteIsRefusedWhileATableOfTheSubtreeIsInUse) {
    const int key = table(QStringLiteral("A1"), QStringLiteral("t"));
    setInUse(key, 1);
    Window w(*m_dbs);
    w.select(QStringLiteral("A"));
    EXPECT_FALSE(w.controller.deleteCollection());
    EXPECT_EQ(w.prompter().lastText(), QStringLiteral("Сборник занят другими пользователями"));
    EXPECT_EQ(ReadRows(*m_tab, QStringLiteral("SBR")).size(), 3u);

    setInUse(key, 0);
    w.prompter().clear();
    w.prompter().answer(Answer::No);
    EXPECT_FALSE(w.controller.deleteCollection());
    ASSERT_EQ(w.prompter().shown().size(), 1);
    EXPECT_EQ(w.prompter().shown()[0].text,
              QStringLiteral("Вы действительно хотите удалить сборник и все его таблицы ?"));
    EXPECT_EQ(w.prompter().shown()[0].defaultButton, Answer::No);
    EXPECT_EQ(ReadRows(*m_tab, QStringLiteral("SBR")).size(), 3u);

    w.prompter().answer(Answer::Yes);
    EXPECT_TRUE(w.controller.deleteCollection());
    EXPECT_EQ(Outline(w.program.tree), QStringLiteral("B"));
    EXPECT_EQ(scalar(*m_tab, QStringLiteral("SELECT COUNT(*) FROM CAT")).toInt(), 0);
}

TEST_F(Collections, OpeningATableRaisesTheCounterOnlyWhileTheEditorIsOpen) {
    const int guarded = table(QStringLiteral("B"), QStringLiteral("save-only"), "pw", 2);
    Window w(*m_dbs);
    w.openTables(QStringLiteral("B"));
    ASSERT_TRUE(w.rows.locate(QStringLiteral("KODELMT"), guarded));
    int during = -1;
    int opened = 0;
    EXPECT_TRUE(w.controller.openTable([&](int key) {
        opened = key;
        during = inUse(key);
    }));
    EXPECT_EQ(opened, guarded);
    EXPECT_EQ(during, 1);
    EXPECT_EQ(inUse(guarded), 0);
    EXPECT_TRUE(w.prompter().shown().isEmpty()); // scope 2 guards saving only

    // Another instance clears the counter while the editor is open: it stays 0.
    setInUse(guarded, 0);
    EXPECT_TRUE(w.controller.openTable([&](int key) { setInUse(key, 0); }));
    EXPECT_EQ(inUse(guarded), 0);
    // Someone else has it open too: ours comes and goes on top of theirs.
    setInUse(guarded, 1);
    w.rows.open();
    EXPECT_TRUE(w.controller.openTable([&](int key) { during = inUse(key); }));
    EXPECT_EQ(during, 2);
    EXPECT_EQ(inUse(guarded), 1);
}

TEST_F(Collections, ATablePasswordGuardsOpeningByItsScope) {
    const int both = table(QStringLiteral("B"), QStringLiteral("both"), "Pw", 0);
    const int none = table(QStringLiteral("B"), QStringLiteral("no scope"), "Pw", QVariant());
    Window w(*m_dbs);
    w.openTables(QStringLiteral("B"));
    ASSERT_TRUE(w.rows.locate(QStringLiteral("KODELMT"), both));
    bool shown = false;
    w.prompter().input(std::nullopt);
    EXPECT_FALSE(w.controller.openTable([&](int) { shown = true; }));
    EXPECT_FALSE(shown);
    EXPECT_EQ(inUse(both), 0);
    w.prompter().input(QStringLiteral("pw")).input(QStringLiteral("Pw"));
    EXPECT_TRUE(w.controller.openTable([&](int) { shown = true; }));
    EXPECT_TRUE(shown);
    EXPECT_EQ(Messages(w.prompter()), QStringList{QStringLiteral("Неверный пароль")});

    ASSERT_TRUE(w.rows.locate(QStringLiteral("KODELMT"), none));
    EXPECT_TRUE(w.controller.openTable([](int) {}));
    EXPECT_TRUE(w.prompter().allAnswersUsed());
}

TEST_F(Collections, OpeningATableDeletedMeanwhileTellsTheUser) {
    const int key = table(QStringLiteral("B"), QStringLiteral("t"));
    Window w(*m_dbs);
    w.openTables(QStringLiteral("B"));
    exec(*m_tab, QStringLiteral("DELETE FROM CAT WHERE KODELMT = ") + QString::number(key));
    bool shown = false;
    EXPECT_FALSE(w.controller.openTable([&](int) { shown = true; }));
    EXPECT_FALSE(shown);
    EXPECT_EQ(w.prompter().lastText(),
              QStringLiteral("Выбранная таблица удалена другим пользователем"));
}

TEST_F(Collections, DeletingATableChecksUseConfirmsAndAsksItsPassword) {
    const int key = table(QStringLiteral("B"), QStringLiteral("t"), "Pw", 1);
    Window w(*m_dbs);
    w.openTables(QStringLiteral("B"));
    setInUse(key, 1);
    EXPECT_FALSE(w.controller.deleteTable());
    EXPECT_EQ(w.prompter().lastText(),
              QStringLiteral("Таблица занята другим пользователем - удалить нельзя"));

    setInUse(key, 0);
    w.prompter().clear();
    w.prompter().answer(Answer::Yes).input(std::nullopt);
    EXPECT_FALSE(w.controller.deleteTable());
    EXPECT_EQ(w.prompter().shown()[0].text,
              QStringLiteral("Вы действительно хотите удалить таблицу ?"));
    EXPECT_EQ(inUse(key), 0);

    w.prompter().answer(Answer::Yes).input(QStringLiteral("Pw"));
    EXPECT_TRUE(w.controller.deleteTable());
    EXPECT_EQ(scalar(*m_tab, QStringLiteral("SELECT COUNT(*) FROM CAT")).toInt(), 0);
}

TEST_F(Collections, F12ReleasesACounterLeftBehind) {
    const int key = table(QStringLiteral("B"), QStringLiteral("t"));
    setInUse(key, 3);
    Window w(*m_dbs);
    w.openTables(QStringLiteral("B"));
    EXPECT_TRUE(w.controller.releaseTable());
    EXPECT_EQ(inUse(key), 0);
    EXPECT_EQ(w.rows.value(QStringLiteral("ISINUSE")).toInt(), 0);
    EXPECT_FALSE(w.controller.releaseTable());
}

TEST_F(Collections, FortyFiveDirectoriesMakeThreeMenuColumns) {
    std::unique_ptr<DbConnection> fact = m_dbs->connect(0);
    exec(*fact, QStringLiteral("DELETE FROM SPISAGR"));
    for (int n = 1; n <= 45; ++n)
        exec(*fact,
             QStringLiteral("INSERT INTO SPISAGR (NUMAGR, NAMEAGR, ISINELM) VALUES (:N, :A, :E)"),
             {{"N", n}, {"A", QStringLiteral(" Справочник %1 ").arg(n)}, {"E", n % 2 ? "T" : "F"}});
    exec(*fact, QStringLiteral("UPDATE NAST SET ISELMENABLED = 'T', NAMEELM = ' Объекты  '"));
    Window w(*m_dbs);
    DirectoryMenuModel menu = w.controller.readDirectoryMenu();
    ASSERT_EQ(menu.names.size(), 45);
    EXPECT_EQ(menu.names[0], QStringLiteral("Справочник 1"));
    EXPECT_EQ(menu.columnBreaks, (QList<int>{19, 39}));
    EXPECT_EQ(menu.inElements.size(), 23);
    EXPECT_TRUE(menu.objectsEnabled);
    EXPECT_EQ(menu.objectsCaption, QStringLiteral("Объекты"));

    exec(*fact, QStringLiteral("DELETE FROM SPISAGR WHERE NUMAGR > 20"));
    exec(*fact, QStringLiteral("UPDATE NAST SET ISELMENABLED = 'F'"));
    menu = w.controller.readDirectoryMenu();
    EXPECT_TRUE(menu.columnBreaks.isEmpty());
    EXPECT_FALSE(menu.objectsEnabled);
}

TEST_F(Collections, AdministratorCommandsNeedSysdbaInAnyCase) {
    for (const QString& user : {QStringLiteral("Sysdba2"), QStringLiteral("SYSDB")}) {
        ScriptedPrompter prompter;
        TdmMSSQL dm(prompter);
        dm.dbMain.setParams(m_dbs->factPath(), user, TestDatabases::password());
        OutlineState state;
        OutlineTree tree;
        OutlineEngine<int> engine(dm, OutlineDescriptor::Collections(), tree, prompter, state);
        ElementRowSet rows(dm.query(QStringLiteral("quCAT")));
        ElementOperations elements(dm, ElementDescriptor::Tables(), rows, prompter, state);
        CollectionsController c(dm, prompter, engine, elements);
        EXPECT_FALSE(c.mayChangePeriods());
        EXPECT_EQ(prompter.lastText(), QStringLiteral("Изменить периоды хранения\r\nимеет право "
                                                      "только администратор БД (SYSDBA)"));
        EXPECT_FALSE(c.mayChangeComposition());
        EXPECT_EQ(prompter.lastText(), QStringLiteral("Изменить состав справочников\r\nимеет "
                                                      "право только администратор БД (SYSDBA)"));
        dm.dbMain.setParams(m_dbs->factPath(), QStringLiteral("sysdba"), {});
        EXPECT_TRUE(c.mayChangePeriods());
        EXPECT_TRUE(c.mayChangeComposition());
        EXPECT_EQ(prompter.shown().size(), 2);
    }
}

TEST_F(Collections, SwitchingTheTableMaterialsShowsTheOtherCollections) {
    TestDatabases other;
    {
        std::unique_ptr<DbConnection> tab = other.connect(1);
        SeedSbr(*tab, {"Другой:1"});
    }
    AppContext::setProgramFolder(m_dbs->folder());
    m_dbs->writeConfig();
    Window w(*m_dbs);
    EXPECT_EQ(Outline(w.program.tree), QStringLiteral("A .A1 B"));
    EXPECT_TRUE(w.controller.bothConnected());
    EXPECT_EQ(w.controller.changeUserCaption(),
              QStringLiteral("Сменить пользователя фактографической БД"));
    ScriptedLoginLauncher login;
    w.program.dm.setLoginLauncher(&login);
    login.apply(other.tabPath(), TestDatabases::user(), TestDatabases::password());
    EXPECT_TRUE(w.controller.switchDatabase(1));
    EXPECT_EQ(Outline(w.program.tree), QStringLiteral("Другой"));
    ASSERT_EQ(login.requests().size(), 1);
    EXPECT_EQ(login.requests()[0].windowCaption, QStringLiteral("Сменить БД"));

    login.endWork();
    EXPECT_FALSE(w.controller.changeUser(1));
    EXPECT_EQ(login.requests()[1].mode, LoginMode::UserChange);
    EXPECT_TRUE(w.controller.mayViewPasswords());
    EXPECT_TRUE(w.controller.mayEditRights());
}

TEST_F(Collections, PasswordsAreStoredWithTheirScope) {
    const int key = table(QStringLiteral("B"), QStringLiteral("t"));
    Window w(*m_dbs);
    w.select(QStringLiteral("B"));
    ASSERT_TRUE(w.controller.setCollectionPassword(QStringLiteral("Sb")));
    EXPECT_EQ(scalar(*m_tab, QStringLiteral("SELECT PAROL FROM SBR WHERE NAMEFOLDER = 'B'"))
                  .toString()
                  .trimmed(),
              QStringLiteral("Sb"));
    w.prompter().input(QStringLiteral("Sb"));
    w.openTables(QStringLiteral("B"));
    const auto stored = [&] {
        return scalar(*m_tab, QStringLiteral("SELECT PAROL || ':' || COALESCE(TYPEUSE, -1) FROM "
                                             "CAT WHERE KODELMT = ") +
                                  QString::number(key))
            .toString();
    };
    ASSERT_TRUE(w.controller.setTablePassword(QStringLiteral("Tb"), false, true));
    EXPECT_EQ(stored(), QStringLiteral("Tb:2"));
    EXPECT_EQ(w.rows.value(QStringLiteral("TYPEUSE")).toInt(), 2);
    ASSERT_TRUE(w.controller.setTablePassword(QStringLiteral("Tb"), false, false));
    EXPECT_EQ(stored(), QStringLiteral("Tb:1"));
    ASSERT_TRUE(w.controller.setTablePassword(QStringLiteral("Tb"), true, true));
    EXPECT_EQ(stored(), QStringLiteral("Tb:0"));
    ASSERT_TRUE(w.controller.setTablePassword(QStringLiteral("  "), true, true));
    EXPECT_EQ(stored(), QStringLiteral(":1"));
    EXPECT_TRUE(w.controller.openTable([](int) {}));
    EXPECT_TRUE(w.prompter().allAnswersUsed());

    w.controller.showTablePassword();
    EXPECT_EQ(w.prompter().lastText(), QStringLiteral("Пароль не задан"));
}

TEST_F(Collections, NamesTypedInTheGridAreStoredAtOnce) {
    const int key = table(QStringLiteral("B"), QStringLiteral("old"));
    Window w(*m_dbs);
    w.openTables(QStringLiteral("B"));
    w.controller.attachGridEditing();
    w.rows.edit(QStringLiteral("NAMEFOLDER"), QStringLiteral("new"));
    w.rows.post();
    EXPECT_EQ(scalar(*m_tab, QStringLiteral("SELECT NAMEFOLDER FROM CAT WHERE KODELMT = ") +
                                 QString::number(key))
                  .toString(),
              QStringLiteral("new"));
}

TEST_F(Collections, EnteringPasswordsAsksTheOldOneFirst) {
    exec(*m_tab, QStringLiteral("UPDATE SBR SET PAROL = 'Old' WHERE NAMEFOLDER = 'B'"));
    table(QStringLiteral("B"), QStringLiteral("t"), "Tp", 2);
    Window w(*m_dbs);
    w.select(QStringLiteral("B"));
    w.prompter().input(QStringLiteral("old"));
    w.prompter().input(std::nullopt);
    EXPECT_FALSE(w.controller.enterCollectionPassword());
    w.prompter().input(QStringLiteral("Old")).input(QStringLiteral("New"));
    EXPECT_TRUE(w.controller.enterCollectionPassword());
    EXPECT_EQ(scalar(*m_tab, QStringLiteral("SELECT PAROL FROM SBR WHERE NAMEFOLDER = 'B'"))
                  .toString()
                  .trimmed(),
              QStringLiteral("New"));

    w.prompter().input(QStringLiteral("New"));
    w.openTables(QStringLiteral("B"));
    w.prompter().input(QStringLiteral("Tp"));
    bool shownOpen = true, shownSave = false;
    EXPECT_TRUE(w.controller.enterTablePassword(
        [&](const QString& parol, bool onOpen, bool onSave,
            const CollectionsController::TablePasswordStore& store) {
            shownOpen = onOpen;
            shownSave = onSave;
            EXPECT_EQ(parol, QStringLiteral("Tp"));
            return store(parol, true, onSave);
        }));
    EXPECT_FALSE(shownOpen);
    EXPECT_TRUE(shownSave);
    EXPECT_EQ(w.rows.value(QStringLiteral("TYPEUSE")).toInt(), 0);
    EXPECT_TRUE(w.prompter().allAnswersUsed());
}

TEST_F(Collections, AProtectedCollectionIsClosedOnlyWithItsPassword) {
    exec(*m_tab, QStringLiteral("UPDATE SBR SET PAROL = 'Pa' WHERE NAMEFOLDER = 'A'"));
    Window w(*m_dbs);
    OutlineNode* a = FindNode(w.program.tree, QStringLiteral("A"));
    ASSERT_TRUE(a && !a->expanded());
    // Opening asks nothing.
    EXPECT_TRUE(w.controller.toggleFolder(a));
    EXPECT_TRUE(a->expanded());
    EXPECT_EQ(a->icon(), IconOpen);
    EXPECT_TRUE(w.prompter().shown().isEmpty());

    // A wrong password is refused, cancelling keeps the collection open.
    w.prompter().input(QStringLiteral("pa")).input(std::nullopt);
    EXPECT_FALSE(w.controller.toggleFolder(a));
    EXPECT_TRUE(a->expanded());
    EXPECT_EQ(a->icon(), IconOpen);
    EXPECT_EQ(Messages(w.prompter()), QStringList{QStringLiteral("Неверный пароль")});
    ASSERT_FALSE(w.prompter().shown().isEmpty());
    EXPECT_EQ(w.prompter().shown()[0].caption, QStringLiteral("Пароль сборника"));
    EXPECT_EQ(w.prompter().shown()[0].text, QStringLiteral("Введите пароль сборника :"));

    w.prompter().clear();
    w.prompter().input(QStringLiteral("Pa"));
    EXPECT_TRUE(w.controller.toggleFolder(a));
    EXPECT_FALSE(a->expanded());
    EXPECT_EQ(a->icon(), IconClosed);
    EXPECT_TRUE(w.prompter().allAnswersUsed());

    // A collection without sub-collections is opened, not toggled.
    EXPECT_FALSE(w.controller.toggleFolder(FindNode(w.program.tree, QStringLiteral("B"))));
    EXPECT_FALSE(w.controller.toggleFolder(nullptr));
}

TEST_F(Collections, ArrowKeysAndDoubleClicksOnCollections) {
    exec(*m_tab, QStringLiteral("UPDATE SBR SET PAROL = 'Pa' WHERE NAMEFOLDER = 'A'"));
    Window w(*m_dbs);
    OutlineNode* a = FindNode(w.program.tree, QStringLiteral("A"));
    ASSERT_TRUE(a);
    // Right and Left never ask, and do nothing when the collection is already so.
    EXPECT_FALSE(w.controller.collapseFolder(a));
    EXPECT_TRUE(w.controller.expandFolder(a));
    EXPECT_FALSE(w.controller.expandFolder(a));
    EXPECT_EQ(a->icon(), IconOpen);
    EXPECT_TRUE(w.controller.collapseFolder(a));
    EXPECT_EQ(a->icon(), IconClosed);
    EXPECT_FALSE(w.controller.expandFolder(FindNode(w.program.tree, QStringLiteral("A1"))));
    EXPECT_TRUE(w.prompter().shown().isEmpty());

    // A double click closes an open collection only once the password is given.
    EXPECT_TRUE(w.controller.mayCollapse(a));
    ASSERT_TRUE(w.controller.expandFolder(a));
    w.prompter().input(std::nullopt).input(QStringLiteral("Pa"));
    EXPECT_FALSE(w.controller.mayCollapse(a));
    EXPECT_TRUE(w.controller.mayCollapse(a));
    EXPECT_TRUE(w.prompter().allAnswersUsed());
    // Unprotected collections close without asking.
    exec(*m_tab, QStringLiteral("UPDATE SBR SET PAROL = '' WHERE NAMEFOLDER = 'A'"));
    EXPECT_TRUE(w.controller.mayCollapse(a));
    EXPECT_TRUE(w.controller.toggleFolder(a));
    EXPECT_EQ(w.prompter().shown().size(), 2);
}
