// Expanding one side row of a table of three instance sheets into its 5 000 subordinate
// objects, against inserting the same rows with the workbook's own row insertion plus
// the one SELECT of the members.
#include "BenchPrompter.h"
#include "BenchSupport.h"

#include "DbStatement.h"
#include "DbTransaction.h"
#include "IdentModel.h"
#include "InitialWorkbook.h"
#include "InstanceSheets.h"
#include "ObjectExpansion.h"
#include "Placement.h"
#include "TableRef.h"
#include "TdmMSSQL.h"
#include "TestDatabases.h"
#include "model/Workbook.h"

#include <QCoreApplication>

using namespace TableLayout;

namespace {

constexpr int kObjects = 5000;
constexpr int kRow = 101;

void fill(Workbook& book) {
    InitialWorkbook::build(book);
    for (int i = 0; i < 2; ++i)
        book.insertSheet(1);
    book.beginUpdate();
    const int rows = book.sheetCount() - 1;
    book.setNumber(rows, kRow, rowSlotColumn(Slot::IndicatorCode), 1);
    book.setEntry(rows, kRow, rowSlotColumn(Slot::PeriodStart), QStringLiteral("2023"));
    book.setNumber(rows, kRow, rowSlotColumn(Slot::Object), 2);
    book.setNumber(rows, kRow, rowSlotColumn(Slot::ObjectType), 1);
    book.setNumber(rows, kRow, rowSlotColumn(Slot::Level), 1);
    for (int s = 1; s <= rows; ++s)
        book.setText(s, kRow, kSideCol, QStringLiteral("Северный район"));
    book.endUpdate();
    book.undoStack().setEnabled(true);
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    TestDatabases dbs(true);
    BenchPrompter prompter(Answer::Yes);
    TdmMSSQL dm(prompter);
    dm.dbMain.setParams(dbs.factPath(), TestDatabases::user(), TestDatabases::password());
    dm.dbTab.setParams(dbs.tabPath(), TestDatabases::user(), TestDatabases::password());
    dm.dbMain.open();
    dm.dbTab.open();
    {
        DbStatement& st = dm.dbMain.statement(QStringLiteral("bench_exec"));
        // The numbers 0 … 9999 as four digits of a derived table.
        QString digits = QStringLiteral("(SELECT 0 AS N FROM RDB$DATABASE");
        for (int d = 1; d <= 9; ++d)
            digits += QStringLiteral(" UNION ALL SELECT %1 FROM RDB$DATABASE").arg(d);
        digits += QStringLiteral(")");
        st.setSql(QStringLiteral("INSERT INTO ELM (NPP, KODFOLDER, NAMEFOLDER, KOD1, AGR1, KOD2, "
                                 "AGR2) SELECT 10000 + I, 1000 + I, 'Фельдшерский пункт ' || I, "
                                 "2, 1, 5, 2 FROM (SELECT A.N * 1000 + B.N * 100 + C.N * 10 + "
                                 "D.N AS I FROM %1 A CROSS JOIN %1 B CROSS JOIN %1 C CROSS JOIN "
                                 "%1 D) X WHERE I < %2")
                      .arg(digits)
                      .arg(kObjects));
        RunInTransaction(dm.dbMain, [&] { st.execute(); });
    }

    int found = 0;
    const double select = bestMs(3, [&] {
        DbStatement& q = dm.query(QStringLiteral("quCommonMAIN"));
        q.setSql(ObjectExpansion::membersSql({{2, 1}}));
        q.clearParams();
        q.setParam(QStringLiteral("KOD1"), 2.0);
        q.open();
        found = 0;
        for (q.first(); !q.eof(); q.next())
            found += q.value(1).toString().isEmpty() ? 0 : 1;
        q.close();
    });
    const double rowsOnly = bestMs(3, [&] {
        Workbook book;
        fill(book);
        book.undoStack().begin(QStringLiteral("Вставка"));
        book.beginUpdate();
        for (int s = 1; s <= book.sheetCount() - 1; ++s)
            book.insertRows(s, kRow + 1, found);
        book.endUpdate();
        book.undoStack().end();
    });
    const double fillOnly = bestMs(3, [] {
        Workbook book;
        fill(book);
    });
    int added = 0;
    const double expanded = bestMs(3, [&] {
        Workbook book;
        fill(book);
        IdentModel model(book, prompter);
        TableRef table;
        InstanceSheets sheets(dm, model, prompter, table);
        Placement placement(model, prompter, sheets);
        ObjectExpansion expansion(dm, model, prompter);
        PlacementRequest q;
        q.kind = PickKind::Object;
        q.mode = 2;
        q.line = kRow;
        q.slot = Slot::Object;
        expansion.prepare(q);
        placement.place(q);
        added = book.sheet(model.rowIdentSheet()).lastRow() - kRow;
    });
    std::fprintf(stderr, "members %d, rows added %d\n", found, added);
    // Building the table is common to both runs and left out of both figures.
    const double base = std::max(rowsOnly - fillOnly, 0.1) + select;
    report("expand_row_5000_objects", std::max(expanded - fillOnly, 0.0), "ms", 3 * base);
    return 0;
}
