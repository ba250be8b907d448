// Filling and storing a table of 10 instance sheets x 200 body rows x 20 data columns
// (40 000 cells, 2 000 fund rows of 20 values), each beside its ceiling measured in the
// same run: on the embedded engine one plain SELECT streaming the same fund rows, and
// a tight loop of prepared INSERTs of the same values in one transaction; over a
// server (ZEMRAK_FB_SERVER, password in ZEMRAK_FB_SERVER_PASSWORD) the cell-by-cell
// reference path. Linearity: a quarter of the rows in at least a quarter of the time.
#include "BenchPrompter.h"
#include "BenchSupport.h"
#include "CellByCellFill.h"
#include "CellByCellStore.h"
#include "DbConnection.h"
#include "DbStatement.h"
#include "DbTestHelpers.h"
#include "DbTransaction.h"
#include "ExchangeView.h"
#include "FillController.h"
#include "InitialWorkbook.h"
#include "Prompter.h"
#include "StoreController.h"
#include "TdmMSSQL.h"
#include "TestDatabases.h"
#include "format/BookLocale.h"
#include "model/Workbook.h"

#include <QCoreApplication>

#include <cstdio>
#include <optional>

using namespace TableLayout;

namespace {

constexpr int kSheets = 10;
constexpr int kCols = 20;

void prepareFunds(DbConnection& f, int rows) {
    QString add = QStringLiteral("ALTER TABLE FD_DOLGELM ADD D1 VARCHAR(250)");
    QString years = QStringLiteral("2001");
    for (int k = 2; k <= kCols; ++k) {
        add += QStringLiteral(", ADD D%1 VARCHAR(250)").arg(k);
        years += QString::number(2000 + k);
    }
    dbtest::exec(f, add);
    dbtest::exec(f, QStringLiteral("UPDATE NAST SET GODDOLG = '%1'").arg(years));
    RunInTransaction(f, [&] {
        DbStatement& st = f.statement(QStringLiteral("bench_fill"));
        st.setSql(QStringLiteral("INSERT INTO ELM (NPP, KODFOLDER) VALUES (:K, :K)"));
        for (int s = 1; s <= kSheets; ++s) {
            st.setParam(QStringLiteral("K"), 500 + s);
            st.execute();
        }
        st.setSql(QStringLiteral("INSERT INTO POK (KODELMT) VALUES (:K)"));
        for (int r = 1; r <= rows; ++r) {
            st.setParam(QStringLiteral("K"), r);
            st.execute();
        }
    });
}

double cellValue(int s, int r, int c) {
    return r * 0.25 + c + s;
}

void buildTable(Workbook& book, int rows) {
    InitialWorkbook::build(book);
    for (int i = 1; i < kSheets; ++i)
        book.insertSheet(2);
    const int rowSheet = kSheets + 1;
    const int colSheet = kSheets + 2;
    book.beginUpdate();
    for (int r = 0; r < rows; ++r)
        book.setNumber(rowSheet, 101 + r, rowSlotColumn(Slot::IndicatorCode), r + 1);
    for (int c = 0; c < kCols; ++c)
        book.setNumber(colSheet, 100 + int(Slot::PeriodStart), 3 + c, 2001 + c);
    for (int s = 1; s <= kSheets; ++s) {
        book.setNumber(s, int(TitleRow::Object), kTitleValueCol, 500 + s);
        book.setNumber(s, int(TitleRow::Object), kTitleExtraCol, kObjectsDirectoryType);
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < kCols; ++c)
                book.setNumber(s, 101 + r, 3 + c, cellValue(s, r, c));
    }
    book.endUpdate();
    book.setActiveSheet(1);
}

struct Timings {
    double store = 0, fill = 0;
    double storeCeiling = 0, fillCeiling = 0; // embedded
    double referenceStore = 0, referenceFill = 0;
};

