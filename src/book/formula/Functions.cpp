#include "Criteria.h"
#include "Evaluator.h"
#include "format/DateSerial.h"
#include "format/EntryParser.h"
#include "format/NumberFormat.h"
#include "model/CellAddress.h"
#include "model/Workbook.h"

#include <QDate>

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

bool isNumeric(const EvalValue& v) {
    return v.type == EvalValue::Number;
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
    const int digits = int(std::trunc(y));
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

EvalValue Evaluator::textFunction(Fn fn, EvalValue* args, int argc) {
    if (fn == Fn::Concatenate) {
        QString out;
        for (int i = 0; i < argc; ++i) {
            const EvalValue v = scalar(args[i]);
            if (v.type == EvalValue::Error)
                return v;
            out += toText(v);
        }
        return text(out);
    }
    const EvalValue v = scalar(args[0]);
    if (v.type == EvalValue::Error)
        return v;
    const QString s = toText(v);
    CellError e = CellError::None;
    auto intArg = [&](int i, int def, int& out) {
        if (i >= argc || args[i].type == EvalValue::Missing) {
            out = def;
            return true;
        }
        double d;
        if (!toNumber(args[i], d, e))
            return false;
        if (d < 0 || d > 1e9) {
            e = CellError::Value;
            return false;
        }
        out = int(d);
        return true;
    };
    switch (fn) {
    case Fn::Len:
        return EvalValue::number(double(s.size()));
    case Fn::Left:
    case Fn::Right: {
        int n;
        if (!intArg(1, 1, n))
            return EvalValue::err(e);
        return text(fn == Fn::Left ? s.left(n) : s.right(n));
    }
    case Fn::Mid: {
        int start, n;
        if (!intArg(1, 1, start) || !intArg(2, 0, n))
            return EvalValue::err(e);
        if (start < 1)
            return EvalValue::err(CellError::Value);
        return text(s.mid(start - 1, n));
    }
    case Fn::Trim:
        return text(s.simplified());
    case Fn::Upper:
        return text(s.toUpper());
    case Fn::Lower:
        return text(s.toLower());
    case Fn::Value: {
        if (v.type == EvalValue::Number)
            return v;
        const ParsedEntry p = EntryParser::parse(s.trimmed());
        if (p.kind == ParsedEntry::Number)
            return EvalValue::number(p.number);
        return EvalValue::err(CellError::Value);
    }
    case Fn::Text: {
        const QString fmt = toText(args[1]);
        const NumberFormat nf(fmt);
        if (v.type == EvalValue::Text) {
            double d;
            if (!EntryParser::parseNumber(s, d))
                return text(nf.formatText(s));
            return text(nf.formatNumber(d));
        }
        double d;
        if (!toNumber(v, d, e))
            return EvalValue::err(e);
        return text(nf.formatNumber(d));
    }
    default:
        return EvalValue::err(CellError::Value);
    }
}

EvalValue Evaluator::dateFunction(Fn fn, EvalValue* args, int argc) {
    CellError e = CellError::None;
    if (fn == Fn::Today)
        return EvalValue::number(DateSerial::fromDate(QDate::currentDate()));
    if (fn == Fn::Date) {
        double y, m, d;
        if (!toNumber(args[0], y, e) || !toNumber(args[1], m, e) || !toNumber(args[2], d, e))
            return EvalValue::err(e);
        int yi = int(y);
        if (yi < 1900)
            yi += 1900;
        if (yi < 1900 || yi > 9999 || std::fabs(m) > 120000 || std::fabs(d) > 3e6)
            return EvalValue::err(CellError::Num);
        const QDate date = QDate(yi, 1, 1).addMonths(int(m) - 1).addDays(qint64(d) - 1);
        const double serial = DateSerial::fromDate(date);
        if (!date.isValid() || serial < 0)
            return EvalValue::err(CellError::Num);
        return EvalValue::number(serial);
    }
    (void)argc;
    double x;
    if (!toNumber(args[0], x, e))
        return EvalValue::err(e);
    if (x == 0 && fn != Fn::Year)
        return EvalValue::number(fn == Fn::Day ? 0 : 1);
    const QDate d = x == 0 ? QDate(1900, 1, 1) : DateSerial::toDate(x);
    if (!d.isValid())
        return EvalValue::err(CellError::Num);
    if (std::floor(x) == 60)
        return EvalValue::number(fn == Fn::Year ? 1900 : fn == Fn::Month ? 2 : 29);
    switch (fn) {
    case Fn::Year:
        return EvalValue::number(x == 0 ? 1900 : d.year());
    case Fn::Month:
        return EvalValue::number(d.month());
    default:
        return EvalValue::number(d.day());
    }
}

EvalValue Evaluator::lookup(Fn fn, EvalValue* args, int argc) {
    CellError e = CellError::None;
    switch (fn) {
    case Fn::Row:
    case Fn::Column:
        if (argc == 0)
            return EvalValue::number(fn == Fn::Row ? m_row : m_col);
        if (args[0].type != EvalValue::Range)
            return args[0].type == EvalValue::Error ? args[0] : EvalValue::err(CellError::Value);
        return EvalValue::number(fn == Fn::Row ? args[0].r1 : args[0].c1);
    case Fn::Address: {
        double r, c, absNum = 1;
        if (!toNumber(args[0], r, e) || !toNumber(args[1], c, e))
            return EvalValue::err(e);
        if (argc > 2 && args[2].type != EvalValue::Missing && !toNumber(args[2], absNum, e))
            return EvalValue::err(e);
        bool a1 = true;
        if (argc > 3 && args[3].type != EvalValue::Missing && !toBool(args[3], a1, e))
            return EvalValue::err(e);
        const int ri = int(r), ci = int(c), an = int(absNum);
        if (ri < 1 || ri > kMaxRows || ci < 1 || ci > kMaxCols || an < 1 || an > 4)
            return EvalValue::err(CellError::Value);
        const bool rowAbs = an == 1 || an == 2;
        const bool colAbs = an == 1 || an == 3;
        QString out;
        if (a1) {
            out = (colAbs ? "$" : "") + columnName(ci) + (rowAbs ? "$" : "") + QString::number(ri);
        } else {
            out = 'R' + (rowAbs ? QString::number(ri) : '[' + QString::number(ri) + ']') + 'C' +
                  (colAbs ? QString::number(ci) : '[' + QString::number(ci) + ']');
        }
        if (argc > 4 && args[4].type != EvalValue::Missing)
            out = toText(args[4]) + '!' + out;
        return text(out);
    }
    case Fn::Index: {
        const EvalValue& a = args[0];
        if (a.type != EvalValue::Range)
            return a.type == EvalValue::Error ? a : EvalValue::err(CellError::Value);
        double r = 0, c = 0;
        if (!toNumber(args[1], r, e))
            return EvalValue::err(e);
        if (argc > 2 && args[2].type != EvalValue::Missing && !toNumber(args[2], c, e))
            return EvalValue::err(e);
        int ri = int(r), ci = int(c);
        if (argc < 3 && a.r1 == a.r2) {
            ci = ri;
            ri = 1;
        }
        const int rows = a.r2 - a.r1 + 1, cols = a.c2 - a.c1 + 1;
        if (ri < 0 || ci < 0 || ri > rows || ci > cols)
            return EvalValue::err(CellError::Ref);
        if (ri == 0 && ci == 0)
            return a;
        if (ri == 0)
            return EvalValue::range(a.sheet, a.r1, a.c1 + ci - 1, a.r2, a.c1 + ci - 1);
        if (ci == 0) {
            if (cols == 1)
                ci = 1;
            else
                return EvalValue::range(a.sheet, a.r1 + ri - 1, a.c1, a.r1 + ri - 1, a.c2);
        }
        return EvalValue::range(a.sheet, a.r1 + ri - 1, a.c1 + ci - 1, a.r1 + ri - 1,
                                a.c1 + ci - 1);
    }
    case Fn::Match:
    case Fn::VLookup: {
        const EvalValue key = scalar(args[0]);
        if (key.type == EvalValue::Error)
            return key;
        const EvalValue& a = args[1];
        if (a.type != EvalValue::Range)
            return a.type == EvalValue::Error ? a : EvalValue::err(CellError::NA);
        int mode = 1;
        int resultCol = 1;
        if (fn == Fn::Match) {
            double m = 1;
            if (argc > 2 && args[2].type != EvalValue::Missing && !toNumber(args[2], m, e))
                return EvalValue::err(e);
            mode = m > 0 ? 1 : (m < 0 ? -1 : 0);
        } else {
            double col;
            if (!toNumber(args[2], col, e))
                return EvalValue::err(e);
            resultCol = int(col);
            if (resultCol < 1)
                return EvalValue::err(CellError::Value);
            if (resultCol > a.c2 - a.c1 + 1)
                return EvalValue::err(CellError::Ref);
            bool approx = true;
            if (argc > 3 && args[3].type != EvalValue::Missing && !toBool(args[3], approx, e))
                return EvalValue::err(e);
            mode = approx ? 1 : 0;
        }
        const bool vertical = fn == Fn::VLookup || a.c1 == a.c2;
        const int n = vertical ? a.r2 - a.r1 + 1 : a.c2 - a.c1 + 1;
        const int stored = a.sheet->cells().allocatedRows();
        int found = 0;
        for (int i = 1; i <= n; ++i) {
            const int r = vertical ? a.r1 + i - 1 : a.r1;
            const int c = vertical ? a.c1 : a.c1 + i - 1;
            if (vertical && r > stored)
                break;
            const EvalValue v = cellValue(a.sheet, r, c);
            if (v.type == EvalValue::Empty || v.type == EvalValue::Error)
                continue;
            const bool sameKind = (isNumeric(v) == isNumeric(key));
            if (!sameKind)
                continue;
            int cmp = 0;
            if (mode == 0 && key.type == EvalValue::Text) {
                const Criteria crit(textOf(key), 0, false);
                if (v.type == EvalValue::Text && crit.matchesText(textOf(v))) {
                    found = i;
                    break;
                }
                continue;
            }
            cmp = compare(v, key);
            if (mode == 0) {
                if (cmp == 0) {
                    found = i;
                    break;
                }
            } else if (mode == 1) {
                if (cmp <= 0)
                    found = i;
                else
                    break;
            } else {
                if (cmp >= 0)
                    found = i;
                else
                    break;
            }
        }
        if (found == 0)
            return EvalValue::err(CellError::NA);
        if (fn == Fn::Match)
            return EvalValue::number(found);
        return cellValue(a.sheet, a.r1 + found - 1, a.c1 + resultCol - 1);
    }
    default:
        return EvalValue::err(CellError::Value);
    }
}
