#include "AppContext.h"
#include "DbError.h"
#include "DbTestHelpers.h"
#include "FirebirdEnvironment.h"
#include "IniFile.h"
#include "MainWindowConnections.h"
#include "OtherProgram.h"
#include "Scramble.h"
#include "ScriptedLoginLauncher.h"
#include "ScriptedPrompter.h"
#include "TdmMSSQL.h"
#include "TestDatabases.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace dbtest;

namespace {

const QString kQuestionStart =
    QStringLiteral("Не удалось соединиться с БД или с сервером БД\r\n\r\n");
const QString kQuestionEnd = QStringLiteral("\r\n\r\nЖелаете выбрать другую БД ?");

class DataModule : public ::testing::Test {
protected:
    static void SetUpTestSuite() { s_dbs = std::make_unique<TestDatabases>(); }
    static void TearDownTestSuite() { s_dbs.reset(); }

    void SetUp() override {
        QFile::remove(configPath());
        QDir(QDir(s_dbs->folder()).filePath(QStringLiteral("MEDCTAT"))).removeRecursively();
        QFile::remove(QDir(s_dbs->folder()).filePath(QStringLiteral("MEDCTAT")));
        AppContext::setProgramFolder(s_dbs->folder());
        AppContext::settings() = {};
        AppContext::setContinueStartup(true);
        m_check = s_dbs->connect(0);
        exec(*m_check, QStringLiteral("DELETE FROM USERS"));
    }
    void TearDown() override { AppContext::setProgramFolder({}); }

    static QString configPath() {
        return QDir(s_dbs->folder()).filePath(QStringLiteral("Zemrak.INI"));
    }
    static QString missing() { return QDir(s_dbs->folder()).filePath(QStringLiteral("NONE.GDB")); }
    static void writeConfig(const QString& fact, const QString& tab) {
        const ZemrakConfig config(configPath());
        config.save(DatabaseTag::Main, fact, TestDatabases::user(), TestDatabases::password());
        config.save(DatabaseTag::Tab, tab, TestDatabases::user(), TestDatabases::password());
    }
    int users() { return scalar(*m_check, QStringLiteral("SELECT COUNT(*) FROM USERS")).toInt(); }

    static inline std::unique_ptr<TestDatabases> s_dbs;
    std::unique_ptr<DbConnection> m_check;
    ScriptedPrompter m_prompter;
    ScriptedLoginLauncher m_login;
};

} // namespace

TEST_F(DataModule, StartsQuietlyOnAWorkingConfiguration) {
    writeConfig(s_dbs->factPath(), s_dbs->tabPath());
    TdmMSSQL dm(m_prompter);
    dm.setLoginLauncher(&m_login);
    dm.create();
    EXPECT_TRUE(dm.dbMain.connected());
    EXPECT_TRUE(dm.dbTab.connected());
    EXPECT_EQ(dm.dbMain.database(), s_dbs->factPath());
    EXPECT_EQ(dm.dbTab.userName(), TestDatabases::user());
    EXPECT_TRUE(QFileInfo(AppContext::medstatFolder()).isDir());

    MainWindowConnections main(dm);
    EXPECT_TRUE(main.connectAtCreation());
    EXPECT_TRUE(main.bothConnectionsOpen());
    EXPECT_TRUE(AppContext::continueStartup());
    ASSERT_TRUE(dm.instanceKey().has_value());
    EXPECT_EQ(scalar(*m_check, QStringLiteral("SELECT COUNT(*) FROM USERS WHERE KODUSER = :K"),
                     {{"K", *dm.instanceKey()}})
                  .toInt(),
              1);
    EXPECT_TRUE(m_prompter.shown().isEmpty());
    EXPECT_TRUE(m_login.requests().isEmpty());
    EXPECT_EQ(dm.query(QStringLiteral("quElm")).sql(),
              QStringList{QStringLiteral("Select * from SBR")});
}

