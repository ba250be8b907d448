#pragma once

#include <QDate>

// Dates as serial day numbers of the 1900 system: 1 = 1 January 1900, and day 60 is the
// 29 February 1900 that never was, kept so that serials agree with other spreadsheets.
namespace DateSerial {

double fromDate(const QDate& date);
// Invalid for serials before 1 or beyond 9999; day 60 gives 28 February 1900.
QDate toDate(double serial);
// Hours, minutes, seconds of the fractional part.
void timeOfDay(double serial, int& h, int& m, int& s);

} // namespace DateSerial
