#include "DbError.h"
#include "DbTestHelpers.h"
#include "TestDatabases.h"
#include "ZemrakConfig.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <tuple>

using namespace dbtest;

namespace {

class DemoData : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_dbs = std::make_unique<TestDatabases>(true);
        s_fact = s_dbs->connect(0);
        s_tab = s_dbs->connect(1);
    }
    static void TearDownTestSuite() {
        s_fact.reset();
        s_tab.reset();
        s_dbs.reset();
    }
    static DbConnection& fact() { return *s_fact; }

    static inline std::unique_ptr<TestDatabases> s_dbs;
    static inline std::unique_ptr<DbConnection> s_fact;
    static inline std::unique_ptr<DbConnection> s_tab;
};

} // namespace

TEST_F(DemoData, StorageYearsMatchTheFundColumns) {
    DbStatement& nast = fact().statement(QStringLiteral("nast"));
    nast.setSql(QStringLiteral("SELECT GODDOLG, GODOPER FROM NAST"));
    nast.open();
    EXPECT_EQ(nast.value(0).toString(), QStringLiteral("2022202320242025"));
    EXPECT_EQ(nast.value(1).toString(), QStringLiteral("20242025"));
    nast.close();
    // One value column per long-term year in both long-term tables.
    for (const char* table : {"FD_DOLGELM", "FD_DOLGAGR"})
        EXPECT_EQ(scalar(fact(),
                         QStringLiteral("SELECT COUNT(*) FROM RDB$RELATION_FIELDS WHERE "
                                        "RDB$RELATION_NAME = :T AND RDB$FIELD_NAME "
                                        "STARTING WITH 'D'"),
                         {{"T", table}})
                      .toInt(),
                  4)
            << table;
    EXPECT_EQ(
        ints(column(fact(), QStringLiteral("SELECT DISTINCT GOD FROM FD_OPERELM ORDER BY 1"))),
        (QList<int>{2024, 2025}));
}

TEST_F(DemoData, NodeValuesAreTheSumsOfTheirObjects) {
    const QString node = QStringLiteral(
        "SELECT CAST(D4 AS INTEGER) FROM FD_DOLGAGR WHERE KOD1 = :N AND KOD2 = 0 AND KODPOK = 1 "
        "AND KODPOK1 = 0 AND KODPOK2 = 0");
    const QString objects = QStringLiteral(
        "SELECT SUM(CAST(F.D4 AS INTEGER)) FROM FD_DOLGELM F JOIN ELM E ON E.KODFOLDER = "
        "F.KODFOLDER WHERE E.KOD1 = :N AND F.KODPOK = 1 AND F.KODPOK1 = 0 AND F.KODPOK2 = 0");
    int districts = 0;
    for (int n = 2; n <= 4; ++n) {
        const int value = scalar(fact(), node, {{"N", n}}).toInt();
        EXPECT_GT(value, 0) << n;
        EXPECT_EQ(value, scalar(fact(), objects, {{"N", n}}).toInt()) << n;
        districts += value;
    }
    EXPECT_EQ(scalar(fact(), node, {{"N", 1}}).toInt(), districts);
}

TEST_F(DemoData, ObjectMembershipFollowsTheNodes) {
    // A node that directory 1 does not have is refused by name.
    try {
        exec(fact(), QStringLiteral("INSERT INTO ELM (NPP, KODFOLDER, NAMEFOLDER, KOD1, AGR1) "
                                    "VALUES (900, 900, 'x', 77, 1)"));
        FAIL() << "an object joined a missing node";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().contains(QLatin1String("INTEGELM_1"))) << e.message().toStdString();
    }
    // A node's new code reaches its objects and its aggregated fund rows.
    const int before =
        scalar(fact(), QStringLiteral("SELECT COUNT(*) FROM FD_DOLGAGR WHERE KOD1 = 3")).toInt();
    ASSERT_GT(before, 0);
    call(fact(), "UPDATE_KOD_AGR", {{"KOD_FOLDER", 3.0}, {"NUM_AGR", 1}, {"KOD_FOLDER_NEW", 30.0}});
    EXPECT_EQ(scalar(fact(), QStringLiteral("SELECT COUNT(*) FROM ELM WHERE KOD1 = 30")).toInt(),
              2);
    EXPECT_EQ(
        scalar(fact(), QStringLiteral("SELECT COUNT(*) FROM FD_DOLGAGR WHERE KOD1 = 30")).toInt(),
        before);
    EXPECT_EQ(
        scalar(fact(), QStringLiteral("SELECT COUNT(*) FROM FD_DOLGAGR WHERE KOD1 = 3")).toInt(),
        0);
    // Node 3 of directory 2 kept its code.
    EXPECT_EQ(scalar(fact(), QStringLiteral("SELECT COUNT(*) FROM ELM WHERE KOD2 = 3")).toInt(), 2);
}

