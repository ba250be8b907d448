#include "DbConnection.h"
#include "DbError.h"
#include "DbTestHelpers.h"
#include "FirebirdEnvironment.h"
#include "OtherProgram.h"
#include "TestDatabases.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QString elmName(DbConnection& db) {
    return dbtest::scalar(db, QStringLiteral("SELECT NAMEFOLDER FROM ELM WHERE KODFOLDER = 900001"))
        .toString();
}

} // namespace

class SharedEmbedded : public ::testing::Test {
protected:
    TestDatabases m_dbs;
};

TEST_F(SharedEmbedded, TwoProgramsSeeEachOthersCommittedRows) {
    const auto db = m_dbs.connect(0);
    OtherProgram other(m_dbs.factPath());
    ASSERT_EQ(other.greeting(), QStringLiteral("open"));

    EXPECT_EQ(other.ask(QStringLiteral("exec INSERT INTO ELM (NPP, KODFOLDER, NAMEFOLDER) "
                                       "VALUES (1, 900001, 'Больница №1')")),
              QStringLiteral("ok"));
    EXPECT_EQ(elmName(*db), QStringLiteral("Больница №1"));

    // Not seen before the commit, seen after it.
    db->startTransaction();
    dbtest::exec(
        *db, QStringLiteral("UPDATE ELM SET NAMEFOLDER = 'Поликлиника' WHERE KODFOLDER = 900001"));
    const QString probe =
        QStringLiteral("scalar SELECT NAMEFOLDER FROM ELM WHERE KODFOLDER = 900001");
    EXPECT_EQ(other.ask(probe), QStringLiteral("Больница №1"));
    db->commit();
    EXPECT_EQ(other.ask(probe), QStringLiteral("Поликлиника"));
}

TEST_F(SharedEmbedded, ChangeFlagsPassBetweenTwoPrograms) {
    const auto db = m_dbs.connect(0);
    OtherProgram other(m_dbs.factPath());
    ASSERT_EQ(other.greeting(), QStringLiteral("open"));
    const double mine =
        dbtest::call(*db, "INSERT_USERS").output(QStringLiteral("KOD_USER")).toDouble();
    const QString theirs = other.ask(QStringLiteral("register"));
    ASSERT_FALSE(theirs.startsWith(QLatin1String("error"))) << theirs.toStdString();
    EXPECT_NE(theirs.toDouble(), mine);
    EXPECT_EQ(other.ask(QStringLiteral("scalar SELECT COUNT(*) FROM USERS")), QStringLiteral("2"));

    // This program changed a collection: the other one's flag goes up, and
    // lowering it there is seen here.
    dbtest::call(*db, "ONE_USBR", {{"KOD_USER", mine}});
    const QString theirFlag =
        QStringLiteral("scalar SELECT PSBR FROM USERS WHERE KODUSER = ") + theirs;
    EXPECT_EQ(other.ask(theirFlag), QStringLiteral("1"));
    EXPECT_EQ(other.ask(QStringLiteral("exec EXECUTE PROCEDURE ZERO_USBR ") + theirs),
              QStringLiteral("ok"));
    EXPECT_EQ(
        dbtest::scalar(*db, QStringLiteral("SELECT PSBR FROM USERS WHERE KODUSER = ") + theirs)
            .toInt(),
        0);

    // And the other way round.
    EXPECT_EQ(other.ask(QStringLiteral("exec EXECUTE PROCEDURE ONE_UPOK ") + theirs),
              QStringLiteral("ok"));
    EXPECT_EQ(dbtest::scalar(*db, QStringLiteral("SELECT PPOK FROM USERS WHERE KODUSER = :K"),
                             {{"K", mine}})
                  .toInt(),
              1);
    EXPECT_EQ(other.ask(QStringLiteral("scalar SELECT PPOK FROM USERS WHERE KODUSER = ") + theirs),
              QStringLiteral("0"));
}

TEST_F(SharedEmbedded, AFileHeldByAnEngineOfItsOwnIsToldWithWhatToDo) {
    // Another program on the system's default configuration takes the file for
    // its process alone.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("FIREBIRD"), SystemFirebirdRoot());
    OtherProgram holder(m_dbs.factPath(), env);
    ASSERT_EQ(holder.greeting(), QStringLiteral("open"));

    DbConnection db(QStringLiteral("dbMain"), 0);
    db.setParams(m_dbs.factPath(), TestDatabases::user(), TestDatabases::password());
    try {
        db.open();
        FAIL() << "opened a file another engine holds";
    } catch (const DbError& e) {
        const QString expected =
            QStringLiteral("Файл БД %1 занят: другая программа открыла его встроенным сервером "
                           "Firebird для себя одной (с обычными настройками Firebird), либо его "
                           "держит сервер Firebird этого компьютера. Закройте ту программу или "
                           "работайте с БД через сервер Firebird (см. README).\n")
                .arg(m_dbs.factPath());
        EXPECT_TRUE(e.message().startsWith(expected)) << e.message().toStdString();
        // Then the server's own words.
        EXPECT_TRUE(e.message().contains(QLatin1String("Database already opened")))
            << e.message().toStdString();
    }
    EXPECT_FALSE(db.connected());
}

TEST_F(SharedEmbedded, EnginesWithAnotherLockFolderAreNotJoined) {
    // Two engines sharing a file each keep its locks in their own folder: joined,
    // neither would see the other's pages in use.
    QTemporaryDir otherFolder;
    ASSERT_TRUE(otherFolder.isValid());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("FIREBIRD_LOCK"), otherFolder.path());
    {
        OtherProgram other(m_dbs.factPath(), env);
        ASSERT_EQ(other.greeting(), QStringLiteral("open"));
        DbConnection db(QStringLiteral("dbMain"), 0);
        db.setParams(m_dbs.factPath(), TestDatabases::user(), TestDatabases::password());
        try {
            db.open();
            FAIL() << "joined an engine of another lock folder";
        } catch (const DbError& e) {
            EXPECT_EQ(e.message(),
                      QStringLiteral("Файл БД %1 открыт программой другого пользователя или с "
                                     "другой папкой блокировок Firebird: открыть его вместе с ней "
                                     "нельзя, не испортив. Закройте ту программу или работайте с "
                                     "БД через сервер Firebird (см. README).")
                          .arg(m_dbs.factPath()));
        }
    }
    // Once that program has closed it, the file is shared again.
    const auto db = m_dbs.connect(0);
    EXPECT_TRUE(db->connected());
}

TEST_F(SharedEmbedded, ALockFolderThatCannotBeUsedIsNamed) {
    QTemporaryDir scratch;
    ASSERT_TRUE(scratch.isValid());
    const QString notAFolder = scratch.filePath(QStringLiteral("locks"));
    QFile file(notAFolder);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("FIREBIRD_LOCK"), notAFolder);
    OtherProgram other(m_dbs.factPath(), env);
    EXPECT_TRUE(other.greeting().startsWith(
        QStringLiteral("error Папка блокировок встроенного сервера Firebird %1 недоступна: её "
                       "завёл другой пользователь, в неё нельзя писать или это не папка. Задайте "
                       "свою папку в переменной FIREBIRD_LOCK или работайте с БД через сервер "
                       "Firebird (см. README). ")
            .arg(notAFolder)))
        << other.greeting().toStdString();
}
