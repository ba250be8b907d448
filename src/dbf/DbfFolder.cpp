#include "DbfFolder.h"

#include "DbfTable.h"

double DbfFolder::MaxOfField(const QString& path, const QString& field) {
    DbfTable t = DbfTable::open(path);
    const int f = t.fieldByName(field);
    bool any = false;
    double best = 0;
    for (t.first(); !t.eof(); t.next()) {
        const double v = t.number(f);
        if (!any || v > best)
            best = v;
        any = true;
    }
    return best;
}

void DbfFolder::DeleteAll(const QString& path) {
    DbfTable t = DbfTable::open(path);
    t.deleteAll();
    t.save();
}
