#include "OutlineTestSupport.h"

#include "DbError.h"

#include <algorithm>

using namespace dbtest;

Instance::Instance(const TestDatabases& dbs, const OutlineDescriptor& descriptor,
                   const QString& user)
    : engine(dm, descriptor, tree, prompter, state) {
    dm.dbMain.setParams(dbs.factPath(), user, TestDatabases::password());
    dm.dbTab.setParams(dbs.tabPath(), user, TestDatabases::password());
    dm.dbMain.open();
    dm.dbTab.open();
    dm.registerInstance();
}

Instance::~Instance() {
    RollbackQuietly(dm.dbMain);
    RollbackQuietly(dm.dbTab);
    dm.unregisterInstance();
}

std::vector<StoredRow> ReadRows(DbConnection& c, const QString& table, const QString& where) {
    DbStatement& st = c.statement(QStringLiteral("test_rows"));
    st.setSql(QStringLiteral("SELECT KODFOLDER, NPP, NLEVEL, NAMEFOLDER FROM ") + table +
              (where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + where) +
              QStringLiteral(" ORDER BY NPP"));
    st.open();
    std::vector<StoredRow> rows;
    for (st.first(); !st.eof(); st.next())
        rows.push_back(
            {st.value(0), st.value(1).toInt(), st.value(2).toInt(), st.value(3).toString()});
    st.close();
    return rows;
}

void SeedSbr(DbConnection& tab, const QStringList& folders) {
    int n = 0;
    for (const QString& f : folders) {
        const QStringList parts = f.split(QLatin1Char(':'));
        ++n;
        const int npp = parts.size() > 2 ? parts[2].toInt() : n * 100;
        call(tab, "INSERT_SBR",
             {{"NPP", npp}, {"NAMEFOLDER", parts[0]}, {"NLEVEL", parts.value(1, "1").toInt()}});
    }
}

template <class Key>
QString CompareWithStored(const OutlineEngine<Key>& engine, const OutlineTree& tree,
                          const std::vector<StoredRow>& rows) {
    const NodeArrays<Key>& a = engine.arrays();
    const std::vector<OutlineNode*> nodes = tree.preorder();
    if (nodes.size() != rows.size() || a.keys.size() != rows.size() ||
        a.positions.size() != rows.size() || a.identifiers.size() != rows.size())
        return QStringLiteral("sizes: tree %1, arrays %2, stored %3")
            .arg(nodes.size())
            .arg(a.keys.size())
            .arg(rows.size());
    if (!a.ascending())
        return QStringLiteral("positions not ascending");
    int previous = 0;
    for (size_t i = 0; i < rows.size(); ++i) {
        const StoredRow& r = rows[i];
        const QString where = QStringLiteral("row %1 (%2): ").arg(i).arg(r.name);
        if (r.level < 1 || r.level > previous + 1)
            return where + QStringLiteral("stored level %1 after %2").arg(r.level).arg(previous);
        previous = r.level;
        if (qvariant_cast<Key>(r.key) != a.keys[i])
            return where + QStringLiteral("key");
        if (r.npp != a.positions[i])
            return where + QStringLiteral("npp %1 in memory %2").arg(r.npp).arg(a.positions[i]);
        if (nodes[i]->level() + 1 != r.level)
            return where + QStringLiteral("tree level %1 stored %2")
                               .arg(nodes[i]->level() + 1)
                               .arg(r.level);
        if (nodes[i]->text() != r.name)
            return where + QStringLiteral("name");
        const int icon = nodes[i]->icon();
        const int expected = !nodes[i]->hasChildren() ? IconLeaf
                             : nodes[i]->expanded()   ? IconOpen
                                                      : IconClosed;
        if (icon != expected)
            return where + QStringLiteral("icon %1, expected %2").arg(icon).arg(expected);
    }
    return {};
}

template QString CompareWithStored<int>(const OutlineEngine<int>&, const OutlineTree&,
                                        const std::vector<StoredRow>&);
template QString CompareWithStored<double>(const OutlineEngine<double>&, const OutlineTree&,
                                           const std::vector<StoredRow>&);

QString Outline(const OutlineTree& tree) {
    QStringList out;
    for (const OutlineNode* n : tree.preorder())
        out << QString(n->level(), QLatin1Char('.')) + n->text();
    return out.join(QLatin1Char(' '));
}

OutlineNode* FindNode(const OutlineTree& tree, const QString& name) {
    for (OutlineNode* n : tree.preorder())
        if (n->text() == name)
            return n;
    return nullptr;
}
