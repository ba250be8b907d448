// The objects directory of 20 000 objects with three attached directories: opening
// its list and applying a filter against the plain SELECTs of the same rows; adding
// an aggregation directory to funds of 200 000 rows against the bare statements.
#include "BenchPrompter.h"
#include "BenchSupport.h"

#include "AggregationSchema.h"
#include "DbStatement.h"
#include "DbTransaction.h"
#include "ElementRowSet.h"
#include "ObjectsController.h"
#include "Prompter.h"
#include "TdmMSSQL.h"
#include "TestDatabases.h"

#include <QCoreApplication>

namespace {

void run(DbConnection& c, const QString& sql) {
    DbStatement& st = c.statement(QStringLiteral("bench_exec"));
    st.setSql(sql);
    st.clearParams();
    RunInTransaction(c, [&] { st.execute(); });
}

// "(SELECT I ...)": the numbers 0 .. count - 1 as a derived table of one column I.
QString numbers(int count) {
    QString digit = QStringLiteral("(SELECT 0 AS N FROM RDB$DATABASE");
    for (int d = 1; d <= 9; ++d)
        digit += QStringLiteral(" UNION ALL SELECT %1 FROM RDB$DATABASE").arg(d);
    digit += QStringLiteral(")");
    QStringList terms;
    QStringList sources;
    for (int k = 0, scale = 1; scale < count; ++k, scale *= 10) {
        terms << QStringLiteral("D%1.N * %2").arg(k).arg(scale);
        sources << digit + QStringLiteral(" D%1").arg(k);
    }
    return QStringLiteral("(SELECT ") + terms.join(QStringLiteral(" + ")) +
           QStringLiteral(" AS I FROM ") + sources.join(QStringLiteral(" CROSS JOIN ")) +
           QStringLiteral(") X WHERE I < %1").arg(count);
}

// Reads every value of every row, as the window's model does.
double readAll(DbConnection& c, const QString& sql, int* rows) {
    DbStatement& st = c.statement(QStringLiteral("bench_select"));
    st.setSql(sql);
    st.clearParams();
    st.open();
    double sum = 0;
    for (st.first(); !st.eof(); st.next())
        for (int i = 0; i < st.fieldNames().size(); ++i)
            sum += st.value(i).toString().size();
    *rows = st.rowCount();
    st.close();
    return sum;
}

void objectsBench(TdmMSSQL& dm, BenchPrompter& prompter) {
    AggregationSchema schema(dm);
    if (!schema.addDirectory(3))
        std::fprintf(stderr, "%s\n", qPrintable(schema.failure().server));
    run(dm.dbMain, QStringLiteral("INSERT INTO AGR (KODFOLDER, NUMAGR, NAMEFOLDER, NPP, NLEVEL) "
                                  "VALUES (1, 3, 'Все', 100, 1)"));
    run(dm.dbMain, QStringLiteral("UPDATE SPISAGR SET ISINELM = 'T'"));
    run(dm.dbMain,
        QStringLiteral("INSERT INTO ELM (NPP, KODFOLDER, NAMEFOLDER, KOD1, AGR1, KOD2, "
                       "AGR2, KOD3, AGR3) SELECT (I + 100) * 100, I + 100, "
                       "'Учреждение номер ' || I, MOD(I, 4) + 1, 1, MOD(I, 5) + 1, 2, 1, "
                       "3 FROM ") +
            numbers(20000));
    ElementRowSet rows(dm.query(QStringLiteral("quElm")));
    ObjectsController controller(dm, prompter, rows);
    int plainRows = 0;
    const QString all = QStringLiteral("SELECT NPP, KODFOLDER, NAMEFOLDER, KOD1, AGR1, KOD2, AGR2, "
                                       "KOD3, AGR3 FROM ELM ORDER BY NPP");
    double sum = readAll(dm.dbMain, all, &plainRows);
    const double plain = bestMs(5, [&] { sum += readAll(dm.dbMain, all, &plainRows); });
    const double open = bestMs(5, [&] { controller.load(); });
    std::fprintf(stderr, "objects %d/%d checksum %.0f\n", rows.count(), plainRows, sum);
    report("objects_open_20k", open, "ms", 3 * plain);

    const QString filtered =
        QStringLiteral("SELECT NPP, KODFOLDER, NAMEFOLDER, KOD1, AGR1, KOD2, "
                       "AGR2, KOD3, AGR3 FROM ELM WHERE KOD1 = 2 ORDER BY NPP");
    const double plainFilter = bestMs(5, [&] { sum += readAll(dm.dbMain, filtered, &plainRows); });
    const double filter = bestMs(5, [&] {
        controller.removeFilter();
        controller.applyFilter(0, 2, QStringLiteral("Северный район"));
    });
    const double unfiltered = bestMs(5, [&] { controller.removeFilter(); });
    std::fprintf(stderr, "filtered %d/%d\n", rows.count(), plainRows);
    // A filter's cost is the filtered read after the unfiltered one it leaves.
    report("objects_filter_20k", filter - unfiltered, "ms", 2 * plainFilter);
}

void addDirectoryBench(TdmMSSQL& dm) {
    run(dm.dbMain,
        QStringLiteral("INSERT INTO FD_OPERAGR (KOD1, KOD2, KOD3, KODPOK, KODPOK1, "
                       "KODPOK2, GOD, D1) SELECT MOD(I, 1000) + 10, I / 1000 + 10, 0, 1, "
                       "0, 0, 2024, '1' FROM ") +
            numbers(200000));
    // The statements alone, by hand, then taken back.
    const double bare = bestMs(1, [&] {
        for (const QString& t : {QStringLiteral("FD_DOLGAGR"), QStringLiteral("FD_OPERAGR")}) {
            run(dm.dbMain,
                QStringLiteral("ALTER TABLE %1 ADD KOD4 DOUBLE PRECISION DEFAULT 0 NOT NULL")
                    .arg(t));
            run(dm.dbMain, QStringLiteral("UPDATE %1 SET KOD4 = 0").arg(t));
        }
        RunInTransaction(dm.dbMain, [&] {
            for (const QString& sql :
                 AggregationSchema::dropIndexes(3) + AggregationSchema::createIndexes(4)) {
                DbStatement& st = dm.dbMain.statement(QStringLiteral("bench_exec"));
                st.setSql(sql);
                st.execute();
            }
        });
        run(dm.dbMain, QStringLiteral("ALTER TABLE ELM ADD KOD4 DOUBLE PRECISION"));
        run(dm.dbMain, QStringLiteral("ALTER TABLE ELM ADD AGR4 INTEGER"));
        run(dm.dbMain, QStringLiteral("UPDATE ELM SET AGR4 = 4"));
    });
    RunInTransaction(dm.dbMain, [&] {
        for (const QString& sql :
             AggregationSchema::dropIndexes(4) + AggregationSchema::createIndexes(3)) {
            DbStatement& st = dm.dbMain.statement(QStringLiteral("bench_exec"));
            st.setSql(sql);
            st.execute();
        }
    });
    for (const QString& sql :
         {QStringLiteral("ALTER TABLE ELM DROP KOD4"), QStringLiteral("ALTER TABLE ELM DROP AGR4"),
          QStringLiteral("ALTER TABLE FD_DOLGAGR DROP KOD4"),
          QStringLiteral("ALTER TABLE FD_OPERAGR DROP KOD4")})
        run(dm.dbMain, sql);
    AggregationSchema schema(dm);
    bool ok = false;
    const double ours = bestMs(1, [&] { ok = schema.addDirectory(4); });
    if (!ok)
        std::fprintf(stderr, "%s\n", qPrintable(schema.failure().server));
    report("add_directory_200k", ours, "ms", 1.5 * bare);
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    TestDatabases dbs(true);
    BenchPrompter prompter(Answer::No);
    TdmMSSQL dm(prompter);
    dm.dbMain.setParams(dbs.factPath(), TestDatabases::user(), TestDatabases::password());
    dm.dbTab.setParams(dbs.tabPath(), TestDatabases::user(), TestDatabases::password());
    dm.dbMain.open();
    dm.dbTab.open();
    dm.registerInstance();
    objectsBench(dm, prompter);
    addDirectoryBench(dm);
    dm.unregisterInstance();
    return 0;
}
