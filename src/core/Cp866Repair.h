#pragma once

#include <QChar>
#include <QString>

// Text typed in a DOS program arrives in a workbook as if it were Windows-1251.
// Cp866Repair gives the Windows-1251 byte of the character that was meant, or
// 0x40 ('@') when the character is not one it covers (the caller keeps it then).
unsigned char Cp866Repair(QChar c);
// The same for a character given as its Windows-1251 byte.
unsigned char Cp866RepairByte(unsigned char win1251Byte);
// Repairs a whole text, keeping characters that are not covered.
QString Cp866RepairText(const QString& text);
