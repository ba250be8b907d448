#include "ProtocolFile.h"

#include "CodePages.h"

#include <QFile>
#include <QFont>
#include <QMap>
#include <QSaveFile>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>

#include <cctype>
#include <vector>

namespace ProtocolFile {

bool isRtfName(const QString& path) {
    return path.endsWith(QLatin1String(".rtf"), Qt::CaseInsensitive);
}

namespace {

void appendEscaped(QByteArray& out, const QString& text) {
    for (const QChar c : text) {
        const ushort u = c.unicode();
        if (u == '\\' || u == '{' || u == '}') {
            out += '\\';
            out += char(u);
        } else if (u == '\t') {
            out += "\\tab ";
        } else if (u == QChar::LineSeparator) {
            out += "\\line ";
        } else if (u >= 0x20 && u < 0x80) {
            out += char(u);
        } else if (u >= 0x80) {
            out += "\\u" + QByteArray::number(int(short(u))) + '?';
        }
    }
}

} // namespace

QByteArray toRtf(const QTextDocument& doc) {
    QStringList fonts;
    auto fontIndex = [&](const QString& family) {
        qsizetype i = fonts.indexOf(family);
        if (i < 0) {
            fonts << family;
            i = fonts.size() - 1;
        }
        return int(i);
    };
    fontIndex(doc.defaultFont().family());
    QByteArray body;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        body += "\\pard";
        const Qt::Alignment a = block.blockFormat().alignment();
        body += a & Qt::AlignHCenter ? "\\qc" : (a & Qt::AlignRight ? "\\qr" : "\\ql");
        // Indents in twips; the document counts them in pixels of 1/96 inch.
        const QTextBlockFormat bf = block.blockFormat();
        for (const auto& [word, value] :
             {std::pair{"\\fi", bf.textIndent()}, std::pair{"\\li", bf.leftMargin()},
              std::pair{"\\ri", bf.rightMargin()}})
            if (value != 0)
                body += word + QByteArray::number(qRound(value * 15));
        body += ' ';
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            const QTextCharFormat cf = f.charFormat();
            const QFont font = cf.font();
            const qreal size = font.pointSizeF() > 0 ? font.pointSizeF() : 10;
            body += "{\\f" + QByteArray::number(fontIndex(font.family())) + "\\fs" +
                    QByteArray::number(qRound(size * 2));
            if (font.bold())
                body += "\\b";
            if (font.italic())
                body += "\\i";
            if (font.underline())
                body += "\\ul";
            body += ' ';
            appendEscaped(body, f.text());
            body += '}';
        }
        body += "\\par\r\n";
    }
    QByteArray out = "{\\rtf1\\ansi\\ansicpg1251\\deff0\\uc1{\\fonttbl";
    for (int i = 0; i < fonts.size(); ++i) {
        out += "{\\f" + QByteArray::number(i) + "\\fnil\\fcharset204 ";
        appendEscaped(out, fonts[i]);
        out += ";}";
    }
    out += "}\r\n" + body + "}\r\n";
    return out;
}

namespace {

// The state of one RTF group.
struct RtfState {
    QTextCharFormat format;
    Qt::Alignment alignment = Qt::AlignLeft;
    double firstIndent = 0; // pixels
    double leftIndent = 0;
    double rightIndent = 0;
    int skip = 1;         // characters after \uN that stand in for it (\ucN)
    bool ignored = false; // a destination whose text is not part of the document
    bool fontTable = false;
};

class RtfReader {
public:
    RtfReader(const QByteArray& bytes, QString* error) : m_in(bytes), m_error(error) {}

