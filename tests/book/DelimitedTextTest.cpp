#include "io/DelimitedText.h"
#include "model/Workbook.h"

#include <gtest/gtest.h>

TEST(DelimitedTextTest, WritesFormattedAndPlain) {
    Workbook b;
    b.setEntry(1, 1, "1234.5");
    b.setNumberFormat(1, CellRange::cell(1, 1), "#,##0.00");
    b.setEntry(1, 3, "a\tb");
    b.setEntry(2, 2, "=A1*2");
    EXPECT_EQ(DelimitedText::write(b, 1, true), "1,234.50\t\t\"a\tb\"\r\n\t2469\t\r\n");
    EXPECT_EQ(DelimitedText::write(b, 1, false), "1234.5\t\t\"a\tb\"\r\n\t2469\t\r\n");
}

TEST(DelimitedTextTest, ReadsWithSeparatorAndQualifier) {
    Workbook b;
    DelimitedText::ReadOptions o;
    o.separator = ';';
    const int rows = DelimitedText::read(
        b, 1, ";12,5;\"x;y\";=A1\r\n1.3.2004;\"7\";\"say \"\"hi\"\"\"\nlast", o);
    EXPECT_EQ(rows, 3);
    EXPECT_EQ(b.type(1, 1), 0);
    EXPECT_EQ(b.number(1, 2), 12.5);
    EXPECT_EQ(b.text(1, 3), "x;y");
    EXPECT_EQ(b.type(1, 4), 2); // never a formula
    EXPECT_EQ(b.entry(2, 1), "1.3.2004");
    EXPECT_EQ(b.type(2, 2), 2); // quoted: kept as text
    EXPECT_EQ(b.text(2, 3), "say \"hi\"");
    EXPECT_EQ(b.text(3, 1), "last");
    o.qualifier = QChar();
    o.startRow = 10;
    DelimitedText::read(b, 1, "'a';\"b\"", o);
    EXPECT_EQ(b.text(10, 1), "'a'");
    EXPECT_EQ(b.text(10, 2), "\"b\"");
}

TEST(DelimitedTextTest, DecodeFallsBackForNonUtf8) {
    EXPECT_EQ(DelimitedText::decode("\xEF\xBB\xBFабв"), "абв");
    const QByteArray cp1251("\xE0\xE1\xE2");
    EXPECT_EQ(DelimitedText::decode(cp1251, [](const QByteArray&) { return QString("fallback"); }),
              "fallback");
}
