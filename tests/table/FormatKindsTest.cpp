#include "FormatKinds.h"

#include "format/BookLocale.h"
#include "model/Workbook.h"

#include <gtest/gtest.h>

TEST(FormatKindsTest, FormatsReadBackFaithfully) {
    // "0.00" is a number with two decimals, not a fixed width of four, and applying the
    // window unchanged keeps it.
    const FormatKinds::Choice c = FormatKinds::read("0.00");
    EXPECT_EQ(c.kind, FormatKinds::Number);
    EXPECT_EQ(c.digits, 2);
    EXPECT_EQ(FormatKinds::apply("0.00", c), "0.00");
    EXPECT_EQ(FormatKinds::read("000").kind, FormatKinds::Fixed);
    EXPECT_EQ(FormatKinds::read("000").digits, 3);
    EXPECT_EQ(FormatKinds::read("General").kind, FormatKinds::General);
    EXPECT_EQ(FormatKinds::read("@").kind, FormatKinds::Text);
    EXPECT_EQ(FormatKinds::read("0%").kind, FormatKinds::Percent);
    EXPECT_EQ(FormatKinds::read("# ??"
                                "/??")
                  .kind,
              FormatKinds::Fraction);
    EXPECT_EQ(FormatKinds::read("$#,##0.00_);($#,##0.00)").kind, FormatKinds::Currency);
    const FormatKinds::Choice d = FormatKinds::read("mmm/yy");
    EXPECT_EQ(d.kind, FormatKinds::Date);
    EXPECT_EQ(FormatKinds::dateSamples().at(d.dateSample), QStringLiteral("янв.98"));
    const FormatKinds::Choice red = FormatKinds::read("#.00;[Red]-#.00");
    EXPECT_TRUE(red.redNegatives);
    EXPECT_EQ(red.digits, 2);
}

TEST(FormatKindsTest, EachKindBuildsItsFormat) {
    using K = FormatKinds;
    EXPECT_EQ(K::build({K::Number, 9, false, -1}), "#.000000");
    EXPECT_EQ(K::build({K::Number, 9, true, -1}), "#.000000;[Red]-#.000000");
    EXPECT_EQ(K::build({K::Number, 0, false, -1}), "#");
    EXPECT_EQ(K::build({K::Fixed, 1, false, -1}), "0");
    EXPECT_EQ(K::build({K::Fixed, 4, false, -1}), "0000");
    EXPECT_EQ(K::build({K::Percent, 0, false, -1}), "0%");
    EXPECT_EQ(K::build({K::Date, 0, false, 3}), "mmm/yyyy");
    EXPECT_EQ(K::build({K::Date, 0, false, -1}), "General");
    EXPECT_EQ(K::build({K::Text, 0, false, -1}), "@");
    // A changed choice is built anew.
    EXPECT_EQ(K::apply("0.00", {K::Number, 3, false, -1}), "#.000");
}

TEST(FormatKindsTest, DigitButtonsFollowTheDisplayedText) {
    const QChar was = BookLocale::decimalSeparator();
    BookLocale::setDecimalSeparator(QLatin1Char(','));
    EXPECT_EQ(FormatKinds::moreDigits("1,5", "#.0;[Red]-#.0"), "#.00;[Red]-#.00");
    EXPECT_EQ(FormatKinds::moreDigits("15", "General"), "#.0");
    EXPECT_EQ(FormatKinds::fewerDigits("1,5", "#.0;[Red]-#.0"), "#;[Red]-#");
    EXPECT_EQ(FormatKinds::fewerDigits("1,55", "General"), "#.0");
    EXPECT_EQ(FormatKinds::fewerDigits("15", "General"), "#");
    BookLocale::setDecimalSeparator(was);
}

TEST(FormatKindsTest, OneFontSizeRule) {
    int size = 0;
    EXPECT_TRUE(FormatKinds::fontSizeValid(" 8 ", &size));
    EXPECT_EQ(size, 8);
    EXPECT_TRUE(FormatKinds::fontSizeValid("40", &size));
    EXPECT_FALSE(FormatKinds::fontSizeValid("7", &size));
    EXPECT_FALSE(FormatKinds::fontSizeValid("41", &size));
    EXPECT_FALSE(FormatKinds::fontSizeValid("десять", &size));
    // The message names the same bounds as the check.
    EXPECT_TRUE(FormatKinds::fontSizeMessage().contains("от 8 до 40"));
}

TEST(FormatKindsTest, SizesBeyondSixteenBitsAreRefused) {
    int units = 0;
    QString message;
    EXPECT_TRUE(FormatKinds::sizeUnits("127.9", false, &units, &message));
    EXPECT_EQ(units, 32742);
    EXPECT_FALSE(FormatKinds::sizeUnits("128", false, &units, &message));
    EXPECT_EQ(message, QStringLiteral("Ширина колонки не может быть больше 127,99 символа"));
    EXPECT_TRUE(FormatKinds::sizeUnits("10", true, &units, &message));
    EXPECT_EQ(units, 567);
    EXPECT_FALSE(FormatKinds::sizeUnits("600", true, &units, &message));
    EXPECT_EQ(message, QStringLiteral("Высота строки не может быть больше 578 мм"));
    EXPECT_FALSE(FormatKinds::sizeUnits("широко", true, &units, &message));
    EXPECT_EQ(message, QStringLiteral("Ширина строки должна быть числом"));
    EXPECT_EQ(FormatKinds::sizeShown(567, true), "10.0");
}

TEST(FormatKindsTest, InnerBordersDrawTheLinesBetweenCellsOnly) {
    Workbook b;
    FormatKinds::applyBorder(b, 1, CellRange(2, 2, 3, 3), "SBin");
    const Sheet& s = b.sheet(1);
    EXPECT_EQ(s.format(2, 2).right.style, BorderStyle::Thin);
    EXPECT_EQ(s.format(2, 2).bottom.style, BorderStyle::Thin);
    EXPECT_EQ(s.format(2, 2).top.style, BorderStyle::None);
    EXPECT_EQ(s.format(2, 2).left.style, BorderStyle::None);
    EXPECT_EQ(s.format(3, 3).right.style, BorderStyle::None);
    EXPECT_EQ(s.format(3, 3).left.style, BorderStyle::Thin);
    FormatKinds::applyBorder(b, 1, CellRange(2, 2, 3, 3), "SBno");
    EXPECT_EQ(s.format(3, 3).left.style, BorderStyle::None);
    FormatKinds::applyBorder(b, 1, CellRange(2, 2, 3, 3), "SBout");
    EXPECT_EQ(s.format(2, 2).top.style, BorderStyle::Thin);
    EXPECT_EQ(s.format(2, 2).right.style, BorderStyle::None);
}
