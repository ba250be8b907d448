#include "AggregationController.h"
#include "AggregationFixture.h"
#include "DbfTable.h"

#include <QTemporaryDir>

namespace {

// The node tree of one directory in a running program.
struct AgrWindowModel {
    AgrWindowModel(FactInstance& i, int numAgr)
        : engine(i.dm, AggregationController::Descriptor(numAgr, TestDatabases::user()), tree,
                 i.prompter, i.state),
          controller(i.dm, i.prompter, engine, numAgr) {
        engine.BuildOutline();
    }
    OutlineTree tree;
    OutlineEngine<double> engine;
    AggregationController controller;
};

class AggregationTest : public FactTest {
protected:
    void SetUp() override {
        FactTest::SetUp();
        // Aggregated values under the hospital nodes (2 and its child 3) and elsewhere.
        for (int kod2 : {2, 3, 4})
            exec(QStringLiteral("INSERT INTO FD_OPERAGR (KOD1, KOD2, KODPOK, KODPOK1, KODPOK2, "
                                "GOD, D1) VALUES (0, :K, 1, 0, 99, 2024, '7')"),
                 {{"K", kod2}});
        exec(QStringLiteral("INSERT INTO FD_DOLGAGR (KOD1, KOD2, KODPOK, KODPOK1, KODPOK2, D1) "
                            "VALUES (0, 3, 1, 0, 99, '8')"));
    }
    int rows(const char* where) {
        return count(QStringLiteral("SELECT (SELECT COUNT(*) FROM FD_OPERAGR WHERE %1) + "
                                    "(SELECT COUNT(*) FROM FD_DOLGAGR WHERE %1) FROM RDB$DATABASE")
                         .arg(QString::fromLatin1(where)));
    }
};

} // namespace

TEST_F(AggregationTest, DeletingANodeWithAChildClearsMembershipsAndValuesOfBoth) {
    AgrWindowModel m(*m_a, 2);
    ASSERT_TRUE(m.engine.selectKey(2.0));
    ASSERT_GT(count(QStringLiteral("SELECT COUNT(*) FROM ELM WHERE KOD2 IN (2, 3)")), 0);
    // No keeps everything.
    const int values = rows("KOD2 IN (2, 3)");
    const int others = rows("KOD2 = 4");
    ASSERT_GE(values, 3);
    m_a->prompter.answer(Answer::No);
    EXPECT_FALSE(m.controller.deleteNode());
    EXPECT_EQ(m_a->prompter.shown().last().defaultButton, Answer::No);
    EXPECT_EQ(rows("KOD2 IN (2, 3)"), values);

    m_a->prompter.answer(Answer::Yes);
    ASSERT_TRUE(m.controller.deleteNode()) << m_a->messages().join('|').toStdString();
    EXPECT_EQ(m_a->messages(),
              QStringList(2, QStringLiteral("Вы действительно хотите удалить объект ?")));
    EXPECT_EQ(
        count(QStringLiteral("SELECT COUNT(*) FROM AGR WHERE NUMAGR = 2 AND KODFOLDER IN (2, 3)")),
        0);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM ELM WHERE KOD2 IN (2, 3)")), 0);
    EXPECT_EQ(rows("KOD2 IN (2, 3)"), 0);
    // Other nodes, their members and values, and directory 1 stay.
    EXPECT_EQ(rows("KOD2 = 4"), others);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM ELM WHERE KOD2 = 4")), 2);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM AGR WHERE NUMAGR = 1")), 4);
    EXPECT_EQ(m.engine.arrays().keys, (std::vector<double>{1, 4, 5}));
}

TEST_F(AggregationTest, NodeCodeIsCheckedAndCarriedToObjectsAndFunds) {
    AgrWindowModel m(*m_a, 2);
    ASSERT_TRUE(m.engine.selectKey(3.0));
    EXPECT_EQ(m.controller.codeText(), QStringLiteral("3"));
    using E = AggregationController::CodeEdit;
    EXPECT_EQ(m.controller.changeCode(QStringLiteral("0")), E::Invalid);
    EXPECT_EQ(m.controller.changeCode(QStringLiteral("-5")), E::Invalid);
    EXPECT_EQ(m.controller.changeCode(QStringLiteral("abc")), E::Invalid);
    EXPECT_EQ(m_a->messages(), (QStringList{QStringLiteral("Код объекта должен быть больше нуля"),
                                            QStringLiteral("Код объекта должен быть больше нуля"),
                                            QStringLiteral("Код объекта должен быть числовым")}));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM AGR WHERE NUMAGR = 2 AND KODFOLDER = 3")),
              1);
    // A code used by another node of the directory is refused in the system's words.
    m_a->prompter.clear();
    EXPECT_EQ(m.controller.changeCode(QStringLiteral("4")), E::Restored);
    EXPECT_EQ(m_a->messages(), QStringList{QStringLiteral("Код 4 уже есть в справочнике")});
    EXPECT_EQ(m.controller.codeText(), QStringLiteral("3"));

    const int members = count(QStringLiteral("SELECT COUNT(*) FROM ELM WHERE KOD2 = 3"));
    const int values = rows("KOD2 = 3");
    ASSERT_GT(members, 0);
    m_a->prompter.clear();
    EXPECT_EQ(m.controller.changeCode(QStringLiteral("33.5")), E::Stored);
    EXPECT_TRUE(m_a->messages().isEmpty());
    EXPECT_EQ(m.controller.codeText(), QStringLiteral("33.5"));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM ELM WHERE KOD2 = 33.5")), members);
    EXPECT_EQ(rows("KOD2 = 33.5"), values);
    EXPECT_EQ(rows("KOD2 = 3"), 0);
    // The tree keeps working with the new key.
    m.engine.BuildOutline();
    EXPECT_TRUE(m.engine.selectKey(33.5));
    // Objects follow in the same transaction also where the reference is missing.
    m_fact->close();
    dbtest::exec(m_a->dm.dbMain, QStringLiteral("ALTER TABLE ELM DROP CONSTRAINT INTEGELM_2"));
    m_fact->open();
    EXPECT_EQ(m.controller.changeCode(QStringLiteral("34")), E::Stored);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM ELM WHERE KOD2 = 34")), members);
    EXPECT_EQ(rows("KOD2 = 34"), values);
}

