#include "OutlineTestSupport.h"

#include <gtest/gtest.h>

using namespace dbtest;

namespace {

class OutlineNpp : public CollectionsFixture {
protected:
    std::vector<int> npps() {
        std::vector<int> out;
        for (const StoredRow& r : rows())
            out.push_back(r.npp);
        return out;
    }
    void build() { m_a->engine.BuildOutline(); }
    void select(const QString& name) {
        OutlineNode* n = FindNode(m_a->tree, name);
        ASSERT_NE(n, nullptr) << name.toStdString();
        m_a->engine.selectNode(n);
    }
    void expectConsistent() {
        EXPECT_EQ(CompareWithStored(m_a->engine, m_a->tree, rows()), QString());
    }
};

} // namespace

TEST_F(OutlineNpp, FirstFolderOfAnEmptyCatalogue) {
    build();
    EXPECT_TRUE(m_a->tree.isEmpty());
    EXPECT_FALSE(m_a->engine.commands().remove);
    EXPECT_TRUE(m_a->engine.commands().add);
    ASSERT_TRUE(m_a->engine.AddOutlineNode());
    const auto stored = rows();
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0].npp, 100);
    EXPECT_EQ(stored[0].level, 1);
    EXPECT_EQ(scalar(*m_tab, QStringLiteral("SELECT COALESCE(NAMEID, 'null') FROM SBR")).toString(),
              QString());
    EXPECT_TRUE(m_a->engine.commands().remove);
    EXPECT_EQ(m_a->tree.current(), m_a->tree.topLevel(0));
    expectConsistent();
}

TEST_F(OutlineNpp, AfterTheLastAndBetweenTwo) {
    SeedSbr(*m_tab, {"A:1", "B:1"});
    build();
    select("B");
    EXPECT_EQ(m_a->engine.dataset().rowCount(), 2);
    ASSERT_TRUE(m_a->engine.AddOutlineNode());
    EXPECT_EQ(npps(), (std::vector<int>{100, 200, 300}));
    // Whoever reads the dataset next sees the change.
    EXPECT_EQ(m_a->engine.dataset().rowCount(), 3);
    select("A");
    ASSERT_TRUE(m_a->engine.AddOutlineNode());
    EXPECT_EQ(npps(), (std::vector<int>{100, 150, 200, 300}));
    EXPECT_EQ(m_a->tree.position(m_a->tree.current()), 1);
    expectConsistent();
}

TEST_F(OutlineNpp, AfterASubtreeAtTheSelectedLevel) {
    SeedSbr(*m_tab, {"A:1", "a1:2", "a2:2", "B:1"});
    build();
    select("A");
    ASSERT_TRUE(m_a->engine.AddOutlineNode());
    // Before B (A's next sibling): between a2 (300) and B (400), at level 1.
    const auto stored = rows();
    ASSERT_EQ(stored.size(), 5u);
    EXPECT_EQ(stored[3].npp, 350);
    EXPECT_EQ(stored[3].level, 1);
    select("a2");
    ASSERT_TRUE(m_a->engine.AddOutlineNode());
    EXPECT_EQ(rows()[3].npp, 325);
    EXPECT_EQ(rows()[3].level, 2);
    expectConsistent();
}

TEST_F(OutlineNpp, NoRoomMovesTheNextRowOrRenumbers) {
    // The row at 101 moves to the middle of its gap to 300.
    SeedSbr(*m_tab, {"A:1:100", "B:1:101", "C:1:300"});
    build();
    select("A");
    ASSERT_TRUE(m_a->engine.AddOutlineNode());
    EXPECT_EQ(npps(), (std::vector<int>{100, 150, 200, 300}));
    expectConsistent();
}

TEST_F(OutlineNpp, NoRoomBeforeTheLastRowMovesItOneStep) {
    SeedSbr(*m_tab, {"A:1:100", "a:2:101", "B:1:101"});
    exec(*m_tab, QStringLiteral("UPDATE SBR SET NPP = 102 WHERE NAMEFOLDER = 'B'"));
    build();
    select("a");
    ASSERT_TRUE(m_a->engine.AddOutlineNode());
    // B at 102 is last: it moves one step on, the new row takes the middle.
    EXPECT_EQ(npps(), (std::vector<int>{100, 101, 151, 202}));
    expectConsistent();
}

