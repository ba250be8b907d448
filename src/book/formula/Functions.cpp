#include "Criteria.h"
#include "Evaluator.h"
#include "format/DateSerial.h"
#include "format/EntryParser.h"
#include "format/NumberFormat.h"
#include "model/CellAddress.h"
#include "model/Workbook.h"

#include <QDate>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Rounds half away from zero, forgiving the binary representation of decimal halves.
double roundHalfAway(double x, int digits) {
    const double p = std::pow(10.0, digits);
    const double scaled = std::fabs(x) * p;
    double fl = std::floor(scaled);
    const double frac = scaled - fl;
    if (frac >= 0.5 - 1e-9 * std::max(1.0, scaled))
        fl += 1;
    return std::copysign(fl / p, x);
}

double roundAway(double x, int digits, bool up) {
    const double p = std::pow(10.0, digits);
    const double scaled = std::fabs(x) * p;
    const double tol = 1e-12 * std::max(1.0, scaled);
    double r = up ? std::ceil(scaled - tol) : std::floor(scaled + tol);
    return std::copysign(r / p, x);
}

} // namespace

EvalValue Evaluator::call(Fn fn, EvalValue* args, int argc) {
    switch (fn) {
    case Fn::Sum:
    case Fn::Average:
    case Fn::Min:
    case Fn::Max:
    case Fn::Count:
    case Fn::CountA:
    case Fn::Product:
        return aggregate(fn, args, argc);
    case Fn::CountIf:
        return countIf(args, argc, false);
    case Fn::SumIf:
        return countIf(args, argc, true);
    case Fn::Index:
    case Fn::Match:
    case Fn::VLookup:
    case Fn::Row:
    case Fn::Column:
    case Fn::Address:
        return lookup(fn, args, argc);
    case Fn::Len:
    case Fn::Left:
    case Fn::Right:
    case Fn::Mid:
    case Fn::Concatenate:
    case Fn::Trim:
    case Fn::Value:
    case Fn::Text:
    case Fn::Upper:
    case Fn::Lower:
        return textFunction(fn, args, argc);
    case Fn::Date:
    case Fn::Year:
    case Fn::Month:
    case Fn::Day:
    case Fn::Today:
        return dateFunction(fn, args, argc);
    case Fn::If: {
        bool c;
        CellError e = CellError::None;
        if (!toBool(args[0], c, e))
            return EvalValue::err(e);
        if (c)
            return args[1].type == EvalValue::Missing ? EvalValue::number(0) : scalar(args[1]);
        if (argc < 3)
            return EvalValue::boolean(false);
        return args[2].type == EvalValue::Missing ? EvalValue::number(0) : scalar(args[2]);
    }
    case Fn::And:
    case Fn::Or: {
        bool acc = fn == Fn::And;
        bool any = false;
        CellError e = CellError::None;
        for (int i = 0; i < argc; ++i) {
            auto take = [&](const EvalValue& v) {
                if (v.type == EvalValue::Error && e == CellError::None)
                    e = v.error;
                if (v.type != EvalValue::Number && v.type != EvalValue::Bool)
                    return;
                any = true;
                acc = fn == Fn::And ? (acc && v.num != 0) : (acc || v.num != 0);
            };
            if (args[i].type == EvalValue::Range) {
                forEachInRange(args[i], take);
            } else {
                bool b;
                if (!toBool(args[i], b, e))
                    return EvalValue::err(e);
                take(EvalValue::boolean(b));
            }
        }
        if (e != CellError::None)
            return EvalValue::err(e);
        return any ? EvalValue::boolean(acc) : EvalValue::err(CellError::Value);
    }
    case Fn::Not: {
        bool b;
        CellError e = CellError::None;
        if (!toBool(args[0], b, e))
            return EvalValue::err(e);
        return EvalValue::boolean(!b);
    }
    case Fn::IsBlank:
        return EvalValue::boolean(scalar(args[0]).type == EvalValue::Empty &&
                                  args[0].type == EvalValue::Range);
    case Fn::IsNumber:
        return EvalValue::boolean(scalar(args[0]).type == EvalValue::Number);
    case Fn::IsText:
        return EvalValue::boolean(scalar(args[0]).type == EvalValue::Text);
    case Fn::IsError:
        return EvalValue::boolean(scalar(args[0]).type == EvalValue::Error);
    case Fn::IfError: {
        const EvalValue v = scalar(args[0]);
        return v.type == EvalValue::Error ? scalar(args[1]) : v;
    }
    case Fn::True:
        return EvalValue::boolean(true);
    case Fn::False:
        return EvalValue::boolean(false);
    case Fn::NA:
        return EvalValue::err(CellError::NA);
    case Fn::Pi:
        return EvalValue::number(M_PI);
    default:
        return mathFunction(fn, args, argc);
    }
}

