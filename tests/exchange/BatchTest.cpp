#include "DbfTable.h"
#include "FactFunds.h"
#include "FirebirdEnvironment.h"
#include "InitialWorkbook.h"
#include "MedstatTemplates.h"
#include "TableDocument.h"
#include "TableLayout.h"
#include "TestDatabases.h"
#include "io/NativeFormat.h"
#include "model/Workbook.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace TableLayout;

namespace {

// zemrak-batch run as the unattended user runs it, on databases of its own.
class BatchRun : public ::testing::Test {
protected:
    explicit BatchRun(bool demo) : m_dbs(demo) {}
    void SetUp() override {
        m_fact = m_dbs.connect(0);
        m_tab = m_dbs.connect(1);
        m_ini = m_dbs.writeConfig();
    }

    // The program keeps both databases open while zemrak-batch works on them.
    int run(const QStringList& args,
            const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment()) {
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(ZEMRAK_BATCH),
                args + QStringList{QStringLiteral("--table"), QString::number(m_kod),
                                   QStringLiteral("--ini"), m_ini});
        EXPECT_TRUE(p.waitForFinished(120000));
        m_stderr = QString::fromLocal8Bit(p.readAllStandardError());
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    }
    void readStored(Workbook& book) {
        const QByteArray bytes =
            dbtest::scalar(*m_tab, QStringLiteral("SELECT TABF1 FROM CAT WHERE KODELMT = :K"),
                           {{"K", m_kod}})
                .toByteArray();
        EXPECT_TRUE(NativeFormat::load(book, bytes));
    }
    void storeBook(const Workbook& book) {
        dbtest::exec(*m_tab, QStringLiteral("UPDATE CAT SET TABF1 = :B WHERE KODELMT = :K"),
                     {{"B", TableDocument::workbookBytes(book)}, {"K", m_kod}});
    }

    TestDatabases m_dbs;
    std::unique_ptr<DbConnection> m_fact;
    std::unique_ptr<DbConnection> m_tab;
    QString m_ini;
    int m_kod = 0;
    QString m_stderr;
};

class BatchTest : public BatchRun {
protected:
    BatchTest() : BatchRun(false) {}
    void SetUp() override {
        BatchRun::SetUp();
        PrepareFunds(*m_fact);
        const int folder = dbtest::call(*m_tab, "INSERT_SBR",
                                        {{"NPP", 1},
                                         {"NAMEFOLDER", QStringLiteral("Сборник")},
                                         {"NLEVEL", 1},
                                         {"NAMEID", QString()},
                                         {"KODSPIS", 0},
                                         {"NGOD", 0},
                                         {"NMES", 0}})
                               .output(QStringLiteral("KOD_FOLDER"))
                               .toInt();
        m_kod = dbtest::call(*m_tab, "INSERT_CAT",
                             {{"NPP", 1},
                              {"KODFOLDER", folder},
                              {"NAMEFOLDER", QStringLiteral("Таблица")},
                              {"KODALT", QStringLiteral("Ф-1")},
                              {"KODSPIS", 0}})
                    .output(QStringLiteral("KOD_ELMT"))
                    .toInt();
    }

    // One instance sheet over object 501: row 101 = indicator 7, column C = 2003.
    void storeTable(double value, int object = 501) {
        Workbook book;
        InitialWorkbook::build(book);
        book.setNumber(2, 101, rowSlotColumn(Slot::IndicatorCode), 7);
        book.setNumber(3, 100 + int(Slot::PeriodStart), 3, 2003);
        book.setNumber(1, int(TitleRow::Object), kTitleValueCol, object);
        book.setNumber(1, int(TitleRow::Object), kTitleExtraCol, kObjectsDirectoryType);
        book.setNumber(1, 101, 3, value);
        storeBook(book);
    }
    double storedCell() {
        Workbook book;
        readStored(book);
        return book.sheet(1).number(101, 3);
    }
};

// The demo table over the four territories (one instance sheet each).
class BatchDemoTest : public BatchRun {
protected:
    BatchDemoTest() : BatchRun(true) {}
    void SetUp() override {
        BatchRun::SetUp();
        m_kod = 1;
        ASSERT_EQ(run({QStringLiteral("demo-tables")}), 0) << m_stderr.toStdString();
    }
    // The long-term value of a territory for an indicator in 2023 (D2).
    QVariant beds2023(int territory, int indicator) {
        return dbtest::scalar(*m_fact,
                              QStringLiteral("SELECT D2 FROM FD_DOLGAGR WHERE KOD1 = :T AND "
                                             "KOD2 = 0 AND KODPOK = :P AND KODPOK1 = 0 AND "
                                             "KODPOK2 = 0"),
                              {{"T", territory}, {"P", indicator}});
    }
};

} // namespace

