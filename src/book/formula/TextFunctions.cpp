#include "Evaluator.h"
#include "format/DateSerial.h"
#include "format/EntryParser.h"
#include "format/NumberFormat.h"

#include <QDate>

#include <cmath>

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
        out = wholeArg(d);
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
        int yi = wholeArg(y);
        if (yi < 1900)
            yi += 1900;
        if (yi < 1900 || yi > 9999 || std::fabs(m) > 120000 || std::fabs(d) > 3e6)
            return EvalValue::err(CellError::Num);
        const QDate date =
            QDate(yi, 1, 1).addMonths(wholeArg(m) - 1).addDays(qint64(wholeArg(d)) - 1);
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
