#include "OutlineTestSupport.h"

#include "DbError.h"

#include <gtest/gtest.h>

using namespace dbtest;

namespace {

const QString kChanged =
    QStringLiteral("Каталог сборников изменен другим пользователем. Повторите...");

class OutlineInstances : public ::testing::Test {
protected:
    void SetUp() override {
        m_dbs = std::make_unique<TestDatabases>();
        m_tab = m_dbs->connect(1);
        m_fact = m_dbs->connect(0);
        SeedSbr(*m_tab, {"A:1", "a:2", "B:1", "C:1"});
        m_a = std::make_unique<Instance>(*m_dbs, OutlineDescriptor::Collections());
        m_b = std::make_unique<Instance>(*m_dbs, OutlineDescriptor::Collections());
        m_a->engine.BuildOutline();
        m_b->engine.BuildOutline();
    }
    void TearDown() override {
        m_a.reset();
        m_b.reset();
        m_fact.reset();
        m_tab.reset();
        m_dbs.reset();
    }
    int flagOf(Instance& i, const char* column) {
        return scalar(*m_fact,
                      QStringLiteral("SELECT %1 FROM USERS WHERE KODUSER = :K")
                          .arg(QString::fromLatin1(column)),
                      {{"K", *i.dm.instanceKey()}})
            .toInt();
    }
    static void select(Instance& i, const QString& name) {
        OutlineNode* n = FindNode(i.tree, name);
        ASSERT_NE(n, nullptr);
        i.engine.selectNode(n);
    }

    std::unique_ptr<TestDatabases> m_dbs;
    std::unique_ptr<DbConnection> m_tab;
    std::unique_ptr<DbConnection> m_fact;
    std::unique_ptr<Instance> m_a;
    std::unique_ptr<Instance> m_b;
};

} // namespace

TEST_F(OutlineInstances, AChangeMakesTheOtherReloadOnceAndReselect) {
    select(*m_b, QStringLiteral("a"));
    select(*m_a, QStringLiteral("B"));
    ASSERT_TRUE(m_a->engine.BeginCommand());
    ASSERT_TRUE(m_a->engine.MoveNodeUp());
    EXPECT_EQ(flagOf(*m_b, "PSBR"), 1);
    EXPECT_EQ(flagOf(*m_a, "PSBR"), 0);
    EXPECT_EQ(flagOf(*m_b, "PRUB"), 0);

    // B's next command reloads, tells, and does nothing else.
    const int rowsBefore = int(ReadRows(*m_tab, QStringLiteral("SBR")).size());
    EXPECT_FALSE(m_b->engine.BeginCommand());
    EXPECT_EQ(m_b->prompter.texts(), QStringList{kChanged});
    EXPECT_EQ(m_b->prompter.shown().first().icon, PromptIcon::Information);
    EXPECT_EQ(int(ReadRows(*m_tab, QStringLiteral("SBR")).size()), rowsBefore);
    EXPECT_EQ(Outline(m_b->tree), QStringLiteral("B A .a C"));
    EXPECT_EQ(m_b->tree.current(), FindNode(m_b->tree, QStringLiteral("a")));
    EXPECT_TRUE(FindNode(m_b->tree, QStringLiteral("A"))->expanded());
    EXPECT_EQ(flagOf(*m_b, "PSBR"), 0);
    EXPECT_EQ(CompareWithStored(m_b->engine, m_b->tree, ReadRows(*m_tab, QStringLiteral("SBR"))),
              QString());
    // The user repeats the command and this time it runs.
    m_b->prompter.clear();
    EXPECT_TRUE(m_b->engine.BeginCommand());
    ASSERT_TRUE(m_b->engine.AddOutlineNode());
    EXPECT_TRUE(m_b->prompter.shown().isEmpty());
    EXPECT_EQ(flagOf(*m_a, "PSBR"), 1);
}

TEST_F(OutlineInstances, ASelectedFolderDeletedByTheOtherFallsBackToTheFirst) {
    select(*m_b, QStringLiteral("C"));
    select(*m_a, QStringLiteral("C"));
    ASSERT_TRUE(m_a->engine.DeleteOutlineSubtree());
    EXPECT_FALSE(m_b->engine.BeginCommand());
    EXPECT_EQ(m_b->prompter.texts(), QStringList{kChanged});
    EXPECT_EQ(Outline(m_b->tree), QStringLiteral("A .a B"));
    EXPECT_EQ(m_b->tree.current(), m_b->tree.topLevel(0));
}

