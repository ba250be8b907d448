#include "CellValues.h"

#include "format/BookLocale.h"
#include "model/Sheet.h"

#include <QLocale>

#include <cmath>

namespace CellValues {

bool toNumber(const QString& text, double& value) {
    QString t = text.trimmed();
    if (t.isEmpty())
        return false;
    const QChar dec = BookLocale::decimalSeparator();
    if (dec != QLatin1Char('.'))
        t.replace(dec, QLatin1Char('.'));
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    value = QLocale::c().toDouble(t, &ok);
    // "inf" and "nan" read as numbers here, yet no cell can show them: they are texts.
    return ok && std::isfinite(value);
}

QString storeText(const Sheet& sheet, int row, int col) {
    const int type = sheet.type(row, col);
    QString text;
    if (type == 1 || type == -1) {
        const QString general = sheet.text(row, col);
        double probe = 0;
        // An error value of a formula keeps its name.
        if (toNumber(general, probe) || type == 1) {
            // One form in the funds whatever the user's locale shows.
            text = QString::number(sheet.number(row, col), 'g', QLocale::FloatingPointShortest);
        } else {
            text = general;
        }
    } else {
        text = sheet.text(row, col);
    }
    return text.trimmed().left(kMaxValueLength);
}

} // namespace CellValues
