// Collecting a table of 10 instance sheets x 200 body rows x 20 data columns (40 000
// cells) whose sheets name one aggregation node each, 50 objects to a node: beside its
// ceiling, twice the time of one aggregate SELECT (SUM ... GROUP BY over the objects
// joined to their memberships) of the same fund rows in the same run. Also, for
// comparison only, the object-by-object loop (one statement per cell and object) and the
// cell-by-cell loop (one statement per cell over a membership subquery), timed over a
// sample of cells and scaled to the whole table.
#include "BenchPrompter.h"
#include "BenchSupport.h"
#include "CollectController.h"
#include "DbConnection.h"
#include "DbStatement.h"
#include "DbTestHelpers.h"
#include "DbTransaction.h"
#include "ExchangeView.h"
#include "InitialWorkbook.h"
#include "Prompter.h"
#include "TdmMSSQL.h"
#include "TestDatabases.h"
#include "format/BookLocale.h"
#include "model/Workbook.h"

#include <QCoreApplication>

#include <cstdio>

using namespace TableLayout;

namespace {

constexpr int kSheets = 10;
constexpr int kRows = 200;
constexpr int kCols = 20;
constexpr int kObjectsPerNode = 50;

// Column c (0-based) of the table: months 1..12 of 2024, then 1..8 of 2025.
int yearOf(int c) {
    return c < 12 ? 2024 : 2025;
}
int monthOf(int c) {
    return c < 12 ? c + 1 : c - 11;
}

void prepareFunds(DbConnection& f) {
    for (const char* sql : {
             "ALTER TABLE ELM ADD KOD1 DOUBLE PRECISION",
             "CREATE INDEX ELMKOD1 ON ELM (KOD1)",
             "INSERT INTO SPISAGR (NUMAGR, NAMEAGR) VALUES (1, 'Узлы')",
             "UPDATE NAST SET GODOPER = '20242025'",
         })
        dbtest::exec(f, QString::fromUtf8(sql));
    RunInTransaction(f, [&] {
        DbStatement& st = f.statement(QStringLiteral("bench_members"));
        st.setSql(QStringLiteral("INSERT INTO ELM (NPP, KODFOLDER, KOD1) VALUES (?, ?, ?)"));
        for (int o = 1; o <= kSheets * kObjectsPerNode; ++o) {
            st.setPositionalParams({o, o, (o - 1) / kObjectsPerNode + 1});
            st.execute();
        }
        st.setSql(QStringLiteral("INSERT INTO POK (KODELMT) VALUES (?)"));
        for (int p = 1; p <= kRows; ++p) {
            st.setPositionalParams({p});
            st.execute();
        }
    });
    dbtest::exec(
        f, QStringLiteral(
               "INSERT INTO FD_OPERELM (KODFOLDER, KODPOK, KODPOK1, KODPOK2, GOD, D1, D2, D3, "
               "D4, D5, D6, D7, D8, D9, D10, D11, D12) SELECT E.KODFOLDER, P.KODELMT, 0, 0, "
               "Y.GOD, E.KODFOLDER, P.KODELMT, E.KODFOLDER + P.KODELMT, 4, 5, 6, 7, 8, 9, 10, "
               "11, 12 FROM ELM E CROSS JOIN POK P CROSS JOIN (SELECT 2024 AS GOD FROM "
               "RDB$DATABASE UNION ALL SELECT 2025 FROM RDB$DATABASE) Y"));
}

void buildTable(Workbook& book) {
    InitialWorkbook::build(book);
    for (int i = 1; i < kSheets; ++i)
        book.insertSheet(2);
    const int rowSheet = kSheets + 1;
    const int colSheet = kSheets + 2;
    for (int r = 0; r < kRows; ++r)
        book.setNumber(rowSheet, 101 + r, rowSlotColumn(Slot::IndicatorCode), r + 1);
    for (int c = 0; c < kCols; ++c)
        book.setEntry(colSheet, 100 + int(Slot::PeriodStart), 3 + c,
                      QStringLiteral("1.%1.%2").arg(monthOf(c)).arg(yearOf(c)));
    for (int s = 1; s <= kSheets; ++s) {
        book.setNumber(s, int(TitleRow::Object), kTitleValueCol, s);
        book.setNumber(s, int(TitleRow::Object), kTitleExtraCol, 1);
    }
    book.setActiveSheet(1);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    BookLocale::setDecimalSeparator(QLatin1Char('.'));
    BookLocale::setDateSeparator(QLatin1Char('.'));
    AppContext::setSystemDateSeparator(QLatin1Char('.'));
    TestDatabases dbs;
    BenchPrompter prompter(Answer::Yes);
    TdmMSSQL dm(prompter);
    dm.SetConnectionParams(dm.dbMain, dbs.factPath(), dbs.ownerPassword(), dbs.ownerUser());
    dm.dbMain.open();
    DbConnection& f = dm.dbMain;
    prepareFunds(f);
    StoragePeriods lists;
    LoadStoragePeriods(dm, lists);

    Workbook book;
    buildTable(book);
    IdentModel model(book, prompter);
    ExchangeView view;
    ExchangeContext ctx{model, dm, prompter, view, lists, 1, QStringLiteral("BENCH")};
    const double collect = bestMs(3, [&] { CollectController(ctx).sbCalcAgrClick(); });
    if (book.sheet(kSheets).number(101 + kRows - 1, 3) <= 0)
        std::fprintf(stderr, "collecting wrote no sums\n");

    // The same sums in one statement.
    QStringList sums;
    for (int k = 1; k <= 12; ++k)
        sums << QStringLiteral("SUM(CAST(F.D%1 AS DOUBLE PRECISION))").arg(k);
    DbStatement& agg = f.statement(QStringLiteral("bench_aggregate"));
    agg.setSql(
        QStringLiteral("SELECT E.KOD1,F.KODPOK,F.KODPOK1,F.KODPOK2,F.GOD,%1 FROM FD_OPERELM F "
                       "JOIN ELM E ON E.KODFOLDER=F.KODFOLDER WHERE E.KOD1 BETWEEN 1 AND %2 "
                       "GROUP BY E.KOD1,F.KODPOK,F.KODPOK1,F.KODPOK2,F.GOD")
            .arg(sums.join(QLatin1Char(',')))
            .arg(kSheets));
    double total = 0;
    const double aggregate = bestMs(3, [&] {
        RunInTransaction(f, [&] {
            agg.open();
            for (agg.first(); !agg.eof(); agg.next())
                for (int i = 5; i < 17; ++i)
                    total += agg.value(i).toDouble();
            agg.close();
        });
    });
    if (total <= 0)
        std::fprintf(stderr, "the ceiling read nothing\n");
    report("collect_ms", collect, "ms", 2 * aggregate);

    // For comparison: a sample of the cells of sheet 1, object by object and cell by cell.
    constexpr int kSampleRows = 5;
    const double cells = double(kSheets) * kRows * kCols;
    const double sampleCells = double(kSampleRows) * kCols;
    DbStatement& one = f.statement(QStringLiteral("bench_object"));
    DbStatement& members = f.statement(QStringLiteral("bench_members"));
    members.setSql(QStringLiteral("SELECT KODFOLDER FROM ELM WHERE KOD1 = 1"));
    const double perObject = bestMs(1, [&] {
        RunInTransaction(f, [&] {
            members.open();
            QList<int> objects;
            for (members.first(); !members.eof(); members.next())
                objects << members.value(0).toInt();
            members.close();
            for (int r = 0; r < kSampleRows; ++r)
                for (int c = 0; c < kCols; ++c) {
                    one.setSql(QStringLiteral("SELECT D%1 FROM FD_OPERELM WHERE KODFOLDER=:O and "
                                              "KODPOK=:P and KODPOK1=0 and KODPOK2=0 and GOD=:G")
                                   .arg(monthOf(c)));
                    double sum = 0;
                    for (int o : objects) {
                        one.setParam(QStringLiteral("O"), o);
                        one.setParam(QStringLiteral("P"), r + 1);
                        one.setParam(QStringLiteral("G"), yearOf(c));
                        one.open();
                        if (!one.eof())
                            sum += one.value(0).toDouble();
                        one.close();
                    }
                    total += sum;
                }
        });
    });
    DbStatement& cell = f.statement(QStringLiteral("bench_cell"));
    const double perCell = bestMs(1, [&] {
        RunInTransaction(f, [&] {
            for (int r = 0; r < kSampleRows; ++r)
                for (int c = 0; c < kCols; ++c) {
                    cell.setSql(
                        QStringLiteral("SELECT D%1 FROM FD_OPERELM WHERE KODPOK=:P and "
                                       "KODPOK1=0 and KODPOK2=0 and GOD=:G and KODFOLDER IN "
                                       "(SELECT R.KODFOLDER FROM ELM R WHERE KOD1=:KOD1)")
                            .arg(monthOf(c)));
                    cell.setParam(QStringLiteral("P"), r + 1);
                    cell.setParam(QStringLiteral("G"), yearOf(c));
                    cell.setParam(QStringLiteral("KOD1"), 1);
                    cell.open();
                    for (cell.first(); !cell.eof(); cell.next())
                        total += cell.value(0).toDouble();
                    cell.close();
                }
        });
    });
    // Reported beside the collecting time: how many times slower the loops would be.
    report("collect_per_object_loop_ms", perObject * cells / sampleCells, "ms", collect);
    report("collect_per_cell_loop_ms", perCell * cells / sampleCells, "ms", collect);
    return 0;
}
