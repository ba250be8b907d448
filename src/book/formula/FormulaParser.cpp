#include "FormulaParser.h"

#include "Functions.h"
#include "model/CellAddress.h"
#include "model/CellValue.h"
#include "model/Workbook.h"

namespace {

constexpr int kMaxDepth = 100;
constexpr int kMaxLength = 8192;

// The stack depth the code needs, so that the evaluator can size its stack once.
int stackNeed(const FormulaCode& code) {
    int depth = 0, best = 0;
    for (const Instr& in : code.code) {
        switch (in.op) {
        case Op::Neg:
        case Op::Plus:
        case Op::Percent:
        case Op::Paren:
            break;
        case Op::Add:
        case Op::Sub:
        case Op::Mul:
        case Op::Div:
        case Op::Pow:
        case Op::Concat:
        case Op::Eq:
        case Op::Ne:
        case Op::Lt:
        case Op::Le:
        case Op::Gt:
        case Op::Ge:
            --depth;
            break;
        case Op::Call:
        case Op::CallUnknown:
            depth -= in.argc;
            ++depth;
            break;
        default:
            ++depth;
        }
        best = std::max(best, depth);
    }
    return best;
}

} // namespace

FormulaParser::FormulaParser(const Workbook& book, const Sheet* hostSheet, int hostRow, int hostCol)
    : m_book(book), m_host(hostSheet), m_row(hostRow), m_col(hostCol) {}

bool FormulaParser::fail(const QString& message) {
    if (m_error.isEmpty())
        m_error = message;
    return false;
}

void FormulaParser::emitOp(Op op, uint16_t argc, uint32_t func) {
    Instr in;
    in.op = op;
    in.argc = argc;
    in.func = func;
    pushInstr(in);
}

std::shared_ptr<FormulaCode> FormulaParser::compile(const QString& text, QString* error) {
    m_text = text;
    m_pos = 0;
    m_depth = 0;
    m_error.clear();
    m_missingSheet.clear();
    m_code = std::make_shared<FormulaCode>();
    bool ok = text.size() <= kMaxLength;
    if (!ok)
        fail(QStringLiteral("formula too long"));
    if (ok) {
        next();
        ok = parseComparison();
        if (ok && m_tok.kind != Tok::End)
            ok = fail(QStringLiteral("unexpected \"%1\"").arg(m_tok.text));
    }
    if (!ok) {
        if (error)
            *error = m_error;
        return nullptr;
    }
    m_code->maxStack = stackNeed(*m_code);
    return m_code;
}

bool FormulaParser::parseComparison() {
    if (!parseConcat())
        return false;
    while (m_tok.kind == Tok::Op) {
        Op op;
        const QString& t = m_tok.text;
        if (t == "=")
            op = Op::Eq;
        else if (t == "<>")
            op = Op::Ne;
        else if (t == "<")
            op = Op::Lt;
        else if (t == "<=")
            op = Op::Le;
        else if (t == ">")
            op = Op::Gt;
        else if (t == ">=")
            op = Op::Ge;
        else
            break;
        next();
        if (!parseConcat())
            return false;
        emitOp(op);
    }
    return true;
}

bool FormulaParser::parseConcat() {
    if (!parseAdditive())
        return false;
    while (m_tok.kind == Tok::Op && m_tok.text == "&") {
        next();
        if (!parseAdditive())
            return false;
        emitOp(Op::Concat);
    }
    return true;
}

bool FormulaParser::parseAdditive() {
    if (!parseMultiplicative())
        return false;
    while (m_tok.kind == Tok::Op && (m_tok.text == "+" || m_tok.text == "-")) {
        const Op op = m_tok.text == "+" ? Op::Add : Op::Sub;
        next();
        if (!parseMultiplicative())
            return false;
        emitOp(op);
    }
    return true;
}

bool FormulaParser::parseMultiplicative() {
    if (!parsePower())
        return false;
    while (m_tok.kind == Tok::Op && (m_tok.text == "*" || m_tok.text == "/")) {
        const Op op = m_tok.text == "*" ? Op::Mul : Op::Div;
        next();
        if (!parsePower())
            return false;
        emitOp(op);
    }
    return true;
}

bool FormulaParser::parsePower() {
    if (!parseUnary())
        return false;
    while (m_tok.kind == Tok::Op && m_tok.text == "^") {
        next();
        if (!parseUnary())
            return false;
        emitOp(Op::Pow);
    }
    return true;
}

bool FormulaParser::parseUnary() {
    if (m_tok.kind == Tok::Op && (m_tok.text == "-" || m_tok.text == "+")) {
        const Op op = m_tok.text == "-" ? Op::Neg : Op::Plus;
        if (++m_depth > kMaxDepth)
            return fail(QStringLiteral("formula nested too deeply"));
        next();
        if (!parseUnary())
            return false;
        --m_depth;
        emitOp(op);
        return true;
    }
    return parsePostfix();
}

bool FormulaParser::parsePostfix() {
    if (!parsePrimary())
        return false;
    while (m_tok.kind == Tok::Op && m_tok.text == "%") {
        next();
        emitOp(Op::Percent);
    }
    return true;
}

