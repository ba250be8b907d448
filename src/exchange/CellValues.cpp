#include "CellValues.h"

#include "format/BookLocale.h"
#include "model/Sheet.h"

#include <QLocale>

#include <charconv>
#include <cmath>

namespace CellValues {

namespace {

// The plain form "-123.45" (either decimal point) read without a copy; anything else
// is left to the locale. Both round correctly, so they agree where both apply.
bool plainNumber(const QString& text, QChar dec, double& value) {
    const qsizetype n = text.size();
    if (n == 0 || n > 40)
        return false;
    char buf[48];
    bool point = false;
    qsizetype digits = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = text[i].unicode();
        if (c >= u'0' && c <= u'9') {
            // A leading zero before another digit: let the locale decide.
            if (c == u'0' && digits == 0 && !point && i + 1 < n && text[i + 1].isDigit())
                return false;
            buf[i] = char(c);
            ++digits;
        } else if (c == u'-' && i == 0) {
            buf[i] = '-';
        } else if ((c == u'.' || c == u',' || c == dec.unicode()) && !point && digits > 0 &&
                   i + 1 < n) {
            buf[i] = '.';
            point = true;
        } else {
            return false;
        }
    }
    if (digits == 0)
        return false;
    const auto result = std::from_chars(buf, buf + n, value);
    return result.ec == std::errc() && result.ptr == buf + n && std::isfinite(value);
}

} // namespace

bool toNumber(const QString& text, double& value) {
    const QChar dec = BookLocale::decimalSeparator();
    if (plainNumber(text, dec, value))
        return true;
    QString t = text.trimmed();
    if (t.isEmpty())
        return false;
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
    if (type == 1) {
        text = QString::number(sheet.number(row, col), 'g', QLocale::FloatingPointShortest);
    } else if (type == -1) {
        const QString general = sheet.text(row, col);
        double probe = 0;
        // An error value of a formula keeps its name.
        if (toNumber(general, probe)) {
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
