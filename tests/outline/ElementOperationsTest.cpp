#include "OutlineTestSupport.h"

#include "DbError.h"
#include "ElementOperations.h"
#include "ElementRowSet.h"

#include <gtest/gtest.h>

using namespace dbtest;

namespace {

class Elements : public ::testing::Test {
protected:
    void SetUp() override {
        m_dbs = std::make_unique<TestDatabases>();
        m_tab = m_dbs->connect(1);
        SeedSbr(*m_tab, {"A:1", "B:1"});
        m_folder = rows(QStringLiteral("SBR"))[0].key.toInt();
        m_a = std::make_unique<Instance>(*m_dbs, OutlineDescriptor::Collections());
        m_set = std::make_unique<ElementRowSet>(m_a->dm.query(QStringLiteral("quCAT")));
        m_ops = std::make_unique<ElementOperations>(m_a->dm, ElementDescriptor::Tables(), *m_set,
                                                    m_a->prompter, m_a->state);
    }
    void TearDown() override {
        m_ops.reset();
        m_set.reset();
        m_a.reset();
        m_tab.reset();
        m_dbs.reset();
    }
    std::vector<StoredRow> rows(const QString& table) { return ReadRows(*m_tab, table); }
    // Tables of the folder as "name:npp" in NPP order.
    QStringList tables() {
        QStringList out;
        DbStatement& st = m_tab->statement(QStringLiteral("test_cat"));
        st.setSql(
            QStringLiteral("SELECT NAMEFOLDER, NPP FROM CAT WHERE KODFOLDER = :F ORDER BY NPP"));
        st.setParam(QStringLiteral("F"), m_folder);
        st.open();
        for (st.first(); !st.eof(); st.next())
            out << st.value(0).toString() + QLatin1Char(':') + st.value(1).toString();
        st.close();
        return out;
    }
    void seed(const QStringList& items) {
        for (const QString& item : items) {
            const QStringList p = item.split(QLatin1Char(':'));
            call(*m_tab, "INSERT_CAT",
                 {{"NPP", p[1].toInt()},
                  {"KODFOLDER", m_folder},
                  {"NAMEFOLDER", p[0]},
                  {"KODALT", ""},
                  {"KODSPIS", 0}});
        }
        m_ops->openFolder(m_folder);
    }
    QString currentName() { return m_set->value(QStringLiteral("NAMEFOLDER")).toString(); }
    void go(const QString& name) { ASSERT_TRUE(m_set->locate(QStringLiteral("NAMEFOLDER"), name)); }
    // Names the new (empty-named) elements "n".
    void nameNew() {
        exec(*m_tab, QStringLiteral("UPDATE CAT SET NAMEFOLDER = 'n' WHERE NAMEFOLDER = ''"));
    }

    std::unique_ptr<TestDatabases> m_dbs;
    std::unique_ptr<DbConnection> m_tab;
    std::unique_ptr<Instance> m_a;
    std::unique_ptr<ElementRowSet> m_set;
    std::unique_ptr<ElementOperations> m_ops;
    int m_folder = 0;
};

} // namespace

TEST_F(Elements, AddingToAnEmptyFolderAndAfterTheLast) {
    m_ops->openFolder(m_folder);
    EXPECT_FALSE(m_ops->commands().gridEnabled);
    ASSERT_TRUE(m_ops->AddElement());
    nameNew();
    EXPECT_EQ(tables(), QStringList{"n:100"});
    EXPECT_TRUE(m_ops->commands().gridEnabled && m_ops->commands().remove);
    EXPECT_EQ(m_set->value(QStringLiteral("KODELMT")), m_ops->lastAddedKey());
    ASSERT_TRUE(m_ops->AddElement());
    EXPECT_EQ(tables(), (QStringList{"n:100", ":200"}));
    EXPECT_EQ(m_set->currentRow(), 1);
    EXPECT_EQ(scalar(*m_tab, QStringLiteral("SELECT KODSPIS FROM CAT WHERE NPP = 200")).toInt(), 0);
}