TEST_F(DataModule, ASecondProgramStartsQuietlyBesideTheFirst) {
    writeConfig(s_dbs->factPath(), s_dbs->tabPath());
    OtherProgram first(s_dbs->factPath());
    ASSERT_EQ(first.greeting(), QStringLiteral("open"));
    ASSERT_FALSE(first.ask(QStringLiteral("register")).startsWith(QLatin1String("error")));
    TdmMSSQL dm(m_prompter);
    dm.setLoginLauncher(&m_login);
    dm.create();
    MainWindowConnections main(dm);
    EXPECT_TRUE(main.connectAtCreation());
    EXPECT_TRUE(m_login.requests().isEmpty());
    EXPECT_TRUE(m_prompter.shown().isEmpty());
    EXPECT_EQ(first.ask(QStringLiteral("scalar SELECT COUNT(*) FROM USERS")), QStringLiteral("2"));
}

TEST_F(DataModule, AFactDatabaseHeldByAnEngineOfItsOwnIsToldInTheLoginDialog) {
    writeConfig(s_dbs->factPath(), s_dbs->tabPath());
    m_check.reset();
    QProcessEnvironment exclusive = QProcessEnvironment::systemEnvironment();
    exclusive.insert(QStringLiteral("FIREBIRD"), SystemFirebirdRoot());
    OtherProgram holder(s_dbs->factPath(), exclusive);
    ASSERT_EQ(holder.greeting(), QStringLiteral("open"));
    TdmMSSQL dm(m_prompter);
    dm.setLoginLauncher(&m_login);
    m_login.endWork();
    dm.create();
    EXPECT_FALSE(dm.dbMain.connected());
    ASSERT_EQ(m_login.requests().size(), 1);
    const LoginRequest& r = m_login.requests().first();
    EXPECT_EQ(r.which, DatabaseTag::Main);
    EXPECT_TRUE(r.reason.startsWith(
        QStringLiteral("Файл БД %1 занят: другая программа открыла его встроенным сервером "
                       "Firebird для себя одной")
            .arg(s_dbs->factPath())))
        << r.reason.toStdString();
    EXPECT_TRUE(r.reason.contains(QLatin1String("Database already opened")))
        << r.reason.toStdString();
}

TEST_F(DataModule, TableMaterialsLoginComesBeforeTheFactOne) {
    writeConfig(missing(), missing());
    TdmMSSQL dm(m_prompter);
    dm.setLoginLauncher(&m_login);
    m_login.apply(s_dbs->tabPath(), QStringLiteral("SYSDBA"), QStringLiteral("quillbark"))
        .apply(s_dbs->factPath(), QStringLiteral("SYSDBA"), QStringLiteral("quillbark"));
    dm.create();
    ASSERT_EQ(m_login.requests().size(), 2);
    EXPECT_EQ(m_login.requests()[0].which, DatabaseTag::Tab);
    EXPECT_EQ(m_login.requests()[0].groupCaption, QStringLiteral(" База табличных материалов "));
    EXPECT_EQ(m_login.requests()[1].which, DatabaseTag::Main);
    EXPECT_EQ(m_login.requests()[1].groupCaption, QStringLiteral(" Фактографическая база данных "));
    for (const LoginRequest& r : m_login.requests()) {
        EXPECT_EQ(r.windowCaption, QStringLiteral("Сменить БД"));
        EXPECT_EQ(r.mode, LoginMode::DatabaseChoice);
    }
    // Each dialog says why the connection failed, in the server's words.
    for (const LoginRequest& r : m_login.requests())
        EXPECT_TRUE(r.reason.contains(QLatin1String("NONE.GDB"))) << r.reason.toStdString();
    EXPECT_TRUE(dm.dbMain.connected());
    EXPECT_TRUE(dm.dbTab.connected());
    // The applied settings are now the file's and the run's.
    EXPECT_EQ(ZemrakConfig(configPath()).read().tabPath, s_dbs->tabPath());
    EXPECT_EQ(AppContext::settings().mainPath, s_dbs->factPath());
}