    bool read(QTextDocument& doc) {
        if (!m_in.startsWith("{\\rtf"))
            return fail();
        std::vector<RtfState> stack;
        RtfState st;
        QTextDocument result;
        result.setDefaultFont(doc.defaultFont());
        QTextCursor cursor(&result);
        bool firstBlock = true;
        QString fontName;
        int fontNumber = -1;
        int pendingSkip = 0;
        auto emitText = [&](const QString& text) {
            if (st.fontTable) {
                fontName += text;
                return;
            }
            if (st.ignored || text.isEmpty())
                return;
            cursor.insertText(text, st.format);
        };
        auto endParagraph = [&] {
            QTextBlockFormat bf = cursor.blockFormat();
            bf.setAlignment(st.alignment);
            bf.setTextIndent(st.firstIndent);
            bf.setLeftMargin(st.leftIndent);
            bf.setRightMargin(st.rightIndent);
            cursor.setBlockFormat(bf);
            cursor.insertBlock();
            firstBlock = false;
        };
        qsizetype i = 0;
        const qsizetype n = m_in.size();
        QByteArray pendingBytes; // \'hh bytes, decoded together
        auto flushBytes = [&] {
            if (!pendingBytes.isEmpty())
                emitText(DecodeText(CodePage::Win1251, pendingBytes));
            pendingBytes.clear();
        };
        while (i < n) {
            const char c = m_in[i];
            if (c != '\\' || i + 1 >= n || m_in[i + 1] != '\'')
                flushBytes();
            if (c == '{') {
                stack.push_back(st);
                ++i;
                continue;
            }
            if (c == '}') {
                if (stack.empty())
                    return fail();
                if (st.fontTable && fontNumber >= 0) {
                    m_fonts[fontNumber] = fontName.remove(u';').trimmed();
                    fontNumber = -1;
                    fontName.clear();
                }
                st = stack.back();
                stack.pop_back();
                ++i;
                if (stack.empty()) {
                    // Nothing but blanks may follow the closing brace.
                    if (!m_in.mid(i).trimmed().replace('\0', "").isEmpty())
                        return fail();
                    break;
                }
                continue;
            }
            if (c == '\r' || c == '\n') {
                ++i;
                continue;
            }
            if (c != '\\') {
                if (pendingSkip > 0) {
                    --pendingSkip;
                    ++i;
                    continue;
                }
                qsizetype j = i;
                while (j < n && m_in[j] != '\\' && m_in[j] != '{' && m_in[j] != '}' &&
                       m_in[j] != '\r' && m_in[j] != '\n')
                    ++j;
                emitText(DecodeText(CodePage::Win1251, m_in.mid(i, j - i)));
                i = j;
                continue;
            }
            // A control word or symbol.
            ++i;
            if (i >= n)
                return fail();
            const char s = m_in[i];
            if (s == '\\' || s == '{' || s == '}') {
                if (pendingSkip > 0)
                    --pendingSkip;
                else
                    emitText(QString(QChar(s)));
                ++i;
                continue;
            }
            if (s == '\'') {
                if (i + 2 >= n)
                    return fail();
                bool ok = false;
                const int byte = m_in.mid(i + 1, 2).toInt(&ok, 16);
                if (!ok)
                    return fail();
                i += 3;
                if (pendingSkip > 0) {
                    --pendingSkip;
                    continue;
                }
                pendingBytes += char(byte);
                continue;
            }
            if (s == '*') {
                st.ignored = true;
                ++i;
                continue;
            }
            if (!std::isalpha(static_cast<unsigned char>(s))) {
                ++i; // \~ \- \_ and the like
                continue;
            }
            qsizetype j = i;
            while (j < n && std::isalpha(static_cast<unsigned char>(m_in[j])))
                ++j;
            const QByteArray word = m_in.mid(i, j - i);
            bool hasParam = false;
            int param = 0;
            qsizetype k = j;
            if (k < n && (m_in[k] == '-' || std::isdigit(static_cast<unsigned char>(m_in[k])))) {
                ++k;
                while (k < n && std::isdigit(static_cast<unsigned char>(m_in[k])))
                    ++k;
                param = m_in.mid(j, k - j).toInt(&hasParam);
                if (!hasParam)
                    return fail();
            }
            if (k < n && m_in[k] == ' ')
                ++k;
            i = k;
            pendingSkip = 0;
            if (word == "par") {
                if (!st.ignored && !st.fontTable)
                    endParagraph();
            } else if (word == "line") {
                emitText(QString(QChar::LineSeparator));
            } else if (word == "tab") {
                emitText(QStringLiteral("\t"));
            } else if (word == "u") {
                emitText(QString(QChar(ushort(short(param)))));
                pendingSkip = st.skip;
            } else if (word == "uc") {
                st.skip = param;
            } else if (word == "b") {
                st.format.setFontWeight(hasParam && param == 0 ? QFont::Normal : QFont::Bold);
            } else if (word == "i") {
                st.format.setFontItalic(!(hasParam && param == 0));
            } else if (word == "ul") {
                st.format.setFontUnderline(!(hasParam && param == 0));
            } else if (word == "ulnone") {
                st.format.setFontUnderline(false);
            } else if (word == "plain") {
                st.format = QTextCharFormat();
            } else if (word == "fs") {
                if (param > 0)
                    st.format.setFontPointSize(param / 2.0);
            } else if (word == "f") {
                if (st.fontTable)
                    fontNumber = param;
                else if (m_fonts.contains(param))
                    st.format.setFontFamilies({m_fonts.value(param)});
            } else if (word == "fonttbl") {
                st.fontTable = true;
            } else if (word == "pard") {
                st.alignment = Qt::AlignLeft;
                st.firstIndent = st.leftIndent = st.rightIndent = 0;
            } else if (word == "fi") {
                st.firstIndent = param / 15.0;
            } else if (word == "li") {
                st.leftIndent = param / 15.0;
            } else if (word == "ri") {
                st.rightIndent = param / 15.0;
            } else if (word == "ql") {
                st.alignment = Qt::AlignLeft;
            } else if (word == "qc") {
                st.alignment = Qt::AlignHCenter;
            } else if (word == "qr") {
                st.alignment = Qt::AlignRight;
            } else if (word == "colortbl" || word == "stylesheet" || word == "info" ||
                       word == "pict" || word == "header" || word == "footer" || word == "object" ||
                       word == "listtable" || word == "listoverridetable") {
                st.ignored = true;
            }
        }
        flushBytes();
        if (!stack.empty())
            return fail();
        // The last \par ends the text: no empty paragraph after it.
        if (!firstBlock && cursor.block().text().isEmpty()) {
            cursor.deletePreviousChar();
        }
        doc.setDefaultFont(result.defaultFont());
        doc.clear();
        QTextCursor(&doc).insertFragment(QTextDocumentFragment(&result));
        return true;
    }

private:
    bool fail() {
        if (m_error)
            *m_error = QStringLiteral("Файл поврежден или не является файлом RTF");
        return false;
    }

