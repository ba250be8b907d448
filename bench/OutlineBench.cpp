// Building a 20 000-folder collections tree and adding folders in its middle,
// against a plain SELECT of the same rows.
#include "BenchPrompter.h"
#include "BenchSupport.h"
#include "DbTransaction.h"
#include "OutlineEngine.h"
#include "OutlineTreeBinding.h"
#include "OutlineTreeWidget.h"
#include "Prompter.h"
#include "TdmMSSQL.h"
#include "TestDatabases.h"

#include <QApplication>

#include <chrono>
#include <cstdio>
#include <functional>

namespace {

void open(TdmMSSQL& dm, const TestDatabases& dbs) {
    dm.dbMain.setParams(dbs.factPath(), TestDatabases::user(), TestDatabases::password());
    dm.dbTab.setParams(dbs.tabPath(), TestDatabases::user(), TestDatabases::password());
    dm.dbMain.open();
    dm.dbTab.open();
    dm.registerInstance();
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int folders = 20000;
    TestDatabases dbs;
    BenchPrompter prompter(Answer::Cancel);
    TdmMSSQL dm(prompter);
    TdmMSSQL other(prompter); // a second running program, so changes are flagged
    open(dm, dbs);
    open(other, dbs);

    // Levels 1, 2, 3, 3, 3, 1, 2, … : a tree of top folders with two levels below.
    DbStatement& seed = dm.dbTab.statement(QStringLiteral("bench_seed"));
    seed.setSql(QStringLiteral("INSERT INTO SBR (KODFOLDER, NPP, NAMEFOLDER, NLEVEL, NAMEID) "
                               "VALUES (GEN_ID(GET_KOD_SBR, 1), :NPP, :NAME, :LEV, '')"));
    RunInTransaction(dm.dbTab, [&] {
        for (int i = 0; i < folders; ++i) {
            seed.setParam(QStringLiteral("NPP"), (i + 1) * 100);
            seed.setParam(QStringLiteral("NAME"), QStringLiteral("Сборник %1").arg(i));
            seed.setParam(QStringLiteral("LEV"), i % 5 == 0 ? 1 : i % 5 == 1 ? 2 : 3);
            seed.execute();
        }
    });

    DbStatement& plain = dm.dbTab.statement(QStringLiteral("bench_plain"));
    plain.setSql(dm.query(QStringLiteral("quSBR")).sql());
    const double selectMs = bestMs(5, [&] {
        plain.open();
        plain.close();
    });

    OutlineState state;
    OutlineTree tree;
    OutlineEngine<int> engine(dm, OutlineDescriptor::Collections(), tree, prompter, state);
    const double buildMs = bestMs(5, [&] { engine.BuildOutline(); });
    if (tree.count() != folders) {
        std::fprintf(stderr, "built %d folders of %d\n", tree.count(), folders);
        return 1;
    }
    report("outline_build_20000", buildMs, "ms", 3 * selectMs);

    // The same with a tree view following the tree.
    {
        OutlineTree shown;
        OutlineState viewState;
        OutlineEngine<int> viewed(dm, OutlineDescriptor::Collections(), shown, prompter, viewState);
        OutlineTreeWidget view;
        OutlineTreeBinding binding(view, shown);
        const double viewMs = bestMs(3, [&] { viewed.BuildOutline(); });
        report("outline_build_view_20000", viewMs, "ms", 6 * selectMs);
    }

    // Adding after a folder in the middle: the gap of 100 halves, so the first
    // several adds touch the new row only.
    const int adds = 5;
    double addMs = 1e300;
    int statements = 0;
    for (int i = 0; i < adds; ++i) {
        engine.selectNode(tree.at(folders / 2));
        const int before = engine.statementCount();
        const auto t0 = std::chrono::steady_clock::now();
        if (!engine.AddOutlineNode())
            return 1;
        const auto t1 = std::chrono::steady_clock::now();
        addMs = std::min(addMs, std::chrono::duration<double, std::milli>(t1 - t0).count());
        statements = std::max(statements, engine.statementCount() - before);
    }
    report("outline_add_middle_20000", addMs, "ms", selectMs);
    // INSERT_SBR, GET_KOL_USERS and ONE_USBR: nothing else is read or moved.
    report("outline_add_middle_statements", statements, "statements", 3);

    // Adding again and again at the same place uses the gap up; then the next
    // row moves into the middle of its own gap: one statement more, no renumbering.
    int most = 0;
    for (int i = 0; i < 20; ++i) {
        const int before = engine.statementCount();
        if (!engine.AddOutlineNode())
            return 1;
        most = std::max(most, engine.statementCount() - before);
    }
    report("outline_add_no_gap_statements", most, "statements", 4);
    return prompter.shown == 0 ? 0 : 1;
}
