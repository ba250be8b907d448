#include "DbfPreview.h"

#include "DbfError.h"
#include "DbfTable.h"
#include "format/DateSerial.h"
#include "model/CellAddress.h"
#include "model/Workbook.h"

#include <QDate>

namespace DbfPreview {

bool read(const QString& path, Workbook& preview, QString* error) {
    Workbook fresh;
    try {
        DbfTable t = DbfTable::open(path);
        QList<int> fields;
        for (int i = 0; i < t.fieldCount(); ++i)
            if (QByteArrayView("CMLNFID").contains(t.field(i).type))
                fields.append(i);
        if (fields.size() > kMaxCols || t.recordCount() > kMaxRows) {
            *error = QStringLiteral("Файл \"%1\" больше, чем вмещает таблица").arg(path);
            return false;
        }
        Sheet& s = fresh.sheet(1);
        for (int j = 0; j < fields.size(); ++j)
            s.setColHeading(j + 1, t.field(fields[j]).name);
        fresh.beginUpdate();
        int row = 0;
        for (bool more = t.first(); more && !t.eof(); more = t.next()) {
            ++row;
            for (int j = 0; j < fields.size(); ++j) {
                const DbfField& f = t.field(fields[j]);
                const QString text = t.text(fields[j]).trimmed();
                if (text.isEmpty())
                    continue;
                switch (f.type) {
                case 'L':
                    fresh.setText(1, row, j + 1,
                                  QStringLiteral("TtYy").contains(text[0]) ? QStringLiteral("T")
                                                                           : QStringLiteral("F"));
                    break;
                case 'D': {
                    const QDate d = t.value(fields[j]).toDate();
                    if (d.isValid()) {
                        fresh.setNumber(1, row, j + 1, DateSerial::fromDate(d));
                        fresh.setNumberFormat(1, CellRange::cell(row, j + 1),
                                              QStringLiteral("dd.mm.yyyy"));
                    }
                    break;
                }
                case 'N':
                case 'F':
                case 'I':
                    fresh.setNumber(1, row, j + 1, t.number(fields[j]));
                    break;
                default:
                    fresh.setText(1, row, j + 1, t.text(fields[j]));
                }
            }
        }
        fresh.endUpdate();
    } catch (const DbfError& e) {
        *error = e.message();
        return false;
    }
    preview.swapContents(fresh);
    return true;
}

} // namespace DbfPreview
