#include "AppContext.h"
#include "ConcurrentStores.h"
#include "DbError.h"
#include "DbTestHelpers.h"
#include "MainWindowConnections.h"
#include "ScriptedLoginLauncher.h"
#include "ScriptedPrompter.h"
#include "TdmMSSQL.h"
#include "TestDatabases.h"
#include "TransactionDescriptor.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

using namespace dbtest;

namespace {

class DbTransactions : public ::testing::Test {
protected:
    static void SetUpTestSuite() { s_dbs = std::make_unique<TestDatabases>(); }
    static void TearDownTestSuite() { s_dbs.reset(); }
    void TearDown() override {
        TransactionDescriptor::setLockTimeout(TransactionDescriptor::kDefaultLockTimeout);
    }

    static QString context(DbConnection& c, const char* name) {
        return scalar(c, QStringLiteral("SELECT RDB$GET_CONTEXT('SYSTEM', '%1') FROM RDB$DATABASE")
                             .arg(QLatin1String(name)))
            .toString();
    }
    static double registerUser(DbConnection& c) {
        return call(c, "INSERT_USERS").output(QStringLiteral("KOD_USER")).toDouble();
    }

    static inline std::unique_ptr<TestDatabases> s_dbs;
};

} // namespace

TEST_F(DbTransactions, ReadCommittedWithTheLockTimeoutInsideAndOutsideTransactions) {
    auto c = s_dbs->connect(0);
    EXPECT_EQ(context(*c, "ISOLATION_LEVEL"), QStringLiteral("READ COMMITTED"));
    RunInTransaction(*c, [&] {
        EXPECT_EQ(context(*c, "ISOLATION_LEVEL"), QStringLiteral("READ COMMITTED"));
        EXPECT_EQ(context(*c, "READ_ONLY"), QStringLiteral("FALSE"));
        EXPECT_EQ(context(*c, "LOCK_TIMEOUT").toInt(), 10);
    });
    // A new timeout holds for transactions started afterwards.
    TransactionDescriptor::setLockTimeout(3);
    RunInTransaction(*c, [&] { EXPECT_EQ(context(*c, "LOCK_TIMEOUT").toInt(), 3); });
}

// Another instance flags a change in this instance's USERS row while this one
// has a transaction running: this one sees the flag and clears it in the same
// transaction.
TEST_F(DbTransactions, AChangeFlagProcedureSucceedsOnARowAnotherInstanceChanged) {
    AppContext::setProgramFolder(s_dbs->folder());
    s_dbs->writeConfig();
    ScriptedPrompter prompter;
    ScriptedLoginLauncher login;
    TdmMSSQL a(prompter), b(prompter);
    for (TdmMSSQL* dm : {&a, &b}) {
        dm->setLoginLauncher(&login);
        dm->create();
        ASSERT_TRUE(MainWindowConnections(*dm).connectAtCreation());
    }
    DbStatement& mine = a.query(QStringLiteral("quUser"));
    mine.setParam(QStringLiteral("KOD_USER"), *a.instanceKey());
    RunInTransaction(a.dbMain, [&] {
        mine.open();
        EXPECT_EQ(mine.value(QStringLiteral("PSBR")).toInt(), 0);

        DbProcedure& flag = b.storedProc(QStringLiteral("spOneUSBR"));
        flag.setParam(QStringLiteral("KOD_USER"), *b.instanceKey());
        RunInTransaction(b.dbMain, [&] { flag.execute(); });

        mine.open();
        EXPECT_EQ(mine.value(QStringLiteral("PSBR")).toInt(), 1);
        DbProcedure& clear = a.storedProc(QStringLiteral("spZeroUSBR"));
        clear.setParam(QStringLiteral("KOD_USER"), *a.instanceKey());
        clear.execute();
    });
    mine.open();
    EXPECT_EQ(mine.value(QStringLiteral("PSBR")).toInt(), 0);
    EXPECT_TRUE(prompter.shown().isEmpty());
    a.shutdown();
    b.shutdown();
    AppContext::setProgramFolder({});
}

