#pragma once

#include <QString>

#include <cstdint>

enum class CellError : uint8_t { None, Div0, Value, Ref, Name, NA, Num };

// "#DIV/0!" … ; an empty text for CellError::None.
QString errorText(CellError error);
// The error named by a text such as "#N/A" (case-insensitive), CellError::None otherwise.
CellError errorFromText(QStringView text);

// The value of a cell as the program reads it: a formula cell gives its result.
struct CellValue {
    enum Type : uint8_t { Empty, Number, Text, Boolean, Error };
    Type type = Empty;
    CellError error = CellError::None;
    double number = 0;
    QString text;

    static CellValue fromNumber(double x) { return {Number, CellError::None, x, {}}; }
    static CellValue fromText(const QString& s) { return {Text, CellError::None, 0, s}; }
    static CellValue fromBool(bool b) { return {Boolean, CellError::None, b ? 1.0 : 0.0, {}}; }
    static CellValue fromError(CellError e) { return {Error, e, 0, {}}; }
    bool isEmpty() const { return type == Empty; }
    bool isError() const { return type == Error; }
    bool operator==(const CellValue&) const = default;
};