TEST_F(OutlineNpp, NoRoomAnywhereRenumbers) {
    SeedSbr(*m_tab, {"A:1:100", "B:1:101", "C:1:102"});
    build();
    select("A");
    ASSERT_TRUE(m_a->engine.AddOutlineNode());
    EXPECT_EQ(npps(), (std::vector<int>{100, 150, 200, 300}));
    EXPECT_EQ(m_a->state.nppStep, 100);
    expectConsistent();
}

TEST_F(OutlineNpp, BeforeALoneRowAtOne) {
    SeedSbr(*m_tab, {"A:1:1"});
    build();
    int npp = 0;
    RunInTransaction(m_a->dm.dbTab, [&] { npp = m_a->engine.AllocateNpp(0); });
    EXPECT_EQ(npp, 100);
    EXPECT_EQ(npps(), (std::vector<int>{200}));
    EXPECT_EQ(m_a->engine.arrays().positions, (std::vector<int>{200}));
}

TEST_F(OutlineNpp, BeforeTheFirstRow) {
    SeedSbr(*m_tab, {"A:1:1", "B:1:9"});
    build();
    int npp = 0;
    RunInTransaction(m_a->dm.dbTab, [&] { npp = m_a->engine.AllocateNpp(0); });
    EXPECT_EQ(npp, 2);
    EXPECT_EQ(npps(), (std::vector<int>{5, 9}));
    exec(*m_tab, QStringLiteral("UPDATE SBR SET NPP = 2 WHERE NAMEFOLDER = 'B'"));
    exec(*m_tab, QStringLiteral("UPDATE SBR SET NPP = 1 WHERE NAMEFOLDER = 'A'"));
    build();
    RunInTransaction(m_a->dm.dbTab, [&] { npp = m_a->engine.AllocateNpp(0); });
    EXPECT_EQ(npp, 50);
    EXPECT_EQ(npps(), (std::vector<int>{100, 200}));
}

TEST_F(OutlineNpp, ABlockOfSixtyGrowsTheStepAndRenumbers) {
    QStringList folders{"B:1:100", "A:1:200"};
    for (int i = 1; i < 60; ++i)
        folders << QStringLiteral("a%1:2:%2").arg(i).arg(200 + i);
    SeedSbr(*m_tab, folders);
    build();
    select("A");
    ASSERT_TRUE(m_a->engine.MoveNodeUp());
    EXPECT_EQ(m_a->state.nppStep, 183);
    const auto stored = rows();
    ASSERT_EQ(stored.size(), 61u);
    EXPECT_EQ(stored[0].name, QStringLiteral("A"));
    EXPECT_EQ(stored[0].npp, 3);
    EXPECT_EQ(stored[59].npp, 180);
    EXPECT_EQ(stored[60].name, QStringLiteral("B"));
    EXPECT_EQ(stored[60].npp, 183);
    expectConsistent();
    // The step never shrinks: a small block later keeps it.
    select("B");
    ASSERT_TRUE(m_a->engine.AddOutlineNode());
    EXPECT_EQ(m_a->state.nppStep, 183);
    EXPECT_EQ(rows().back().npp, 366);
}

TEST_F(OutlineNpp, AppendingNeverRunsPastTheIntegerRange) {
    SeedSbr(*m_tab, {"A:1:100", "B:1:2147483600"});
    build();
    select("B");
    ASSERT_TRUE(m_a->engine.AddOutlineNode());
    EXPECT_EQ(npps(), (std::vector<int>{100, 200, 300}));
    EXPECT_TRUE(m_a->prompter.shown().isEmpty());
    expectConsistent();
}

TEST_F(OutlineNpp, EqualPositionsOfADamagedCatalogueAreNeverReused) {
    SeedSbr(*m_tab, {"A:1:100", "B:1:100", "C:1:102"});
    build();
    select("A");
    ASSERT_TRUE(m_a->engine.AddOutlineNode());
    EXPECT_EQ(npps(), (std::vector<int>{100, 150, 200, 300}));
    expectConsistent();
}
