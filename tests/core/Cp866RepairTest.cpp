#include "Cp866Repair.h"
#include "CodePages.h"

#include <gtest/gtest.h>

namespace {
unsigned char win1251(QChar c) {
    unsigned char b = 0;
    EXPECT_TRUE(EncodeChar(CodePage::Win1251, c, b));
    return b;
}
} // namespace

TEST(Cp866Repair, LettersComeBackAsMeant) {
    // DOS "А" (0x80) shown as Windows-1251 "Ђ"; DOS "р" (0xE0) shown as "а".
    EXPECT_EQ(Cp866Repair(QChar(0x0402)), win1251(QChar(0x0410)));
    EXPECT_EQ(Cp866Repair(QChar(0x0430)), win1251(QChar(0x0440)));
    // Every DOS letter byte gives the Windows-1251 byte of the same letter.
    for (int b = 0x80; b <= 0xAF; ++b)
        EXPECT_EQ(Cp866RepairByte(uchar(b)), win1251(DecodeByte(CodePage::Cp866, uchar(b)))) << b;
    for (int b = 0xE0; b <= 0xF1; ++b)
        EXPECT_EQ(Cp866RepairByte(uchar(b)), win1251(DecodeByte(CodePage::Cp866, uchar(b)))) << b;
    // Ё and ё (0xF0, 0xF1) too.
    EXPECT_EQ(Cp866RepairByte(0xF0), 0xA8);
    EXPECT_EQ(Cp866RepairByte(0xF1), 0xB8);
}

TEST(Cp866Repair, BoxDrawingAndControlCharacters) {
    EXPECT_EQ(Cp866RepairByte(0xB3), 0xA6);
    EXPECT_EQ(Cp866RepairByte(0xC4), '-');
    EXPECT_EQ(Cp866RepairByte(0xC5), '+');
    EXPECT_EQ(Cp866RepairByte(0xCD), '=');
    EXPECT_EQ(Cp866RepairByte(0xBA), 0x16);
    EXPECT_EQ(Cp866RepairByte(0xD6), 0xE3);
    EXPECT_EQ(Cp866RepairByte(0xDA), '-');
    EXPECT_EQ(Cp866Repair(QChar(0)), ' ');
    EXPECT_EQ(Cp866Repair(QChar(26)), ' ');
    // Uncovered: plain ASCII, the block elements, characters beyond Windows-1251.
    EXPECT_EQ(Cp866Repair(QChar('A')), 0x40);
    EXPECT_EQ(Cp866RepairByte(0xDB), 0x40);
    EXPECT_EQ(Cp866Repair(QChar(0x4E2D)), 0x40);
}

TEST(Cp866Repair, WholeTextKeepsWhatIsNotCovered) {
    // "Ђ¬ЎЁ" is how DOS "Привет"-like bytes look; build it from the DOS bytes of "Мир 1".
    const QByteArray dos = EncodeText(CodePage::Cp866, QStringLiteral("Мир 1"));
    const QString garbled = DecodeText(CodePage::Win1251, dos);
    EXPECT_NE(garbled, QStringLiteral("Мир 1"));
    EXPECT_EQ(Cp866RepairText(garbled), QStringLiteral("Мир 1"));
}