TEST_F(DataModule, NoToAnotherDatabaseEndsTheStartUp) {
    writeConfig(missing(), s_dbs->tabPath());
    TdmMSSQL dm(m_prompter);
    dm.setLoginLauncher(&m_login);
    m_login.endWork();
    dm.create();
    EXPECT_FALSE(dm.dbMain.connected());

    m_prompter.answer(Answer::No);
    MainWindowConnections main(dm);
    EXPECT_FALSE(main.connectAtCreation());
    EXPECT_FALSE(AppContext::continueStartup());
    ASSERT_EQ(m_prompter.shown().size(), 1);
    const auto& q = m_prompter.shown().first();
    EXPECT_EQ(q.kind, ScriptedPrompter::Kind::Question);
    EXPECT_EQ(q.caption, QStringLiteral("Подтверждение"));
    EXPECT_TRUE(q.text.startsWith(kQuestionStart + QStringLiteral("EDatabaseError\r\n")))
        << q.text.toStdString();
    EXPECT_TRUE(q.text.endsWith(kQuestionEnd));
    EXPECT_EQ(m_login.requests().size(), 1);
    EXPECT_EQ(users(), 0);
}

TEST_F(DataModule, YesOffersTheFactDatabaseAndCarriesOn) {
    writeConfig(missing(), s_dbs->tabPath());
    TdmMSSQL dm(m_prompter);
    dm.setLoginLauncher(&m_login);
    m_login.cancel().apply(s_dbs->factPath(), QStringLiteral("SYSDBA"), QStringLiteral("x"));
    dm.create();
    m_prompter.answer(Answer::Yes);
    MainWindowConnections main(dm);
    EXPECT_TRUE(main.connectAtCreation());
    EXPECT_TRUE(AppContext::continueStartup());
    ASSERT_EQ(m_login.requests().size(), 2);
    EXPECT_EQ(m_login.requests()[1].which, DatabaseTag::Main);
    EXPECT_EQ(m_login.requests()[1].windowCaption, QStringLiteral("Регистрация пользователя"));
    EXPECT_TRUE(main.bothConnectionsOpen());
    // Registered after the new login, so the others' change flags reach it.
    EXPECT_TRUE(dm.instanceKey().has_value());
    EXPECT_EQ(users(), 1);
}

TEST_F(DataModule, AnOpenFactDatabaseThatFailsItsStepsIsTheOneOffered) {
    // The table-materials file given as the fact database opens but has no USERS:
    // offering the table materials again would leave no way out but ending.
    writeConfig(s_dbs->tabPath(), s_dbs->tabPath());
    TdmMSSQL dm(m_prompter);
    dm.setLoginLauncher(&m_login);
    dm.create();
    m_prompter.answer(Answer::Yes).answer(Answer::Yes);
    m_login.cancel().endWork();
    MainWindowConnections main(dm);
    EXPECT_FALSE(main.connectAtCreation());
    EXPECT_FALSE(AppContext::continueStartup());
    // "Отменить" changes nothing, so the steps fail again and the question returns.
    ASSERT_EQ(m_login.requests().size(), 2);
    for (const LoginRequest& r : m_login.requests()) {
        EXPECT_EQ(r.which, DatabaseTag::Main);
        EXPECT_TRUE(r.reason.contains(QLatin1String("USERS"))) << r.reason.toStdString();
    }
    EXPECT_EQ(m_prompter.shown().size(), 2);
}

