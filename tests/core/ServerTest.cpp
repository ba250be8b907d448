#include "AppContext.h"
#include "ConcurrentStores.h"
#include "DbError.h"
#include "DbTestHelpers.h"
#include "MainWindowConnections.h"
#include "ScriptedLoginLauncher.h"
#include "ScriptedPrompter.h"
#include "TdmMSSQL.h"
#include "TestDatabases.h"

#include <QElapsedTimer>

#include <optional>

#include <gtest/gtest.h>

namespace {

std::optional<TestDatabases::Server> GivenServer() {
    const QString host = qEnvironmentVariable("ZEMRAK_FB_SERVER");
    if (host.isEmpty())
        return std::nullopt;
    return TestDatabases::Server{
        host, qEnvironmentVariable("ZEMRAK_FB_SERVER_USER", QStringLiteral("SYSDBA")),
        qEnvironmentVariable("ZEMRAK_FB_SERVER_PASSWORD")};
}

} // namespace

// The multi-user setup: two running instances on the same two databases of a
// Firebird server. Runs where ZEMRAK_FB_SERVER names the server (CI starts one
// on 127.0.0.1); ZEMRAK_FB_SERVER_PASSWORD is SYSDBA's password there.
TEST(FirebirdServer, TwoDataModulesShareTheDatabases) {
    const QString host = qEnvironmentVariable("ZEMRAK_FB_SERVER");
    if (host.isEmpty())
        GTEST_SKIP() << "no Firebird server given (ZEMRAK_FB_SERVER)";
    TestDatabases::Server server{
        host, qEnvironmentVariable("ZEMRAK_FB_SERVER_USER", QStringLiteral("SYSDBA")),
        qEnvironmentVariable("ZEMRAK_FB_SERVER_PASSWORD")};
    TestDatabases dbs(server);
    AppContext::setProgramFolder(dbs.folder());
    dbs.writeConfig();

    ScriptedPrompter prompter;
    ScriptedLoginLauncher login;
    TdmMSSQL first(prompter), second(prompter);
    for (TdmMSSQL* dm : {&first, &second}) {
        dm->setLoginLauncher(&login);
        dm->create();
        ASSERT_TRUE(dm->dbMain.connected());
        ASSERT_TRUE(dm->dbTab.connected());
        ASSERT_TRUE(MainWindowConnections(*dm).connectAtCreation());
    }
    EXPECT_TRUE(login.requests().isEmpty());
    EXPECT_TRUE(prompter.shown().isEmpty());

    // One instance adds a collection and flags it; the other sees both.
    DbProcedure& insert = first.storedProc(QStringLiteral("spInsertSBR"));
    insert.setParam(QStringLiteral("NPP"), 100);
    insert.setParam(QStringLiteral("NAMEFOLDER"), QStringLiteral("Общий сборник"));
    insert.setParam(QStringLiteral("NLEVEL"), 1);
    RunInTransaction(first.dbTab, [&] { insert.execute(); });
    DbProcedure& flag = first.storedProc(QStringLiteral("spOneUSBR"));
    flag.setParam(QStringLiteral("KOD_USER"), *first.instanceKey());
    RunInTransaction(first.dbMain, [&] { flag.execute(); });

    DbStatement& sbr = second.query(QStringLiteral("quSBR"));
    sbr.open();
    ASSERT_EQ(sbr.rowCount(), 1);
    EXPECT_EQ(sbr.value(QStringLiteral("NAMEFOLDER")).toString(), QStringLiteral("Общий сборник"));
    DbStatement& mine = second.query(QStringLiteral("quUser"));
    mine.setParam(QStringLiteral("KOD_USER"), *second.instanceKey());
    mine.open();
    EXPECT_EQ(mine.value(QStringLiteral("PSBR")).toInt(), 1);
    DbProcedure& count = second.storedProc(QStringLiteral("spGetNumUsers"));
    RunInTransaction(second.dbMain, [&] { count.execute(); });
    EXPECT_EQ(count.output(QStringLiteral("KOL_USERS")).toInt(), 2);

    first.shutdown();
    second.shutdown();
    auto check = dbs.connect(0);
    EXPECT_EQ(dbtest::scalar(*check, QStringLiteral("SELECT COUNT(*) FROM USERS")).toInt(), 0);
    check.reset();
    AppContext::setProgramFolder({});
}

TEST(FirebirdServer, TwoStoresOfTheSameSheetAtOnceBothSucceed) {
    const auto server = GivenServer();
    if (!server)
        GTEST_SKIP() << "no Firebird server given (ZEMRAK_FB_SERVER)";
    TestDatabases dbs(*server);
    const QStringList errors = StoreTwiceAtOnce([&] { return dbs.connect(0); }, 40);
    EXPECT_TRUE(errors.isEmpty()) << errors.join(QLatin1Char('\n')).toStdString();
    auto c = dbs.connect(0);
    EXPECT_EQ(dbtest::column(*c, QStringLiteral("SELECT DISTINCT D1 FROM FD_OPERAGR "
                                                "WHERE GOD = 1999"))
                  .size(),
              1);
}

// The server drops the connection (as when it is stopped): the next call says so
// at once and the connection can be opened again.
TEST(FirebirdServer, ABrokenConnectionSaysSoAndDoesNotHang) {
    const auto server = GivenServer();
    if (!server)
        GTEST_SKIP() << "no Firebird server given (ZEMRAK_FB_SERVER)";
    TestDatabases dbs(*server);
    auto victim = dbs.connect(0);
    auto admin = dbs.connect(0);
    const int id = dbtest::scalar(*victim, QStringLiteral("SELECT CURRENT_CONNECTION FROM "
                                                          "RDB$DATABASE"))
                       .toInt();
    dbtest::exec(*admin,
                 QStringLiteral("DELETE FROM MON$ATTACHMENTS WHERE MON$ATTACHMENT_ID = :ID"),
                 {{"ID", id}});
    QElapsedTimer timer;
    timer.start();
    try {
        dbtest::call(*victim, "GET_KOL_USERS");
        FAIL() << "a dropped connection answered";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().startsWith(
            QStringLiteral("Соединение с БД %1 потеряно").arg(dbs.factPath())))
            << e.message().toStdString();
    }
    EXPECT_LT(timer.elapsed(), 5000);
    EXPECT_FALSE(victim->connected());
    victim->open();
    EXPECT_TRUE(victim->connected());
}
