#include "FormulaParser.h"

#include "Functions.h"
#include "model/CellAddress.h"
#include "model/CellValue.h"
#include "model/Workbook.h"

namespace {

bool isNameStart(QChar c) {
    return c.isLetter() || c == '_' || c == '$' || c == '\\';
}
bool isNameChar(QChar c) {
    return c.isLetterOrNumber() || c == '_' || c == '$' || c == '.';
}

} // namespace

// The tokenizer half of the parser.
void FormulaParser::next() {
    while (m_pos < m_text.size() && m_text[m_pos].isSpace())
        ++m_pos;
    m_tok = Token();
    if (m_pos >= m_text.size())
        return;
    const qsizetype start = m_pos;
    const QChar c = m_text[m_pos];
    if (c.isDigit() || (c == '.' && m_pos + 1 < m_text.size() && m_text[m_pos + 1].isDigit())) {
        while (m_pos < m_text.size() && (m_text[m_pos].isDigit() || m_text[m_pos] == '.'))
            ++m_pos;
        if (m_pos < m_text.size() && (m_text[m_pos] == 'e' || m_text[m_pos] == 'E')) {
            qsizetype p = m_pos + 1;
            if (p < m_text.size() && (m_text[p] == '+' || m_text[p] == '-'))
                ++p;
            if (p < m_text.size() && m_text[p].isDigit()) {
                m_pos = p;
                while (m_pos < m_text.size() && m_text[m_pos].isDigit())
                    ++m_pos;
            }
        }
        // "1:3" style row ranges are not supported; a digit run followed by letters is a name.
        m_tok.text = m_text.mid(start, m_pos - start);
        bool ok = false;
        m_tok.number = m_tok.text.toDouble(&ok);
        m_tok.kind = ok ? Tok::Number : Tok::Bad;
        return;
    }
    if (c == '"') {
        QString s;
        ++m_pos;
        while (true) {
            if (m_pos >= m_text.size()) {
                m_tok.kind = Tok::Bad;
                m_tok.text = QStringLiteral("\"");
                return;
            }
            if (m_text[m_pos] == '"') {
                if (m_pos + 1 < m_text.size() && m_text[m_pos + 1] == '"') {
                    s += '"';
                    m_pos += 2;
                    continue;
                }
                ++m_pos;
                break;
            }
            s += m_text[m_pos++];
        }
        m_tok.kind = Tok::String;
        m_tok.text = s;
        return;
    }
    if (c == '\'') {
        QString s;
        ++m_pos;
        while (m_pos < m_text.size()) {
            if (m_text[m_pos] == '\'') {
                if (m_pos + 1 < m_text.size() && m_text[m_pos + 1] == '\'') {
                    s += '\'';
                    m_pos += 2;
                    continue;
                }
                break;
            }
            s += m_text[m_pos++];
        }
        if (m_pos + 1 < m_text.size() && m_text[m_pos] == '\'' && m_text[m_pos + 1] == '!') {
            m_pos += 2;
            m_tok.kind = Tok::SheetPrefix;
            m_tok.text = s;
        } else {
            m_tok.kind = Tok::Bad;
            m_tok.text = QStringLiteral("'");
        }
        return;
    }
    if (c == '#') {
        for (const char* name : {"#DIV/0!", "#VALUE!", "#REF!", "#NAME?", "#N/A", "#NUM!"}) {
            const QString n = QString::fromLatin1(name);
            if (m_text.mid(m_pos, n.size()).compare(n, Qt::CaseInsensitive) == 0) {
                m_pos += n.size();
                m_tok.kind = Tok::Error;
                m_tok.text = n;
                return;
            }
        }
        m_tok.kind = Tok::Bad;
        m_tok.text = QStringLiteral("#");
        ++m_pos;
        return;
    }
    if (isNameStart(c)) {
        while (m_pos < m_text.size() && isNameChar(m_text[m_pos]))
            ++m_pos;
        m_tok.text = m_text.mid(start, m_pos - start);
        if (m_pos < m_text.size() && m_text[m_pos] == '!') {
            ++m_pos;
            m_tok.kind = Tok::SheetPrefix;
            return;
        }
        int r, cc;
        qsizetype p = m_pos;
        while (p < m_text.size() && m_text[p].isSpace())
            ++p;
        const bool call = p < m_text.size() && m_text[p] == '(';
        m_tok.kind = (!call && parseCellName(m_tok.text, r, cc)) ? Tok::Ref : Tok::Name;
        return;
    }
    ++m_pos;
    m_tok.text = QString(c);
    switch (c.unicode()) {
    case '(':
        m_tok.kind = Tok::LParen;
        return;
    case ')':
        m_tok.kind = Tok::RParen;
        return;
    case ',':
    case ';':
        m_tok.kind = Tok::Sep;
        return;
    case ':':
        m_tok.kind = Tok::Colon;
        return;
    case '+':
    case '-':
    case '*':
    case '/':
    case '^':
    case '&':
    case '%':
    case '=':
        m_tok.kind = Tok::Op;
        return;
    case '<':
        if (m_pos < m_text.size() && (m_text[m_pos] == '=' || m_text[m_pos] == '>'))
            m_tok.text += m_text[m_pos++];
        m_tok.kind = Tok::Op;
        return;
    case '>':
        if (m_pos < m_text.size() && m_text[m_pos] == '=')
            m_tok.text += m_text[m_pos++];
        m_tok.kind = Tok::Op;
        return;
    default:
        m_tok.kind = Tok::Bad;
    }
}
