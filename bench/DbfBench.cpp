// Reading a 100 000-record dBase file against shapelib reading the same file, and
// importing a 10 000-indicator rubric against the same INSERTs prepared in one
// transaction.
#include "BenchPrompter.h"
#include "BenchSupport.h"

#include "DbTransaction.h"
#include "DbfTable.h"
#include "ElementOperations.h"
#include "ElementRowSet.h"
#include "IndicatorsController.h"
#include "Prompter.h"
#include "TdmMSSQL.h"
#include "TestDatabases.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <shapefil.h>

namespace {

const QStringList kFields{QStringLiteral("NameFolder;C;150;0"), QStringLiteral("KodElmt;N;8;0"),
                          QStringLiteral("KodAlt;C;20;0"), QStringLiteral("Eiz;C;12;0")};

void writeFile(const QString& path, int records, int firstCode) {
    DbfTable t = DbfTable::create(path, ParseFieldList(kFields));
    for (int i = 0; i < records; ++i) {
        t.append();
        t.setText(0, QStringLiteral("Показатель номер %1 с длинным наименованием").arg(i));
        t.setNumber(1, firstCode + i);
        t.setText(2, QStringLiteral("А%1").arg(i));
        t.setText(3, QStringLiteral("чел."));
    }
    t.save();
}

// Answers the import's file dialog with one file and keeps quiet otherwise.
void readBench(const QString& folder) {
    const QString path = folder + QStringLiteral("/big.dbf");
    writeFile(path, 100000, 1);
    double sum = 0;
    const double ours = bestMs(3, [&] {
        DbfTable t = DbfTable::open(path);
        for (t.first(); !t.eof(); t.next()) {
            sum += t.text(0).size() + t.number(1) + t.text(2).size() + t.text(3).size();
        }
    });
    const QByteArray local = path.toLocal8Bit();
    const double shapelib = bestMs(3, [&] {
        DBFHandle h = DBFOpen(local.constData(), "rb");
        const int n = DBFGetRecordCount(h);
        for (int r = 0; r < n; ++r) {
            sum += std::strlen(DBFReadStringAttribute(h, r, 0)) + DBFReadDoubleAttribute(h, r, 1) +
                   std::strlen(DBFReadStringAttribute(h, r, 2)) +
                   std::strlen(DBFReadStringAttribute(h, r, 3));
        }
        DBFClose(h);
    });
    std::fprintf(stderr, "checksum %.0f\n", sum);
    report("dbf_read_100k", ours, "ms", shapelib);
}

void importBench() {
    TestDatabases dbs;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("rubric.dbf"));
    writeFile(path, 10000, 100000);
    BenchPrompter prompter(Answer::Ok);
    prompter.file = path;
    TdmMSSQL dm(prompter);
    dm.dbMain.setParams(dbs.factPath(), TestDatabases::user(), TestDatabases::password());
    dm.dbTab.setParams(dbs.tabPath(), TestDatabases::user(), TestDatabases::password());
    dm.dbMain.open();
    dm.dbTab.open();
    dm.registerInstance();
    OutlineState state;
    OutlineTree tree;
    OutlineEngine<int> engine(dm, OutlineDescriptor::Rubrics(), tree, prompter, state);
    ElementRowSet rows(dm.query(QStringLiteral("quPOK")));
    ElementOperations elements(dm, IndicatorsController::Descriptor(TestDatabases::user()), rows,
                               prompter, state);
    IndicatorsController controller(dm, prompter, engine, elements);
    engine.BuildOutline();
    const double ours = bestMs(1, [&] { controller.importRubric(); });

    DbStatement& st = dm.dbMain.statement(QStringLiteral("bench_insert"));
    st.setSql(QStringLiteral("INSERT INTO POK (NAMEFOLDER,KODFOLDER,NPP,KODALT,EIZ,KODELMT) "
                             "VALUES (:NAMEFOLDER,:KODFOLDER,:NPP,:KODALT,:EIZ,:KODELMT)"));
    const double plain = bestMs(1, [&] {
        RunInTransaction(dm.dbMain, [&] {
            for (int i = 0; i < 10000; ++i) {
                st.clearParams();
                st.setParam(QStringLiteral("NAMEFOLDER"),
                            QStringLiteral("Показатель номер %1 с длинным наименованием").arg(i));
                st.setParam(QStringLiteral("KODFOLDER"), 999);
                st.setParam(QStringLiteral("NPP"), (i + 1) * 100);
                st.setParam(QStringLiteral("KODALT"), QStringLiteral("А%1").arg(i));
                st.setParam(QStringLiteral("EIZ"), QStringLiteral("чел."));
                st.setParam(QStringLiteral("KODELMT"), 200000 + i);
                st.execute();
            }
        });
    });
    dm.unregisterInstance();
    report("indicator_import_10k", ours, "ms", 2 * plain);
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    readBench(dir.path());
    importBench();
    return 0;
}
