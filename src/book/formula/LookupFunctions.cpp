#include "Criteria.h"
#include "Evaluator.h"
#include "model/CellAddress.h"
#include "model/Workbook.h"

namespace {

bool isNumeric(const EvalValue& v) {
    return v.type == EvalValue::Number;
}

} // namespace

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
        const int ri = wholeArg(r), ci = wholeArg(c), an = wholeArg(absNum);
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
        int ri = wholeArg(r), ci = wholeArg(c);
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
            resultCol = wholeArg(col);
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
