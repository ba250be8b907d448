#pragma once

#include "DbTestHelpers.h"
#include "OutlineEngine.h"
#include "ScriptedPrompter.h"
#include "TdmMSSQL.h"
#include "TestDatabases.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <memory>

// One running program: its data module, registered in USERS, with its own
// prompter, outline state and collections tree.
struct Instance {
    Instance(const TestDatabases& dbs, const OutlineDescriptor& descriptor,
             const QString& user = TestDatabases::user());
    ~Instance();

    ScriptedPrompter prompter;
    TdmMSSQL dm{prompter};
    OutlineState state;
    OutlineTree tree;
    OutlineEngine<int> engine;
};

// Rows of a catalogue as stored, in NPP order.
struct StoredRow {
    QVariant key;
    int npp = 0;
    int level = 0;
    QString name;
};
std::vector<StoredRow> ReadRows(DbConnection& c, const QString& table, const QString& where = {});

// Builds a catalogue straight into the database: one "name:level" per folder,
// positions 100, 200, … unless given as "name:level:npp".
void SeedSbr(DbConnection& tab, const QStringList& folders);

// The tree and arrays in memory against the rows read back: same pre-order,
// keys, positions and levels (stored levels never skip), strictly ascending
// positions, icons that match each node's state. Empty when they agree.
template <class Key>
QString CompareWithStored(const OutlineEngine<Key>& engine, const OutlineTree& tree,
                          const std::vector<StoredRow>& rows);

// Names of the folders in pre-order, each prefixed by dots for its level.
QString Outline(const OutlineTree& tree);
OutlineNode* FindNode(const OutlineTree& tree, const QString& name);

// Fresh databases, a connection to the table materials and one running instance on
// the collections catalogue.
class CollectionsFixture : public ::testing::Test {
protected:
    void SetUp() override {
        m_dbs = std::make_unique<TestDatabases>();
        m_tab = m_dbs->connect(1);
        m_a = std::make_unique<Instance>(*m_dbs, OutlineDescriptor::Collections());
    }
    void TearDown() override {
        m_a.reset();
        m_tab.reset();
        m_dbs.reset();
    }
    std::vector<StoredRow> rows() { return ReadRows(*m_tab, QStringLiteral("SBR")); }

    std::unique_ptr<TestDatabases> m_dbs;
    std::unique_ptr<DbConnection> m_tab;
    std::unique_ptr<Instance> m_a;
};