TEST_F(Elements, AddingBetweenTwoAndMakingRoom) {
    seed({"a:100", "b:200"});
    ASSERT_TRUE(m_ops->AddElement());
    EXPECT_EQ(tables(), (QStringList{"a:100", ":150", "b:200"}));
    EXPECT_EQ(m_set->currentRow(), 1);
    EXPECT_EQ(m_set->value(QStringLiteral("NPP")).toInt(), 150);
}

TEST_F(Elements, NoRoomMovesTheSuccessorOrRenumbers) {
    seed({"a:100", "b:101", "c:300"});
    ASSERT_TRUE(m_ops->AddElement());
    EXPECT_EQ(tables(), (QStringList{"a:100", ":150", "b:200", "c:300"}));
    exec(*m_tab, QStringLiteral("DELETE FROM CAT"));
    seed({"a:100", "b:101"});
    ASSERT_TRUE(m_ops->AddElement());
    EXPECT_EQ(tables(), (QStringList{"a:100", ":150", "b:201"}));
    exec(*m_tab, QStringLiteral("DELETE FROM CAT"));
    seed({"a:100", "b:101", "c:102"});
    ASSERT_TRUE(m_ops->AddElement());
    EXPECT_EQ(tables(), (QStringList{"a:100", ":150", "b:200", "c:300"}));
}

TEST_F(Elements, BeforeTheFirstElement) {
    seed({"a:1"});
    int npp = 0;
    RunInTransaction(m_a->dm.dbTab, [&] { npp = m_ops->AllocateElementNpp(); });
    EXPECT_EQ(npp, 100);
    EXPECT_EQ(tables(), QStringList{"a:200"});
    EXPECT_EQ(currentName(), QStringLiteral("a"));
    exec(*m_tab, QStringLiteral("DELETE FROM CAT"));
    seed({"a:1", "b:2", "c:500"});
    RunInTransaction(m_a->dm.dbTab, [&] { npp = m_ops->AllocateElementNpp(); });
    EXPECT_EQ(npp, 50);
    EXPECT_EQ(tables(), (QStringList{"a:100", "b:200", "c:300"}));
}

TEST_F(Elements, DeletingReturnsToANeighbour) {
    seed({"a:100", "b:200", "c:300"});
    go("b");
    ASSERT_TRUE(m_ops->DeleteElement());
    EXPECT_EQ(currentName(), QStringLiteral("c"));
    ASSERT_TRUE(m_ops->DeleteElement());
    EXPECT_EQ(currentName(), QStringLiteral("a"));
    EXPECT_TRUE(m_ops->commands().gridEnabled);
    ASSERT_TRUE(m_ops->DeleteElement());
    EXPECT_TRUE(tables().isEmpty());
    EXPECT_FALSE(m_ops->commands().gridEnabled);
    EXPECT_FALSE(m_ops->commands().remove);
    EXPECT_FALSE(m_ops->DeleteElement());
}

TEST_F(Elements, DraggingRows) {
    seed({"a:100", "b:200", "c:300", "d:400"});
    // Onto the title row: to the end.
    go("a");
    ASSERT_TRUE(m_ops->MoveElementByDrag(0, -1));
    EXPECT_EQ(tables(), (QStringList{"b:200", "c:300", "d:400", "a:500"}));
    EXPECT_EQ(currentName(), QStringLiteral("a"));
    // Onto the row just below: the order stays.
    go("b");
    ASSERT_TRUE(m_ops->MoveElementByDrag(0, 1));
    EXPECT_EQ(tables(), (QStringList{"b:250", "c:300", "d:400", "a:500"}));
    // Up in front of the target row.
    go("a");
    ASSERT_TRUE(m_ops->MoveElementByDrag(3, 1));
    EXPECT_EQ(tables(), (QStringList{"b:250", "a:275", "c:300", "d:400"}));
    // The grid shows the rows scrolled: only the difference counts.
    go("b");
    ASSERT_TRUE(m_ops->MoveElementByDrag(10, 13));
    EXPECT_EQ(tables(), (QStringList{"a:275", "c:300", "b:350", "d:400"}));
    EXPECT_EQ(currentName(), QStringLiteral("b"));
    // On its own row, or past the rows: nothing.
    EXPECT_FALSE(m_ops->MoveElementByDrag(2, 2));
    EXPECT_FALSE(m_ops->MoveElementByDrag(2, 9));
    EXPECT_TRUE(m_a->prompter.shown().isEmpty());
}

