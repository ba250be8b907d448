#include "EntryParser.h"

#include "BookLocale.h"
#include "DateSerial.h"

#include <QDate>

#include <cmath>

namespace EntryParser {

bool parseNumber(QStringView text, double& value) {
    text = text.trimmed();
    if (text.isEmpty() || text.size() > 64)
        return false;
    QByteArray ascii;
    ascii.reserve(text.size());
    bool seenPoint = false;
    bool seenDigit = false;
    bool seenExp = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isDigit() && c.unicode() < 128) {
            seenDigit = true;
            ascii += char(c.unicode());
        } else if ((c == '.' || c == ',') && !seenPoint && !seenExp) {
            seenPoint = true;
            ascii += '.';
        } else if ((c == '+' || c == '-') && (i == 0 || (seenExp && (ascii.endsWith('e'))))) {
            ascii += char(c.unicode());
        } else if ((c == 'e' || c == 'E') && seenDigit && !seenExp) {
            seenExp = true;
            ascii += 'e';
        } else {
            return false;
        }
    }
    if (!seenDigit || ascii.endsWith('e') || ascii.endsWith('+') || ascii.endsWith('-'))
        return false;
    bool ok = false;
    const double v = ascii.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return false;
    value = v;
    return true;
}

static bool readInt(QStringView s, int& v, int maxDigits) {
    if (s.isEmpty() || s.size() > maxDigits)
        return false;
    int r = 0;
    for (QChar c : s) {
        if (!c.isDigit() || c.unicode() >= 128)
            return false;
        r = r * 10 + (c.unicode() - '0');
    }
    v = r;
    return true;
}

bool parseDate(QStringView text, double& serial) {
    text = text.trimmed();
    QChar sep;
    for (QChar c : text)
        if (c == '.' || c == '/') {
            sep = c;
            break;
        }
    if (sep.isNull())
        return false;
    const auto parts = text.split(sep);
    int d = 1, m = 0, y = 0;
    if (parts.size() == 3) {
        if (!readInt(parts[0], d, 2) || !readInt(parts[1], m, 2))
            return false;
        if (parts[2].size() == 2) {
            if (!readInt(parts[2], y, 2))
                return false;
            y += y < 30 ? 2000 : 1900;
        } else if (parts[2].size() != 4 || !readInt(parts[2], y, 4)) {
            return false;
        }
    } else if (parts.size() == 2 && sep == '/') {
        // "3/2004": a month; the day defaults to the first.
        if (!readInt(parts[0], m, 2) || parts[1].size() != 4 || !readInt(parts[1], y, 4))
            return false;
    } else {
        return false;
    }
    const QDate date(y, m, d);
    if (!date.isValid() || y < 1900)
        return false;
    serial = DateSerial::fromDate(date);
    return true;
}

QString dateEntry(double serial) {
    const QDate d = DateSerial::toDate(serial);
    if (!d.isValid())
        return QString::number(serial);
    const QChar sep = BookLocale::dateSeparator();
    return QString::number(d.day()) + sep + QString::number(d.month()) + sep +
           QString::number(d.year()).rightJustified(4, '0');
}

ParsedEntry parse(const QString& entry) {
    ParsedEntry r;
    if (entry.isEmpty())
        return r;
    if (entry.startsWith('=') && entry.size() > 1) {
        r.kind = ParsedEntry::Formula;
        r.text = entry.mid(1);
        return r;
    }
    double v;
    if (parseNumber(entry, v)) {
        r.kind = ParsedEntry::Number;
        r.number = v;
        return r;
    }
    const QStringView trimmed = QStringView(entry).trimmed();
    if (trimmed.endsWith('%') && parseNumber(trimmed.chopped(1), v)) {
        r.kind = ParsedEntry::Number;
        r.number = v / 100;
        r.numberFormat = trimmed.contains('.') || trimmed.contains(',') ? QStringLiteral("0.00%")
                                                                        : QStringLiteral("0%");
        return r;
    }
    if (parseDate(entry, v)) {
        r.kind = ParsedEntry::Number;
        r.number = v;
        r.isDate = true;
        r.numberFormat = QStringLiteral("dd.mm.yyyy");
        return r;
    }
    r.kind = ParsedEntry::Text;
    r.text = entry;
    return r;
}

} // namespace EntryParser
