// Opening and saving a table of 10 instance sheets x 300 body rows x 30 columns through
// the editor, against the native format's own load and save of the same workbook.
#include "BenchSupport.h"
#include "DbTestHelpers.h"
#include "InitialWorkbook.h"
#include "Prompter.h"
#include "TableDocument.h"
#include "TableRef.h"
#include "TdmMSSQL.h"
#include "TestDatabases.h"
#include "io/NativeFormat.h"
#include "model/Workbook.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

double timed(const std::function<void()>& work) {
    QElapsedTimer t;
    t.start();
    work();
    return t.nsecsElapsed() / 1e6;
}

void fill(Workbook& book) {
    InitialWorkbook::build(book);
    for (int i = 0; i < 9; ++i)
        book.insertSheet(1);
    book.beginUpdate();
    for (int s = 1; s <= 10; ++s)
        for (int r = 101; r <= 400; ++r) {
            book.setText(s, r, 2, QStringLiteral("Строка %1").arg(r));
            for (int c = 3; c <= 32; ++c)
                book.setNumber(s, r, c, r * 0.5 + c + s);
        }
    for (int r = 101; r <= 400; ++r)
        book.setNumber(11, r, 4, r);
    for (int c = 3; c <= 32; ++c)
        book.setNumber(12, 102, c, c);
    book.endUpdate();
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    TestDatabases dbs;
    TdmMSSQL dm(AppPrompter());
    dm.SetConnectionParams(dm.dbMain, dbs.factPath(), TestDatabases::password(),
                           TestDatabases::user());
    dm.SetConnectionParams(dm.dbTab, dbs.tabPath(), TestDatabases::password(),
                           TestDatabases::user());
    dm.dbMain.open();
    dm.dbTab.open();
    const int table = dbtest::call(dm.dbTab, "INSERT_CAT",
                                   {{"NPP", 1},
                                    {"KODFOLDER", 1},
                                    {"NAMEFOLDER", QStringLiteral("Т")},
                                    {"KODALT", QString()},
                                    {"KODSPIS", 0}})
                          .output(QStringLiteral("KOD_ELMT"))
                          .toInt();
    const TableRef ref = *TableRef::read(dm, table);

    Workbook book;
    fill(book);
    TableDocument doc(dm, book, AppPrompter());
    doc.setTable(ref);
    QByteArray bytes;
    // Raw and editor runs alternate, so a busy machine weighs on both alike. Opening is
    // timed after the saves: right after a write the server collects the old blob
    // versions, which is its work, not the editor's.
    double rawSave = 1e300, save = 1e300, rawLoad = 1e300, open = 1e300;
    for (int i = 0; i < 15; ++i) {
        rawSave = std::min(rawSave, timed([&] { bytes = NativeFormat::save(book); }));
        save = std::min(save, timed([&] { doc.save(); }));
    }
    for (int i = 0; i < 15; ++i) {
        rawLoad = std::min(rawLoad, timed([&] {
                               Workbook w;
                               NativeFormat::load(w, bytes);
                           }));
        open = std::min(open, timed([&] {
                            Workbook w;
                            TableDocument d(dm, w, AppPrompter());
                            d.open(ref);
                        }));
    }
    report("table_save", save, "ms", rawSave * 1.5);
    report("table_open", open, "ms", rawLoad * 1.5);
    return 0;
}