TEST_F(Elements, ARightsErrorRollsBackAndReturnsToTheElement) {
    exec(*m_tab, QStringLiteral("GRANT ALL ON CAT TO ANALYST"));
    exec(*m_tab, QStringLiteral("GRANT EXECUTE ON PROCEDURE UPDATE_CAT TO ANALYST"));
    auto fact = m_dbs->connect(0);
    exec(*fact, QStringLiteral("GRANT ALL ON USERS TO ANALYST"));
    exec(*fact, QStringLiteral("GRANT USAGE ON GENERATOR GET_KOD_USERS TO ANALYST"));
    for (const char* p : {"INSERT_USERS", "DELETE_USERS", "GET_KOL_USERS", "ONE_UCAT"})
        exec(*fact, QStringLiteral("GRANT EXECUTE ON PROCEDURE %1 TO ANALYST").arg(p));
    seed({"a:100", "b:200"});
    Instance analyst(*m_dbs, OutlineDescriptor::Collections(), QStringLiteral("ANALYST"));
    ElementRowSet set(analyst.dm.query(QStringLiteral("quCAT")));
    ElementOperations ops(analyst.dm, ElementDescriptor::Tables(), set, analyst.prompter,
                          analyst.state);
    ops.openFolder(m_folder);
    set.last();
    EXPECT_FALSE(ops.DeleteElement());
    EXPECT_TRUE(analyst.prompter.lastText().startsWith(
        QStringLiteral("Пользователь не имеет прав на удаление\r\n\r\n")));
    EXPECT_EQ(set.value(QStringLiteral("NAMEFOLDER")).toString(), QStringLiteral("b"));
    analyst.prompter.clear();
    set.first();
    EXPECT_FALSE(ops.AddElement());
    EXPECT_TRUE(analyst.prompter.lastText().startsWith(
        QStringLiteral("Пользователь не имеет прав на добавление\r\n\r\n")));
    EXPECT_EQ(set.value(QStringLiteral("NAMEFOLDER")).toString(), QStringLiteral("a"));
    EXPECT_FALSE(analyst.dm.dbTab.inTransaction());
    EXPECT_EQ(tables(), (QStringList{"a:100", "b:200"}));
    // Moving it may do.
    analyst.prompter.clear();
    EXPECT_TRUE(ops.MoveElementByDrag(0, -1));
    EXPECT_EQ(tables(), (QStringList{"b:200", "a:300"}));
}

TEST_F(Elements, AnotherInstanceSeesTheChange) {
    seed({"a:100", "b:200"});
    Instance other(*m_dbs, OutlineDescriptor::Collections());
    ElementRowSet set(other.dm.query(QStringLiteral("quCAT")));
    ElementOperations ops(other.dm, ElementDescriptor::Tables(), set, other.prompter, other.state);
    ops.openFolder(m_folder);
    set.last();
    EXPECT_EQ(ops.CheckChange(), ChangeFlags::Unchanged);
    go("a");
    ASSERT_TRUE(m_ops->AddElement());
    EXPECT_EQ(ops.CheckChange(), ChangeFlags::ChangedKeyFound);
    EXPECT_EQ(set.count(), 3);
    EXPECT_EQ(set.value(QStringLiteral("NAMEFOLDER")).toString(), QStringLiteral("b"));
    EXPECT_EQ(ops.CheckChange(), ChangeFlags::Unchanged);
    go("b");
    ASSERT_TRUE(m_ops->DeleteElement());
    EXPECT_EQ(ops.CheckChange(), ChangeFlags::ChangedKeyLost);
    EXPECT_EQ(set.currentRow(), 0);
}