TEST_F(BatchTest, StoreThenFillAndSave) {
    storeTable(42.25);
    ASSERT_EQ(run({QStringLiteral("store")}), 0) << m_stderr.toStdString();
    EXPECT_EQ(dbtest::scalar(*m_fact, QStringLiteral("SELECT D1 FROM FD_DOLGELM WHERE "
                                                     "KODFOLDER = 501 AND KODPOK = 7"))
                  .toString(),
              QStringLiteral("42.25"));

    dbtest::exec(*m_fact, QStringLiteral("UPDATE FD_DOLGELM SET D1 = '43,5'"));
    ASSERT_EQ(run({QStringLiteral("fill"), QStringLiteral("--save")}), 0) << m_stderr.toStdString();
    EXPECT_DOUBLE_EQ(storedCell(), 43.5);
}

TEST_F(BatchTest, FailedStoreExitsNonZeroAndSaysWhy) {
    storeTable(1, 999);
    EXPECT_NE(run({QStringLiteral("store")}), 0);
    EXPECT_TRUE(m_stderr.contains(QStringLiteral("объект с кодом 999 отсутствует в справочнике")))
        << m_stderr.toStdString();
}

TEST_F(BatchTest, AFactFileHeldByAnEngineOfItsOwnIsToldWithWhatToDo) {
    storeTable(5);
    // A program started with the system's default Firebird configuration holds
    // the fact database for its process alone.
    m_fact.reset();
    QProcessEnvironment exclusive = QProcessEnvironment::systemEnvironment();
    exclusive.insert(QStringLiteral("FIREBIRD"), SystemFirebirdRoot());
    QProcess holder;
    holder.setProcessEnvironment(exclusive);
    holder.start(QStringLiteral(ZEMRAK_SHARED_HELPER),
                 {m_dbs.factPath(), TestDatabases::user(), TestDatabases::password()});
    ASSERT_TRUE(holder.waitForReadyRead(30000));
    ASSERT_EQ(holder.readLine().trimmed(), QByteArray("open"));

    EXPECT_EQ(run({QStringLiteral("store")}), 1);
    EXPECT_TRUE(m_stderr.startsWith(
        QStringLiteral("Не удалось соединиться с БД: Файл БД %1 занят: другая программа открыла "
                       "его встроенным сервером Firebird для себя одной")
            .arg(m_dbs.factPath())))
        << m_stderr.toStdString();
    EXPECT_TRUE(m_stderr.contains(QLatin1String("Database already opened")))
        << m_stderr.toStdString();
    holder.closeWriteChannel();
    EXPECT_TRUE(holder.waitForFinished(20000));
}

TEST_F(BatchDemoTest, WithoutSheetEverySheetIsFilledAndStoredAndEmptyCellsOnRequest) {
    ASSERT_EQ(run({QStringLiteral("fill"), QStringLiteral("--save")}), 0) << m_stderr.toStdString();
    Workbook book;
    readStored(book);
    ASSERT_EQ(book.sheetCount(), 6);
    for (int territory = 1; territory <= 4; ++territory) {
        SCOPED_TRACE(territory);
        const QString stored = beds2023(territory, 1).toString();
        ASSERT_FALSE(stored.isEmpty());
        EXPECT_DOUBLE_EQ(book.sheet(territory).number(101, 4), stored.toDouble());
    }

    // The last sheet changed, a cell of the third one emptied: both reach the funds.
    ASSERT_FALSE(beds2023(3, 2).toString().isEmpty());
    book.setNumber(4, 101, 4, 555);
    book.clearCell(3, 102, 4);
    storeBook(book);
    ASSERT_EQ(run({QStringLiteral("store"), QStringLiteral("--empty-cells")}), 0)
        << m_stderr.toStdString();
    EXPECT_EQ(beds2023(4, 1).toString(), QStringLiteral("555"));
    EXPECT_TRUE(beds2023(3, 2).toString().isEmpty());
}

