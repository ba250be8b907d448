#include "DateSerial.h"

#include <cmath>

namespace DateSerial {

double fromDate(const QDate& date) {
    if (!date.isValid())
        return 0;
    qint64 days = QDate(1899, 12, 30).daysTo(date);
    if (date < QDate(1900, 3, 1))
        days -= 1;
    return double(days);
}

QDate toDate(double serial) {
    if (!std::isfinite(serial) || serial < 1 || serial >= 2958466)
        return {};
    const qint64 n = qint64(std::floor(serial));
    if (n == 60)
        return QDate(1900, 2, 28);
    if (n < 60)
        return QDate(1899, 12, 31).addDays(n);
    return QDate(1899, 12, 30).addDays(n);
}

void timeOfDay(double serial, int& h, int& m, int& s) {
    double frac = serial - std::floor(serial);
    long secs = std::lround(frac * 86400.0);
    if (secs >= 86400)
        secs = 86399;
    h = int(secs / 3600);
    m = int(secs / 60 % 60);
    s = int(secs % 60);
}

} // namespace DateSerial