// Another fact database from the menu: the row leaves the old one, a new row is
// made in the new one beside the rows of the instances already working there.
TEST_F(DataModule, SwitchingTheFactDatabaseMovesTheInstanceRow) {
    TestDatabases other;
    auto otherCheck = other.connect(0);
    exec(*otherCheck, QStringLiteral("DELETE FROM USERS"));
    auto otherUsers = [&] {
        return scalar(*otherCheck, QStringLiteral("SELECT COUNT(*) FROM USERS")).toInt();
    };
    writeConfig(other.factPath(), s_dbs->tabPath());
    TdmMSSQL there(m_prompter);
    there.setLoginLauncher(&m_login);
    there.create();
    ASSERT_TRUE(MainWindowConnections(there).connectAtCreation());

    writeConfig(s_dbs->factPath(), s_dbs->tabPath());
    TdmMSSQL dm(m_prompter);
    dm.setLoginLauncher(&m_login);
    dm.create();
    ASSERT_TRUE(MainWindowConnections(dm).connectAtCreation());
    ASSERT_EQ(users(), 1);
    const double oldKey = *dm.instanceKey();

    // Another user on the same database keeps the row and its change flags.
    m_login.apply({}, QStringLiteral("SYSDBA"), QStringLiteral("y"));
    ASSERT_EQ(dm.ChooseDatabase(0), LoginResult::Continue);
    EXPECT_EQ(*dm.instanceKey(), oldKey);
    EXPECT_EQ(users(), 1);

    m_login.apply(other.factPath(), QStringLiteral("SYSDBA"), QStringLiteral("y"));
    ASSERT_EQ(dm.ChooseDatabase(0), LoginResult::Continue);
    EXPECT_EQ(dm.dbMain.database(), other.factPath());
    EXPECT_EQ(users(), 0);
    EXPECT_EQ(otherUsers(), 2);
    ASSERT_TRUE(dm.instanceKey().has_value());
    EXPECT_NE(*dm.instanceKey(), *there.instanceKey());
    EXPECT_EQ(scalar(*otherCheck, QStringLiteral("SELECT COUNT(*) FROM USERS WHERE KODUSER = :K"),
                     {{"K", *dm.instanceKey()}})
                  .toInt(),
              1);

    // A failed switch leaves no row behind either; the next good one registers again.
    m_login.apply(missing(), QStringLiteral("SYSDBA"), QStringLiteral("y"), LoginResult::Continue);
    dm.ChooseDatabase(0);
    EXPECT_FALSE(dm.dbMain.connected());
    EXPECT_EQ(otherUsers(), 1);
    m_login.apply(s_dbs->factPath(), QStringLiteral("SYSDBA"), QStringLiteral("y"));
    ASSERT_EQ(dm.ChooseDatabase(0), LoginResult::Continue);
    EXPECT_EQ(users(), 1);

    dm.shutdown();
    there.shutdown();
    EXPECT_EQ(users(), 0);
    EXPECT_EQ(otherUsers(), 0);
}

TEST_F(DataModule, AClosedTableMaterialsConnectionIsTheOneOffered) {
    writeConfig(s_dbs->factPath(), missing());
    TdmMSSQL dm(m_prompter);
    dm.setLoginLauncher(&m_login);
    m_login.cancel().apply(s_dbs->tabPath(), QStringLiteral("SYSDBA"), QStringLiteral("x"));
    dm.create();
    m_prompter.answer(Answer::Yes);
    MainWindowConnections main(dm);
    EXPECT_TRUE(main.connectAtCreation());
    ASSERT_EQ(m_login.requests().size(), 2);
    EXPECT_EQ(m_login.requests()[1].which, DatabaseTag::Tab);
    EXPECT_TRUE(main.bothConnectionsOpen());
    EXPECT_EQ(users(), 1);
}

TEST_F(DataModule, ALoginDialogThatCannotBeShownCountsAsEndWork) {
    writeConfig(missing(), s_dbs->tabPath());
    TdmMSSQL dm(m_prompter);
    dm.setLoginLauncher(&m_login);
    m_login.fail();
    dm.create();
    ASSERT_EQ(m_prompter.shown().size(), 1);
    EXPECT_EQ(m_prompter.shown()[0].text,
              QStringLiteral("Ошибка при работе с BDE\r\n\r\nException\r\nno screen"));
    EXPECT_EQ(m_prompter.shown()[0].caption, QStringLiteral("Сообщение"));
}

