#pragma once

#include <QString>

#include <cstdint>
#include <vector>

// Compiled formulas are postfix code. References keep each coordinate either absolute or
// as an offset from the host cell, so one compiled form serves every copy of a formula.
enum class Op : uint8_t {
    Number,
    String,
    Bool,
    Error,
    Ref,      // one cell
    Area,     // a rectangle
    RefError, // a reference lost to a deletion: "#REF!"
    Missing,  // an omitted argument
    Neg,
    Plus,
    Percent,
    Add,
    Sub,
    Mul,
    Div,
    Pow,
    Concat,
    Eq,
    Ne,
    Lt,
    Le,
    Gt,
    Ge,
    Paren,      // keeps the written parentheses for printing; no effect on evaluation
    Call,       // function `func` with `argc` arguments
    CallUnknown // a name that is no function: "#NAME?"; `str` holds the name
};

enum RefFlags : uint8_t {
    RowAbs1 = 1,
    ColAbs1 = 2,
    RowAbs2 = 4,
    ColAbs2 = 8,
    OtherSheet = 16 // `sheet` names the sheet; otherwise the host's sheet
};

struct Instr {
    Op op = Op::Number;
    uint8_t flags = 0;
    uint16_t argc = 0;
    uint32_t func = 0; // function id, string index, error code, or bool
    uint32_t sheet = 0;
    int32_t row1 = 0;
    int32_t col1 = 0;
    int32_t row2 = 0;
    int32_t col2 = 0;
    double number = 0;
};

struct FormulaCode {
    std::vector<Instr> code;
    std::vector<QString> strings;
    bool isVolatile = false; // TODAY()
    int maxStack = 0;
};

// Absolute coordinates of a reference seen from a host cell.
inline int refRow(const Instr& in, int hostRow, bool second) {
    const int v = second ? in.row2 : in.row1;
    return (in.flags & (second ? RowAbs2 : RowAbs1)) ? v : hostRow + v;
}
inline int refCol(const Instr& in, int hostCol, bool second) {
    const int v = second ? in.col2 : in.col1;
    return (in.flags & (second ? ColAbs2 : ColAbs1)) ? v : hostCol + v;
}
// Stores an absolute coordinate back in the instruction's own form (absolute or offset).
inline void setRefRow(Instr& in, int hostRow, bool second, int absRow) {
    int& v = second ? in.row2 : in.row1;
    v = (in.flags & (second ? RowAbs2 : RowAbs1)) ? absRow : absRow - hostRow;
}
inline void setRefCol(Instr& in, int hostCol, bool second, int absCol) {
    int& v = second ? in.col2 : in.col1;
    v = (in.flags & (second ? ColAbs2 : ColAbs1)) ? absCol : absCol - hostCol;
}
