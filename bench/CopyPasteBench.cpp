// Pasting a collection of 200 tables with 100 KB workbooks, against copying the same
// workbooks with a bare INSERT ... SELECT per table in one transaction.
#include "BenchPrompter.h"
#include "BenchSupport.h"
#include "CollectionsController.h"
#include "CopyPasteController.h"
#include "DbTransaction.h"
#include "ElementOperations.h"
#include "ElementRowSet.h"
#include "OutlineEngine.h"
#include "Prompter.h"
#include "TdmMSSQL.h"
#include "TestDatabases.h"

#include <QCoreApplication>
#include <QRandomGenerator>

#include <cstdio>
#include <vector>

namespace {

int insertFolder(TdmMSSQL& dm, int npp, const QString& name) {
    DbProcedure& p = dm.storedProc(QStringLiteral("spInsertSBR"));
    p.clearParams();
    p.setParam(QStringLiteral("NPP"), npp);
    p.setParam(QStringLiteral("NAMEFOLDER"), name);
    p.setParam(QStringLiteral("NLEVEL"), 1);
    RunInTransaction(dm.dbTab, [&] { p.execute(); });
    return p.output(QStringLiteral("KOD_FOLDER")).toInt();
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int tables = 200;
    TestDatabases dbs;
    BenchPrompter prompter(Answer::Cancel);
    TdmMSSQL dm(prompter);
    dm.dbMain.setParams(dbs.factPath(), TestDatabases::user(), TestDatabases::password());
    dm.dbTab.setParams(dbs.tabPath(), TestDatabases::user(), TestDatabases::password());
    dm.dbMain.open();
    dm.dbTab.open();
    dm.registerInstance();

    const int source = insertFolder(dm, 100, QStringLiteral("S"));
    insertFolder(dm, 200, QStringLiteral("T"));
    const int bare = insertFolder(dm, 300, QStringLiteral("U"));
    std::vector<int> keys;
    DbStatement& blob = dm.dbTab.statement(QStringLiteral("bench_blob"));
    blob.setSql(QStringLiteral("UPDATE CAT SET TABF1 = :B WHERE KODELMT = :K"));
    for (int i = 1; i <= tables; ++i) {
        DbProcedure& p = dm.storedProc(QStringLiteral("spInsertCAT"));
        p.clearParams();
        p.setParam(QStringLiteral("NPP"), i * 100);
        p.setParam(QStringLiteral("KODFOLDER"), source);
        p.setParam(QStringLiteral("NAMEFOLDER"), QStringLiteral("t%1").arg(i));
        p.setParam(QStringLiteral("KODALT"), QString());
        QByteArray bytes(100 * 1024, Qt::Uninitialized);
        for (char& c : bytes)
            c = char(QRandomGenerator::global()->bounded(256));
        RunInTransaction(dm.dbTab, [&] {
            p.execute();
            keys.push_back(p.output(QStringLiteral("KOD_ELMT")).toInt());
            blob.setParam(QStringLiteral("B"), bytes);
            blob.setParam(QStringLiteral("K"), keys.back());
            blob.execute();
        });
    }

    DbStatement& copy = dm.dbTab.statement(QStringLiteral("bench_copy"));
    copy.setSql(
        QStringLiteral("INSERT INTO CAT (KODELMT, NPP, KODFOLDER, NAMEFOLDER, KODALT, "
                       "KODSPIS, ISINUSE, PAROL, TABF1) SELECT GEN_ID(GET_KOD_CAT, 1), NPP, "
                       ":F, NAMEFOLDER, KODALT, KODSPIS, 0, '', TABF1 FROM CAT WHERE "
                       "KODELMT = :K"));
    const double baseline = bestMs(3, [&] {
        RunInTransaction(dm.dbTab, [&] {
            for (int key : keys) {
                copy.setParam(QStringLiteral("F"), bare);
                copy.setParam(QStringLiteral("K"), key);
                copy.execute();
            }
        });
    });

    OutlineState state;
    OutlineTree tree;
    OutlineEngine<int> engine(dm, OutlineDescriptor::Collections(), tree, prompter, state);
    ElementRowSet rows(dm.query(QStringLiteral("quCAT")));
    ElementOperations elements(dm, ElementDescriptor::Tables(), rows, prompter, state);
    CollectionsController collections(dm, prompter, engine, elements);
    CopyPasteController copyPaste(dm, prompter, engine, elements, collections);
    engine.BuildOutline();
    engine.selectKey(source);
    copyPaste.copy();
    bool ok = true;
    const double paste = bestMs(3, [&] {
        engine.selectNode(tree.at(tree.count() - 2)); // T, the copies go in front of it
        ok = copyPaste.paste() && ok;
    });
    if (!ok)
        std::fprintf(stderr, "a paste failed\n");
    report("paste_collection_200x100KB", paste, "ms", 2 * baseline);
    return ok ? 0 : 1;
}
