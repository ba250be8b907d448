#include "Cp866Repair.h"

#include "CodePages.h"

namespace {

// Box-drawing bytes of code page 866, which Windows-1251 cannot show.
unsigned char boxDrawingReplacement(unsigned char b) {
    switch (b) {
    case 0xB3:
        return 0xA6;
    case 0xB4:
        return '+';
    case 0xB6:
        return 0xA6;
    case 0xB7:
        return 0xAC;
    case 0xBA:
        return 0x16;
    case 0xBD:
        return '-';
    case 0xBF:
        return 0xAC;
    case 0xC0:
        return 'L';
    case 0xC1:
        return '+';
    case 0xC2:
        return 'T';
    case 0xC3:
        return '+';
    case 0xC4:
        return '-';
    case 0xC5:
        return '+';
    case 0xC7:
        return 0xA6;
    case 0xCD:
        return '=';
    case 0xD0:
        return 0xA6;
    case 0xD2:
        return 'T';
    case 0xD3:
        return 'L';
    case 0xD6:
        return 0xE3;
    case 0xD7:
        return '+';
    case 0xD9:
        return '-';
    case 0xDA:
        return '-';
    default:
        return 0;
    }
}

bool isCp866Letter(unsigned char b) {
    return (b >= 0x80 && b <= 0xAF) || (b >= 0xE0 && b <= 0xF1);
}

} // namespace

unsigned char Cp866RepairByte(unsigned char b) {
    if (isCp866Letter(b)) {
        unsigned char out;
        if (EncodeChar(CodePage::Win1251, DecodeByte(CodePage::Cp866, b), out))
            return out;
    }
    if (unsigned char box = boxDrawingReplacement(b))
        return box;
    if (b == 0 || b == 26)
        return ' ';
    return 0x40;
}

unsigned char Cp866Repair(QChar c) {
    unsigned char b;
    if (!EncodeChar(CodePage::Win1251, c, b)) {
        if (c.unicode() >= 256)
            return 0x40;
        b = uchar(c.unicode());
    }
    return Cp866RepairByte(b);
}

QString Cp866RepairText(const QString& text) {
    QString out = text;
    for (QChar& c : out) {
        const unsigned char b = Cp866Repair(c);
        if (b != 0x40)
            c = DecodeByte(CodePage::Win1251, b);
    }
    return out;
}
