// Undo over a large table: inserting a row into 10 sheets as one step against the plain
// model insertion, its undo against the insertion, and the memory of single-cell steps.
#include "BenchSupport.h"

#include "model/Workbook.h"

#include <cstdio>

namespace {

constexpr int kSheets = 10;
constexpr int kRows = 1000;
constexpr int kCols = 20; // 10 sheets × 1000 rows × 20 columns = 200 000 cells

void fill(Workbook& b) {
    b.beginUpdate();
    for (int s = 1; s <= b.sheetCount(); ++s)
        for (int r = 1; r <= kRows; ++r)
            for (int c = 1; c <= kCols; ++c) {
                if (c == kCols)
                    b.setEntry(s, r + 100, c, QStringLiteral("=SUM(A%1:S%1)").arg(r + 100));
                else
                    b.setNumber(s, r + 100, c, r * c);
            }
    b.endUpdate();
}

} // namespace

int main() {
    Workbook plain(kSheets);
    fill(plain);
    Workbook book(kSheets);
    fill(book);
    book.undoStack().setEnabled(true);

    // The ceiling: the model's row insertion on one sheet, ten times, no undo recorded.
    const double model = bestMs(5,
                                [&] {
                                    for (int s = 1; s <= kSheets; ++s)
                                        plain.insertRows(s, 500, 1);
                                    for (int s = 1; s <= kSheets; ++s)
                                        plain.deleteRows(s, 500, 1);
                                }) /
                         2;
    double insertMs = 0, undoMs = 0;
    for (int i = 0; i < 5; ++i) {
        const double ins = bestMs(1, [&] {
            book.undoStack().begin(QStringLiteral("Вставка строки"));
            for (int s = 1; s <= kSheets; ++s)
                book.insertRows(s, 500, 1);
            book.undoStack().end();
        });
        const double und = bestMs(1, [&] { book.undoStack().undo(); });
        insertMs = i == 0 ? ins : std::min(insertMs, ins);
        undoMs = i == 0 ? und : std::min(undoMs, und);
    }
    report("undo_insert_row_10_sheets", insertMs, "ms", 3 * model);
    report("undo_undo_of_insert", undoMs, "ms", 2 * insertMs);

    Workbook small;
    small.undoStack().setEnabled(true);
    for (int i = 0; i < 1000; ++i)
        small.setEntry(1, 100 + i % 50, 3 + i % 7, QString::number(i));
    report("undo_bytes_per_cell_step", double(small.undoStack().bytes()) / 1000, "bytes", 200);
    return 0;
}
