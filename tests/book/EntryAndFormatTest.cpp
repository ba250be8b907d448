#include "format/BookLocale.h"
#include "format/DateSerial.h"
#include "format/EntryParser.h"
#include "format/NumberFormat.h"
#include "io/DelimitedText.h"
#include "model/Workbook.h"

#include <gtest/gtest.h>

TEST(EntryParserTest, NumbersAcceptEitherDecimalSeparator) {
    auto a = EntryParser::parse("1234.5");
    auto b = EntryParser::parse("1234,5");
    ASSERT_EQ(a.kind, ParsedEntry::Number);
    ASSERT_EQ(b.kind, ParsedEntry::Number);
    EXPECT_DOUBLE_EQ(a.number, 1234.5);
    EXPECT_DOUBLE_EQ(b.number, 1234.5);
    EXPECT_DOUBLE_EQ(EntryParser::parse("-1e3").number, -1000);
    EXPECT_EQ(EntryParser::parse("1.2.3.4").kind, ParsedEntry::Text);
    EXPECT_EQ(EntryParser::parse("12abc").kind, ParsedEntry::Text);
    EXPECT_EQ(EntryParser::parse("").kind, ParsedEntry::Empty);
    EXPECT_EQ(EntryParser::parse("=A1+1").kind, ParsedEntry::Formula);
    EXPECT_EQ(EntryParser::parse("=").kind, ParsedEntry::Text);
}

TEST(EntryParserTest, DatesWithDotAndSlashAndMonthYear) {
    const auto d1 = EntryParser::parse("1.3.2004");
    const auto d2 = EntryParser::parse("1/3/2004");
    const auto m = EntryParser::parse("3/2004");
    ASSERT_TRUE(d1.isDate);
    ASSERT_TRUE(d2.isDate);
    ASSERT_TRUE(m.isDate);
    const double march1 = DateSerial::fromDate(QDate(2004, 3, 1));
    EXPECT_EQ(d1.number, march1);
    EXPECT_EQ(d2.number, march1);
    EXPECT_EQ(m.number, march1);
    EXPECT_EQ(EntryParser::parse("31.2.2004").kind, ParsedEntry::Text);
    EXPECT_EQ(EntryParser::parse("13/2004").kind, ParsedEntry::Text);
    // One dot is a decimal number, not a month.
    EXPECT_EQ(EntryParser::parse("3.2004").kind, ParsedEntry::Number);
}

TEST(EntryParserTest, DateEntryUsesTheDateSeparator) {
    const double serial = DateSerial::fromDate(QDate(2004, 3, 1));
    BookLocale::setDateSeparator('.');
    EXPECT_EQ(EntryParser::dateEntry(serial), "1.3.2004");
    BookLocale::setDateSeparator('/');
    EXPECT_EQ(EntryParser::dateEntry(serial), "1/3/2004");
    BookLocale::setDateSeparator('.');
}

TEST(DateSerialTest, SerialsOfThe1900System) {
    EXPECT_EQ(DateSerial::fromDate(QDate(1900, 1, 1)), 1);
    EXPECT_EQ(DateSerial::fromDate(QDate(1900, 3, 1)), 61);
    EXPECT_EQ(DateSerial::fromDate(QDate(2004, 3, 1)), 38047);
    EXPECT_EQ(DateSerial::toDate(38047), QDate(2004, 3, 1));
    EXPECT_EQ(DateSerial::toDate(59), QDate(1900, 2, 28));
    EXPECT_FALSE(DateSerial::toDate(-5).isValid());
}

TEST(NumberFormatTest, FixedAndThousands) {
    EXPECT_EQ(NumberFormat("0.00").formatNumber(1234.5), "1234.50");
    EXPECT_EQ(NumberFormat("0").formatNumber(1234.5), "1235");
    EXPECT_EQ(NumberFormat("#,##0").formatNumber(1234567.4), "1,234,567");
    EXPECT_EQ(NumberFormat("#,##0.00").formatNumber(-1234.567), "-1,234.57");
    EXPECT_EQ(NumberFormat("0.000").formatNumber(0.0005), "0.001");
    EXPECT_EQ(NumberFormat("0.0").formatNumber(-0.01), "0.0");
    EXPECT_EQ(NumberFormat("0%").formatNumber(0.256), "26%");
    EXPECT_EQ(NumberFormat("0.00%").formatNumber(0.256), "25.60%");
}

TEST(NumberFormatTest, SectionsAndCurrency) {
    const NumberFormat money("$#,##0.00_);($#,##0.00)");
    EXPECT_EQ(money.formatNumber(1234.5), "$1,234.50 ");
    EXPECT_EQ(money.formatNumber(-1234.5), "($1,234.50)");
    const NumberFormat three("0.0;[Red]-0.0;\"zero\"");
    EXPECT_EQ(three.formatNumber(0), "zero");
    EXPECT_EQ(three.formatNumber(-2), "-2.0");
    EXPECT_EQ(NumberFormat("@").formatText("abc"), "abc");
    EXPECT_EQ(NumberFormat("0;0;0;\"<\"@\">\"").formatText("x"), "<x>");
}

