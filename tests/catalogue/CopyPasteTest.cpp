#include "OutlineTestSupport.h"

#include "CollectionsController.h"
#include "CopyPasteController.h"
#include "ElementOperations.h"
#include "ElementRowSet.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

using namespace dbtest;

namespace {

// One running program with the collections window's logic and its copy buffer.
struct Program {
    explicit Program(const TestDatabases& dbs)
        : program(dbs, OutlineDescriptor::Collections()),
          rows(program.dm.query(QStringLiteral("quCAT"))),
          elements(program.dm, ElementDescriptor::Tables(), rows, program.prompter, program.state),
          controller(program.dm, program.prompter, program.engine, elements),
          copyPaste(program.dm, program.prompter, program.engine, elements, controller) {
        program.engine.BuildOutline();
    }
    Instance program;
    ElementRowSet rows;
    ElementOperations elements;
    CollectionsController controller;
    CopyPasteController copyPaste;

    ScriptedPrompter& prompter() { return program.prompter; }
    QString outline() const { return Outline(program.tree); }
    void select(const QString& name) {
        OutlineNode* node = FindNode(program.tree, name);
        ASSERT_TRUE(node) << name.toStdString();
        program.engine.selectNode(node);
    }
    void openTables(const QString& name) {
        select(name);
        controller.enterTree();
        ASSERT_TRUE(controller.openCollection());
        elements.openFolder(controller.currentCollection());
    }
    void selectTable(int key) { ASSERT_TRUE(rows.locate(QStringLiteral("KODELMT"), key)); }
};

struct CatRow {
    int folder, npp;
    QString name, kodAlt, parol;
    int kodSpis, inUse;
    QByteArray workbook;
    bool operator==(const CatRow&) const = default;
};

class CopyPaste : public ::testing::Test {
protected:
    void SetUp() override {
        m_dbs = std::make_unique<TestDatabases>();
        m_tab = m_dbs->connect(1);
        SeedSbr(*m_tab, {"A:1", "A1:2", "A2:2", "B:1"});
        exec(*m_tab, QStringLiteral("UPDATE SBR SET NAMEID = 'id-' || NAMEFOLDER, KODSPIS = 7, "
                                    "NGOD = 2024, NMONTH = 5 WHERE NAMEFOLDER = 'A1'"));
    }
    void TearDown() override {
        m_tab.reset();
        m_dbs.reset();
    }
    int folder(const QString& name, int nth = 0) {
        return ints(column(*m_tab,
                           QStringLiteral("SELECT KODFOLDER FROM SBR WHERE NAMEFOLDER = "
                                          ":N ORDER BY NPP"),
                           {{"N", name}}))
            .value(nth);
    }
    int table(const QString& collection, const QString& name, int npp,
              const QByteArray& workbook = {}) {
        const int key = call(*m_tab, "INSERT_CAT",
                             {{"NPP", npp},
                              {"KODFOLDER", folder(collection)},
                              {"NAMEFOLDER", name},
                              {"KODALT", QStringLiteral("f-") + name},
                              {"KODSPIS", 3}})
                            .output(QStringLiteral("KOD_ELMT"))
                            .toInt();
        if (!workbook.isNull())
            exec(*m_tab, QStringLiteral("UPDATE CAT SET TABF1 = :B WHERE KODELMT = :K"),
                 {{"B", workbook}, {"K", key}});
        return key;
    }
    // The tables of a collection in NPP order, as stored.
    std::vector<CatRow> tables(int collection) {
        DbStatement& st = m_tab->statement(QStringLiteral("test_cat"));
        st.setSql(QStringLiteral("SELECT KODFOLDER, NPP, NAMEFOLDER, KODALT, PAROL, KODSPIS, "
                                 "ISINUSE, TABF1 FROM CAT WHERE KODFOLDER = :F ORDER BY NPP"));
        st.setParam(QStringLiteral("F"), collection);
        st.open();
        std::vector<CatRow> out;
        for (st.first(); !st.eof(); st.next())
            out.push_back({st.value(0).toInt(), st.value(1).toInt(), st.value(2).toString(),
                           st.value(3).toString(), st.value(4).toString(), st.value(5).toInt(),
                           st.value(6).toInt(), st.value(7).toByteArray()});
        st.close();
        return out;
    }
    int count(const char* table) {
        return scalar(*m_tab, QStringLiteral("SELECT COUNT(*) FROM ") + QLatin1String(table))
            .toInt();
    }
    static QByteArray randomBytes(int size) {
        QByteArray bytes(size, Qt::Uninitialized);
        for (char& c : bytes)
            c = char(QRandomGenerator::global()->bounded(256));
        return bytes;
    }

