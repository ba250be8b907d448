#include "OutlineTestSupport.h"

#include "CollectionsController.h"
#include "CopyPasteController.h"
#include "DbError.h"
#include "ElementOperations.h"
#include "ElementRowSet.h"
#include "IBRightsController.h"
#include "UserRights.h"

#include <gtest/gtest.h>

#include <optional>

using namespace dbtest;
using UserRights::Level;

namespace {

// A program of one server user: its data module registered in USERS, the collections
// tree and the indicators of a rubric.
struct Session {
    Session(const TestDatabases& dbs, const QString& user, const QString& password)
        : tree(dm, OutlineDescriptor::Collections(), collections, prompter, state),
          rubrics(dm, OutlineDescriptor::Rubrics(), rubricTree, prompter, state),
          rows(dm.query(QStringLiteral("quPOK"))),
          indicators(dm, ElementDescriptor::Indicators(), rows, prompter, state) {
        dm.dbMain.setParams(dbs.factPath(), user, password);
        dm.dbTab.setParams(dbs.tabPath(), user, password);
        dm.dbMain.open();
        dm.dbTab.open();
        dm.registerInstance();
        tree.BuildOutline();
        rubrics.BuildOutline();
    }
    ~Session() {
        RollbackQuietly(dm.dbMain);
        RollbackQuietly(dm.dbTab);
        dm.unregisterInstance();
    }
    ScriptedPrompter prompter;
    TdmMSSQL dm{prompter};
    OutlineState state;
    OutlineTree collections;
    OutlineTree rubricTree;
    OutlineEngine<int> tree;
    OutlineEngine<int> rubrics;
    ElementRowSet rows;
    ElementOperations indicators;
};

// Privileges of a user on one database, one "PRIVILEGE OBJECT" a line, sorted.
QStringList Privileges(DbConnection& c, const QString& user) {
    QStringList out;
    for (const QVariant& v :
         column(c,
                QStringLiteral("SELECT TRIM(RDB$PRIVILEGE) || ' ' || TRIM(RDB$RELATION_NAME) "
                               "FROM RDB$USER_PRIVILEGES WHERE RDB$USER = :U"),
                {{"U", user}}))
        out << v.toString();
    out.sort();
    return out;
}

const QString kNoAdd = QStringLiteral("Пользователь не имеет прав на добавление\r\n\r\n");

// What a user of each level may do: collections always, indicators and rubrics only
// with all rights. Run on the databases of `dbs` as `user`.
void CheckLevel(const TestDatabases& dbs, const QString& user, const QString& password,
                Level level) {
    Session s(dbs, user, password);
    ASSERT_TRUE(s.tree.AddOutlineNode()) << s.prompter.texts().join(QLatin1Char('|')).toStdString();
    ASSERT_TRUE(s.tree.RenameNode(s.collections.current(), QStringLiteral("new")));
    ASSERT_TRUE(s.tree.BeginCommand());
    ASSERT_TRUE(s.tree.DeleteOutlineSubtree());
    s.rubrics.selectNode(s.rubricTree.topLevel(0));
    s.indicators.openFolder(s.rubrics.keyOf(s.rubricTree.topLevel(0)));
    const int before = s.indicators.rows().count();
    const bool added = s.indicators.AddElement();
    if (level == Level::All) {
        EXPECT_TRUE(added) << s.prompter.texts().join(QLatin1Char('|')).toStdString();
        EXPECT_EQ(s.indicators.rows().count(), before + 1);
        EXPECT_TRUE(s.indicators.DeleteElement());
        EXPECT_TRUE(s.rubrics.AddOutlineNode());
        EXPECT_TRUE(s.prompter.shown().isEmpty());
    } else {
        EXPECT_FALSE(added);
        ASSERT_EQ(s.prompter.shown().size(), 1);
        EXPECT_TRUE(s.prompter.lastText().startsWith(kNoAdd))
            << s.prompter.lastText().toStdString();
        EXPECT_FALSE(s.rubrics.AddOutlineNode());
        EXPECT_TRUE(s.prompter.lastText().startsWith(kNoAdd));
        EXPECT_EQ(s.indicators.rows().count(), before);
    }
}

class Rights : public ::testing::Test {
protected:
    void SetUp() override {
        m_dbs = std::make_unique<TestDatabases>();
        std::unique_ptr<DbConnection> fact = m_dbs->connect(0);
        call(*fact, "INSERT_RUB", {{"NPP", 100}, {"NAMEFOLDER", "Раздел"}, {"NLEVEL", 1}});
        m_admin.emplace(*m_dbs, TestDatabases::user(), TestDatabases::password());
    }
    void TearDown() override {
        m_admin.reset();
        m_dbs.reset();
    }
    QStringList privileges(int tag) {
        std::unique_ptr<DbConnection> c = m_dbs->connect(tag);
        return Privileges(*c, QStringLiteral("ANALYST"));
    }

