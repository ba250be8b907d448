#pragma once

#include "model/CellValue.h"

#include <cmath>
#include <cstdint>

class Sheet;

// A value on the evaluator's stack. Plain data, so the stack never allocates per value:
// texts live in the evaluator's string pool and are referred to by index.
struct EvalValue {
    enum Type : uint8_t { Empty, Number, Text, Bool, Error, Range, Missing };
    Type type = Empty;
    CellError error = CellError::None;
    uint32_t str = 0;
    double num = 0;
    const Sheet* sheet = nullptr;
    int32_t r1 = 0, c1 = 0, r2 = 0, c2 = 0;

    static EvalValue number(double x) {
        EvalValue v;
        v.type = Number;
        v.num = x;
        return v;
    }
    static EvalValue boolean(bool b) {
        EvalValue v;
        v.type = Bool;
        v.num = b ? 1 : 0;
        return v;
    }
    static EvalValue err(CellError e) {
        EvalValue v;
        v.type = Error;
        v.error = e;
        return v;
    }
    static EvalValue range(const Sheet* s, int r1, int c1, int r2, int c2) {
        EvalValue v;
        v.type = Range;
        v.sheet = s;
        v.r1 = r1;
        v.c1 = c1;
        v.r2 = r2;
        v.c2 = c2;
        return v;
    }
};

// A number argument taken as a whole number; anything beyond ±2^30 (or not a number) is
// clamped, since converting such a double to int is undefined.
inline int wholeArg(double x) {
    if (!(x == x))
        return 0;
    if (x > 1073741824.0)
        return 1073741824;
    if (x < -1073741824.0)
        return -1073741824;
    return int(std::trunc(x));
}