bool FormulaParser::parsePrimary() {
    if (++m_depth > kMaxDepth)
        return fail(QStringLiteral("formula nested too deeply"));
    bool ok = true;
    switch (m_tok.kind) {
    case Tok::Number: {
        Instr in;
        in.op = Op::Number;
        in.number = m_tok.number;
        pushInstr(in);
        next();
        break;
    }
    case Tok::String: {
        m_code->strings.push_back(m_tok.text);
        emitOp(Op::String, 0, uint32_t(m_code->strings.size() - 1));
        next();
        break;
    }
    case Tok::Error: {
        const CellError e = errorFromText(m_tok.text);
        emitOp(e == CellError::Ref ? Op::RefError : Op::Error, 0, uint32_t(e));
        next();
        break;
    }
    case Tok::LParen:
        next();
        ok = parseComparison();
        if (ok && m_tok.kind != Tok::RParen)
            ok = fail(QStringLiteral("\")\" expected"));
        if (ok) {
            next();
            emitOp(Op::Paren);
        }
        break;
    case Tok::SheetPrefix: {
        const int index = m_book.sheetIndex(m_tok.text);
        if (index == 0 && m_missingSheet.isEmpty())
            m_missingSheet = m_tok.text;
        next();
        if (m_tok.kind != Tok::Ref)
            return fail(QStringLiteral("cell reference expected"));
        if (index == 0) {
            // A sheet that does not exist: the reference is lost, as after a deletion.
            next();
            if (m_tok.kind == Tok::Colon) {
                next();
                next();
            }
            emitOp(Op::RefError, 0, uint32_t(CellError::Ref));
            break;
        }
        ok = parseReference(m_book.sheet(index).id(), true);
        break;
    }
    case Tok::Ref:
        ok = parseReference(0, false);
        break;
    case Tok::Name: {
        const QString name = m_tok.text;
        next();
        if (m_tok.kind == Tok::LParen) {
            ok = parseCall(name);
        } else if (name.compare(QLatin1String("TRUE"), Qt::CaseInsensitive) == 0 ||
                   name.compare(QLatin1String("FALSE"), Qt::CaseInsensitive) == 0) {
            emitOp(Op::Bool, 0, name.toUpper() == "TRUE" ? 1 : 0);
        } else {
            m_code->strings.push_back(name);
            Instr in;
            in.op = Op::CallUnknown;
            in.flags = 1; // a bare name, printed without parentheses
            in.func = uint32_t(m_code->strings.size() - 1);
            pushInstr(in);
        }
        break;
    }
    case Tok::End:
        ok = fail(QStringLiteral("unexpected end of formula"));
        break;
    default:
        ok = fail(QStringLiteral("unexpected \"%1\"").arg(m_tok.text));
    }
    --m_depth;
    return ok;
}

bool FormulaParser::parseReference(uint32_t sheetId, bool otherSheet) {
    auto decode = [](const QString& t, int& r, int& c, bool& rowAbs, bool& colAbs) {
        colAbs = t.startsWith('$');
        const qsizetype dollar = t.indexOf('$', colAbs ? 1 : 0);
        rowAbs = dollar > 0;
        parseCellName(t, r, c);
    };
    Instr in;
    in.op = Op::Ref;
    in.sheet = sheetId;
    if (otherSheet)
        in.flags |= OtherSheet;
    int r1, c1;
    bool ra, ca;
    decode(m_tok.text, r1, c1, ra, ca);
    next();
    int r2 = r1, c2 = c1;
    bool ra2 = ra, ca2 = ca;
    if (m_tok.kind == Tok::Colon) {
        next();
        if (m_tok.kind != Tok::Ref)
            return fail(QStringLiteral("cell reference expected after \":\""));
        decode(m_tok.text, r2, c2, ra2, ca2);
        next();
        in.op = Op::Area;
        if (r2 < r1) {
            std::swap(r1, r2);
            std::swap(ra, ra2);
        }
        if (c2 < c1) {
            std::swap(c1, c2);
            std::swap(ca, ca2);
        }
    }
    in.flags |= (ra ? RowAbs1 : 0) | (ca ? ColAbs1 : 0) | (ra2 ? RowAbs2 : 0) | (ca2 ? ColAbs2 : 0);
    setRefRow(in, m_row, false, r1);
    setRefCol(in, m_col, false, c1);
    setRefRow(in, m_row, true, r2);
    setRefCol(in, m_col, true, c2);
    pushInstr(in);
    return true;
}

bool FormulaParser::parseCall(const QString& name) {
    next(); // past "("
    int argc = 0;
    if (m_tok.kind == Tok::RParen) {
        next();
    } else {
        while (true) {
            if (m_tok.kind == Tok::Sep || m_tok.kind == Tok::RParen) {
                emitOp(Op::Missing);
            } else if (!parseComparison()) {
                return false;
            }
            ++argc;
            if (argc > 255)
                return fail(QStringLiteral("too many arguments"));
            if (m_tok.kind == Tok::Sep) {
                next();
                continue;
            }
            if (m_tok.kind == Tok::RParen) {
                next();
                break;
            }
            return fail(QStringLiteral("\")\" expected"));
        }
    }
    Fn fn;
    if (!findFunction(name, fn)) {
        m_code->strings.push_back(name);
        emitOp(Op::CallUnknown, uint16_t(argc), uint32_t(m_code->strings.size() - 1));
        return true;
    }
    const FunctionInfo& info = functionInfo(fn);
    if (argc < info.minArgs || (info.maxArgs >= 0 && argc > info.maxArgs))
        return fail(QStringLiteral("wrong number of arguments to %1").arg(info.name));
    if (fn == Fn::Today)
        m_code->isVolatile = true;
    emitOp(Op::Call, uint16_t(argc), uint32_t(fn));
    return true;
}
