#pragma once

#include <QChar>
#include <QString>

// Separators the component reads and writes numbers and dates with. The program sets them
// once at start-up; tests set them explicitly.
namespace BookLocale {

QChar decimalSeparator();
void setDecimalSeparator(QChar c);
QChar thousandsSeparator();
void setThousandsSeparator(QChar c);
// The separator of the entry text of a date cell (d.m.yyyy).
QChar dateSeparator();
void setDateSeparator(QChar c);

} // namespace BookLocale
