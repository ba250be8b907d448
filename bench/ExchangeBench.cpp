// Filling and storing a table of 10 instance sheets x 200 body rows x 20 data columns,
// each against the same prepared statements run in a tight loop over the same keys
// through the same driver, without a workbook or identification work.
#include "DbConnection.h"
#include "DbStatement.h"
#include "DbTestHelpers.h"
#include "DbTransaction.h"
#include "ExchangeStatements.h"
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
#include <QElapsedTimer>

#include <cstdio>
#include <functional>

using namespace TableLayout;

namespace {

constexpr int kSheets = 10;
constexpr int kCols = 20;

double timed(const std::function<void()>& work) {
    QElapsedTimer t;
    t.start();
    work();
    return t.nsecsElapsed() / 1e6;
}

void report(const char* name, double value, const char* unit, double ceiling) {
    std::printf("BENCH %s value=%.3f %s ceiling=%.3f ratio=%.3f\n", name, value, unit, ceiling,
                value / ceiling);
}

class Silent : public Prompter {
public:
    void message(const QString& t, const QString&, PromptIcon) override {
        std::fprintf(stderr, "%s\n", t.toLocal8Bit().constData());
    }
    Answer ask(const QString&, QuestionButtons, Answer, const QString&) override {
        return Answer::Yes;
    }
    QString openFileName(const QString&, const QString&, const QString&) override { return {}; }
    QString saveFileName(const QString&, const QString&, const QString&) override { return {}; }
    int choose(const QString&, const QStringList&, int) override { return -1; }
    bool inputText(const QString&, const QString&, QString&) override { return false; }
};

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
                book.setNumber(s, 101 + r, 3 + c, r * 0.25 + c + s);
    }
    book.endUpdate();
    book.setActiveSheet(1);
}

struct Timings {
    double store = 0, storeCeiling = 0, fill = 0, fillCeiling = 0;
};

Timings measure(int rows) {
    TestDatabases dbs;
    Silent prompter;
    TdmMSSQL dm(prompter);
    dm.SetConnectionParams(dm.dbMain, dbs.factPath(), TestDatabases::password(),
                           TestDatabases::user());
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

    Timings t;
    clearFunds();
    t.store = timed([&] { StoreController(ctx).SBloadClick(); });
    t.fill = timed([&] { FillController(ctx).SBunloadClick(); });

    // The ceilings: the same statements, keys and values, nothing else.
    const auto texts = ExchangeStatements::PrepareQueries(0)[size_t(FundTable::DolgElm)];
    DbStatement& check = f.statement(QStringLiteral("bench_check"));
    DbStatement& insert = f.statement(QStringLiteral("bench_insert"));
    DbStatement& read = f.statement(QStringLiteral("bench_read"));
    DbStatement& update = f.statement(QStringLiteral("bench_update"));
    update.setSql(texts.update);
    check.setSql(texts.check);
    insert.setSql(texts.insert);
    read.setSql(ExchangeStatements::readLines(FundTable::DolgElm, 0));
    auto bind = [](DbStatement& q, int s, int r) {
        q.setParam(QStringLiteral("KODFOLDER"), 500 + s);
        q.setParam(QStringLiteral("KODPOK"), r + 1);
        q.setParam(QStringLiteral("KODPOK1"), 0);
        q.setParam(QStringLiteral("KODPOK2"), 0);
    };
    clearFunds();
    t.storeCeiling = timed([&] {
        for (int s = 1; s <= kSheets; ++s)
            RunInTransaction(f, [&] {
                for (int r = 0; r < rows; ++r)
                    for (int c = 0; c < kCols; ++c) {
                        bind(check, s, r);
                        check.open();
                        const bool exists = check.rowCount() == 1;
                        check.close();
                        const QString param = QStringLiteral("D%1").arg(c + 1);
                        const QString value = QString::number(r * 0.25 + c + s);
                        if (!exists) {
                            QStringList lines = insert.sql();
                            lines[2] = ExchangeStatements::insertColumnLine(c + 1);
                            lines[4] = ExchangeStatements::insertValueLine(c + 1);
                            insert.setSql(lines);
                            insert.clearParams();
                            bind(insert, s, r);
                            insert.setParam(param, value);
                            insert.execute();
                        } else {
                            QStringList lines = update.sql();
                            lines[1] = ExchangeStatements::updateValueLine(c + 1);
                            update.setSql(lines);
                            update.clearParams();
                            bind(update, s, r);
                            update.setParam(param, value);
                            update.execute();
                        }
                    }
            });
    });
    t.fillCeiling = timed([&] {
        for (int s = 1; s <= kSheets; ++s)
            RunInTransaction(f, [&] {
                for (int r = 0; r < rows; ++r)
                    for (int c = 0; c < kCols; ++c) {
                        QStringList lines = read.sql();
                        lines[0] = QStringLiteral("SELECT D%1").arg(c + 1);
                        read.setSql(lines);
                        bind(read, s, r);
                        read.open();
                        (void)read.value(0);
                        read.close();
                    }
            });
    });
    return t;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    BookLocale::setDecimalSeparator(QLatin1Char('.'));
    const Timings small = measure(50);
    const Timings full = measure(200);
    // Throughput: at least 0.7 of the ceiling's, i.e. at most ceiling / 0.7 of its time.
    report("exchange_store_ms", full.store, "ms", full.storeCeiling / 0.7);
    report("exchange_fill_ms", full.fill, "ms", full.fillCeiling / 0.7);
    // Linear: four times the cells in at most 4.5 times the time.
    report("exchange_store_scaling", full.store / small.store, "x", 4.5);
    report("exchange_fill_scaling", full.fill / small.fill, "x", 4.5);
    std::fprintf(stderr, "ceiling scaling: store %.3f fill %.3f\n",
                 full.storeCeiling / small.storeCeiling, full.fillCeiling / small.fillCeiling);
    return 0;
}