    std::unique_ptr<TestDatabases> m_dbs;
    std::unique_ptr<DbConnection> m_tab;
};

const QString kChanged =
    QStringLiteral("Каталог сборников изменен другим пользователем. Повторите...");

} // namespace

TEST_F(CopyPaste, ACollectionIsCopiedWithItsSubtreeInFrontOfTheTarget) {
    const QByteArray book = randomBytes(70000);
    const int guarded = table(QStringLiteral("A1"), QStringLiteral("t1"), 100, book);
    table(QStringLiteral("A1"), QStringLiteral("t2"), 350, QByteArray("\0\1zero", 6));
    table(QStringLiteral("A2"), QStringLiteral("empty"), 200);
    exec(*m_tab, QStringLiteral("UPDATE CAT SET PAROL = 'tp', TYPEUSE = 0, ISINUSE = 2 WHERE "
                                "KODELMT = ") +
                     QString::number(guarded));
    exec(*m_tab, QStringLiteral("UPDATE SBR SET PAROL = 'Pa' WHERE NAMEFOLDER = 'A'"));
    Program one(*m_dbs);
    Program other(*m_dbs);

    // A protected collection is held only once its password is given.
    one.select(QStringLiteral("A"));
    one.prompter().input(std::nullopt);
    EXPECT_FALSE(one.copyPaste.copy());
    EXPECT_EQ(one.copyPaste.heldCollection(), 0);
    EXPECT_FALSE(one.copyPaste.mayPaste());
    one.prompter().input(QStringLiteral("Pa"));
    ASSERT_TRUE(one.copyPaste.copy());
    EXPECT_TRUE(one.copyPaste.mayPaste());

    one.select(QStringLiteral("B"));
    ASSERT_TRUE(one.copyPaste.paste());
    EXPECT_EQ(one.outline(), QStringLiteral("A .A1 .A2 A .A1 .A2 B"));
    EXPECT_EQ(CompareWithStored(one.program.engine, one.program.tree,
                                ReadRows(*m_tab, QStringLiteral("SBR"))),
              QString());
    EXPECT_EQ(one.program.tree.current()->text(), QStringLiteral("B"));

    // New keys, the same names, identifiers and settings, no password.
    const int copyA1 = folder(QStringLiteral("A1"), 1);
    EXPECT_NE(copyA1, folder(QStringLiteral("A1")));
    EXPECT_EQ(scalar(*m_tab,
                     QStringLiteral("SELECT NAMEID || ':' || KODSPIS || ':' || NGOD || "
                                    "':' || NMONTH || ':' || PAROL FROM SBR WHERE "
                                    "KODFOLDER = :K"),
                     {{"K", copyA1}})
                  .toString(),
              QStringLiteral("id-A1:7:2024:5:"));
    EXPECT_EQ(scalar(*m_tab, QStringLiteral("SELECT PAROL FROM SBR WHERE KODFOLDER = :K"),
                     {{"K", folder(QStringLiteral("A"), 1)}})
                  .toString(),
              QString());

    // Tables keep their positions and workbooks byte for byte; a copy has no password
    // and is not in use.
    std::vector<CatRow> source = tables(folder(QStringLiteral("A1")));
    std::vector<CatRow> copied = tables(copyA1);
    ASSERT_EQ(copied.size(), 2u);
    for (CatRow& row : source) {
        row.folder = copyA1;
        row.parol.clear();
        row.inUse = 0;
    }
    EXPECT_TRUE(copied == source);
    EXPECT_EQ(copied[0].workbook, book);
    const std::vector<CatRow> empty = tables(folder(QStringLiteral("A2"), 1));
    ASSERT_EQ(empty.size(), 1u);
    EXPECT_TRUE(empty[0].workbook.isNull());
    EXPECT_EQ(count("CAT"), 6);

    // The other program is told and sees the copy.
    other.select(QStringLiteral("B"));
    EXPECT_FALSE(other.program.engine.BeginCommand());
    EXPECT_EQ(other.prompter().lastText(), kChanged);
    EXPECT_EQ(other.outline(), QStringLiteral("A .A1 .A2 A .A1 .A2 B"));
}