TEST_F(DbTransactions, TwoStoresOfTheSameSheetAtOnceBothSucceed) {
    const QStringList errors = StoreTwiceAtOnce([] { return s_dbs->connect(0); }, 40);
    EXPECT_TRUE(errors.isEmpty()) << errors.join(QLatin1Char('\n')).toStdString();
    // Each store ran whole: every cell holds the value of the one committed last.
    auto c = s_dbs->connect(0);
    const QVariantList values =
        column(*c, QStringLiteral("SELECT DISTINCT D1 FROM FD_OPERAGR WHERE GOD = 1999"));
    ASSERT_EQ(values.size(), 1);
    EXPECT_NE(values[0].toString(), QStringLiteral("0"));
    EXPECT_EQ(
        scalar(*c, QStringLiteral("SELECT COUNT(*) FROM FD_OPERAGR WHERE GOD = 1999")).toInt(), 40);
}

TEST_F(DbTransactions, ALockTimeoutNamesWhatWasBusyAndEndsTheWait) {
    TransactionDescriptor::setLockTimeout(1);
    auto holder = s_dbs->connect(0);
    auto waiter = s_dbs->connect(0);
    const double key = registerUser(*holder);
    holder->startTransaction();
    DbStatement& hold = holder->statement(QStringLiteral("hold"));
    hold.setSql(QStringLiteral("UPDATE USERS SET PSBR = 1 WHERE KODUSER = :K"));
    hold.setParam(QStringLiteral("K"), key);
    hold.execute();

    const QString tail = QStringLiteral(" заняты другим пользователем или другой копией "
                                        "программы: ожидание (1 с) истекло.\n\n");
    QElapsedTimer timer;
    timer.start();
    try {
        call(*waiter, "ZERO_USBR", {{"KOD_USER", key}});
        FAIL() << "the locked row was changed";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().startsWith(
            QStringLiteral("Записи, которые изменяет процедура ZERO_USBR,") + tail))
            << e.message().toStdString();
        EXPECT_TRUE(e.message().contains(QLatin1String("update conflicts with concurrent update")))
            << e.message().toStdString();
    }
    // One wait, not one per attempt.
    EXPECT_GE(timer.elapsed(), 900);
    EXPECT_LT(timer.elapsed(), 3500);
    EXPECT_FALSE(waiter->inTransaction());
    try {
        exec(*waiter, QStringLiteral("UPDATE USERS SET PCAT = 1 WHERE KODUSER = :K"), {{"K", key}});
        FAIL() << "the locked row was changed";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("Записи таблицы USERS") + tail))
            << e.message().toStdString();
    }
    holder->rollback();
    // Once the row is free the same call goes through.
    EXPECT_NO_THROW(call(*waiter, "ZERO_USBR", {{"KOD_USER", key}}));
}

TEST_F(DbTransactions, ABrokenConnectionSaysSoAndDoesNotHang) {
    auto victim = s_dbs->connect(0);
    auto admin = s_dbs->connect(0);
    const int id =
        scalar(*victim, QStringLiteral("SELECT CURRENT_CONNECTION FROM RDB$DATABASE")).toInt();
    exec(*admin, QStringLiteral("DELETE FROM MON$ATTACHMENTS WHERE MON$ATTACHMENT_ID = :ID"),
         {{"ID", id}});
    QElapsedTimer timer;
    timer.start();
    try {
        call(*victim, "GET_KOL_USERS");
        FAIL() << "a shut connection answered";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().startsWith(
            QStringLiteral("Соединение с БД %1 потеряно: сервер БД остановлен или недоступен.\n\n")
                .arg(s_dbs->factPath())))
            << e.message().toStdString();
    }
    EXPECT_LT(timer.elapsed(), 5000);
    EXPECT_FALSE(victim->connected());
    EXPECT_FALSE(victim->inTransaction());
    // Opening again brings the connection back.
    victim->open();
    EXPECT_GE(scalar(*victim, QStringLiteral("SELECT COUNT(*) FROM USERS")).toInt(), 0);
}