TEST_F(DemoData, CollectionsAndIndicatorsAreInPlace) {
    EXPECT_EQ(
        scalar(*s_tab, QStringLiteral("SELECT COUNT(*) FROM CAT WHERE KODFOLDER = 2")).toInt(), 3);
    // Generators continue after the demo keys.
    const int sbr =
        call(*s_tab, "INSERT_SBR", {{"NPP", 900}, {"NLEVEL", 1}}).output("KOD_FOLDER").toInt();
    EXPECT_EQ(sbr, 6);
    const int pok =
        call(fact(), "INSERT_POK", {{"NPP", 900}, {"KODFOLDER", 1}}).output("KOD_ELMT").toInt();
    EXPECT_EQ(pok, 28);
    EXPECT_EQ(scalar(fact(), QStringLiteral("SELECT NAMEFOLDER FROM POK WHERE KODALT = 'В01'"))
                  .toString(),
              QStringLiteral("Число врачей - всего"));
}

TEST(CreateDbTool, CreatesBothDatabasesAndTheConfiguration) {
    QTemporaryDir dir;
    const QString fact = dir.filePath(QStringLiteral("F.GDB"));
    const QString tab = dir.filePath(QStringLiteral("T.GDB"));
    const QString ini = dir.filePath(QStringLiteral("Zemrak.INI"));
    QProcess tool;
    tool.start(QStringLiteral(ZEMRAK_CREATEDB),
               {QStringLiteral("--fact"), fact, QStringLiteral("--tab"), tab,
                QStringLiteral("--ini"), ini});
    ASSERT_TRUE(tool.waitForFinished(60000));
    EXPECT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
    const ConnectionSettings s = ZemrakConfig(ini).read();
    EXPECT_EQ(s.mainPath, fact);
    EXPECT_EQ(s.tabPath, tab);
    EXPECT_EQ(s.mainPassword, TestDatabases::password());
    DbConnection c(QStringLiteral("dbMain"), 0);
    c.setParams(s.mainPath, s.mainUser, s.mainPassword);
    c.open();
    EXPECT_EQ(scalar(c, QStringLiteral("SELECT COUNT(*) FROM POK")).toInt(), 0); // no demo asked
    c.close();

    // A second run refuses to overwrite and says so.
    tool.start(QStringLiteral(ZEMRAK_CREATEDB),
               {QStringLiteral("--fact"), fact, QStringLiteral("--tab"), tab});
    ASSERT_TRUE(tool.waitForFinished(60000));
    EXPECT_EQ(tool.exitCode(), 1);
    EXPECT_TRUE(QString::fromUtf8(tool.readAllStandardError()).contains(fact));
    tool.start(QStringLiteral(ZEMRAK_CREATEDB), {QStringLiteral("--fact"), fact});
    ASSERT_TRUE(tool.waitForFinished(60000));
    EXPECT_EQ(tool.exitCode(), 2);
}

// Both databases or neither: a target that cannot be made stops the tool before
// anything is created, and a failure halfway removes what was made.
TEST(CreateDbTool, NeverLeavesHalfAPair) {
    QTemporaryDir dir;
    const QString fact = dir.filePath(QStringLiteral("F.GDB"));
    const QString tab = dir.filePath(QStringLiteral("T.GDB"));
    const QString ini = dir.filePath(QStringLiteral("Zemrak.INI"));
    auto run = [](const QStringList& args) {
        QProcess tool;
        tool.start(QStringLiteral(ZEMRAK_CREATEDB), args);
        EXPECT_TRUE(tool.waitForFinished(60000));
        return std::pair{tool.exitCode(), QString::fromUtf8(tool.readAllStandardError())};
    };
    {
        QFile existing(tab);
        ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
        existing.write("not a database");
    }
    auto [code, text] = run({QStringLiteral("--fact"), fact, QStringLiteral("--tab"), tab,
                             QStringLiteral("--ini"), ini});
    EXPECT_EQ(code, 1);
    EXPECT_TRUE(text.contains(tab)) << text.toStdString();
    EXPECT_FALSE(QFileInfo::exists(fact));
    EXPECT_FALSE(QFileInfo::exists(ini));
    QFile::remove(tab);

    // The table materials fail only when their folder is found missing at creation.
    const QString nowhere = dir.filePath(QStringLiteral("no/such/folder/T.GDB"));
    std::tie(code, text) = run({QStringLiteral("--fact"), fact, QStringLiteral("--tab"), nowhere});
    EXPECT_EQ(code, 1);
    EXPECT_FALSE(QFileInfo::exists(fact)) << "the fact database made by this run stays";

    // A password Zemrak.INI cannot hold is refused before anything is made.
    std::tie(code, text) =
        run({QStringLiteral("--fact"), fact, QStringLiteral("--tab"), tab,
             QStringLiteral("--password"), QStringLiteral("ключ✓"), QStringLiteral("--ini"), ini});
    EXPECT_EQ(code, 1);
    EXPECT_FALSE(QFileInfo::exists(fact));
    EXPECT_FALSE(QFileInfo::exists(ini));
}