TEST_F(CopyPaste, NotIntoItsOwnSubtreeButATopCollectionOntoItself) {
    table(QStringLiteral("A2"), QStringLiteral("t"), 100);
    Program p(*m_dbs);
    p.select(QStringLiteral("A"));
    ASSERT_TRUE(p.copyPaste.copy());
    p.select(QStringLiteral("A2"));
    EXPECT_FALSE(p.copyPaste.paste());
    EXPECT_EQ(count("SBR"), 4);
    EXPECT_TRUE(p.prompter().shown().isEmpty());

    p.select(QStringLiteral("A"));
    ASSERT_TRUE(p.copyPaste.paste());
    EXPECT_EQ(p.outline(), QStringLiteral("A .A1 .A2 A .A1 .A2 B"));
    EXPECT_EQ(CompareWithStored(p.program.engine, p.program.tree,
                                ReadRows(*m_tab, QStringLiteral("SBR"))),
              QString());
    // The held collection is still the original, now the second A.
    EXPECT_EQ(p.copyPaste.heldCollection(), folder(QStringLiteral("A"), 1));
    EXPECT_EQ(tables(folder(QStringLiteral("A2"))).size(), 1u);
    EXPECT_EQ(tables(folder(QStringLiteral("A2"), 1)).size(), 1u);
}

TEST_F(CopyPaste, LevelsFollowTheTargetAndPositionsMakeRoom) {
    // No gap between A1 and A2: the positions are moved to make room.
    exec(*m_tab, QStringLiteral("UPDATE SBR SET NPP = 201 WHERE NAMEFOLDER = 'A2'"));
    exec(*m_tab, QStringLiteral("UPDATE SBR SET NPP = 200 WHERE NAMEFOLDER = 'A1'"));
    Program p(*m_dbs);
    p.select(QStringLiteral("B"));
    ASSERT_TRUE(p.copyPaste.copy());
    p.select(QStringLiteral("A2"));
    ASSERT_TRUE(p.copyPaste.paste());
    EXPECT_EQ(p.outline(), QStringLiteral("A .A1 .B .A2 B"));
    p.select(QStringLiteral("A"));
    ASSERT_TRUE(p.copyPaste.copy());
    // Onto its own copy of B it does nothing; onto the top-level B it copies.
    p.select(QStringLiteral("B"));
    EXPECT_FALSE(p.copyPaste.paste());
    p.program.engine.selectNode(p.program.tree.topLevel(1));
    ASSERT_TRUE(p.copyPaste.paste());
    EXPECT_EQ(p.outline(), QStringLiteral("A .A1 .B .A2 A .A1 .B .A2 B"));
    EXPECT_EQ(CompareWithStored(p.program.engine, p.program.tree,
                                ReadRows(*m_tab, QStringLiteral("SBR"))),
              QString());
}

TEST_F(CopyPaste, AFailureMidwayLeavesNoPartialCopy) {
    table(QStringLiteral("A1"), QStringLiteral("fine"), 100, QByteArray("book"));
    table(QStringLiteral("A2"), QStringLiteral("boom"), 100);
    // The server refuses the copy of the second collection's table: by then the first
    // collection and its table have been inserted.
    exec(*m_tab, QStringLiteral("CREATE EXCEPTION E_BOOM 'refused for the test'"));
    exec(*m_tab, QStringLiteral("CREATE TRIGGER T_BOOM FOR CAT BEFORE INSERT AS BEGIN IF "
                                "(NEW.NAMEFOLDER = 'boom') THEN EXCEPTION E_BOOM; END"));
    Program p(*m_dbs);
    Program other(*m_dbs);
    p.select(QStringLiteral("A"));
    ASSERT_TRUE(p.copyPaste.copy());
    p.select(QStringLiteral("B"));
    EXPECT_FALSE(p.copyPaste.paste());
    ASSERT_EQ(p.prompter().shown().size(), 1);
    EXPECT_TRUE(p.prompter().lastText().startsWith(
        QStringLiteral("Ошибка при копировании. Повторите...\r\n\r\n")))
        << p.prompter().lastText().toStdString();
    EXPECT_TRUE(p.prompter().lastText().contains(QStringLiteral("refused for the test")));
    EXPECT_EQ(count("SBR"), 4);
    EXPECT_EQ(count("CAT"), 2);
    EXPECT_FALSE(p.program.dm.dbTab.inTransaction());
    EXPECT_EQ(p.outline(), QStringLiteral("A .A1 .A2 B"));
    EXPECT_EQ(CompareWithStored(p.program.engine, p.program.tree,
                                ReadRows(*m_tab, QStringLiteral("SBR"))),
              QString());
    // Nothing happened for the others either.
    other.select(QStringLiteral("B"));
    EXPECT_TRUE(other.program.engine.BeginCommand());
}

