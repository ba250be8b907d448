#pragma once

#include <QString>

class Sheet;

namespace CellValues {

// A fund text as a number: either "," or "." as the decimal point, blanks around
// allowed. False when the text is not a finite number ("inf" and "nan" are texts).
bool toNumber(const QString& text, double& value);

// The text a cell is stored as: numbers at full precision with "." as the decimal
// separator whatever the display uses (never the display format's rounding), texts
// trimmed; at most 250 characters.
QString storeText(const Sheet& sheet, int row, int col);

constexpr int kMaxValueLength = 250;

} // namespace CellValues