TEST(NumberFormatTest, DatesWithRussianMonths) {
    const double march = DateSerial::fromDate(QDate(2004, 3, 1));
    EXPECT_EQ(NumberFormat("mmm/yy").formatNumber(march), "мар/04");
    EXPECT_EQ(NumberFormat("dd.mm.yyyy").formatNumber(march), "01.03.2004");
    EXPECT_EQ(NumberFormat("m/d/yy").formatNumber(march), "3/1/04");
    EXPECT_EQ(NumberFormat("mmmm yyyy").formatNumber(DateSerial::fromDate(QDate(2004, 5, 9))),
              "Май 2004");
    EXPECT_EQ(NumberFormat("hh:mm").formatNumber(0.75), "18:00");
    EXPECT_TRUE(NumberFormat("mmm/yy").isDate());
    EXPECT_FALSE(NumberFormat("0.00").isDate());
}

TEST(NumberFormatTest, Fractions) {
    const NumberFormat f(QStringLiteral("# ?\?/?\?"));
    EXPECT_EQ(f.formatNumber(1.5), "1  1/2 ");
    EXPECT_EQ(f.formatNumber(0.75), "  3/4 ");
    EXPECT_EQ(f.formatNumber(2), "2      ");
    EXPECT_EQ(f.formatNumber(3.14159), "3 14/99");
}

TEST(NumberFormatTest, GeneralNotation) {
    EXPECT_EQ(NumberFormat::general(1234.5), "1234.5");
    EXPECT_EQ(NumberFormat::general(0.1 + 0.2), "0.3");
    EXPECT_EQ(NumberFormat::general(-7), "-7");
    EXPECT_EQ(NumberFormat::general(1e20), "1E+20");
    EXPECT_EQ(NumberFormat::general(1.0 / 3, 18).left(20), "0.333333333333333315");
    EXPECT_EQ(NumberFormat("General").formatNumber(2.5), "2.5");
    BookLocale::setDecimalSeparator(',');
    EXPECT_EQ(NumberFormat::general(2.5), "2,5");
    EXPECT_EQ(NumberFormat("0.00").formatNumber(2.5), "2,50");
    BookLocale::setDecimalSeparator('.');
}

TEST(NumberFormatTest, TextFormatAndBlankGroupingShowEveryDigit) {
    EXPECT_EQ(NumberFormat("@").formatNumber(12.5), "12.5");
    EXPECT_EQ(NumberFormat("@").formatNumber(-5), "-5");
    EXPECT_EQ(NumberFormat("# ##0").formatNumber(1234567), "1 234 567");
    EXPECT_EQ(NumberFormat("# ##0").formatNumber(999.5), "1 000");
    EXPECT_EQ(NumberFormat("# ##0").formatNumber(12), "12");
    EXPECT_EQ(NumberFormat("# ##0.00").formatNumber(-1234567.891), "-1 234 567.89");
    // The blank of a fraction is no grouping.
    EXPECT_EQ(NumberFormat("# ?\?/?\?").formatNumber(1.5), "1  1/2 ");
    EXPECT_EQ(NumberFormat("0 \"шт.\"").formatNumber(1234), "1234 шт.");
}

TEST(NumberFormatTest, GeneralShortensToFitBeforeGivingUp) {
    auto within = [](int chars) { return [chars](const QString& s) { return s.size() <= chars; }; };
    EXPECT_EQ(NumberFormat::generalToFit(1234.5678, within(20)), "1234.5678");
    EXPECT_EQ(NumberFormat::generalToFit(1234.5678, within(6)), "1234.6");
    EXPECT_EQ(NumberFormat::generalToFit(-0.123456, within(5)), "-0.12");
    EXPECT_EQ(NumberFormat::generalToFit(123456789012.0, within(8)), "1.23E+11");
    EXPECT_EQ(NumberFormat::generalToFit(123456789012.0, within(3)), "");
    BookLocale::setDecimalSeparator(',');
    EXPECT_EQ(NumberFormat::generalToFit(2.75, within(3)), "2,8");
    BookLocale::setDecimalSeparator('.');
}

TEST(BookLocaleTest, RussianLocaleShowsCommaAndSortsYoWithYe) {
    BookLocale::adopt(QLocale(QLocale::Russian, QLocale::Russia));
    Workbook b;
    b.setEntry(1, 1, "12.5");
    b.setEntry(2, 1, "7,25");
    b.setNumberFormat(1, CellRange(3, 1, 3, 1), "#,##0.00");
    b.setNumber(3, 1, 1234.5);
    EXPECT_EQ(b.formattedText(1, 1), "12,5");
    EXPECT_EQ(b.entry(1, 1), "12,5");
    EXPECT_EQ(b.number(2, 1), 7.25);
    EXPECT_EQ(b.formattedText(3, 1),
              QString("1") + QLocale(QLocale::Russian).groupSeparator() + "234,50");
    // Files keep the point whatever the display shows.
    EXPECT_EQ(DelimitedText::write(b, 1, false), "12.5\r\n7.25\r\n1234.5\r\n");

    const QStringList words{"я", "Ёж", "Ж", "а", "ёлка", "дом"};
    for (int i = 0; i < words.size(); ++i)
        b.setEntry(i + 1, 2, words[i]);
    b.sortRange(1, CellRange(1, 2, int(words.size()), 2), {2});
    QStringList sorted;
    for (int i = 0; i < words.size(); ++i)
        sorted << b.text(i + 1, 2);
    EXPECT_EQ(sorted, (QStringList{"а", "дом", "Ёж", "ёлка", "Ж", "я"}));
    BookLocale::adopt(QLocale::c());
    EXPECT_EQ(b.formattedText(1, 1), "12.5");
}