TEST_F(CopyPaste, ATableIsCopiedAfterTheCurrentOneAndTheOthersAreTold) {
    const QByteArray book = randomBytes(5000);
    const int source = table(QStringLiteral("A1"), QStringLiteral("src"), 100, book);
    exec(*m_tab, QStringLiteral("UPDATE CAT SET PAROL = 'Tp', TYPEUSE = 2, ISINUSE = 1 WHERE "
                                "KODELMT = ") +
                     QString::number(source));
    const int first = table(QStringLiteral("B"), QStringLiteral("b1"), 100);
    table(QStringLiteral("B"), QStringLiteral("b2"), 101);
    Program p(*m_dbs);
    Program other(*m_dbs);
    other.openTables(QStringLiteral("B"));

    p.openTables(QStringLiteral("A1"));
    p.prompter().input(QStringLiteral("tp")).input(std::nullopt);
    EXPECT_FALSE(p.copyPaste.copy());
    EXPECT_EQ(p.copyPaste.heldTable(), 0);
    p.prompter().input(QStringLiteral("Tp"));
    ASSERT_TRUE(p.copyPaste.copy());
    EXPECT_EQ(p.copyPaste.heldTable(), source);

    p.openTables(QStringLiteral("B"));
    p.selectTable(first);
    ASSERT_TRUE(p.copyPaste.paste());
    EXPECT_EQ(p.rows.value(QStringLiteral("KODELMT")).toInt(), first);
    const std::vector<CatRow> b = tables(folder(QStringLiteral("B")));
    ASSERT_EQ(b.size(), 3u);
    EXPECT_EQ(b[0].name, QStringLiteral("b1"));
    EXPECT_EQ(b[1].name, QStringLiteral("src"));
    EXPECT_EQ(b[2].name, QStringLiteral("b2"));
    EXPECT_LT(b[0].npp, b[1].npp);
    EXPECT_LT(b[1].npp, b[2].npp);
    EXPECT_EQ(b[1].kodAlt, QStringLiteral("f-src"));
    EXPECT_EQ(b[1].kodSpis, 3);
    EXPECT_EQ(b[1].parol, QString());
    // A table pasted alone is not in use, whatever its source is.
    EXPECT_EQ(b[1].inUse, 0);
    EXPECT_EQ(b[1].workbook, book);

    other.selectTable(first);
    EXPECT_NE(other.elements.CheckChange(), 0);
    EXPECT_EQ(other.rows.count(), 3);
}

TEST_F(CopyPaste, PastingATableIntoAnEmptyCollectionOrAfterItsSourceWasDeleted) {
    const int source = table(QStringLiteral("A1"), QStringLiteral("src"), 100);
    Program p(*m_dbs);
    p.openTables(QStringLiteral("A1"));
    ASSERT_TRUE(p.copyPaste.copy());
    p.openTables(QStringLiteral("B"));
    EXPECT_TRUE(p.copyPaste.mayPaste());
    ASSERT_TRUE(p.copyPaste.paste());
    ASSERT_EQ(tables(folder(QStringLiteral("B"))).size(), 1u);
    EXPECT_EQ(tables(folder(QStringLiteral("B")))[0].npp, 100);
    EXPECT_EQ(p.rows.count(), 1);
    EXPECT_EQ(p.rows.currentRow(), 0);

    // Pasting after the last table.
    ASSERT_TRUE(p.copyPaste.paste());
    EXPECT_EQ(tables(folder(QStringLiteral("B")))[1].npp, 200);

    exec(*m_tab, QStringLiteral("DELETE FROM CAT WHERE KODELMT = ") + QString::number(source));
    EXPECT_FALSE(p.copyPaste.paste());
    EXPECT_EQ(p.prompter().lastText(), QStringLiteral("Копируемая таблица удалена"));
    EXPECT_EQ(p.prompter().shown().last().icon, PromptIcon::Error);
    EXPECT_EQ(tables(folder(QStringLiteral("B"))).size(), 2u);
}

TEST_F(CopyPaste, TheBufferForgetsWhatIsDeleted) {
    const int t = table(QStringLiteral("B"), QStringLiteral("t"), 100);
    Program p(*m_dbs);
    p.select(QStringLiteral("A1"));
    ASSERT_TRUE(p.copyPaste.copy());
    p.openTables(QStringLiteral("B"));
    ASSERT_TRUE(p.copyPaste.copy());
    // The modes keep their own held item.
    EXPECT_TRUE(p.copyPaste.mayPaste());
    p.copyPaste.afterTableDeleted(t, 200);
    EXPECT_EQ(p.copyPaste.heldTable(), t);
    p.copyPaste.afterTableDeleted(t, 100);
    EXPECT_FALSE(p.copyPaste.mayPaste());

    p.controller.enterTree();
    EXPECT_TRUE(p.copyPaste.mayPaste());
    p.select(QStringLiteral("A"));
    p.prompter().answer(Answer::Yes);
    ASSERT_TRUE(p.controller.deleteCollection());
    p.copyPaste.afterCollectionsDeleted();
    EXPECT_EQ(p.copyPaste.heldCollection(), 0);
    EXPECT_FALSE(p.copyPaste.mayPaste());
}
