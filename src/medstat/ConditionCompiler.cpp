#include "ConditionCompiler.h"

#include "ConditionEvaluator.h"

#include <QStringList>

#include <algorithm>

ConditionError::ConditionError(const QString& message, int position)
    : std::runtime_error(message.toStdString()), m_message(message), m_position(position) {}

QString SyntaxErrorText(int position, const QString& what) {
    return QStringLiteral("Синтаксическая ошибка в позиции %1: %2\r\n").arg(position).arg(what);
}

namespace {

constexpr int kPrefix = 2;

enum class Tok { Operand, Literal, Add, Sub, Mul, Div, LParen, RParen, Compare, Interval, End };

struct Token {
    Token(Tok k, const QString& t, int p) : kind(k), text(t), pos(p) {}
    Tok kind;
    QString text;
    int pos; // 1-based in the whole text
    double number = 0;
    QString lo, hi;
};

[[noreturn]] void syntax(int pos, const QString& what) {
    throw ConditionError(SyntaxErrorText(pos, what), pos);
}

bool readNumber(QString text, double& out) {
    text = text.trimmed();
    text.replace(u',', u'.');
    bool ok = false;
    out = text.toDouble(&ok);
    return ok && !text.isEmpty();
}

class Lexer {
public:
    Lexer(const QString& s, bool yearForm) : m_s(s), m_commas(yearForm ? 4 : 3) {}

    std::vector<Token> run() {
        std::vector<Token> out;
        int i = kPrefix;
        const int n = int(m_s.size());
        while (i < n) {
            const QChar c = m_s[i];
            if (c.isSpace()) {
                ++i;
                continue;
            }
            const int pos = i + 1;
            auto one = [&](Tok k) {
                out.push_back({k, QString(c), pos});
                ++i;
            };
            if (c == u'*') {
                out.push_back({Tok::End, QStringLiteral("*"), pos});
                return out;
            }
            if (c == u'(')
                one(Tok::LParen);
            else if (c == u')')
                one(Tok::RParen);
            else if (c == u'+')
                one(Tok::Add);
            else if (c == u'-')
                one(Tok::Sub);
            else if (c == u'X')
                one(Tok::Mul);
            else if (c == u'/')
                one(Tok::Div);
            else if (c == u'<' || c == u'>' || c == u'=') {
                const QChar d = i + 1 < n ? m_s[i + 1] : QChar();
                const bool two =
                    (c != u'=' && d == u'=') || (c == u'=' && (d == u'<' || d == u'>'));
                out.push_back({Tok::Compare, m_s.mid(i, two ? 2 : 1), pos});
                i += two ? 2 : 1;
            } else if (c == u'\'') {
                const int close = int(m_s.indexOf(u'\'', i + 1));
                if (close < 0)
                    syntax(pos, QStringLiteral("нет закрывающей кавычки"));
                const QString inner = m_s.mid(i + 1, close - i - 1);
                Token t{Tok::Literal, QStringLiteral("0") + inner, pos};
                if (!readNumber(inner, t.number))
                    syntax(pos, QStringLiteral("неверное число"));
                out.push_back(t);
                i = close + 1;
            } else if (intervalMark(i)) {
                const int star = int(m_s.indexOf(u'*', i + 1));
                if (star < 0)
                    syntax(n + 1, QStringLiteral("нет знака \"*\" в конце условия"));
                const QString bounds = m_s.mid(i + 1, star - i - 1);
                const int semi = int(bounds.indexOf(u';'));
                if (semi < 0)
                    syntax(pos, QStringLiteral("нет границ интервала"));
                Token t{Tok::Interval, QStringLiteral(";"), pos};
                t.lo = bounds.left(semi).trimmed();
                t.hi = bounds.mid(semi + 1).trimmed();
                out.push_back(t);
                i = star;
            } else {
                int commas = 0;
                int j = i;
                while (j < n) {
                    const QChar ch = m_s[j];
                    if (QStringLiteral("()<=>X/*").contains(ch) || intervalMark(j))
                        break;
                    if ((ch == u'+' || ch == u'-') && commas >= m_commas)
                        break;
                    if (ch == u',')
                        ++commas;
                    ++j;
                }
                out.push_back({Tok::Operand, m_s.mid(i, j - i).trimmed(), pos});
                i = j;
            }
        }
        syntax(n + 1, QStringLiteral("нет знака \"*\" в конце условия"));
    }

private:
    bool intervalMark(int i) const { return m_s[i] == u';' && m_s.indexOf(u';', i + 1) > i; }
    const QString& m_s;
    int m_commas;
};

class Parser {
public:
    Parser(std::vector<Token> tokens, bool yearForm) : m_t(std::move(tokens)), m_year(yearForm) {}

