#include "Criteria.h"

#include "NumberCompare.h"
#include "format/BookLocale.h"
#include "format/EntryParser.h"

Criteria::Criteria(const QString& text, double number, bool isNumber) {
    if (isNumber) {
        m_numeric = true;
        m_number = number;
        return;
    }
    QString rest = text;
    static const struct {
        const char* op;
        Cmp cmp;
    } ops[] = {{"<>", Cmp::Ne}, {"<=", Cmp::Le}, {">=", Cmp::Ge},
               {"<", Cmp::Lt},  {">", Cmp::Gt},  {"=", Cmp::Eq}};
    for (const auto& o : ops) {
        if (rest.startsWith(QLatin1String(o.op))) {
            m_cmp = o.cmp;
            rest = rest.mid(qsizetype(strlen(o.op)));
            break;
        }
    }
    double v;
    if (EntryParser::parseNumber(rest, v)) {
        m_numeric = true;
        m_number = v;
        return;
    }
    m_text = rest;
    if (rest.contains('*') || rest.contains('?')) {
        m_wildcard = true;
        QString re;
        for (QChar c : rest) {
            if (c == '*')
                re += QLatin1String(".*");
            else if (c == '?')
                re += '.';
            else
                re += QRegularExpression::escape(QString(c));
        }
        m_pattern = QRegularExpression(QRegularExpression::anchoredPattern(re),
                                       QRegularExpression::CaseInsensitiveOption);
    }
}

bool Criteria::matchesNumber(double x) const {
    if (!m_numeric)
        return m_cmp == Cmp::Ne;
    const int c = compareNumbers(x, m_number);
    switch (m_cmp) {
    case Cmp::Eq:
        return c == 0;
    case Cmp::Ne:
        return c != 0;
    case Cmp::Lt:
        return c < 0;
    case Cmp::Le:
        return c <= 0;
    case Cmp::Gt:
        return c > 0;
    case Cmp::Ge:
        return c >= 0;
    }
    return false;
}

bool Criteria::matchesText(const QString& s) const {
    if (m_numeric) {
        return m_cmp == Cmp::Ne;
    }
    if (m_wildcard) {
        const bool m = m_pattern.match(s).hasMatch();
        return m_cmp == Cmp::Ne ? !m : (m_cmp == Cmp::Eq && m);
    }
    const int c = BookLocale::compareText(s, m_text);
    switch (m_cmp) {
    case Cmp::Eq:
        return c == 0;
    case Cmp::Ne:
        return c != 0;
    case Cmp::Lt:
        return c < 0;
    case Cmp::Le:
        return c <= 0;
    case Cmp::Gt:
        return c > 0;
    case Cmp::Ge:
        return c >= 0;
    }
    return false;
}

bool Criteria::matchesEmpty() const {
    if (m_numeric)
        return m_cmp == Cmp::Ne;
    return m_text.isEmpty() ? m_cmp == Cmp::Eq : m_cmp == Cmp::Ne;
}