    const QByteArray& m_in;
    QString* m_error;
    QMap<int, QString> m_fonts;
};

} // namespace

bool fromRtf(const QByteArray& bytes, QTextDocument& doc, QString* error) {
    return RtfReader(bytes, error).read(doc);
}

QString decodeText(const QByteArray& bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.mid(3));
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString asUtf8 = utf8.decode(bytes);
    if (!utf8.hasError())
        return asUtf8;
    // Russian text: the page under which the frequent lower-case letters appear wins.
    auto score = [](const QString& text) {
        static const QString common = QStringLiteral("оеаинтсрвлк");
        int n = 0;
        for (const QChar c : text)
            if (common.contains(c))
                ++n;
        return n;
    };
    const QString win = DecodeText(CodePage::Win1251, bytes);
    const QString dos = DecodeText(CodePage::Cp866, bytes);
    return score(dos) > score(win) ? dos : win;
}

bool load(const QString& path, QTextDocument& doc, QString* error) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("Не удалось открыть файл ") + path + QStringLiteral("\r\n") +
                 f.errorString();
        return false;
    }
    const QByteArray bytes = f.readAll();
    if (bytes.startsWith("{\\rtf") || isRtfName(path)) {
        QString why;
        if (!fromRtf(bytes, doc, &why)) {
            *error =
                QStringLiteral("Не удалось прочитать файл ") + path + QStringLiteral("\r\n") + why;
            return false;
        }
        return true;
    }
    QString text = decodeText(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    doc.setPlainText(text);
    return true;
}

bool save(const QString& path, const QTextDocument& doc, QString* error) {
    QSaveFile f(path);
    QByteArray bytes;
    if (isRtfName(path)) {
        bytes = toRtf(doc);
    } else {
        bytes = doc.toPlainText().replace(u'\n', QStringLiteral("\r\n")).toUtf8();
    }
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.commit()) {
        *error = QStringLiteral("Не удалось записать файл ") + path + QStringLiteral("\r\n") +
                 f.errorString();
        return false;
    }
    return true;
}

} // namespace ProtocolFile
