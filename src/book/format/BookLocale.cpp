#include "BookLocale.h"

#include <QCollator>

#include <memory>

namespace {
QChar g_decimal = '.';
QChar g_thousands = ',';
QChar g_date = '.';

QCollator& collator() {
    static std::unique_ptr<QCollator> c;
    if (!c) {
        c = std::make_unique<QCollator>(QLocale());
        c->setCaseSensitivity(Qt::CaseInsensitive);
    }
    return *c;
}
} // namespace

namespace BookLocale {

QChar decimalSeparator() {
    return g_decimal;
}
void setDecimalSeparator(QChar c) {
    g_decimal = c;
}
QChar thousandsSeparator() {
    return g_thousands;
}
void setThousandsSeparator(QChar c) {
    g_thousands = c;
}
QChar dateSeparator() {
    return g_date;
}
void setDateSeparator(QChar c) {
    g_date = c;
}

void adopt(const QLocale& locale) {
    const QString decimal = locale.decimalPoint();
    const QString group = locale.groupSeparator();
    g_decimal = decimal.size() == 1 ? decimal[0] : QChar('.');
    g_thousands = group.size() == 1 && group[0] != g_decimal ? group[0] : QChar(' ');
    // The narrow no-break space of some locales has no place in Windows-1251.
    if (g_thousands == QChar(0x202F))
        g_thousands = QChar(0xA0);
    setCollationLocale(locale);
}

int compareText(const QString& a, const QString& b) {
    const int c = collator().compare(a, b);
    // Only texts equal but for case compare equal.
    return c != 0 ? c : a.compare(b, Qt::CaseInsensitive);
}

void setCollationLocale(const QLocale& locale) {
    collator().setLocale(locale);
}

} // namespace BookLocale
