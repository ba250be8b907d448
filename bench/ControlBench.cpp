// The control run over 1 000 body rows x 50 columns with one condition per column,
// against the same conditions evaluated as plain formulas over the same cells; the
// identification test of a 2 000-row table, against the same directory look-ups in a
// tight loop.
#include "BenchSupport.h"
#include "ControlConditions.h"
#include "ControlRun.h"
#include "DbTestHelpers.h"
#include "ExchangeView.h"
#include "IdentModel.h"
#include "IdentTest.h"
#include "InitialWorkbook.h"
#include "Prompter.h"
#include "TableLayout.h"
#include "TdmMSSQL.h"
#include "TestDatabases.h"
#include "model/CellAddress.h"
#include "model/Workbook.h"

#include <QApplication>

using namespace TableLayout;

namespace {

constexpr int kRows = 1000;
constexpr int kCols = 50;

void controlBench() {
    Workbook book;
    InitialWorkbook::build(book);
    IdentModel model(book, AppPrompter());
    model.readGeometry();
    const int first = model.firstBodyRow();
    ControlConditions conditions(model, AppPrompter());
    book.beginUpdate();
    for (int c = kFirstDataCol; c < kFirstDataCol + kCols; ++c) {
        book.setText(1, model.lastHeaderRow(), c, QStringLiteral("гр.%1").arg(c));
        for (int r = first; r < first + kRows; ++r)
            book.setNumber(1, r, c, (r * 7 + c) % 101 == 0 ? -1.0 : r * 0.1 + c);
        conditions.store(ControlLine::Column, c, cellName(first, c) + QStringLiteral(">=0"),
                         QStringLiteral("Отрицательное значение"));
    }
    book.endUpdate();
    // The same conditions as formulas over a copy of the same cells in a workbook of
    // their own (a sheet added here would shift the identification sheets).
    Workbook plainBook(2);
    plainBook.beginUpdate();
    for (int c = kFirstDataCol; c < kFirstDataCol + kCols; ++c)
        for (int r = first; r < first + kRows; ++r) {
            plainBook.setNumber(1, r, c, book.sheet(1).number(r, c));
            plainBook.setEntry(
                2, r, c,
                QStringLiteral("=%1!%2>=0").arg(plainBook.sheet(1).name(), cellName(r, c)));
        }
    plainBook.endUpdate();

    ProtocolText protocol;
    int violations = 0;
    double run = 1e300, plain = 1e300;
    for (int i = 0; i < 7; ++i) {
        run = std::min(
            run, bestMs(1, [&] {
                violations =
                    ControlRun(conditions, AppPrompter(), protocol).run(1, QStringLiteral("Т"));
            }));
        plain = std::min(plain, bestMs(1, [&] { plainBook.recalcAll(); }));
    }
    std::fprintf(stderr, "control: %d violations, formulas %.3f ms (first %s)\n", violations, plain,
                 qPrintable(plainBook.sheet(2).text(first, kFirstDataCol)));
    report("control_run_ms", run, "ms", plain * 3);
}

void identBench() {
    TestDatabases dbs;
    TdmMSSQL dm(AppPrompter());
    dm.SetConnectionParams(dm.dbMain, dbs.factPath(), TestDatabases::password(),
                           TestDatabases::user());
    dm.SetConnectionParams(dm.dbTab, dbs.tabPath(), TestDatabases::password(),
                           TestDatabases::user());
    dm.dbMain.open();
    dm.dbTab.open();
    constexpr int kTableRows = 2000;
    constexpr int kCodes = 200;
    for (int i = 1; i <= kCodes; ++i) {
        dbtest::exec(dm.dbMain,
                     QStringLiteral("INSERT INTO POK (KODELMT, NPP, KODFOLDER, NAMEFOLDER) "
                                    "VALUES (%1, %1, 1, 'П')")
                         .arg(i));
        dbtest::exec(dm.dbMain, QStringLiteral("INSERT INTO ELM (NPP, KODFOLDER, NAMEFOLDER) "
                                               "VALUES (%1, %1, 'О')")
                                    .arg(i));
    }
    dbtest::exec(dm.dbMain, QStringLiteral("UPDATE NAST SET GODDOLG = '2024', GODOPER = '2024'"));

    Workbook book;
    InitialWorkbook::build(book);
    IdentModel model(book, AppPrompter());
    model.readGeometry();
    const int rows = model.rowIdentSheet();
    const int first = model.firstBodyRow();
    book.beginUpdate();
    for (int r = first; r < first + kTableRows; ++r) {
        const int code = 1 + r % kCodes;
        book.setNumber(rows, r, rowSlotColumn(Slot::IndicatorCode), code);
        book.setNumber(rows, r, rowSlotColumn(Slot::Object), code);
        book.setNumber(rows, r, rowSlotColumn(Slot::ObjectType), kObjectsDirectoryType);
        book.setNumber(rows, r, rowSlotColumn(Slot::PeriodStart), 2024);
    }
    book.endUpdate();

    ExchangeView view;
    ProtocolText protocol;
    double test = 1e300, lookups = 1e300;
    for (int i = 0; i < 5; ++i) {
        test = std::min(
            test, bestMs(1, [&] {
                IdentTest(model, dm, AppPrompter(), view, protocol).run(QStringLiteral("Т"));
            }));
        lookups = std::min(lookups, bestMs(1, [&] {
                               for (int r = first; r < first + kTableRows; ++r) {
                                   const int code = 1 + r % kCodes;
                                   DbStatement& pok = dm.query(QStringLiteral("quFindPok"));
                                   pok.setParam(QStringLiteral("KODELMT"), code);
                                   pok.open();
                                   pok.close();
                                   DbStatement& elm = dm.query(QStringLiteral("quFindElm"));
                                   elm.setParam(QStringLiteral("KODFOLDER"), double(code));
                                   elm.open();
                                   elm.close();
                               }
                           }));
    }
    report("ident_test_ms", test, "ms", lookups * 2);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    controlBench();
    identBench();
    return 0;
}
