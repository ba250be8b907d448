#include "Evaluator.h"

#include "NumberCompare.h"
#include "format/BookLocale.h"
#include "format/EntryParser.h"
#include "format/NumberFormat.h"
#include "model/Formula.h"
#include "model/Workbook.h"

#include <cmath>

Evaluator::Evaluator(const Workbook& book) : m_book(book) {
    m_stack.reserve(64);
    m_strings.reserve(16);
}

void Evaluator::setOverride(const Sheet* sheet, int row, int col, const CellValue& value) {
    m_overrideSheet = sheet;
    m_overrideRow = row;
    m_overrideCol = col;
    m_override = value;
}

EvalValue Evaluator::text(const QString& s) {
    EvalValue v;
    v.type = EvalValue::Text;
    v.str = uint32_t(m_strings.size());
    m_strings.push_back(s);
    return v;
}

EvalValue Evaluator::fromCellValue(const CellValue& cv) {
    switch (cv.type) {
    case CellValue::Number:
        return EvalValue::number(cv.number);
    case CellValue::Text:
        return text(cv.text);
    case CellValue::Boolean:
        return EvalValue::boolean(cv.number != 0);
    case CellValue::Error:
        return EvalValue::err(cv.error);
    default:
        return EvalValue();
    }
}

EvalValue Evaluator::fromCell(const Cell* cell) {
    if (!cell)
        return EvalValue();
    switch (cell->kind) {
    case CellKind::Number:
        return EvalValue::number(cell->number);
    case CellKind::Text:
        return text(*cell->text);
    case CellKind::Formula:
        return fromCellValue(cell->formula->value);
    default:
        return EvalValue();
    }
}

EvalValue Evaluator::cellValue(const Sheet* sheet, int row, int col) {
    if (sheet == m_overrideSheet && row == m_overrideRow && col == m_overrideCol)
        return fromCellValue(m_override);
    return fromCell(sheet->cells().find(row, col));
}

EvalValue Evaluator::scalar(const EvalValue& v) {
    if (v.type != EvalValue::Range)
        return v;
    if (v.r1 == v.r2 && v.c1 == v.c2)
        return cellValue(v.sheet, v.r1, v.c1);
    // A range where one value is wanted: the cell in the host's row or column.
    if (v.c1 == v.c2 && m_row >= v.r1 && m_row <= v.r2)
        return cellValue(v.sheet, m_row, v.c1);
    if (v.r1 == v.r2 && m_col >= v.c1 && m_col <= v.c2)
        return cellValue(v.sheet, v.r1, m_col);
    return EvalValue::err(CellError::Value);
}

bool Evaluator::toNumber(const EvalValue& in, double& out, CellError& err) {
    const EvalValue v = in.type == EvalValue::Range ? scalar(in) : in;
    switch (v.type) {
    case EvalValue::Number:
    case EvalValue::Bool:
        out = v.num;
        return true;
    case EvalValue::Empty:
    case EvalValue::Missing:
        out = 0;
        return true;
    case EvalValue::Text: {
        const QString& s = textOf(v);
        if (s.isEmpty()) {
            out = 0;
            return true;
        }
        const ParsedEntry e = EntryParser::parse(s);
        if (e.kind == ParsedEntry::Number) {
            out = e.number;
            return true;
        }
        err = CellError::Value;
        return false;
    }
    case EvalValue::Error:
        err = v.error;
        return false;
    default:
        err = CellError::Value;
        return false;
    }
}

QString Evaluator::toText(const EvalValue& in) {
    const EvalValue v = in.type == EvalValue::Range ? scalar(in) : in;
    switch (v.type) {
    case EvalValue::Number:
        return NumberFormat::general(v.num);
    case EvalValue::Bool:
        return v.num != 0 ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    case EvalValue::Text:
        return textOf(v);
    case EvalValue::Error:
        return errorText(v.error);
    default:
        return QString();
    }
}

bool Evaluator::toBool(const EvalValue& in, bool& out, CellError& err) {
    const EvalValue v = in.type == EvalValue::Range ? scalar(in) : in;
    switch (v.type) {
    case EvalValue::Number:
    case EvalValue::Bool:
        out = v.num != 0;
        return true;
    case EvalValue::Empty:
    case EvalValue::Missing:
        out = false;
        return true;
    case EvalValue::Text:
        if (textOf(v).compare(QLatin1String("TRUE"), Qt::CaseInsensitive) == 0) {
            out = true;
            return true;
        }
        if (textOf(v).compare(QLatin1String("FALSE"), Qt::CaseInsensitive) == 0) {
            out = false;
            return true;
        }
        err = CellError::Value;
        return false;
    case EvalValue::Error:
        err = v.error;
        return false;
    default:
        err = CellError::Value;
        return false;
    }
}

