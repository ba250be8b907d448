#pragma once

#include <QChar>
#include <QLocale>
#include <QString>

// Separators the component shows numbers and dates with, and the order it sorts texts in.
// The program takes them from the user's locale once at start-up; tests set them
// explicitly. What is written to files or handed on for storing keeps "." whatever is set.
namespace BookLocale {

QChar decimalSeparator();
void setDecimalSeparator(QChar c);
QChar thousandsSeparator();
void setThousandsSeparator(QChar c);
// The separator of the entry text of a date cell (d.m.yyyy).
QChar dateSeparator();
void setDateSeparator(QChar c);

// Decimal and thousands separators and the text collation of `locale`.
void adopt(const QLocale& locale);
// Texts compared as the collation locale orders them, letter case ignored.
int compareText(const QString& a, const QString& b);
void setCollationLocale(const QLocale& locale);

} // namespace BookLocale
