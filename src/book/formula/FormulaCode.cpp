#include "FormulaCode.h"

#include "Functions.h"

#include <QHash>

namespace {

const FunctionInfo kFunctions[] = {
    {"SUM", 1, -1},    {"AVERAGE", 1, -1},     {"MIN", 1, -1},     {"MAX", 1, -1},
    {"COUNT", 1, -1},  {"COUNTA", 1, -1},      {"COUNTIF", 2, 2},  {"SUMIF", 2, 3},
    {"ABS", 1, 1},     {"ROUND", 2, 2},        {"ROUNDUP", 2, 2},  {"ROUNDDOWN", 2, 2},
    {"INT", 1, 1},     {"TRUNC", 1, 2},        {"MOD", 2, 2},      {"SQRT", 1, 1},
    {"POWER", 2, 2},   {"IF", 2, 3},           {"AND", 1, -1},     {"OR", 1, -1},
    {"NOT", 1, 1},     {"ISBLANK", 1, 1},      {"ISNUMBER", 1, 1}, {"ISERROR", 1, 1},
    {"IFERROR", 2, 2}, {"LEN", 1, 1},          {"LEFT", 1, 2},     {"RIGHT", 1, 2},
    {"MID", 3, 3},     {"CONCATENATE", 1, -1}, {"TRIM", 1, 1},     {"VALUE", 1, 1},
    {"TEXT", 2, 2},    {"ROW", 0, 1},          {"COLUMN", 0, 1},   {"ADDRESS", 2, 5},
    {"INDEX", 2, 3},   {"MATCH", 2, 3},        {"VLOOKUP", 3, 4},  {"DATE", 3, 3},
    {"YEAR", 1, 1},    {"MONTH", 1, 1},        {"DAY", 1, 1},      {"TODAY", 0, 0},
    {"ISTEXT", 1, 1},  {"UPPER", 1, 1},        {"LOWER", 1, 1},    {"PRODUCT", 1, -1},
    {"TRUE", 0, 0},    {"FALSE", 0, 0},        {"NA", 0, 0},       {"PI", 0, 0},
};
static_assert(sizeof(kFunctions) / sizeof(kFunctions[0]) == size_t(Fn::Count_));

} // namespace

const FunctionInfo& functionInfo(Fn fn) {
    return kFunctions[size_t(fn)];
}

bool findFunction(const QString& name, Fn& fn) {
    static const QHash<QString, Fn> index = [] {
        QHash<QString, Fn> h;
        for (size_t i = 0; i < size_t(Fn::Count_); ++i)
            h.insert(QString::fromLatin1(kFunctions[i].name), Fn(i));
        return h;
    }();
    auto it = index.constFind(name.toUpper());
    if (it == index.constEnd())
        return false;
    fn = it.value();
    return true;
}