TEST_F(Elements, GridEditsAreAppliedAndAFailureKeepsTheStoredRow) {
    seed({"a:100", "b:200"});
    m_set->setColumns({{QStringLiteral("NAMEFOLDER"), QStringLiteral("Наименование")},
                       {QStringLiteral("KODALT"), QStringLiteral("Идентификатор")}});
    m_set->setApplier(
        KeyedUpdateApplier(m_a->dm.dbTab, QStringLiteral("CAT"), QStringLiteral("KODELMT")));
    QString failure;
    m_set->setFailureHandler(
        [&](const std::exception& e) { failure = QString::fromUtf8(e.what()); });
    EXPECT_EQ(m_set->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(),
              QStringLiteral("Идентификатор"));
    ASSERT_TRUE(m_set->setData(m_set->index(1, 1), QStringLiteral("Ф-7"), Qt::EditRole));
    EXPECT_EQ(
        scalar(*m_tab, QStringLiteral("SELECT KODALT FROM CAT WHERE NAMEFOLDER = 'b'")).toString(),
        QStringLiteral("Ф-7"));
    EXPECT_EQ(m_set->currentRow(), 1);
    // KODALT holds 20 characters: the server refuses, the cache keeps the stored text.
    EXPECT_FALSE(m_set->setData(m_set->index(0, 1), QString(30, QLatin1Char('x')), Qt::EditRole));
    EXPECT_FALSE(failure.isEmpty());
    EXPECT_EQ(m_set->data(m_set->index(0, 1), Qt::DisplayRole).toString(), QString());
    EXPECT_FALSE(m_a->dm.dbTab.inTransaction());
    m_set->setReadOnly(true);
    EXPECT_FALSE(m_set->flags(m_set->index(0, 0)) & Qt::ItemIsEditable);
}

TEST_F(Elements, EqualPositionsOfADamagedFolderAreNeverReused) {
    seed({"a:100", "b:100", "c:102"});
    go("a");
    ASSERT_TRUE(m_ops->AddElement());
    EXPECT_EQ(tables(), (QStringList{"a:100", ":150", "b:200", "c:300"}));
}

// Another program deletes the collection whose tables are open here: adding a table
// is refused and leaves no table without its collection.
TEST_F(Elements, AddingToAFolderAnotherInstanceDeletedIsRefused) {
    seed({"a:100"});
    Instance other(*m_dbs, OutlineDescriptor::Collections());
    other.engine.BuildOutline();
    ASSERT_TRUE(other.engine.selectKey(m_folder));
    ASSERT_TRUE(other.engine.DeleteOutlineSubtree());

    EXPECT_EQ(m_ops->CheckChange(), ChangeFlags::Unchanged);
    EXPECT_FALSE(m_ops->AddElement());
    EXPECT_TRUE(m_ops->folderDeleted());
    EXPECT_EQ(m_a->prompter.texts(),
              QStringList{QStringLiteral("Сборник удален другим пользователем")});
    EXPECT_EQ(
        scalar(*m_tab, QStringLiteral("SELECT COUNT(*) FROM CAT C WHERE NOT EXISTS "
                                      "(SELECT 1 FROM SBR S WHERE S.KODFOLDER = C.KODFOLDER)"))
            .toInt(),
        0);
    EXPECT_FALSE(m_a->dm.dbTab.inTransaction());
    EXPECT_TRUE(m_set->isEmpty());

    // A folder that is still there takes its table, and the flag says so.
    m_folder = rows(QStringLiteral("SBR"))[0].key.toInt();
    m_ops->openFolder(m_folder);
    ASSERT_TRUE(m_ops->AddElement());
    EXPECT_FALSE(m_ops->folderDeleted());
    EXPECT_EQ(tables(), QStringList{QStringLiteral(":100")});
}
