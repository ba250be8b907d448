#pragma once

#include <QString>
#include <QStringView>

// What a typed entry means: "=…" a formula, a number (decimal point "." or ","), a percent,
// a date "d.m.yyyy", "d/m/yyyy" or a month "m/yyyy", otherwise text.
struct ParsedEntry {
    enum Kind { Empty, Number, Text, Formula };
    Kind kind = Empty;
    double number = 0;
    QString text;         // the text, or the formula without its "="
    QString numberFormat; // a format the cell should take ("dd.mm.yyyy", "0%"), or empty
    bool isDate = false;
};

namespace EntryParser {

ParsedEntry parse(const QString& entry);
// A plain number with either decimal separator, optional sign and exponent.
bool parseNumber(QStringView text, double& value);
// A date as typed; the serial number on success.
bool parseDate(QStringView text, double& serial);
// The entry text of a date: day, separator, month, separator, four-digit year.
QString dateEntry(double serial);

} // namespace EntryParser
