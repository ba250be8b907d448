#include "BookLocale.h"

namespace {
QChar g_decimal = '.';
QChar g_thousands = ',';
QChar g_date = '.';
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

} // namespace BookLocale
