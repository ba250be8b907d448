#include "DbCreator.h"
#include "DbError.h"
#include "DbTestHelpers.h"
#include "FirebirdEnvironment.h"
#include "ServerErrors.h"
#include "SqlScript.h"
#include "TestDatabases.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTimer>

#include <csignal>

#include <gtest/gtest.h>

using namespace dbtest;

TEST(SqlScript, SplitsAtTheTerminatorSetTermChooses) {
    const QStringList statements = SplitSqlScript(
        QStringLiteral("-- a comment; with a semicolon\n"
                       "CREATE TABLE T (A VARCHAR(10) DEFAULT 'a;b', \"X;\" INTEGER);\n"
                       "/* block; comment */ INSERT INTO T (A) VALUES ('it''s; fine');\n"
                       "SET TERM ^ ;\n"
                       "CREATE PROCEDURE P AS BEGIN EXIT; END^\n"
                       "SET TERM ; ^\n"
                       "COMMIT;\n"
                       "SELECT 1 FROM RDB$DATABASE"));
    ASSERT_EQ(statements.size(), 4);
    EXPECT_EQ(statements[0],
              QStringLiteral("CREATE TABLE T (A VARCHAR(10) DEFAULT 'a;b', \"X;\" INTEGER)"));
    EXPECT_EQ(statements[1], QStringLiteral("INSERT INTO T (A) VALUES ('it''s; fine')"));
    EXPECT_EQ(statements[2], QStringLiteral("CREATE PROCEDURE P AS BEGIN EXIT; END"));
    EXPECT_EQ(statements[3], QStringLiteral("SELECT 1 FROM RDB$DATABASE"));
}

TEST(SqlScript, PlaceholdersOutsideQuotesAndComments) {
    EXPECT_EQ(PlaceholderNames(QStringLiteral(
                  "SELECT ':NOT' FROM X -- :NOR\n WHERE A = :A AND B = :b_2 OR C = :A")),
              (QStringList{QStringLiteral(":A"), QStringLiteral(":b_2")}));
}

TEST(DbCreator, NeverOverwritesAnExistingFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("x.fdb"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("precious");
    file.close();
    EXPECT_THROW(DbCreator({}).createFact(path, false), DbError);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("precious"));
}

TEST(DbCreator, AFailingScriptNamesTheStatement) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("x.fdb"));
    DbCreator::Options options;
    options.forcedWrites = false;
    const DbCreator creator(options);
    creator.createDatabase(path);
    try {
        creator.runScript(
            path, QStringLiteral("CREATE TABLE A (X INTEGER);\nCREATE TABLE A (Y INTEGER);"));
        FAIL() << "a duplicate table was accepted";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().contains(QLatin1String("CREATE TABLE A (Y INTEGER)")))
            << e.message().toStdString();
    }
}

class DbLayer : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_dbs = std::make_unique<TestDatabases>();
        s_fact = s_dbs->connect(0);
        s_tab = s_dbs->connect(1);
    }
    static void TearDownTestSuite() {
        s_fact.reset();
        s_tab.reset();
        s_dbs.reset();
    }
    static inline std::unique_ptr<TestDatabases> s_dbs;
    static inline std::unique_ptr<DbConnection> s_fact;
    static inline std::unique_ptr<DbConnection> s_tab;
};

TEST_F(DbLayer, CyrillicRoundTripsThroughBothDatabases) {
    const QString name = QStringLiteral("Число коек — «всего», №1; ёЁ");
    const int key = call(*s_tab, "INSERT_SBR", {{"NPP", 1}, {"NAMEFOLDER", name}, {"NLEVEL", 1}})
                        .output("KOD_FOLDER")
                        .toInt();
    EXPECT_EQ(scalar(*s_tab, QStringLiteral("SELECT NAMEFOLDER FROM SBR WHERE KODFOLDER = :K"),
                     {{"K", key}})
                  .toString(),
              name);
    // Stored as Windows-1251: one byte per character.
    EXPECT_EQ(scalar(*s_tab,
                     QStringLiteral("SELECT OCTET_LENGTH(NAMEFOLDER) FROM SBR "
                                    "WHERE KODFOLDER = :K"),
                     {{"K", key}})
                  .toInt(),
              name.size());
    const int list = call(*s_fact, "INSERT_SPIS", {{"NAME", name}}).output("KODSP").toInt();
    EXPECT_EQ(
        scalar(*s_fact, QStringLiteral("SELECT NAME FROM SPIS WHERE KODSPIS = :K"), {{"K", list}})
            .toString(),
        name);
}

TEST_F(DbLayer, TextOutsideWindows1251IsRefusedClearly) {
    const int before = scalar(*s_fact, QStringLiteral("SELECT COUNT(*) FROM SPIS")).toInt();
    try {
        call(*s_fact, "INSERT_SPIS", {{"NAME", QStringLiteral("Больница 中 😀")}});
        FAIL() << "the text was stored";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().contains(QLatin1String("Windows-1251")))
            << e.message().toStdString();
        EXPECT_TRUE(e.message().contains(QStringLiteral("中😀"))) << e.message().toStdString();
    }
    // A literal in the statement text reaches the server, which refuses it too.
    EXPECT_THROW(exec(*s_fact, QStringLiteral("INSERT INTO SPIS (NAME) VALUES ('中')")), DbError);
    EXPECT_EQ(scalar(*s_fact, QStringLiteral("SELECT COUNT(*) FROM SPIS")).toInt(), before);
}

