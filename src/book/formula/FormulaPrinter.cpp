#include "FormulaParser.h"
#include "Functions.h"
#include "model/CellAddress.h"
#include "model/CellValue.h"
#include "model/Workbook.h"

#include <QLocale>

#include <vector>

namespace {

QString sheetPrefix(const QString& name) {
    bool plain = !name.isEmpty() && (name[0].isLetter() || name[0] == '_');
    for (QChar c : name)
        if (!(c.isLetterOrNumber() || c == '_'))
            plain = false;
    int r, c;
    if (parseCellName(name, r, c))
        plain = false;
    if (plain)
        return name + '!';
    QString quoted = name;
    quoted.replace('\'', QLatin1String("''"));
    return '\'' + quoted + QLatin1String("'!");
}

QString refText(int row, int col, bool rowAbs, bool colAbs) {
    if (row < 1 || row > kMaxRows || col < 1 || col > kMaxCols)
        return QStringLiteral("#REF!");
    return (colAbs ? QStringLiteral("$") : QString()) + columnName(col) +
           (rowAbs ? QStringLiteral("$") : QString()) + QString::number(row);
}

QString numberText(double v) {
    // Fifteen digits where they read back to the same number, else the shortest text
    // that does: a re-entered formula must compute what it showed.
    QString s = QString::number(v, 'g', 15);
    if (s.toDouble() != v)
        s = QString::number(v, 'g', QLocale::FloatingPointShortest);
    if (s.contains('e')) {
        s.replace(QLatin1String("e+"), QLatin1String("E+"));
        s.replace(QLatin1String("e-"), QLatin1String("E-"));
    }
    return s;
}

const char* opText(Op op) {
    switch (op) {
    case Op::Add:
        return "+";
    case Op::Sub:
        return "-";
    case Op::Mul:
        return "*";
    case Op::Div:
        return "/";
    case Op::Pow:
        return "^";
    case Op::Concat:
        return "&";
    case Op::Eq:
        return "=";
    case Op::Ne:
        return "<>";
    case Op::Lt:
        return "<";
    case Op::Le:
        return "<=";
    case Op::Gt:
        return ">";
    case Op::Ge:
        return ">=";
    default:
        return "";
    }
}

} // namespace

QString printFormula(const FormulaCode& code, const Workbook& book, const Sheet* hostSheet,
                     int hostRow, int hostCol) {
    std::vector<QString> stack;
    auto pop = [&stack]() {
        if (stack.empty())
            return QString();
        QString s = std::move(stack.back());
        stack.pop_back();
        return s;
    };
    for (const Instr& in : code.code) {
        switch (in.op) {
        case Op::Number:
            stack.push_back(numberText(in.number));
            break;
        case Op::String: {
            QString s = in.func < code.strings.size() ? code.strings[in.func] : QString();
            s.replace('"', QLatin1String("\"\""));
            stack.push_back('"' + s + '"');
            break;
        }
        case Op::Bool:
            stack.push_back(in.func ? QStringLiteral("TRUE") : QStringLiteral("FALSE"));
            break;
        case Op::Error:
            stack.push_back(errorText(CellError(in.func)));
            break;
        case Op::RefError:
            stack.push_back(QStringLiteral("#REF!"));
            break;
        case Op::Missing:
            stack.push_back(QString());
            break;
        case Op::Ref:
        case Op::Area: {
            QString prefix;
            if (in.flags & OtherSheet) {
                const Sheet* s = book.sheetById(in.sheet);
                if (!s) {
                    stack.push_back(QStringLiteral("#REF!"));
                    break;
                }
                prefix = sheetPrefix(s->name());
            }
            const int r1 = refRow(in, hostRow, false), c1 = refCol(in, hostCol, false);
            QString t = refText(r1, c1, in.flags & RowAbs1, in.flags & ColAbs1);
            if (in.op == Op::Area) {
                const int r2 = refRow(in, hostRow, true), c2 = refCol(in, hostCol, true);
                const QString t2 = refText(r2, c2, in.flags & RowAbs2, in.flags & ColAbs2);
                t = (t.startsWith('#') || t2.startsWith('#')) ? QStringLiteral("#REF!")
                                                              : t + ':' + t2;
            }
            stack.push_back(t.startsWith('#') ? t : prefix + t);
            break;
        }
        case Op::Neg:
            stack.push_back('-' + pop());
            break;
        case Op::Plus:
            stack.push_back('+' + pop());
            break;
        case Op::Percent:
            stack.push_back(pop() + '%');
            break;
        case Op::Paren:
            stack.push_back('(' + pop() + ')');
            break;
        case Op::Call:
        case Op::CallUnknown: {
            QString name;
            if (in.op == Op::Call)
                name = QString::fromLatin1(functionInfo(Fn(in.func)).name);
            else
                name = in.func < code.strings.size() ? code.strings[in.func] : QString();
            if (in.op == Op::CallUnknown && (in.flags & 1)) {
                stack.push_back(name);
                break;
            }
            QStringList args;
            for (int i = 0; i < in.argc; ++i)
                args.prepend(pop());
            stack.push_back(name + '(' + args.join(',') + ')');
            break;
        }
        default: {
            const QString b = pop();
            const QString a = pop();
            stack.push_back(a + QString::fromLatin1(opText(in.op)) + b);
        }
        }
    }
    (void)hostSheet;
    return stack.empty() ? QString() : stack.back();
}
