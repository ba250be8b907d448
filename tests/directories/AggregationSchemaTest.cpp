#include "AggregationSchema.h"
#include "AggregationFixture.h"
#include "CompositionController.h"

namespace {

class EmptyFactTest : public FactTest {
protected:
    EmptyFactTest() : FactTest(false) {}
};

// Values of every fund row, to see that a failed addition changed none.
QString fundRows(DbConnection& fact) {
    QStringList rows;
    for (const QVariant& v : dbtest::column(
             fact, QStringLiteral("SELECT KOD1 || '/' || KOD2 || '/' || KODPOK || '/' || KODPOK1 "
                                  "|| '/' || COALESCE(D1, '') FROM FD_DOLGAGR ORDER BY 1")))
        rows << v.toString();
    for (const QVariant& v : dbtest::column(
             fact, QStringLiteral("SELECT KOD1 || '/' || KOD2 || '/' || KODPOK || '/' || GOD || "
                                  "'/' || COALESCE(D1, '') FROM FD_OPERAGR ORDER BY 1")))
        rows << v.toString();
    for (const QVariant& v :
         dbtest::column(fact, QStringLiteral("SELECT KODFOLDER || '/' || KOD1 || '/' || KOD2 || "
                                             "'/' || AGR2 FROM ELM ORDER BY 1")))
        rows << v.toString();
    return rows.join(QLatin1Char('\n'));
}

} // namespace

// The first directory on funds and objects that already hold rows: the new
// columns are 0 (funds) and n (AGRn), the keys and the reference exist.
TEST_F(EmptyFactTest, FirstDirectoryExtendsFundsWithRowsAndObjects) {
    exec(QStringLiteral("INSERT INTO FD_DOLGAGR (KODPOK, KODPOK1, KODPOK2) VALUES (1, 0, 0)"));
    exec(QStringLiteral(
        "INSERT INTO FD_OPERAGR (KODPOK, KODPOK1, KODPOK2, GOD, D1) VALUES (1, 0, 0, 2024, '5')"));
    exec(QStringLiteral("INSERT INTO ELM (NPP, KODFOLDER, NAMEFOLDER) VALUES (100, 1, 'A')"));
    CompositionController c(m_a->dm, m_a->prompter);
    ASSERT_TRUE(c.load());
    EXPECT_EQ(c.addDirectory(), 0) << m_a->messages().join('|').toStdString();
    EXPECT_EQ(scalar(QStringLiteral("SELECT KOD1 FROM FD_DOLGAGR")).toDouble(), 0.0);
    EXPECT_EQ(scalar(QStringLiteral("SELECT KOD1 FROM FD_OPERAGR")).toDouble(), 0.0);
    EXPECT_EQ(scalar(QStringLiteral("SELECT AGR1 FROM ELM")).toInt(), 1);
    EXPECT_TRUE(scalar(QStringLiteral("SELECT KOD1 FROM ELM")).isNull());
    EXPECT_EQ(scalar(QStringLiteral("SELECT NAMEAGR || ISINELM FROM SPISAGR")).toString(),
              QStringLiteral(" F"));
    const QString s = schema();
    EXPECT_TRUE(s.contains(QStringLiteral("INDFDOAGR 1 KOD1\nINDFDOAGR 1 KODPOK\nINDFDOAGR 1 "
                                          "KODPOK1\nINDFDOAGR 1 KODPOK2\nINDFDOAGR 1 GOD")))
        << s.toStdString();
    EXPECT_TRUE(s.contains(QStringLiteral("REF INTEGELM_1 CASCADE RESTRICT"))) << s.toStdString();
    EXPECT_TRUE(c.directoriesAdded());
    // A second directory widens the keys.
    EXPECT_EQ(c.addDirectory(), 1);
    EXPECT_TRUE(schema().contains(
        QStringLiteral("INDFDDAGR 1 KOD1\nINDFDDAGR 1 KOD2\nINDFDDAGR 1 KODPOK\n")));
}

// A directory added at run time looks exactly like those of the demo database
// (which were made by the same statements when the demo was built).
TEST_F(FactTest, AddedDirectoryHasTheLayoutOfTheDemoDirectories) {
    CompositionController c(m_a->dm, m_a->prompter);
    ASSERT_TRUE(c.load());
    ASSERT_EQ(c.addDirectory(), 2);
    QString s = schema();
    auto line = [&](const QString& prefix) {
        for (const QString& l : s.split('\n'))
            if (l.startsWith(prefix))
                return l.mid(prefix.size());
        return QStringLiteral("missing");
    };
    for (const char* table : {"ELM.", "FD_OPERAGR.", "FD_DOLGAGR."}) {
        EXPECT_EQ(line(QString::fromLatin1(table) + "KOD3 "),
                  line(QString::fromLatin1(table) + "KOD2 "));
    }
    EXPECT_EQ(line("ELM.AGR3 "), line("ELM.AGR2 "));
    EXPECT_EQ(line("REF INTEGELM_3 "), line("REF INTEGELM_2 "));
    EXPECT_EQ(line("INTEGELM_3 ").replace('3', '2'), line("INTEGELM_2 "));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM ELM WHERE AGR3 = 3")),
              count(QStringLiteral("SELECT COUNT(*) FROM ELM")));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM FD_DOLGAGR WHERE KOD3 <> 0")), 0);
}