TEST_F(AggregationTest, ExportAndImportIntoItselfAppendsCopiesUnderNewCodes) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("AGR1.DBF"));
    AgrWindowModel m(*m_a, 1);
    m_a->prompter.file(path);
    ASSERT_TRUE(m.controller.exportNodes()) << m_a->messages().join('|').toStdString();
    {
        DbfTable t = DbfTable::open(path);
        EXPECT_EQ(t.fieldNames(),
                  (QStringList{QStringLiteral("KodFolder"), QStringLiteral("NameFOLDER"),
                               QStringLiteral("nLevel")}));
        EXPECT_EQ(t.recordCount(), 4);
        t.first();
        t.next();
        EXPECT_EQ(t.text(1), QStringLiteral("Северный район"));
        EXPECT_EQ(t.integer(2), 2);
    }
    m_a->prompter.file(path);
    ASSERT_TRUE(m.controller.importNodes()) << m_a->messages().join('|').toStdString();
    EXPECT_EQ(column(QStringLiteral("SELECT KODFOLDER FROM AGR WHERE NUMAGR = 1 ORDER BY NPP")),
              (QVariantList{1.0, 2.0, 3.0, 4.0, 5.0, 6.0, 7.0, 8.0}));
    EXPECT_EQ(column(QStringLiteral("SELECT NLEVEL FROM AGR WHERE NUMAGR = 1 ORDER BY NPP")),
              (QVariantList{1, 2, 2, 2, 1, 2, 2, 2}));
    EXPECT_EQ(m.engine.arrays().size(), 8);
    EXPECT_TRUE(m.engine.arrays().ascending());

    // Files of another kind and empty directories are named as such.
    m_a->prompter.clear();
    AgrWindowModel empty(*m_a, 3);
    EXPECT_FALSE(empty.controller.exportNodes());
    DbfTable other = DbfTable::create(
        dir.filePath(QStringLiteral("X.DBF")),
        ParseFieldList({QStringLiteral("KODFOLDER;N;10;0"), QStringLiteral("NAME;C;10;0")}));
    other.save();
    m_a->prompter.file(dir.filePath(QStringLiteral("X.DBF")));
    EXPECT_FALSE(m.controller.importNodes());
    m_a->prompter.file(dir.filePath(QStringLiteral("none.DBF")));
    EXPECT_FALSE(m.controller.importNodes());
    EXPECT_EQ(m_a->messages(), (QStringList{QStringLiteral("Справочник пуст"),
                                            QStringLiteral("Файл не содержит справочник "
                                                           "независимых объектов"),
                                            QStringLiteral("Файл не найден")}));
}

// Another program deleted the node meanwhile: the tree is rebuilt, nothing deleted.
TEST_F(AggregationTest, AChangeByAnotherProgramIsSeenBeforeDeleting) {
    FactInstance other(*m_dbs);
    AgrWindowModel mine(*m_a, 1);
    AgrWindowModel theirs(other, 1);
    ASSERT_TRUE(theirs.engine.selectKey(4.0));
    other.prompter.answer(Answer::Yes);
    ASSERT_TRUE(theirs.controller.deleteNode());
    ASSERT_TRUE(mine.engine.selectKey(3.0));
    EXPECT_FALSE(mine.controller.deleteNode());
    EXPECT_EQ(m_a->messages(),
              QStringList{QStringLiteral("Справочник изменен другим пользователем. Повторите...")});
    EXPECT_EQ(mine.engine.arrays().keys, (std::vector<double>{1, 2, 3}));
    // Memberships of the deleted node went too, so objects lost it (and their flag was raised).
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM ELM WHERE KOD1 = 4")), 0);
    EXPECT_EQ(scalar(QStringLiteral("SELECT PELM FROM USERS WHERE KODUSER = :K"),
                     {{"K", *m_a->dm.instanceKey()}})
                  .toInt(),
              1);
}