TEST_F(DataModule, ExitRewritesOnlyThePasswords) {
    writeConfig(s_dbs->factPath(), s_dbs->tabPath());
    TdmMSSQL dm(m_prompter);
    dm.setLoginLauncher(&m_login);
    dm.create();
    MainWindowConnections main(dm);
    ASSERT_TRUE(main.connectAtCreation());
    // The file changes under the running program; exit writes the passwords in use.
    {
        IniFile ini;
        ini.load(configPath());
        ini.setValue(QStringLiteral("Password"), QStringLiteral("PasswordMAIN"), "stale");
        ini.setValue(QStringLiteral("User"), QStringLiteral("UserMain"), "SOMEONE");
        ini.setValue(QStringLiteral("Other"), QStringLiteral("Key"), "kept");
        ASSERT_TRUE(ini.save(configPath()));
    }
    IniFile before;
    before.load(configPath());
    dm.dbTab.close();
    dm.dbMain.startTransaction(); // left open by some command
    main.shutdown();

    EXPECT_FALSE(dm.dbMain.connected());
    EXPECT_EQ(users(), 0);
    IniFile after;
    after.load(configPath());
    EXPECT_EQ(UnscramblePassword(UnescapeIniBytes(
                  after.value(QStringLiteral("Password"), QStringLiteral("PasswordMAIN")))),
              TestDatabases::password());
    EXPECT_TRUE(after.value(QStringLiteral("Password"), QStringLiteral("PasswordTAB")).isEmpty());
    for (const auto& [section, key] : {std::pair{"DB", "DBMain"},
                                       {"DB", "DBTab"},
                                       {"User", "UserMain"},
                                       {"User", "UserTab"},
                                       {"Other", "Key"}})
        EXPECT_EQ(after.value(QLatin1String(section), QLatin1String(key)),
                  before.value(QLatin1String(section), QLatin1String(key)))
            << key;
}

TEST_F(DataModule, AMissingDbfFolderStillLeavesTheDatabasesOpen) {
    writeConfig(s_dbs->factPath(), s_dbs->tabPath());
    QFile blocker(AppContext::medstatFolder());
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly)); // a file where the folder should be
    blocker.close();
    TdmMSSQL dm(m_prompter);
    dm.setLoginLauncher(&m_login);
    dm.create();
    EXPECT_EQ(m_prompter.texts(), QStringList{QStringLiteral("Ошибка базы данных dbf.")});
    EXPECT_TRUE(dm.dbMain.connected());
    EXPECT_TRUE(dm.dbTab.connected());
}

TEST_F(DataModule, TwoInstancesSeeEachOtherAndLeaveAlone) {
    writeConfig(s_dbs->factPath(), s_dbs->tabPath());
    TdmMSSQL first(m_prompter), second(m_prompter);
    for (TdmMSSQL* dm : {&first, &second}) {
        dm->setLoginLauncher(&m_login);
        dm->create();
        ASSERT_TRUE(MainWindowConnections(*dm).connectAtCreation());
    }
    EXPECT_NE(*first.instanceKey(), *second.instanceKey());
    DbProcedure& count = second.storedProc(QStringLiteral("spGetNumUsers"));
    RunInTransaction(second.dbMain, [&] { count.execute(); });
    EXPECT_EQ(count.output(QStringLiteral("KOL_USERS")).toInt(), 2);
    DbProcedure& flag = first.storedProc(QStringLiteral("spOneUCAT"));
    flag.setParam(QStringLiteral("KOD_USER"), *first.instanceKey());
    RunInTransaction(first.dbMain, [&] { flag.execute(); });
    DbStatement& mine = second.query(QStringLiteral("quUser"));
    mine.setParam(QStringLiteral("KOD_USER"), *second.instanceKey());
    mine.open();
    EXPECT_EQ(mine.value(QStringLiteral("PCAT")).toInt(), 1);
    mine.close();
    first.shutdown();
    EXPECT_EQ(users(), 1);
    second.shutdown();
    EXPECT_EQ(users(), 0);
}

TEST_F(DataModule, CloseAllQueriesClosesWhatIsOpen) {
    writeConfig(s_dbs->factPath(), s_dbs->tabPath());
    TdmMSSQL dm(m_prompter);
    dm.setLoginLauncher(&m_login);
    dm.create();
    DbStatement& sbr = dm.query(QStringLiteral("quSBR"));
    DbStatement& nast = dm.query(QStringLiteral("quNast"));
    sbr.open();
    nast.open();
    EXPECT_EQ(nast.value(QStringLiteral("NAMEELM")).toString(), QStringLiteral("Объекты"));
    EXPECT_TRUE(dm.CloseAllQueries());
    EXPECT_FALSE(sbr.isOpen());
    EXPECT_FALSE(nast.isOpen());
    EXPECT_THROW(dm.query(QStringLiteral("quNoSuch")), DbError);
}