Timings measure(int rows, const std::optional<TestDatabases::Server>& server, int runs) {
    std::optional<TestDatabases> dbs;
    if (server)
        dbs.emplace(*server);
    else
        dbs.emplace();
    BenchPrompter prompter(Answer::Yes);
    TdmMSSQL dm(prompter);
    dm.SetConnectionParams(dm.dbMain, dbs->factPath(), dbs->ownerPassword(), dbs->ownerUser());
    dm.dbMain.open();
    DbConnection& f = dm.dbMain;
    prepareFunds(f, rows);
    StoragePeriods lists;
    LoadStoragePeriods(dm, lists);

    Workbook book;
    buildTable(book, rows);
    IdentModel model(book, prompter);
    ExchangeView view;
    ExchangeContext ctx{model, dm, prompter, view, lists, 0, QStringLiteral("BENCH")};
    auto clearFunds = [&] { dbtest::exec(f, QStringLiteral("DELETE FROM FD_DOLGELM")); };
    auto timedFrom = [&](const std::function<void()>& before, const std::function<void()>& work) {
        double best = 1e300;
        for (int i = 0; i < runs; ++i) {
            before();
            best = std::min(best, bestMs(1, work));
        }
        return best;
    };

    Timings t;
    t.store = timedFrom(clearFunds, [&] { StoreController(ctx).SBloadClick(); });
    t.fill = timedFrom([] {}, [&] { FillController(ctx).SBunloadClick(); });

    if (server) {
        t.referenceStore = timedFrom(clearFunds, [&] { CellByCellStore(ctx).run(); });
        t.referenceFill = timedFrom([] {}, [&] { CellByCellFill(ctx).run(); });
        return t;
    }

    // One plain SELECT streaming the fund rows the table names, every value read as text.
    QStringList columns{QStringLiteral("KODFOLDER"), QStringLiteral("KODPOK"),
                        QStringLiteral("KODPOK1"), QStringLiteral("KODPOK2")};
    for (int k = 1; k <= kCols; ++k)
        columns << QStringLiteral("D%1").arg(k);
    DbStatement& read = f.statement(QStringLiteral("bench_read"));
    read.setSql(QStringLiteral("SELECT %1 FROM FD_DOLGELM").arg(columns.join(QLatin1Char(','))));
    qsizetype chars = 0;
    t.fillCeiling = timedFrom([] {},
                              [&] {
                                  RunInTransaction(f, [&] {
                                      read.open();
                                      for (read.first(); !read.eof(); read.next())
                                          for (int i = 0; i < columns.size(); ++i)
                                              chars += read.value(i).toString().size();
                                      read.close();
                                  });
                              });

    // A prepared INSERT per fund row with the same values, one transaction.
    std::vector<std::vector<QVariant>> inserts;
    for (int s = 1; s <= kSheets; ++s)
        for (int r = 0; r < rows; ++r) {
            std::vector<QVariant> row{500 + s, r + 1, 0, 0};
            for (int c = 0; c < kCols; ++c)
                row.emplace_back(QString::number(cellValue(s, r, c)));
            inserts.push_back(std::move(row));
        }
    DbStatement& insert = f.statement(QStringLiteral("bench_insert"));
    insert.setSql(QStringLiteral("INSERT INTO FD_DOLGELM (%1) VALUES (%2)")
                      .arg(columns.join(QLatin1Char(',')),
                           QStringList(columns.size(), QStringLiteral("?")).join(',')));
    t.storeCeiling = timedFrom(clearFunds, [&] {
        RunInTransaction(f, [&] {
            for (const std::vector<QVariant>& row : inserts) {
                insert.setPositionalParams(row);
                insert.execute();
            }
        });
    });
    if (chars == 0)
        std::fprintf(stderr, "the ceiling read nothing\n");
    return t;
}

std::optional<TestDatabases::Server> givenServer() {
    const QString host = qEnvironmentVariable("ZEMRAK_FB_SERVER");
    if (host.isEmpty())
        return std::nullopt;
    return TestDatabases::Server{
        host, qEnvironmentVariable("ZEMRAK_FB_SERVER_USER", QStringLiteral("SYSDBA")),
        qEnvironmentVariable("ZEMRAK_FB_SERVER_PASSWORD")};
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    BookLocale::setDecimalSeparator(QLatin1Char('.'));
    const Timings small = measure(50, std::nullopt, 3);
    const Timings full = measure(200, std::nullopt, 3);
    // Throughput at least half the ceiling's: at most twice its time.
    report("exchange_fill_ms", full.fill, "ms", full.fillCeiling / 0.5);
    report("exchange_store_ms", full.store, "ms", full.storeCeiling / 0.5);
    report("exchange_fill_scaling", full.fill / small.fill, "x", 4.5);
    report("exchange_store_scaling", full.store / small.store, "x", 4.5);
    if (const auto server = givenServer()) {
        const Timings remote = measure(200, server, 1);
        // At least 20 (filling) and 5 (storing) times the reference's speed.
        report("exchange_server_fill_ms", remote.fill, "ms", remote.referenceFill / 20);
        report("exchange_server_store_ms", remote.store, "ms", remote.referenceStore / 5);
    } else {
        std::fprintf(stderr,
                     "no Firebird server given (ZEMRAK_FB_SERVER): server figures left out\n");
    }
    return 0;
}