// The other program deletes a folder while this one is typing its name or identifier.
TEST_F(OutlineInstances, RenamingAFolderTheOtherDeletedSaysSoAndStoresNothing) {
    select(*m_a, QStringLiteral("C"));
    ASSERT_TRUE(m_a->engine.DeleteOutlineSubtree());
    OutlineNode* gone = FindNode(m_b->tree, QStringLiteral("C"));
    ASSERT_NE(gone, nullptr);
    m_b->engine.setIdentifier(gone, QStringLiteral("F-7"));
    EXPECT_FALSE(m_b->engine.RenameNode(gone, QStringLiteral("Новое")));
    EXPECT_EQ(m_b->prompter.texts(),
              QStringList{QStringLiteral("Сборник удален другим пользователем")});
    EXPECT_EQ(gone->text(), QStringLiteral("C"));
    EXPECT_EQ(scalar(*m_tab, QStringLiteral("SELECT COUNT(*) FROM SBR WHERE NAMEFOLDER = 'Новое' "
                                            "OR NAMEID = 'F-7'"))
                  .toInt(),
              0);
    EXPECT_FALSE(m_b->dm.dbTab.inTransaction());
    // The next command reads the tree again; a folder still there is renamed as before.
    EXPECT_FALSE(m_b->engine.BeginCommand());
    EXPECT_EQ(Outline(m_b->tree), QStringLiteral("A .a B"));
    EXPECT_TRUE(
        m_b->engine.RenameNode(FindNode(m_b->tree, QStringLiteral("B")), QStringLiteral("Б")));
    EXPECT_EQ(Outline(m_b->tree), QStringLiteral("A .a Б"));
}

TEST_F(OutlineInstances, ALoneInstanceRaisesNoFlags) {
    m_b.reset();
    ASSERT_TRUE(m_a->engine.AddOutlineNode());
    EXPECT_EQ(scalar(*m_fact, QStringLiteral("SELECT SUM(PSBR) FROM USERS")).toInt(), 0);
    // A row left behind by a program that ended badly still counts and receives flags.
    call(*m_fact, "INSERT_USERS");
    ASSERT_TRUE(m_a->engine.AddOutlineNode());
    EXPECT_EQ(scalar(*m_fact, QStringLiteral("SELECT SUM(PSBR) FROM USERS")).toInt(), 1);
    EXPECT_EQ(flagOf(*m_a, "PSBR"), 0);
}

TEST_F(OutlineInstances, RubricsUseTheirOwnFlagAndMessage) {
    OutlineTree treeA, treeB;
    OutlineEngine<int> a(m_a->dm, OutlineDescriptor::Rubrics(), treeA, m_a->prompter, m_a->state);
    OutlineEngine<int> b(m_b->dm, OutlineDescriptor::Rubrics(), treeB, m_b->prompter, m_b->state);
    a.BuildOutline();
    b.BuildOutline();
    ASSERT_TRUE(a.AddOutlineNode());
    EXPECT_EQ(flagOf(*m_b, "PRUB"), 1);
    EXPECT_EQ(flagOf(*m_b, "PSBR"), 0);
    EXPECT_TRUE(m_b->engine.BeginCommand());
    EXPECT_FALSE(b.BeginCommand());
    EXPECT_EQ(m_b->prompter.texts(),
              QStringList{QStringLiteral("Разделы изменены другим пользователем. Повторите...")});
    EXPECT_EQ(treeB.count(), 1);
    EXPECT_EQ(CompareWithStored(b, treeB, ReadRows(*m_fact, QStringLiteral("RUB"))), QString());
}

namespace {

// A user who may do everything on the catalogues except what the test takes away.
void GrantAnalyst(DbConnection& fact, DbConnection& tab) {
    for (const char* t : {"SBR", "CAT"})
        exec(tab, QStringLiteral("GRANT ALL ON %1 TO ANALYST").arg(QString::fromLatin1(t)));
    for (const char* p :
         {"INSERT_SBR", "DELETE_SBR", "UPDATE_SBR", "UPDATE_LEV_SBR", "UPD_NPPLEV_SBR", "RENUM_SBR",
          "UPDATE_SBRNAME", "INSERT_CAT", "DELETE_CAT", "UPDATE_CAT", "RENUM_CAT"})
        exec(
            tab,
            QStringLiteral("GRANT EXECUTE ON PROCEDURE %1 TO ANALYST").arg(QString::fromLatin1(p)));
    exec(tab, QStringLiteral("GRANT USAGE ON GENERATOR GET_KOD_SBR TO ANALYST"));
    exec(tab, QStringLiteral("GRANT USAGE ON GENERATOR GET_KOD_CAT TO ANALYST"));
    exec(fact, QStringLiteral("GRANT ALL ON USERS TO ANALYST"));
    exec(fact, QStringLiteral("GRANT USAGE ON GENERATOR GET_KOD_USERS TO ANALYST"));
    for (const char* p : {"INSERT_USERS", "DELETE_USERS", "GET_KOL_USERS", "ONE_USBR", "ZERO_USBR",
                          "ONE_UCAT", "ZERO_UCAT"})
        exec(
            fact,
            QStringLiteral("GRANT EXECUTE ON PROCEDURE %1 TO ANALYST").arg(QString::fromLatin1(p)));
}

} // namespace

