#include "TextEncoding.h"

#include <QStringDecoder>

namespace TextEncoding {

namespace {

// The upper halves of the two Cyrillic code pages; the lower halves are ASCII.
const char16_t kWindows1251[128] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039,
    0x040A, 0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0xFFFD, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0, 0x040E, 0x045E, 0x0408,
    0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB,
    0x0458, 0x0405, 0x0455, 0x0457, 0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F, 0x0420, 0x0421, 0x0422, 0x0423,
    0x0424, 0x0425, 0x0426, 0x0427, 0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437, 0x0438, 0x0439, 0x043A, 0x043B,
    0x043C, 0x043D, 0x043E, 0x043F, 0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,
};

const char16_t kCp866[128] = {
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417, 0x0418, 0x0419, 0x041A, 0x041B,
    0x041C, 0x041D, 0x041E, 0x041F, 0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F, 0x0430, 0x0431, 0x0432, 0x0433,
    0x0434, 0x0435, 0x0436, 0x0437, 0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556, 0x2555, 0x2563, 0x2551, 0x2557,
    0x255D, 0x255C, 0x255B, 0x2510, 0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567, 0x2568, 0x2564, 0x2565, 0x2559,
    0x2558, 0x2552, 0x2553, 0x256B, 0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447, 0x0448, 0x0449, 0x044A, 0x044B,
    0x044C, 0x044D, 0x044E, 0x044F, 0x0401, 0x0451, 0x0404, 0x0454, 0x0407, 0x0457, 0x040E, 0x045E,
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x2116, 0x00A4, 0x25A0, 0x00A0,
};

QString decodeTable(QByteArrayView bytes, const char16_t* upper) {
    QString out(bytes.size(), Qt::Uninitialized);
    QChar* d = out.data();
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        *d++ = QChar(b < 0x80 ? char16_t(b) : upper[b - 0x80]);
    }
    return out;
}

bool isCyrillicLetter(char16_t c) {
    return (c >= 0x0410 && c <= 0x044F) || c == 0x0401 || c == 0x0451;
}

// How much a decoding looks like Russian text: letters count for it, the box-drawing
// characters a wrong guess produces count against it.
long plausibility(QByteArrayView bytes, const char16_t* upper) {
    long score = 0;
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80)
            continue;
        const char16_t u = upper[b - 0x80];
        if (isCyrillicLetter(u))
            ++score;
        else if (u >= 0x2500 && u <= 0x25FF)
            score -= 3;
    }
    return score;
}

} // namespace

bool isUtf8(QByteArrayView bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(bytes);
    return !utf8.hasError();
}

Encoding detect(QByteArrayView bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF") || isUtf8(bytes))
        return Encoding::Utf8;
    return plausibility(bytes, kCp866) > plausibility(bytes, kWindows1251) ? Encoding::Cp866
                                                                           : Encoding::Windows1251;
}

QString decode(QByteArrayView bytes, Encoding encoding, Encoding* used) {
    if (encoding == Encoding::Auto)
        encoding = detect(bytes);
    if (used)
        *used = encoding;
    switch (encoding) {
    case Encoding::Windows1251:
        return decodeTable(bytes, kWindows1251);
    case Encoding::Cp866:
        return decodeTable(bytes, kCp866);
    default:
        break;
    }
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);
    return QString::fromUtf8(bytes);
}

QByteArray encode(const QString& text, Encoding encoding) {
    const char16_t* upper = encoding == Encoding::Cp866         ? kCp866
                            : encoding == Encoding::Windows1251 ? kWindows1251
                                                                : nullptr;
    if (!upper)
        return text.toUtf8();
    QByteArray out;
    out.reserve(text.size());
    for (const QChar ch : text) {
        const char16_t u = ch.unicode();
        if (u < 0x80) {
            out += char(u);
            continue;
        }
        char b = '?';
        for (int i = 0; i < 128; ++i)
            if (upper[i] == u) {
                b = char(0x80 + i);
                break;
            }
        out += b;
    }
    return out;
}

bool looksBinary(QByteArrayView bytes) {
    const QByteArrayView head = bytes.first(qMin<qsizetype>(bytes.size(), 65536));
    qsizetype controls = 0;
    for (const char c : head) {
        const auto b = static_cast<unsigned char>(c);
        if (b == 0)
            return true;
        if (b < 0x20 && b != '\t' && b != '\n' && b != '\r' && b != '\f' && b != 0x1A)
            ++controls;
    }
    return controls * 20 > head.size();
}

QString name(Encoding encoding) {
    switch (encoding) {
    case Encoding::Utf8:
        return QStringLiteral("UTF-8");
    case Encoding::Windows1251:
        return QStringLiteral("Windows (ANSI)");
    case Encoding::Cp866:
        return QStringLiteral("DOS");
    default:
        return QStringLiteral("Автоматически");
    }
}

} // namespace TextEncoding