    Condition condition(const QString& text) {
        Condition c;
        c.text = text;
        c.yearForm = m_year;
        NodePtr left = expression();
        if (at().kind == Tok::Interval) {
            ConditionCheck k;
            k.op = CompareOp::Interval;
            k.opToken = QStringLiteral(";");
            k.left = left;
            k.loText = at().lo;
            k.hiText = at().hi;
            if (!readNumber(k.loText, k.lo) || !readNumber(k.hiText, k.hi))
                syntax(at().pos + 1, QStringLiteral("неверные границы интервала"));
            c.checks.push_back(k);
            ++m_i;
        } else if (at().kind == Tok::Compare) {
            while (at().kind == Tok::Compare) {
                ConditionCheck k;
                k.opToken = at().text;
                k.op = compareOp(k.opToken);
                ++m_i;
                k.left = left;
                k.right = expression();
                left = k.right;
                c.checks.push_back(k);
            }
        } else {
            syntax(at().pos, at().kind == Tok::RParen
                                 ? QStringLiteral("лишняя закрывающая скобка")
                                 : QStringLiteral("нет знака сравнения или интервала"));
        }
        if (at().kind != Tok::End)
            syntax(at().pos, QStringLiteral("лишнее после условия"));
        for (ConditionCheck& k : c.checks) {
            k.written = WrittenForm(k);
            k.leftWritten = WrittenForm(*k.left);
        }
        return c;
    }

private:
    const Token& at() const { return m_t[size_t(m_i)]; }

    static CompareOp compareOp(const QString& t) {
        if (t == QLatin1String("<"))
            return CompareOp::Less;
        if (t == QLatin1String(">"))
            return CompareOp::Greater;
        if (t == QLatin1String("="))
            return CompareOp::Equal;
        if (t == QLatin1String("<=") || t == QLatin1String("=<"))
            return CompareOp::LessEqual;
        return CompareOp::GreaterEqual;
    }

    static NodePtr binary(NodeKind k, const QString& token, NodePtr l, NodePtr r) {
        auto n = std::make_shared<ConditionNode>();
        n->kind = k;
        n->token = token;
        n->left = std::move(l);
        n->right = std::move(r);
        return n;
    }

    NodePtr expression() {
        NodePtr left = term();
        while (at().kind == Tok::Add || at().kind == Tok::Sub) {
            const Token op = at();
            ++m_i;
            left =
                binary(op.kind == Tok::Add ? NodeKind::Add : NodeKind::Sub, op.text, left, term());
        }
        return left;
    }

    NodePtr term() {
        NodePtr left = factor();
        while (at().kind == Tok::Mul || at().kind == Tok::Div) {
            const Token op = at();
            ++m_i;
            left = binary(op.kind == Tok::Mul ? NodeKind::Mul : NodeKind::Div, op.text, left,
                          factor());
        }
        return left;
    }