// A step that fails half-way leaves schema and data exactly as they were.
TEST_F(FactTest, AFailureInTheMiddleLeavesSchemaAndDataAsBefore) {
    exec(QStringLiteral("ALTER TABLE ELM ADD KOD3 VARCHAR(10)"));
    exec(QStringLiteral("UPDATE ELM SET KOD3 = 'x'"));
    const QString schemaBefore = schema();
    const QString dataBefore = fundRows(*m_fact);
    CompositionController c(m_a->dm, m_a->prompter);
    ASSERT_TRUE(c.load());
    EXPECT_EQ(c.addDirectory(), -1);
    ASSERT_EQ(m_a->messages().size(), 1);
    EXPECT_TRUE(m_a->messages()[0].startsWith(
        QStringLiteral("Ошибка при добавлении справочника. Перезапустите ЗЕМРАК\r\n\r\n")));
    m_fact->close();
    m_fact->open();
    EXPECT_EQ(schema(), schemaBefore);
    EXPECT_EQ(fundRows(*m_fact), dataBefore);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM SPISAGR")), 2);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM ELM WHERE KOD3 = 'x'")), 8);
    EXPECT_EQ(c.names().size(), 2);
    EXPECT_FALSE(c.directoriesAdded());

    // A clash in the funds: only the column this run added goes again.
    exec(QStringLiteral("ALTER TABLE FD_OPERAGR ADD KOD3 INTEGER"));
    const QString before = schema();
    EXPECT_EQ(c.addDirectory(), -1);
    m_fact->close();
    m_fact->open();
    EXPECT_EQ(schema(), before);
}

// Beyond twelve directories the keys still tell every directory apart.
TEST_F(FactTest, FourteenDirectoriesStoreDistinctValues) {
    CompositionController c(m_a->dm, m_a->prompter);
    ASSERT_TRUE(c.load());
    for (int n = 3; n <= 14; ++n)
        ASSERT_EQ(c.addDirectory(), n - 1) << n << m_a->messages().join('|').toStdString();
    m_fact->close();
    m_fact->open();
    auto insertOper = [&](int kod13, int kod14) {
        exec(QStringLiteral("INSERT INTO FD_OPERAGR (KOD1, KOD2, KOD13, KOD14, KODPOK, KODPOK1, "
                            "KODPOK2, GOD, D1) VALUES (2, 0, :A, :B, 1, 0, 0, 2024, 'v')"),
             {{"A", kod13}, {"B", kod14}});
    };
    auto insertDolg = [&](int kod13, int kod14) {
        exec(QStringLiteral("INSERT INTO FD_DOLGAGR (KOD1, KOD2, KOD13, KOD14, KODPOK, KODPOK1, "
                            "KODPOK2, D1) VALUES (2, 0, :A, :B, 1, 0, 0, 'v')"),
             {{"A", kod13}, {"B", kod14}});
    };
    insertOper(0, 1);
    insertOper(0, 2);
    insertOper(1, 2);
    insertDolg(0, 1);
    insertDolg(0, 2);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM FD_OPERAGR WHERE KOD14 > 0")), 3);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM FD_DOLGAGR WHERE KOD14 > 0")), 2);
    // The same key twice is still refused.
    EXPECT_THROW(insertOper(0, 2), DbError);
    EXPECT_THROW(insertDolg(0, 1), DbError);
    // The last directory added keeps the earlier rows' values apart too.
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM SPISAGR")), 14);
    EXPECT_TRUE(m_a->messages().isEmpty());
}

TEST_F(FactTest, CompositionNamesAttachmentAndSettings) {
    CompositionController c(m_a->dm, m_a->prompter);
    ASSERT_TRUE(c.load());
    EXPECT_EQ(c.names(),
              (QStringList{QStringLiteral("Территории"), QStringLiteral("Виды учреждений")}));
    EXPECT_EQ(c.attachedCount(), 2);
    EXPECT_TRUE(c.setAttached(0, false));
    EXPECT_TRUE(c.setAttached(1, false));
    EXPECT_FALSE(c.objectsEnabled());
    EXPECT_EQ(scalar(QStringLiteral("SELECT LIST(ISINELM, '') FROM SPISAGR")).toString(),
              QStringLiteral("FF"));
    EXPECT_TRUE(c.rename(1, QStringLiteral("   ")));
    EXPECT_TRUE(c.rename(0, QStringLiteral("  Районы  ")));
    EXPECT_EQ(column(QStringLiteral("SELECT NAMEAGR FROM SPISAGR ORDER BY NUMAGR")),
              (QVariantList{QStringLiteral("Районы"), QStringLiteral("Независимые объекты - 2")}));
    c.close(QStringLiteral("Учреждения области"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT NAMEELM || ISELMENABLED FROM NAST")).toString(),
              QStringLiteral("Учреждения областиF"));
    EXPECT_TRUE(c.setAttached(1, true));
    c.close(QStringLiteral("Учреждения"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT ISELMENABLED FROM NAST")).toString(),
              QStringLiteral("T"));
    EXPECT_TRUE(c.objectsLayoutChanged());
    EXPECT_TRUE(m_a->messages().isEmpty());
}
