#include "OutlineTestSupport.h"

#include <gtest/gtest.h>

using namespace dbtest;

// The aggregation directories keep double keys and pass their number to
// every procedure; the same engine drives them.
TEST(OutlineAggregation, DoubleKeysAndTheDirectoryNumber) {
    TestDatabases dbs;
    auto fact = dbs.connect(0);
    call(
        *fact, "INSERT_AGR",
        {{"NPP", 100}, {"KODFOLDER", 7.0}, {"NAMEFOLDER", "other"}, {"NLEVEL", 1}, {"NUM_AGR", 2}});
    Instance i(dbs, OutlineDescriptor::Collections());
    OutlineTree tree;
    OutlineEngine<double> agr(i.dm, OutlineDescriptor::Aggregation(1, QStringLiteral("SYSDBA")),
                              tree, i.prompter, i.state);
    agr.BuildOutline();
    EXPECT_TRUE(tree.isEmpty());
    ASSERT_TRUE(agr.AddOutlineNode());
    ASSERT_TRUE(agr.AddOutlineNode());
    ASSERT_TRUE(agr.AddOutlineNode());
    EXPECT_EQ(agr.arrays().keys, (std::vector<double>{1.0, 2.0, 3.0}));
    ASSERT_TRUE(agr.MoveNodeUp());
    ASSERT_TRUE(agr.selectKey(2.0));
    ASSERT_TRUE(agr.DemoteNode());
    ASSERT_TRUE(agr.selectKey(1.0));
    ASSERT_TRUE(agr.MoveNodeDown());
    const auto rows = ReadRows(*fact, QStringLiteral("AGR"), QStringLiteral("NUMAGR = 1"));
    EXPECT_EQ(CompareWithStored(agr, tree, rows), QString());
    EXPECT_EQ(agr.arrays().keys, (std::vector<double>{3.0, 2.0, 1.0}));
    // The other directory was not touched.
    EXPECT_EQ(ReadRows(*fact, QStringLiteral("AGR"), QStringLiteral("NUMAGR = 2"))[0].npp, 100);
    EXPECT_TRUE(i.prompter.shown().isEmpty());
}
