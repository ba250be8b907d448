#include "OutlineTestSupport.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

using namespace dbtest;

namespace {

class OutlineStructure : public CollectionsFixture {
protected:
    void seedAndBuild(const QStringList& folders) {
        SeedSbr(*m_tab, folders);
        m_a->engine.BuildOutline();
    }
    void select(const QString& name) {
        OutlineNode* n = FindNode(m_a->tree, name);
        ASSERT_NE(n, nullptr) << name.toStdString();
        m_a->engine.selectNode(n);
    }
    QString outline() { return Outline(m_a->tree); }
    void expectConsistent() {
        EXPECT_EQ(CompareWithStored(m_a->engine, m_a->tree, rows()), QString());
    }
    OutlineEngine<int>& engine() { return m_a->engine; }
};

} // namespace

TEST_F(OutlineStructure, BuildReadsLevelJumpsAsOneLevelDeeper) {
    seedAndBuild({"A:3", "B:5", "C:5", "D:2", "E:1"});
    EXPECT_EQ(outline(), QStringLiteral("A .B ..C .D E"));
    EXPECT_EQ(FindNode(m_a->tree, "A")->icon(), IconClosed);
    EXPECT_EQ(FindNode(m_a->tree, "C")->icon(), IconLeaf);
    EXPECT_EQ(m_a->tree.current(), FindNode(m_a->tree, "A"));
    // The first node: only "down" may move it.
    const OutlineCommandState c = engine().commands();
    EXPECT_TRUE(c.add && c.remove && c.moveDown);
    EXPECT_FALSE(c.moveUp || c.levelUp || c.levelDown);
}

TEST_F(OutlineStructure, CommandEnablingFollowsTheSelectedNode) {
    seedAndBuild({"A:1", "a1:2", "a2:2", "B:1"});
    select("a2");
    OutlineCommandState c = engine().commands();
    EXPECT_TRUE(c.moveUp && c.levelUp && c.levelDown);
    EXPECT_FALSE(c.moveDown);
    select("B");
    c = engine().commands();
    EXPECT_TRUE(c.moveUp && c.levelDown);
    EXPECT_FALSE(c.moveDown || c.levelUp);
}

TEST_F(OutlineStructure, PromoteTakesTheFollowingSiblingsAlong) {
    seedAndBuild({"P:1", "c1:2", "x:3", "c2:2", "y:3", "c3:2", "Q:1"});
    select("c1");
    ASSERT_TRUE(engine().PromoteNode());
    EXPECT_EQ(outline(), QStringLiteral("P c1 .x .c2 ..y .c3 Q"));
    const auto stored = rows();
    // The siblings kept their stored levels; only the promoted subtree changed.
    EXPECT_EQ(stored[1].level, 1);
    EXPECT_EQ(stored[2].level, 2);
    EXPECT_EQ(stored[3].level, 2);
    EXPECT_EQ(stored[4].level, 3);
    EXPECT_EQ(FindNode(m_a->tree, "P")->icon(), IconLeaf);
    EXPECT_EQ(m_a->tree.current(), FindNode(m_a->tree, "c1"));
    expectConsistent();
}

TEST_F(OutlineStructure, PromoteOfTheTailAndDemote) {
    seedAndBuild({"P:1", "c1:2", "c2:2", "z:3"});
    select("c2");
    ASSERT_TRUE(engine().PromoteNode());
    EXPECT_EQ(outline(), QStringLiteral("P .c1 c2 .z"));
    expectConsistent();
    ASSERT_TRUE(engine().DemoteNode());
    EXPECT_EQ(outline(), QStringLiteral("P .c1 .c2 ..z"));
    EXPECT_EQ(FindNode(m_a->tree, "P")->icon(), IconOpen);
    expectConsistent();
    select("P");
    EXPECT_FALSE(engine().PromoteNode());
    EXPECT_FALSE(engine().DemoteNode());
}