    std::unique_ptr<TestDatabases> m_dbs;
    std::optional<Session> m_admin;
};

} // namespace

TEST(UserNames, OnlyPlainIdentifiersAreQuotedIntoStatements) {
    EXPECT_TRUE(UserRights::IsValidUserName(QStringLiteral("analyst_2$")));
    EXPECT_TRUE(UserRights::IsValidUserName(QString(31, QLatin1Char('A'))));
    for (const char* bad :
         {"X; DROP TABLE SBR", "2nd", "_a", "a b", "a\"b", "", "Иванов", "public"})
        EXPECT_FALSE(UserRights::IsValidUserName(QString::fromUtf8(bad))) << bad;
    EXPECT_FALSE(UserRights::IsValidUserName(QString(32, QLatin1Char('A'))));
    for (const UserRights::Stage& stage : UserRights::Stages(QStringLiteral("analyst"), Level::All))
        for (const QString& sql : stage.statements)
            EXPECT_TRUE(sql.endsWith(QStringLiteral(" TO \"ANALYST\"")) ||
                        sql.endsWith(QStringLiteral(" FROM \"ANALYST\"")))
                << sql.toStdString();
}

TEST(UserNames, TheDialogOffersLevelsToOthersThanSysdba) {
    EXPECT_FALSE(IBRightsController::offersLevel(QStringLiteral("  ")));
    EXPECT_FALSE(IBRightsController::offersLevel(QStringLiteral("SysDba")));
    EXPECT_TRUE(IBRightsController::offersLevel(QStringLiteral("sysdba1")));
}

TEST_F(Rights, EachLevelGivesItsPrivilegesAndTheSameAgain) {
    IBRightsController rights(m_admin->dm, m_admin->prompter);
    ASSERT_TRUE(rights.apply(QStringLiteral(" analyst "), Level::ReadOnlyDirectories));
    EXPECT_TRUE(m_admin->prompter.shown().isEmpty()) << m_admin->prompter.lastText().toStdString();
    const QStringList readFact = privileges(0), readTab = privileges(1);
    EXPECT_TRUE(readFact.contains(QStringLiteral("S POK")));
    EXPECT_FALSE(readFact.contains(QStringLiteral("I POK")));
    EXPECT_FALSE(readFact.contains(QStringLiteral("X INSERT_POK")));
    EXPECT_TRUE(readFact.contains(QStringLiteral("X RENUM_POK")));
    EXPECT_TRUE(readTab.contains(QStringLiteral("X INSERT_CAT")));
    CheckLevel(*m_dbs, QStringLiteral("ANALYST"), QStringLiteral("any"),
               Level::ReadOnlyDirectories);

    // The same level again: no error, the same privileges.
    ASSERT_TRUE(rights.apply(QStringLiteral("ANALYST"), Level::ReadOnlyDirectories));
    EXPECT_TRUE(m_admin->prompter.shown().isEmpty()) << m_admin->prompter.lastText().toStdString();
    EXPECT_EQ(privileges(0), readFact);
    EXPECT_EQ(privileges(1), readTab);

    ASSERT_TRUE(rights.apply(QStringLiteral("Analyst"), Level::All));
    const QStringList allFact = privileges(0);
    EXPECT_TRUE(allFact.contains(QStringLiteral("I POK")));
    EXPECT_TRUE(allFact.contains(QStringLiteral("X INSERT_POK")));
    CheckLevel(*m_dbs, QStringLiteral("ANALYST"), QStringLiteral("any"), Level::All);
    ASSERT_TRUE(rights.apply(QStringLiteral("ANALYST"), Level::All));
    EXPECT_EQ(privileges(0), allFact);
    EXPECT_EQ(privileges(1), readTab);
    EXPECT_TRUE(m_admin->prompter.shown().isEmpty()) << m_admin->prompter.lastText().toStdString();

    // And back.
    ASSERT_TRUE(rights.apply(QStringLiteral("ANALYST"), Level::ReadOnlyDirectories));
    EXPECT_EQ(privileges(0), readFact);
}