TEST_F(OutlineInstances, ARightsErrorNamesTheRefusedOperation) {
    GrantAnalyst(*m_fact, *m_tab);
    exec(*m_tab, QStringLiteral("REVOKE EXECUTE ON PROCEDURE INSERT_SBR FROM ANALYST"));
    exec(*m_tab, QStringLiteral("REVOKE EXECUTE ON PROCEDURE UPD_NPPLEV_SBR FROM ANALYST"));
    Instance analyst(*m_dbs, OutlineDescriptor::Collections(), QStringLiteral("ANALYST"));
    analyst.engine.BuildOutline();
    select(analyst, QStringLiteral("B"));
    EXPECT_FALSE(analyst.engine.AddOutlineNode());
    ASSERT_EQ(analyst.prompter.shown().size(), 1);
    const QString text = analyst.prompter.lastText();
    const QString head = QStringLiteral("Пользователь не имеет прав на добавление\r\n\r\n");
    EXPECT_TRUE(text.startsWith(head)) << text.toStdString();
    EXPECT_GT(text.size(), head.size());
    EXPECT_EQ(analyst.prompter.shown().first().icon, PromptIcon::Error);
    EXPECT_FALSE(analyst.dm.dbTab.inTransaction());
    EXPECT_FALSE(analyst.dm.dbMain.inTransaction());
    EXPECT_EQ(ReadRows(*m_tab, QStringLiteral("SBR")).size(), 4u);
    EXPECT_EQ(
        CompareWithStored(analyst.engine, analyst.tree, ReadRows(*m_tab, QStringLiteral("SBR"))),
        QString());

    analyst.prompter.clear();
    select(analyst, QStringLiteral("B"));
    EXPECT_FALSE(analyst.engine.MoveNodeUp());
    EXPECT_TRUE(analyst.prompter.lastText().startsWith(
        QStringLiteral("Пользователь не имеет прав на корректировку\r\n\r\n")));
    // Levels it may still change.
    analyst.prompter.clear();
    select(analyst, QStringLiteral("B"));
    EXPECT_TRUE(analyst.engine.DemoteNode());
    EXPECT_TRUE(analyst.prompter.shown().isEmpty());
}

TEST_F(OutlineInstances, ACheckWithoutRightsStopsTheCommand) {
    GrantAnalyst(*m_fact, *m_tab);
    exec(*m_fact, QStringLiteral("REVOKE EXECUTE ON PROCEDURE ZERO_USBR FROM ANALYST"));
    Instance analyst(*m_dbs, OutlineDescriptor::Collections(), QStringLiteral("ANALYST"));
    analyst.engine.BuildOutline();
    ASSERT_TRUE(m_a->engine.AddOutlineNode());
    EXPECT_FALSE(analyst.engine.BeginCommand());
    ASSERT_EQ(analyst.prompter.shown().size(), 1);
    EXPECT_TRUE(analyst.prompter.lastText().startsWith(
        QStringLiteral("Пользователь не имеет прав на данную операцию\r\n\r\n")));
    EXPECT_FALSE(analyst.dm.dbMain.inTransaction());
}

TEST_F(OutlineInstances, AnotherFailureRollsBackAndRebuilds) {
    // The server refuses positions past a limit; the command fails half way.
    exec(*m_tab, QStringLiteral("ALTER TABLE SBR ADD CONSTRAINT NPP_LIMIT CHECK (NPP < 450)"));
    select(*m_a, QStringLiteral("a"));
    m_a->tree.setText(FindNode(m_a->tree, QStringLiteral("a")), QStringLiteral("unsaved"));
    EXPECT_FALSE(m_a->engine.DropOutlineNode(nullptr, DropZone::Below));
    const QString head = QStringLiteral("Ошибка при переносе. Повторите...\r\n\r\n");
    EXPECT_TRUE(m_a->prompter.lastText().startsWith(head))
        << m_a->prompter.lastText().toStdString();
    // Rolled back and rebuilt from the rows: the unsaved caption is gone too.
    EXPECT_EQ(Outline(m_a->tree), QStringLiteral("A .a B C"));
    EXPECT_EQ(flagOf(*m_b, "PSBR"), 0);
    EXPECT_EQ(CompareWithStored(m_a->engine, m_a->tree, ReadRows(*m_tab, QStringLiteral("SBR"))),
              QString());
}

TEST_F(OutlineInstances, AFailedFlagUndoesTheChangeInTheOtherDatabase) {
    GrantAnalyst(*m_fact, *m_tab);
    exec(*m_fact, QStringLiteral("REVOKE EXECUTE ON PROCEDURE ONE_USBR FROM ANALYST"));
    Instance analyst(*m_dbs, OutlineDescriptor::Collections(), QStringLiteral("ANALYST"));
    analyst.engine.BuildOutline();
    select(analyst, QStringLiteral("C"));
    EXPECT_FALSE(analyst.engine.DeleteOutlineSubtree());
    EXPECT_TRUE(analyst.prompter.lastText().startsWith(
        QStringLiteral("Пользователь не имеет прав на удаление\r\n\r\n")));
    // The table-materials rows are back and the tree, not rebuilt, still shows C.
    EXPECT_EQ(ReadRows(*m_tab, QStringLiteral("SBR")).size(), 4u);
    EXPECT_EQ(Outline(analyst.tree), QStringLiteral("A .a B C"));
    EXPECT_FALSE(analyst.dm.dbTab.inTransaction());
    EXPECT_FALSE(analyst.dm.dbMain.inTransaction());
}
