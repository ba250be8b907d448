#pragma once

#include <QString>

#include <cstdint>

enum class Fn : uint32_t {
    Sum,
    Average,
    Min,
    Max,
    Count,
    CountA,
    CountIf,
    SumIf,
    Abs,
    Round,
    RoundUp,
    RoundDown,
    Int,
    Trunc,
    Mod,
    Sqrt,
    Power,
    If,
    And,
    Or,
    Not,
    IsBlank,
    IsNumber,
    IsError,
    IfError,
    Len,
    Left,
    Right,
    Mid,
    Concatenate,
    Trim,
    Value,
    Text,
    Row,
    Column,
    Address,
    Index,
    Match,
    VLookup,
    Date,
    Year,
    Month,
    Day,
    Today,
    IsText,
    Upper,
    Lower,
    Product,
    True,
    False,
    NA,
    Pi,
    Count_ // number of functions
};

struct FunctionInfo {
    const char* name;
    int minArgs;
    int maxArgs; // -1 = any number
};

const FunctionInfo& functionInfo(Fn fn);
// Case-insensitive; false when there is no such function.
bool findFunction(const QString& name, Fn& fn);