TEST_F(BatchDemoTest, OneSheetOnlyWithSheet) {
    Workbook book;
    readStored(book);
    book.setNumber(2, 101, 4, 777);
    book.setNumber(3, 101, 4, 888);
    storeBook(book);
    const QString third = beds2023(3, 1).toString();
    ASSERT_EQ(run({QStringLiteral("store"), QStringLiteral("--sheet"), QStringLiteral("2")}), 0)
        << m_stderr.toStdString();
    EXPECT_EQ(beds2023(2, 1).toString(), QStringLiteral("777"));
    EXPECT_EQ(beds2023(3, 1).toString(), third);
}

// Collecting over the demo's memberships: each district gets the sum of the institutions
// attached to it; the region, to which no institution is attached itself, gets 0.
TEST_F(BatchDemoTest, CollectSumsTheInstitutionsOfEachTerritory) {
    ASSERT_EQ(run({QStringLiteral("collect"), QStringLiteral("--save")}), 0)
        << m_stderr.toStdString();
    Workbook book;
    readStored(book);
    for (int territory = 1; territory <= 4; ++territory) {
        SCOPED_TRACE(territory);
        const double members =
            dbtest::scalar(*m_fact,
                           QStringLiteral("SELECT COALESCE(SUM(CAST(F.D2 AS DOUBLE PRECISION)), 0) "
                                          "FROM FD_DOLGELM F JOIN ELM E ON E.KODFOLDER = "
                                          "F.KODFOLDER WHERE E.KOD1 = :T AND F.KODPOK = 1 AND "
                                          "F.KODPOK1 = 0 AND F.KODPOK2 = 0"),
                           {{"T", territory}})
                .toDouble();
        EXPECT_EQ(members > 0, territory > 1);
        EXPECT_EQ(book.sheet(territory).type(101, 4), 1);
        EXPECT_DOUBLE_EQ(book.sheet(territory).number(101, 4), members);
    }
}

// The report file without a window: the demo collection "Кадры и посещения" for object 2,
// which both the objects directory and the aggregation directories hold.
TEST_F(BatchDemoTest, MedstatWritesTheFileAndItsControlPasses) {
    QTemporaryDir dir;
    const QString folder = QDir(dir.path()).filePath(QStringLiteral("MEDCTAT"));
    QDir().mkpath(folder);
    MedstatTemplates::createOnFirstStart(folder);
    auto medstat = [&](const QStringList& args, QString* out = nullptr) {
        QProcess p;
        p.start(QStringLiteral(ZEMRAK_BATCH), args + QStringList{QStringLiteral("--folder"), folder,
                                                                 QStringLiteral("--ini"), m_ini});
        EXPECT_TRUE(p.waitForFinished(120000));
        m_stderr = QString::fromLocal8Bit(p.readAllStandardError());
        if (out)
            *out = QString::fromLocal8Bit(p.readAllStandardOutput());
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    };
    const QStringList generate{QStringLiteral("medstat"), QStringLiteral("--collection"),
                               QStringLiteral("3"),       QStringLiteral("--object"),
                               QStringLiteral("2"),       QStringLiteral("--year"),
                               QStringLiteral("25")};
    // Without --choice the ambiguous code is listed and nothing is written.
    EXPECT_EQ(medstat(generate), 1);
    EXPECT_TRUE(m_stderr.contains(QStringLiteral("укажите --choice N"))) << m_stderr.toStdString();
    EXPECT_TRUE(m_stderr.contains(QStringLiteral("  3 "))) << "the objects directory is third";
    EXPECT_EQ(DbfTable::open(QDir(folder).filePath(QStringLiteral("MEDCTAT.DBF"))).recordCount(),
              0);

    // The demo's "Медицинские кадры" has no workbook: said, the other table is written, and
    // the exit status tells the unattended user to look.
    QString out;
    EXPECT_EQ(
        medstat(generate + QStringList{QStringLiteral("--choice"), QStringLiteral("3")}, &out), 1);
    EXPECT_TRUE(m_stderr.contains(QStringLiteral(
        "Таблица \"Медицинские кадры\" не записана в файл: книга таблицы не сохранена")))
        << m_stderr.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("Записей: 1"))) << out.toStdString();
    DbfTable file = DbfTable::open(QDir(folder).filePath(QStringLiteral("MEDCTAT.DBF")));
    ASSERT_TRUE(file.first());
    EXPECT_EQ(file.text(2), QStringLiteral("0300000"));

    EXPECT_EQ(medstat({QStringLiteral("medstat-control"), QStringLiteral("--object"),
                       QStringLiteral("2"), QStringLiteral("--year"), QStringLiteral("25")}),
              0)
        << m_stderr.toStdString();
}