// Orders numbers before texts before booleans; an empty value equals 0, "" or FALSE.
int Evaluator::compare(const EvalValue& a0, const EvalValue& b0) {
    EvalValue a = a0, b = b0;
    auto rank = [](EvalValue::Type t) {
        return t == EvalValue::Number ? 0 : t == EvalValue::Text ? 1 : 2;
    };
    if (a.type == EvalValue::Empty) {
        a = b.type == EvalValue::Text
                ? text(QString())
                : (b.type == EvalValue::Bool ? EvalValue::boolean(false) : EvalValue::number(0));
    }
    if (b.type == EvalValue::Empty) {
        b = a.type == EvalValue::Text
                ? text(QString())
                : (a.type == EvalValue::Bool ? EvalValue::boolean(false) : EvalValue::number(0));
    }
    if (rank(a.type) != rank(b.type))
        return rank(a.type) < rank(b.type) ? -1 : 1;
    if (a.type == EvalValue::Text) {
        const int c = BookLocale::compareText(textOf(a), textOf(b));
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    if (a.type == EvalValue::Number)
        return compareNumbers(a.num, b.num);
    return a.num < b.num ? -1 : (a.num > b.num ? 1 : 0);
}

CellValue Evaluator::toCellValue(const EvalValue& in) {
    const EvalValue v = in.type == EvalValue::Range ? scalar(in) : in;
    switch (v.type) {
    case EvalValue::Number:
        if (!std::isfinite(v.num))
            return CellValue::fromError(CellError::Num);
        return CellValue::fromNumber(v.num);
    case EvalValue::Text:
        return CellValue::fromText(textOf(v));
    case EvalValue::Bool:
        return CellValue::fromBool(v.num != 0);
    case EvalValue::Error:
        return CellValue::fromError(v.error);
    default:
        return CellValue::fromNumber(0);
    }
}

CellValue Evaluator::evaluate(const FormulaCode& code, const Sheet* host, int row, int col) {
    CellValue out;
    evaluateInto(code, host, row, col, out);
    return out;
}

void Evaluator::evaluateInto(const FormulaCode& code, const Sheet* host, int row, int col,
                             CellValue& result) {
    m_host = host;
    m_row = row;
    m_col = col;
    if (!m_strings.empty())
        m_strings.clear();
    if (m_stack.size() < size_t(code.maxStack + 1))
        m_stack.resize(size_t(code.maxStack + 1));
    EvalValue* const base = m_stack.data();
    EvalValue* sp = base; // next free slot

    auto numberArg = [this](const EvalValue& v, double& x, CellError& e) {
        if (v.type == EvalValue::Number) {
            x = v.num;
            return true;
        }
        if (v.type == EvalValue::Range && v.r1 == v.r2 && v.c1 == v.c2 &&
            v.sheet != m_overrideSheet) {
            const Cell* c = v.sheet->cells().find(v.r1, v.c1);
            if (!c || c->kind == CellKind::Empty) {
                x = 0;
                return true;
            }
            if (c->kind == CellKind::Number) {
                x = c->number;
                return true;
            }
            if (c->kind == CellKind::Formula && c->formula->value.type == CellValue::Number) {
                x = c->formula->value.number;
                return true;
            }
        }
        return toNumber(v, x, e);
    };

    for (const Instr& in : code.code) {
        switch (in.op) {
        case Op::Number:
            // Fields are written in place: building a temporary and copying it stalls on
            // store forwarding in this loop.
            sp->type = EvalValue::Number;
            sp->num = in.number;
            ++sp;
            break;
        case Op::String:
            *sp++ = (text(in.func < code.strings.size() ? code.strings[in.func] : QString()));
            break;
        case Op::Bool:
            *sp++ = (EvalValue::boolean(in.func != 0));
            break;
        case Op::Error:
            *sp++ = (EvalValue::err(CellError(in.func)));
            break;
        case Op::RefError:
            *sp++ = (EvalValue::err(CellError::Ref));
            break;
        case Op::Missing: {
            EvalValue v;
            v.type = EvalValue::Missing;
            *sp++ = (v);
            break;
        }
        case Op::Ref:
        case Op::Area: {
            const Sheet* s = (in.flags & OtherSheet) ? m_book.sheetById(in.sheet) : host;
            const int r1 = refRow(in, row, false), c1 = refCol(in, col, false);
            const int r2 = in.op == Op::Area ? refRow(in, row, true) : r1;
            const int c2 = in.op == Op::Area ? refCol(in, col, true) : c1;
            if (!s || r1 < 1 || c1 < 1 || r2 > kMaxRows || c2 > kMaxCols || r1 > r2 || c1 > c2) {
                *sp++ = EvalValue::err(CellError::Ref);
                break;
            }
            sp->type = EvalValue::Range;
            sp->sheet = s;
            sp->r1 = r1;
            sp->c1 = c1;
            sp->r2 = r2;
            sp->c2 = c2;
            ++sp;
            break;
        }
        case Op::Paren:
            break;
        case Op::Neg:
        case Op::Plus:
        case Op::Percent: {
            EvalValue& v = sp[-1];
            if (in.op == Op::Plus) {
                v = scalar(v);
                break;
            }
            double x;
            CellError e = CellError::None;
            if (!numberArg(v, x, e))
                v = EvalValue::err(e);
            else
                v = EvalValue::number(in.op == Op::Neg ? -x : x / 100);
            break;
        }
        case Op::Add:
        case Op::Sub:
        case Op::Mul:
        case Op::Div:
        case Op::Pow: {
            const EvalValue& b = *--sp;
            EvalValue& a = sp[-1];
            double x, y;
            CellError e = CellError::None;
            if (!numberArg(a, x, e) || !numberArg(b, y, e)) {
                a = EvalValue::err(e);
                break;
            }
            double r = 0;
            switch (in.op) {
            case Op::Add:
                r = x + y;
                break;
            case Op::Sub:
                r = x - y;
                break;
            case Op::Mul:
                r = x * y;
                break;
            case Op::Div:
                if (y == 0) {
                    a = EvalValue::err(CellError::Div0);
                    continue;
                }
                r = x / y;
                break;
            default:
                if (x == 0 && y < 0) {
                    a = EvalValue::err(CellError::Div0);
                    continue;
                }
                r = std::pow(x, y);
            }
            if (std::isfinite(r)) {
                a.type = EvalValue::Number;
                a.num = r;
            } else {
                a = EvalValue::err(CellError::Num);
            }
            break;
        }
        case Op::Concat: {
            const EvalValue b = scalar(*--sp);
            const EvalValue a = scalar(sp[-1]);
            if (a.type == EvalValue::Error || b.type == EvalValue::Error) {
                sp[-1] = a.type == EvalValue::Error ? a : b;
                break;
            }
            sp[-1] = text(toText(a) + toText(b));
            break;
        }
        case Op::Eq:
        case Op::Ne:
        case Op::Lt:
        case Op::Le:
        case Op::Gt:
        case Op::Ge: {
            const EvalValue b = scalar(*--sp);
            const EvalValue a = scalar(sp[-1]);
            if (a.type == EvalValue::Error || b.type == EvalValue::Error) {
                sp[-1] = a.type == EvalValue::Error ? a : b;
                break;
            }
            const int c = compare(a, b);
            bool r = false;
            switch (in.op) {
            case Op::Eq:
                r = c == 0;
                break;
            case Op::Ne:
                r = c != 0;
                break;
            case Op::Lt:
                r = c < 0;
                break;
            case Op::Le:
                r = c <= 0;
                break;
            case Op::Gt:
                r = c > 0;
                break;
            default:
                r = c >= 0;
            }
            sp[-1] = EvalValue::boolean(r);
            break;
        }
        case Op::Call: {
            const int argc = in.argc;
            EvalValue* args = sp - argc;
            const EvalValue r = call(Fn(in.func), args, argc);
            sp -= argc;
            if (r.type == EvalValue::Number) {
                sp->type = EvalValue::Number;
                sp->num = r.num;
            } else {
                *sp = r;
            }
            ++sp;
            break;
        }
        case Op::CallUnknown:
            sp -= in.argc;
            *sp++ = EvalValue::err(CellError::Name);
            break;
        }
    }
    if (sp == base) {
        result = CellValue::fromError(CellError::Value);
        return;
    }
    const EvalValue& top = sp[-1];
    // Plain numbers, the common result, are stored without reading the old value: its
    // text member may be left behind and is ignored for a number.
    if (top.type == EvalValue::Number && std::isfinite(top.num)) {
        result.type = CellValue::Number;
        result.error = CellError::None;
        result.number = top.num;
        return;
    }
    result = toCellValue(top);
}