EvalValue Evaluator::aggregate(Fn fn, EvalValue* args, int argc) {
    double sum = 0;
    double product = 1;
    double best = fn == Fn::Min ? std::numeric_limits<double>::infinity()
                                : -std::numeric_limits<double>::infinity();
    long count = 0;
    long counta = 0;
    CellError e = CellError::None;
    auto addNumber = [&](double x) {
        sum += x;
        product *= x;
        if (fn == Fn::Min ? x < best : x > best)
            best = x;
        ++count;
    };
    for (int i = 0; i < argc; ++i) {
        const EvalValue& a = args[i];
        if (a.type == EvalValue::Range) {
            if (fn == Fn::Sum && a.sheet != m_overrideSheet) {
                // The common case, kept tight: numbers and numeric results of one sheet.
                const CellStore& store = a.sheet->cells();
                const int last = std::min(a.r2, store.allocatedRows());
                for (int r = a.r1; r <= last; ++r) {
                    const CellRow* row = store.rowAt(r);
                    if (!row)
                        continue;
                    const int c1 = std::max(a.c1, row->first);
                    const int c2 = std::min(a.c2, row->first + int(row->cells.size()) - 1);
                    for (int c = c1; c <= c2; ++c) {
                        const Cell& cell = row->cells[size_t(c - row->first)];
                        if (cell.kind == CellKind::Number) {
                            sum += cell.number;
                        } else if (cell.kind == CellKind::Formula) {
                            const CellValue& v = cell.formula->value;
                            if (v.type == CellValue::Number)
                                sum += v.number;
                            else if (v.type == CellValue::Error && e == CellError::None)
                                e = v.error;
                        }
                    }
                }
                continue;
            }
            forEachInRange(a, [&](const EvalValue& v) {
                if (v.type == EvalValue::Error) {
                    if (e == CellError::None)
                        e = v.error;
                    return;
                }
                if (v.type != EvalValue::Empty)
                    ++counta;
                if (v.type == EvalValue::Number)
                    addNumber(v.num);
            });
            continue;
        }
        if (a.type == EvalValue::Missing)
            continue;
        if (fn == Fn::CountA) {
            ++counta;
            continue;
        }
        if (fn == Fn::Count) {
            double x;
            CellError ignore;
            if (a.type == EvalValue::Number || a.type == EvalValue::Bool ||
                (a.type == EvalValue::Text && toNumber(a, x, ignore)))
                ++count;
            continue;
        }
        double x;
        if (!toNumber(a, x, e))
            return EvalValue::err(e);
        addNumber(x);
    }
    if (fn == Fn::Count)
        return EvalValue::number(double(count));
    if (fn == Fn::CountA)
        return EvalValue::number(double(counta));
    if (e != CellError::None)
        return EvalValue::err(e);
    switch (fn) {
    case Fn::Sum:
        return EvalValue::number(sum);
    case Fn::Product:
        return EvalValue::number(count ? product : 0);
    case Fn::Average:
        return count ? EvalValue::number(sum / double(count)) : EvalValue::err(CellError::Div0);
    default:
        return EvalValue::number(count ? best : 0);
    }
}

EvalValue Evaluator::countIf(EvalValue* args, int argc, bool sum) {
    if (args[0].type != EvalValue::Range)
        return EvalValue::err(CellError::Value);
    const EvalValue crit = scalar(args[1]);
    if (crit.type == EvalValue::Error)
        return crit;
    const Criteria criteria(crit.type == EvalValue::Text ? textOf(crit) : toText(crit), crit.num,
                            crit.type == EvalValue::Number);
    const EvalValue& range = args[0];
    const EvalValue* sumRange =
        (sum && argc > 2 && args[2].type == EvalValue::Range) ? &args[2] : &range;
    if (sum && argc > 2 && args[2].type != EvalValue::Range)
        return EvalValue::err(CellError::Value);
    double total = 0;
    long count = 0;
    for (int r = range.r1; r <= range.r2; ++r) {
        for (int c = range.c1; c <= range.c2; ++c) {
            const EvalValue v = cellValue(range.sheet, r, c);
            bool match = false;
            if (v.type == EvalValue::Number)
                match = criteria.matchesNumber(v.num);
            else if (v.type == EvalValue::Text)
                match = criteria.matchesText(textOf(v));
            else if (v.type == EvalValue::Empty)
                match = criteria.matchesEmpty();
            if (!match)
                continue;
            ++count;
            if (sum) {
                const int sr = sumRange->r1 + (r - range.r1);
                const int sc = sumRange->c1 + (c - range.c1);
                if (sr <= kMaxRows && sc <= kMaxCols) {
                    const EvalValue s = cellValue(sumRange->sheet, sr, sc);
                    if (s.type == EvalValue::Number)
                        total += s.num;
                }
            }
        }
        // Whole empty rows past the stored cells match or miss all at once.
        if (r > range.sheet->cells().allocatedRows() && !criteria.matchesEmpty())
            break;
    }
    return EvalValue::number(sum ? total : double(count));
}

EvalValue Evaluator::mathFunction(Fn fn, EvalValue* args, int argc) {
    double x = 0, y = 0;
    CellError e = CellError::None;
    if (!toNumber(args[0], x, e))
        return EvalValue::err(e);
    if (argc > 1 && !toNumber(args[1], y, e))
        return EvalValue::err(e);
    const int digits = std::clamp(wholeArg(y), -300, 300);
    double r = 0;
    switch (fn) {
    case Fn::Abs:
        r = std::fabs(x);
        break;
    case Fn::Round:
        r = roundHalfAway(x, digits);
        break;
    case Fn::RoundUp:
        r = roundAway(x, digits, true);
        break;
    case Fn::RoundDown:
        r = roundAway(x, digits, false);
        break;
    case Fn::Trunc:
        r = roundAway(x, argc > 1 ? digits : 0, false);
        break;
    case Fn::Int:
        r = std::floor(x);
        break;
    case Fn::Mod:
        if (y == 0)
            return EvalValue::err(CellError::Div0);
        r = x - y * std::floor(x / y);
        break;
    case Fn::Sqrt:
        if (x < 0)
            return EvalValue::err(CellError::Num);
        r = std::sqrt(x);
        break;
    case Fn::Power:
        if (x == 0 && y < 0)
            return EvalValue::err(CellError::Div0);
        r = std::pow(x, y);
        break;
    default:
        return EvalValue::err(CellError::Value);
    }
    if (!std::isfinite(r))
        return EvalValue::err(CellError::Num);
    return EvalValue::number(r);
}
