#include "CodePages.h"

#include <QHash>

#include <array>
#include <iconv.h>

namespace {

struct PageTable {
    std::array<char16_t, 256> toUnicode{};
    QHash<char16_t, unsigned char> fromUnicode;
};

PageTable buildTable(const char* iconvName) {
    PageTable table;
    iconv_t cd = iconv_open("UTF-16LE", iconvName);
    for (int b = 0; b < 256; ++b) {
        char16_t out = 0xFFFD;
        if (b < 128) {
            out = char16_t(b);
        } else if (cd != iconv_t(-1)) {
            char in = char(b);
            char buf[4];
            char* inPtr = &in;
            char* outPtr = buf;
            size_t inLeft = 1, outLeft = sizeof buf;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != size_t(-1) &&
                outLeft == sizeof buf - 2)
                out = char16_t(uchar(buf[0]) | (uchar(buf[1]) << 8));
        }
        table.toUnicode[b] = out;
        if (out != 0xFFFD && !table.fromUnicode.contains(out))
            table.fromUnicode.insert(out, uchar(b));
    }
    if (cd != iconv_t(-1))
        iconv_close(cd);
    return table;
}

const PageTable& table(CodePage page) {
    static const PageTable win1251 = buildTable("CP1251");
    static const PageTable cp866 = buildTable("CP866");
    return page == CodePage::Win1251 ? win1251 : cp866;
}

} // namespace

QChar DecodeByte(CodePage page, unsigned char byte) {
    return QChar(table(page).toUnicode[byte]);
}

bool EncodeChar(CodePage page, QChar c, unsigned char& byte) {
    const auto& map = table(page).fromUnicode;
    auto it = map.constFind(c.unicode());
    if (it == map.constEnd())
        return false;
    byte = it.value();
    return true;
}

QString DecodeText(CodePage page, const QByteArray& bytes) {
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (char b : bytes)
        *out++ = DecodeByte(page, uchar(b));
    return text;
}

QByteArray EncodeText(CodePage page, const QString& text, bool* lossless) {
    QByteArray bytes(text.size(), Qt::Uninitialized);
    bool all = true;
    for (qsizetype i = 0; i < text.size(); ++i) {
        unsigned char b = '?';
        if (!EncodeChar(page, text[i], b)) {
            b = '?';
            all = false;
        }
        bytes[i] = char(b);
    }
    if (lossless)
        *lossless = all;
    return bytes;
}

bool CanEncode(CodePage page, const QString& text) {
    bool lossless = true;
    EncodeText(page, text, &lossless);
    return lossless;
}