TEST_F(OutlineStructure, MoveUpAndDownSwapWholeSubtrees) {
    seedAndBuild({"A:1", "a:2", "B:1", "b1:2", "b2:3", "C:1"});
    select("B");
    ASSERT_TRUE(engine().MoveNodeUp());
    EXPECT_EQ(outline(), QStringLiteral("B .b1 ..b2 A .a C"));
    expectConsistent();
    ASSERT_TRUE(engine().MoveNodeDown());
    ASSERT_TRUE(engine().MoveNodeDown());
    EXPECT_EQ(outline(), QStringLiteral("A .a C B .b1 ..b2"));
    EXPECT_FALSE(engine().commands().moveDown);
    EXPECT_FALSE(engine().MoveNodeDown());
    expectConsistent();
}

TEST_F(OutlineStructure, DropZones) {
    seedAndBuild({"A:1", "a:2", "B:1", "b:2", "C:1"});
    select("b");
    // On A's caption: b becomes A's last child.
    ASSERT_TRUE(engine().DropOutlineNode(FindNode(m_a->tree, "A"), DropZone::LastChild));
    EXPECT_EQ(outline(), QStringLiteral("A .a .b B C"));
    EXPECT_EQ(FindNode(m_a->tree, "B")->icon(), IconLeaf);
    EXPECT_EQ(FindNode(m_a->tree, "A")->icon(), IconOpen);
    expectConsistent();
    // On C's icon: A goes before C at C's level.
    select("A");
    ASSERT_TRUE(engine().DropOutlineNode(FindNode(m_a->tree, "C"), DropZone::Before));
    EXPECT_EQ(outline(), QStringLiteral("B A .a .b C"));
    expectConsistent();
    // Below everything: appended at the last visible node's level.
    select("a");
    ASSERT_TRUE(engine().DropOutlineNode(nullptr, DropZone::Below));
    EXPECT_EQ(outline(), QStringLiteral("B A .b C a"));
    expectConsistent();
    // A subtree dropped before a node one level deeper.
    select("C");
    ASSERT_TRUE(engine().DropOutlineNode(FindNode(m_a->tree, "b"), DropZone::Before));
    EXPECT_EQ(outline(), QStringLiteral("B A .C .b a"));
    expectConsistent();
}

TEST_F(OutlineStructure, DropsThatDoNothing) {
    seedAndBuild({"A:1", "a:2", "aa:3", "B:1"});
    const auto before = rows();
    select("A");
    EXPECT_FALSE(engine().DropOutlineNode(FindNode(m_a->tree, "A"), DropZone::LastChild));
    EXPECT_FALSE(engine().DropOutlineNode(FindNode(m_a->tree, "aa"), DropZone::Before));
    EXPECT_FALSE(engine().DropOutlineNode(FindNode(m_a->tree, "B"), DropZone::Elsewhere));
    // B shows right below the collapsed A.
    EXPECT_FALSE(engine().DropOutlineNode(FindNode(m_a->tree, "B"), DropZone::Before));
    select("aa");
    EXPECT_FALSE(engine().DropOutlineNode(FindNode(m_a->tree, "A"), DropZone::LastChild));
    // On the icon of the folder it already lies in, however deep.
    EXPECT_FALSE(engine().DropOutlineNode(FindNode(m_a->tree, "A"), DropZone::Before));
    EXPECT_FALSE(engine().DropOutlineNode(FindNode(m_a->tree, "a"), DropZone::Before));
    select("a");
    EXPECT_FALSE(engine().DropOutlineNode(FindNode(m_a->tree, "A"), DropZone::Before));
    EXPECT_EQ(outline(), QStringLiteral("A .a ..aa B"));
    select("B");
    EXPECT_FALSE(engine().DropOutlineNode(nullptr, DropZone::Below));
    EXPECT_EQ(rows().size(), before.size());
    for (size_t i = 0; i < before.size(); ++i)
        EXPECT_EQ(rows()[i].npp, before[i].npp);
    EXPECT_TRUE(m_a->prompter.shown().isEmpty());
}