TEST_F(Rights, AnInvalidNameIsRefusedAndNothingIsRun) {
    IBRightsController rights(m_admin->dm, m_admin->prompter);
    EXPECT_FALSE(rights.apply(QStringLiteral("X; DROP TABLE SBR"), Level::All));
    EXPECT_EQ(m_admin->prompter.lastText(),
              QStringLiteral("Недопустимое имя пользователя: X; DROP TABLE SBR\r\nИмя "
                             "пользователя сервера состоит из латинских букв, цифр и знаков _ и "
                             "$, начинается с буквы и не длиннее 31 знака"));
    EXPECT_EQ(m_admin->prompter.shown().last().icon, PromptIcon::Error);
    std::unique_ptr<DbConnection> tab = m_dbs->connect(1);
    EXPECT_EQ(scalar(*tab, QStringLiteral("SELECT COUNT(*) FROM RDB$USER_PRIVILEGES WHERE "
                                          "RDB$USER STARTING WITH 'X'"))
                  .toInt(),
              0);
    // Blank and SYSDBA only close the dialog.
    m_admin->prompter.clear();
    EXPECT_TRUE(rights.apply(QStringLiteral("sysdba"), Level::ReadOnlyDirectories));
    EXPECT_TRUE(m_admin->prompter.shown().isEmpty());
}

TEST_F(Rights, AFailureNamesTheDatabaseWhoseStatementFailed) {
    {
        std::unique_ptr<DbConnection> tab = m_dbs->connect(1);
        exec(*tab, QStringLiteral("DROP PROCEDURE RENUM_CAT"));
    }
    IBRightsController rights(m_admin->dm, m_admin->prompter);
    EXPECT_TRUE(rights.apply(QStringLiteral("ANALYST"), Level::All));
    ASSERT_EQ(m_admin->prompter.shown().size(), 1);
    const QString text = m_admin->prompter.lastText();
    EXPECT_TRUE(text.startsWith(QStringLiteral("Нарушена структура БД ") + m_dbs->tabPath() +
                                QStringLiteral("\r\nДальнейшая работа с ней невозможна\r\n\r\n")))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("RENUM_CAT"))) << text.toStdString();
    EXPECT_FALSE(m_admin->dm.dbTab.inTransaction());
    // The table-materials stage was rolled back whole; the fact database's first stage
    // stays committed, its last one never ran.
    EXPECT_TRUE(privileges(1).isEmpty());
    EXPECT_FALSE(privileges(0).contains(QStringLiteral("X INSERT_USERS")));
}