    NodePtr factor() {
        const Token t = at();
        switch (t.kind) {
        case Tok::Operand: {
            ++m_i;
            auto n = std::make_shared<ConditionNode>();
            n->kind = NodeKind::Operand;
            n->token = t.text;
            n->operand = ReadOperand(t.text, m_year);
            return n;
        }
        case Tok::Literal: {
            ++m_i;
            auto n = std::make_shared<ConditionNode>();
            n->kind = NodeKind::Literal;
            n->token = t.text;
            n->literal = t.number;
            return n;
        }
        case Tok::LParen: {
            ++m_i;
            NodePtr inner = expression();
            if (at().kind != Tok::RParen)
                syntax(at().pos, QStringLiteral("нет закрывающей скобки"));
            ++m_i;
            return inner;
        }
        case Tok::Sub:
        case Tok::Add: {
            ++m_i;
            NodePtr operand = factor();
            if (t.kind == Tok::Add)
                return operand;
            return binary(NodeKind::Negate, t.text, nullptr, operand);
        }
        default:
            throw ConditionError(QStringLiteral("Неверное условие\r\n"), t.pos);
        }
    }

    std::vector<Token> m_t;
    bool m_year;
    int m_i = 0;
};

// Items of a list of rows or columns; false when the text cannot be read.
bool readSpec(const QString& text, std::vector<SpecItem>& items, bool& sum) {
    const QString s = text.trimmed();
    const int n = int(s.size());
    int i = 0;
    int sign = 1;
    auto number = [&](int& out) {
        const int start = i;
        while (i < n && s[i].isDigit())
            ++i;
        bool ok = false;
        out = s.mid(start, i - start).toInt(&ok);
        return ok;
    };
    if (n == 0)
        return false;
    while (i < n) {
        int a = 0;
        if (!number(a))
            return false;
        if (i < n && (s[i] == u':' || s[i] == QChar(0x041F))) {
            if (s[i] != u':')
                sum = true;
            ++i;
            // The upper bound runs to the next "+", "." or the end.
            int j = i;
            while (j < n && s[j] != u'+' && s[j] != u'.')
                ++j;
            bool ok = false;
            const int b = s.mid(i, j - i).toInt(&ok);
            if (!ok)
                return false;
            items.push_back({std::min(a, b), std::max(a, b), 1});
            i = j;
            sign = 1;
            if (i < n) {
                if (++i == n)
                    return false;
            }
            continue;
        }
        items.push_back({a, a, sign});
        if (i == n)
            break;
        const QChar sep = s[i];
        if (sep == u'.')
            sign = 1;
        else if (sep == u'+' || sep == u'-') {
            sign = sep == u'+' ? 1 : -1;
            sum = true;
        } else
            return false;
        if (++i == n)
            return false;
    }
    return true;
}

} // namespace

bool IsYearForm(const QString& text) {
    QString head = text.left(std::max<qsizetype>(0, text.indexOf(u',')));
    if (!text.contains(u','))
        return false;
    head.remove(u'(');
    return head.size() == 3 && (head[2] == u'0' || head[2] == u'1');
}

OperandRef ReadOperand(const QString& written, bool yearForm) {
    OperandRef r;
    r.written = written;
    r.yearForm = yearForm;
    QString rest = written;
    if (yearForm) {
        const int comma = int(rest.indexOf(u','));
        if (comma < 0)
            return r;
        r.selector = rest.left(comma).trimmed();
        r.currentYear = r.selector == QLatin1String("1");
        rest = rest.mid(comma + 1);
    }
    const QStringList parts = rest.split(u',');
    if (parts.size() != 4)
        return r;
    r.formText = parts[0].trimmed();
    r.tableText = parts[1].trimmed();
    r.rowsText = parts[2].trimmed();
    r.colsText = parts[3].trimmed();
    bool okForm = false, okTable = false;
    r.form = r.formText.toInt(&okForm);
    r.table = r.tableText.toInt(&okTable);
    std::vector<SpecItem> colItems;
    bool ignored = false;
    if (!okForm || !okTable || !readSpec(r.rowsText, r.rows, r.sum) ||
        !readSpec(r.colsText, colItems, ignored))
        return r;
    for (const SpecItem& it : colItems)
        for (int c = it.lo; c <= it.hi; ++c)
            if (std::find(r.cols.begin(), r.cols.end(), c) == r.cols.end())
                r.cols.push_back(c);
    r.readable = true;
    return r;
}

Condition CompileCondition(const QString& text) {
    const bool year = IsYearForm(text);
    Lexer lexer(text, year);
    Parser parser(lexer.run(), year);
    return parser.condition(text);
}