TEST_F(OutlineStructure, DeleteGoesDeepestLastFirstAndTakesTheTables) {
    exec(*m_tab, QStringLiteral("CREATE TABLE DEL_LOG (N INTEGER, NAME VARCHAR(140))"));
    exec(*m_tab, QStringLiteral("CREATE GENERATOR DEL_SEQ"));
    exec(*m_tab, QStringLiteral("CREATE TRIGGER SBR_DEL_LOG FOR SBR AFTER DELETE AS BEGIN "
                                "INSERT INTO DEL_LOG VALUES (GEN_ID(DEL_SEQ, 1), OLD.NAMEFOLDER); "
                                "END"));
    seedAndBuild({"A:1", "B:1", "b1:2", "x:3", "b2:2", "C:1"});
    const int b2 = rows()[4].key.toInt();
    call(*m_tab, "INSERT_CAT", {{"NPP", 100}, {"KODFOLDER", b2}, {"NAMEFOLDER", "t"}});
    select("B");
    ASSERT_TRUE(engine().DeleteOutlineSubtree());
    EXPECT_EQ(column(*m_tab, QStringLiteral("SELECT NAME FROM DEL_LOG ORDER BY N")),
              (QVariantList{"b2", "x", "b1", "B"}));
    EXPECT_EQ(scalar(*m_tab, QStringLiteral("SELECT COUNT(*) FROM CAT")).toInt(), 0);
    EXPECT_EQ(outline(), QStringLiteral("A C"));
    EXPECT_EQ(m_a->tree.current(), FindNode(m_a->tree, "C"));
    expectConsistent();
}

TEST_F(OutlineStructure, DeletingTheLastFolderSelectsTheNewLastOne) {
    seedAndBuild({"A:1", "a:2", "b:2"});
    select("b");
    ASSERT_TRUE(engine().DeleteOutlineSubtree());
    EXPECT_EQ(m_a->tree.current(), FindNode(m_a->tree, "a"));
    EXPECT_EQ(FindNode(m_a->tree, "A")->icon(), IconOpen);
    ASSERT_TRUE(engine().DeleteOutlineSubtree());
    EXPECT_EQ(FindNode(m_a->tree, "A")->icon(), IconLeaf);
    ASSERT_TRUE(engine().DeleteOutlineSubtree());
    EXPECT_TRUE(m_a->tree.isEmpty());
    EXPECT_EQ(engine().arrays().size(), 0);
    EXPECT_EQ(engine().commands(), OutlineCommandState{});
    expectConsistent();
}

TEST_F(OutlineStructure, IconsFollowExpandAndCollapse) {
    seedAndBuild({"A:1", "a:2", "x:3", "b:2"});
    OutlineNode* a = FindNode(m_a->tree, "A");
    m_a->tree.setExpanded(a, true);
    engine().RefreshFolderIcons(a);
    EXPECT_EQ(a->icon(), IconOpen);
    EXPECT_EQ(FindNode(m_a->tree, "a")->icon(), IconClosed);
    EXPECT_EQ(FindNode(m_a->tree, "b")->icon(), IconLeaf);
    OutlineNode* sub = FindNode(m_a->tree, "a");
    m_a->tree.setExpanded(sub, true);
    engine().RefreshFolderIcons(sub);
    m_a->tree.setExpanded(a, false);
    engine().RefreshFolderIcons(a);
    EXPECT_FALSE(sub->expanded());
    EXPECT_EQ(sub->icon(), IconClosed);
    engine().OpenAncestors(FindNode(m_a->tree, "x"));
    EXPECT_TRUE(a->expanded() && sub->expanded());
    EXPECT_EQ(sub->icon(), IconOpen);
}