TEST_F(DbLayer, TransactionHelperCommitsOrRollsBack) {
    DbConnection& c = *s_fact;
    const QString count = QStringLiteral("SELECT COUNT(*) FROM RUB WHERE NAMEFOLDER = 'tx'");
    DbStatement& insert = c.statement(QStringLiteral("ins"));
    insert.setSql(QStringLiteral("INSERT INTO RUB (KODFOLDER, NPP, NAMEFOLDER, NLEVEL) "
                                 "VALUES (:K, 1, 'tx', 1)"));
    EXPECT_THROW(RunInTransaction(c,
                                  [&] {
                                      insert.setParam(QStringLiteral("K"), 90001);
                                      insert.execute();
                                      insert.execute(); // duplicate key
                                  }),
                 DbError);
    EXPECT_FALSE(c.inTransaction());
    EXPECT_EQ(scalar(c, count).toInt(), 0);

    // An inner scope inside a running transaction leaves the commit to the outer one,
    // and an error it reports can be handled there without losing earlier work.
    RunInTransaction(c, [&] {
        insert.setParam(QStringLiteral("K"), 90002);
        insert.execute();
        try {
            RunInTransaction(c, [&] { insert.execute(); });
        } catch (const DbError&) {
        }
        EXPECT_TRUE(c.inTransaction());
        insert.setParam(QStringLiteral("K"), 90003);
        insert.execute();
    });
    EXPECT_EQ(scalar(c, count).toInt(), 2);
}

TEST_F(DbLayer, StatementsKeepTheirLinesAndParameters) {
    DbStatement& st = s_fact->statement(QStringLiteral("quCommonMAIN"));
    st.setSql(
        QStringList{QStringLiteral("SELECT NAMEELM, ISELMENABLED"), QStringLiteral("FROM NAST")});
    st.open();
    ASSERT_EQ(st.rowCount(), 1);
    EXPECT_EQ(st.value(QStringLiteral("nameelm")).toString(), QStringLiteral("Объекты"));
    EXPECT_EQ(st.fieldNames(),
              (QStringList{QStringLiteral("NAMEELM"), QStringLiteral("ISELMENABLED")}));
    st.close();
    // A procedure binds by name whatever order the caller gives.
    DbProcedure& sp = s_fact->procedure(QStringLiteral("INSERT_RUB"));
    sp.clearParams();
    sp.setParam(QStringLiteral("NLEVEL"), 3);
    sp.setParam(QStringLiteral("nAmEfOlDeR"), QStringLiteral("порядок"));
    sp.setParam(QStringLiteral("NPP"), 42);
    RunInTransaction(*s_fact, [&] { sp.execute(); });
    EXPECT_EQ(scalar(*s_fact,
                     QStringLiteral("SELECT NPP || NAMEFOLDER || NLEVEL FROM RUB "
                                    "WHERE KODFOLDER = :K"),
                     {{"K", sp.output(QStringLiteral("KOD_FOLDER"))}})
                  .toString(),
              QStringLiteral("42порядок3"));
    EXPECT_THROW(s_fact->procedure(QStringLiteral("NO_SUCH_PROC")).execute(), DbError);
}

// Values bound by position, and a SELECT that keeps only the rows asked for while they
// arrive; the code page is checked here too.
TEST_F(DbLayer, PositionalValuesAndFilteredRows) {
    DbConnection& c = *s_fact;
    DbStatement& insert = c.statement(QStringLiteral("positional"));
    insert.setSql(QStringLiteral("INSERT INTO SPIS (NAME) VALUES (?)"));
    RunInTransaction(c, [&] {
        for (int i = 1; i <= 6; ++i) {
            insert.setPositionalParams({QStringLiteral("ряд %1").arg(i)});
            insert.execute();
        }
    });
    EXPECT_THROW(insert.setPositionalParams({QStringLiteral("中")}), DbError);
    DbStatement& read = c.statement(QStringLiteral("filtered"));
    read.setSql(QStringLiteral("SELECT NAME FROM SPIS WHERE NAME STARTING WITH ? ORDER BY NAME"));
    read.setPositionalParams({QStringLiteral("ряд")});
    QStringList seen;
    read.open([&](int row) {
        seen << read.rowValue(row, 0).toString();
        return seen.size() % 2 == 0;
    });
    EXPECT_EQ(seen.size(), 6);
    ASSERT_EQ(read.rowCount(), 3);
    EXPECT_EQ(read.rowValue(0, 0).toString(), QStringLiteral("ряд 2"));
    EXPECT_EQ(read.rowValue(2, 0).toString(), QStringLiteral("ряд 6"));
    exec(c, QStringLiteral("DELETE FROM SPIS WHERE NAME STARTING WITH 'ряд'"));
}

TEST_F(DbLayer, AUserWithoutGrantsGetsARightsError) {
    auto other = s_dbs->connect(1, QStringLiteral("ANALYST"), QStringLiteral("any"));
    try {
        call(*other, "INSERT_SBR", {{"NPP", 1}});
        FAIL() << "a user without grants ran INSERT_SBR";
    } catch (const DbError& e) {
        EXPECT_TRUE(IsRightsError(e.message(), e.sqlCode())) << e.message().toStdString();
    }
    try {
        column(*other, QStringLiteral("SELECT * FROM CAT"));
        FAIL() << "a user without grants read CAT";
    } catch (const DbError& e) {
        EXPECT_TRUE(IsRightsError(e.message(), e.sqlCode())) << e.message().toStdString();
    }
    EXPECT_FALSE(other->inTransaction());
}

// The embedded engine swallows SIGTERM; the program must still end the normal way.
TEST(TerminationSignals, EndTheEventLoop) {
    QuitOnTerminationSignals(*QCoreApplication::instance());
    bool timedOut = false;
    QTimer::singleShot(0, [] { std::raise(SIGTERM); });
    QTimer::singleShot(10000, [&] {
        timedOut = true;
        QCoreApplication::quit();
    });
    QCoreApplication::exec();
    EXPECT_FALSE(timedOut);
}