// The same with real server users: a user made with CREATE USER logs in with its own
// password. Runs where ZEMRAK_FB_SERVER names a Firebird server.
TEST(ServerRights, ARestrictedServerUserSeesTheRightsMessages) {
    const QString host = qEnvironmentVariable("ZEMRAK_FB_SERVER");
    if (host.isEmpty())
        GTEST_SKIP() << "no Firebird server given (ZEMRAK_FB_SERVER)";
    const TestDatabases::Server server{
        host, qEnvironmentVariable("ZEMRAK_FB_SERVER_USER", QStringLiteral("SYSDBA")),
        qEnvironmentVariable("ZEMRAK_FB_SERVER_PASSWORD")};
    TestDatabases dbs(server);
    std::unique_ptr<DbConnection> fact = dbs.connect(0);
    const QString user = QStringLiteral("ZEMRAK_RIGHTS_TEST");
    const QString password = QStringLiteral("rt-8841");
    try {
        exec(*fact, QStringLiteral("DROP USER ") + user);
    } catch (const DbError&) {
    }
    exec(*fact, QStringLiteral("CREATE USER ") + user + QStringLiteral(" PASSWORD '") + password +
                    QLatin1Char('\''));
    call(*fact, "INSERT_RUB", {{"NPP", 100}, {"NAMEFOLDER", "Раздел"}, {"NLEVEL", 1}});
    struct DropUser {
        DbConnection& c;
        QString name;
        ~DropUser() {
            try {
                exec(c, QStringLiteral("DROP USER ") + name);
            } catch (const DbError&) {
            }
        }
    } dropUser{*fact, user};
    {
        Session admin(dbs, dbs.ownerUser(), dbs.ownerPassword());
        IBRightsController rights(admin.dm, admin.prompter);
        ASSERT_TRUE(rights.apply(user.toLower(), Level::ReadOnlyDirectories));
        EXPECT_TRUE(admin.prompter.shown().isEmpty()) << admin.prompter.lastText().toStdString();
    }
    CheckLevel(dbs, user, password, Level::ReadOnlyDirectories);
    {
        Session admin(dbs, dbs.ownerUser(), dbs.ownerPassword());
        IBRightsController rights(admin.dm, admin.prompter);
        ASSERT_TRUE(rights.apply(user, Level::All));
        ASSERT_TRUE(rights.apply(user, Level::All));
        EXPECT_TRUE(admin.prompter.shown().isEmpty()) << admin.prompter.lastText().toStdString();
    }
    CheckLevel(dbs, user, password, Level::All);
}

TEST_F(Rights, APasteRefusedByTheServerSaysWhoMayNotCopy) {
    IBRightsController rights(m_admin->dm, m_admin->prompter);
    ASSERT_TRUE(rights.apply(QStringLiteral("ANALYST"), Level::All));
    {
        std::unique_ptr<DbConnection> tab = m_dbs->connect(1);
        SeedSbr(*tab, {"A:1", "B:1"});
        exec(*tab, QStringLiteral("REVOKE ALL ON CAT FROM ANALYST"));
        exec(*tab, QStringLiteral("GRANT SELECT, UPDATE ON CAT TO ANALYST"));
        call(*tab, "INSERT_CAT",
             {{"NPP", 100},
              {"KODFOLDER", scalar(*tab, QStringLiteral("SELECT MIN(KODFOLDER) FROM SBR"))},
              {"NAMEFOLDER", "t"},
              {"KODALT", ""}});
    }
    Session s(*m_dbs, QStringLiteral("ANALYST"), QStringLiteral("any"));
    ElementRowSet rows(s.dm.query(QStringLiteral("quCAT")));
    ElementOperations tables(s.dm, ElementDescriptor::Tables(), rows, s.prompter, s.state);
    CollectionsController collections(s.dm, s.prompter, s.tree, tables);
    CopyPasteController copyPaste(s.dm, s.prompter, s.tree, tables, collections);
    s.tree.selectNode(FindNode(s.collections, QStringLiteral("A")));
    ASSERT_TRUE(copyPaste.copy());
    s.tree.selectNode(FindNode(s.collections, QStringLiteral("B")));
    EXPECT_FALSE(copyPaste.paste());
    EXPECT_TRUE(s.prompter.lastText().startsWith(
        QStringLiteral("Пользователю ANALYST не разрешено копирование\r\n\r\n")))
        << s.prompter.lastText().toStdString();
    EXPECT_FALSE(s.dm.dbTab.inTransaction());
    EXPECT_EQ(Outline(s.collections), QStringLiteral("A B"));
    std::unique_ptr<DbConnection> tab = m_dbs->connect(1);
    EXPECT_EQ(scalar(*tab, QStringLiteral("SELECT COUNT(*) FROM SBR")).toInt(), 2);
}
