// Picking 500 indicators "Дополнить" into one side row of a table of 10 instance sheets,
// against inserting the same rows with the workbook's own row insertion alone.
#include "BenchSupport.h"
#include "IdentModel.h"
#include "InitialWorkbook.h"
#include "InstanceSheets.h"
#include "Placement.h"
#include "Prompter.h"
#include "TableRef.h"
#include "TdmMSSQL.h"
#include "model/Workbook.h"

#include <QCoreApplication>

#include <memory>

namespace {

constexpr int kEntries = 500;

void fill(Workbook& book) {
    InitialWorkbook::build(book);
    for (int i = 0; i < 9; ++i)
        book.insertSheet(1);
    book.beginUpdate();
    for (int s = 1; s <= 10; ++s)
        for (int r = 101; r <= 400; ++r) {
            book.setText(s, r, 2, QStringLiteral("Строка %1").arg(r));
            for (int c = 3; c <= 22; ++c)
                book.setNumber(s, r, c, r * 0.5 + c + s);
        }
    for (int r = 101; r <= 400; ++r)
        book.setNumber(11, r, 4, r);
    book.endUpdate();
    book.undoStack().setEnabled(true);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    TdmMSSQL dm(AppPrompter()); // the side placement reaches no database
    QList<PickedEntry> entries;
    for (int i = 1; i <= kEntries; ++i) {
        PickedEntry e;
        e.code = i;
        e.shown = PickedEntry::displayedCode(i, {});
        e.name = QStringLiteral("Показатель %1").arg(i);
        entries << e;
    }

    // Building the table is common to both and left out of the timings.
    std::unique_ptr<Workbook> book;
    auto build = [&] {
        book.reset();
        book = std::make_unique<Workbook>();
        fill(*book);
    };
    const double rowsOnly = bestMs(5, build, [&] {
        book->undoStack().begin(QStringLiteral("Вставка"));
        book->beginUpdate();
        for (int s = 1; s <= book->sheetCount() - 1; ++s)
            book->insertRows(s, 102, kEntries - 1);
        book->endUpdate();
        book->undoStack().end();
    });
    const double placed = bestMs(5, build, [&] {
        IdentModel model(*book, AppPrompter());
        TableRef table;
        InstanceSheets sheets(dm, model, AppPrompter(), table);
        Placement placement(model, AppPrompter(), sheets);
        PlacementRequest q;
        q.mode = 1;
        q.line = 101;
        q.slot = Slot::IndicatorShown;
        q.entries = entries;
        placement.place(q);
    });
    report("pick_500_indicators_extend", placed, "ms", 3 * rowsOnly);
    return 0;
}