namespace {

// Runs commands picked at random on random folders; after each one the tree,
// the arrays and the stored rows must agree. Returns how many changed something.
int RandomSequence(OutlineEngine<int>& engine, OutlineTree& tree, DbConnection& c,
                   const QString& table, quint32 seed, int steps, ScriptedPrompter& prompter) {
    QRandomGenerator rng(seed);
    engine.BuildOutline();
    int changes = 0;
    for (int step = 0; step < steps; ++step) {
        if (!tree.isEmpty()) {
            OutlineNode* pick = tree.at(int(rng.bounded(tree.count())));
            engine.selectNode(pick);
            if (rng.bounded(4) == 0) {
                tree.setExpanded(pick, !pick->expanded());
                engine.RefreshFolderIcons(pick);
            }
        }
        const int op = tree.count() < 8 ? 0 : int(rng.bounded(10));
        bool changed = false;
        switch (op) {
        case 0:
        case 1:
        case 2:
            changed = engine.AddOutlineNode();
            break;
        case 3:
            changed = tree.count() > 25 && engine.DeleteOutlineSubtree();
            break;
        case 4:
            changed = engine.MoveNodeUp();
            break;
        case 5:
            changed = engine.MoveNodeDown();
            break;
        case 6:
            changed = engine.PromoteNode();
            break;
        case 7:
            changed = engine.DemoteNode();
            break;
        default: {
            OutlineNode* target = tree.at(int(rng.bounded(tree.count())));
            const DropZone zone = DropZone(rng.bounded(3));
            changed = engine.DropOutlineNode(zone == DropZone::Below ? nullptr : target, zone);
        }
        }
        changes += changed ? 1 : 0;
        const QString diff = CompareWithStored(engine, tree, ReadRows(c, table));
        EXPECT_EQ(diff, QString()) << "step " << step << " op " << op << " seed " << seed;
        EXPECT_TRUE(prompter.shown().isEmpty());
        if (!diff.isEmpty() || !prompter.shown().isEmpty())
            break;
    }
    return changes;
}

} // namespace

TEST_F(OutlineStructure, LongRandomSequenceKeepsTreeArraysAndRowsInStep) {
    const int changes = RandomSequence(engine(), m_a->tree, *m_tab, QStringLiteral("SBR"), 20261209,
                                       400, m_a->prompter);
    EXPECT_GT(changes, 200);
    // And a fresh build from the rows gives the very same outline.
    const QString before = outline();
    OutlineTree fresh;
    OutlineState state;
    OutlineEngine<int> rebuilt(m_a->dm, OutlineDescriptor::Collections(), fresh, m_a->prompter,
                               state);
    rebuilt.BuildOutline();
    EXPECT_EQ(Outline(fresh), before);
    EXPECT_EQ(rebuilt.arrays().keys, engine().arrays().keys);
}

// Rubrics, with a small step so that renumbering and step growth come often.
TEST_F(OutlineStructure, RandomSequenceOnRubricsWithASmallStep) {
    OutlineTree tree;
    OutlineState state;
    state.nppStep = 4;
    OutlineEngine<int> rubrics(m_a->dm, OutlineDescriptor::Rubrics(), tree, m_a->prompter, state);
    auto fact = m_dbs->connect(0);
    const int changes =
        RandomSequence(rubrics, tree, *fact, QStringLiteral("RUB"), 777, 250, m_a->prompter);
    EXPECT_GT(changes, 120);
    EXPECT_GT(state.nppStep, 4);
}

TEST_F(OutlineStructure, RenamingStoresTheTrimmedNameCutToTheColumn) {
    seedAndBuild({"A:1", "B:1"});
    OutlineNode* b = FindNode(m_a->tree, "B");
    engine().setIdentifier(b, QStringLiteral("F-12"));
    ASSERT_TRUE(engine().RenameNode(b, QStringLiteral("  Новое имя  ")));
    EXPECT_EQ(b->text(), QStringLiteral("Новое имя"));
    EXPECT_EQ(scalar(*m_tab, QStringLiteral("SELECT NAMEFOLDER || '/' || NAMEID FROM SBR "
                                            "WHERE NPP = 200"))
                  .toString(),
              QStringLiteral("Новое имя/F-12"));
    ASSERT_TRUE(engine().RenameNode(b, QString(200, QChar(u'я'))));
    EXPECT_EQ(b->text(), QString(140, QChar(u'я')));
    expectConsistent();
    // A name the database cannot store keeps the old caption.
    EXPECT_FALSE(engine().RenameNode(b, QStringLiteral("漢字")));
    EXPECT_EQ(b->text(), QString(140, QChar(u'я')));
    EXPECT_EQ(m_a->prompter.lastText(), QStringLiteral("Ошибка при корректировке наименования"));
    EXPECT_FALSE(m_a->dm.dbTab.inTransaction());
}
