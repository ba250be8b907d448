#include "format/EntryParser.h"
#include "format/NumberFormat.h"
#include "formula/Criteria.h"
#include "model/CellAddress.h"
#include "model/PrintSettings.h"

#include <gtest/gtest.h>

TEST(CriteriaTest, OperatorsNumbersAndWildcards) {
    const Criteria gt(">=5", 0, false);
    EXPECT_TRUE(gt.matchesNumber(5));
    EXPECT_FALSE(gt.matchesNumber(4.9));
    EXPECT_FALSE(gt.matchesText("9"));
    const Criteria eq("", 3, true);
    EXPECT_TRUE(eq.matchesNumber(3));
    EXPECT_FALSE(eq.matchesEmpty());
    const Criteria wild("ит*о", 0, false);
    EXPECT_TRUE(wild.matchesText("Итого"));
    EXPECT_FALSE(wild.matchesText("Итог"));
    const Criteria notA("<>a", 0, false);
    EXPECT_TRUE(notA.matchesText("b"));
    EXPECT_FALSE(notA.matchesText("A"));
    EXPECT_TRUE(notA.matchesEmpty());
    const Criteria blank("", 0, false);
    EXPECT_TRUE(blank.matchesEmpty());
    const Criteria dot("a.b", 0, false);
    EXPECT_TRUE(dot.matchesText("A.B"));
}

TEST(CellAddressTest, NamesAndParsing) {
    EXPECT_EQ(columnName(1), "A");
    EXPECT_EQ(columnName(26), "Z");
    EXPECT_EQ(columnName(27), "AA");
    EXPECT_EQ(columnName(256), "IV");
    int r = 0, c = 0;
    EXPECT_TRUE(parseCellName(u"$iv$16384", r, c));
    EXPECT_EQ(r, 16384);
    EXPECT_EQ(c, 256);
    EXPECT_FALSE(parseCellName(u"IW1", r, c));
    EXPECT_FALSE(parseCellName(u"A16385", r, c));
    EXPECT_FALSE(parseCellName(u"A0", r, c));
    EXPECT_FALSE(parseCellName(u"1A", r, c));
    EXPECT_FALSE(parseCellName(u"A1B", r, c));
    CellRange range;
    EXPECT_TRUE(parseRangeName(u"C5:A1", range));
    EXPECT_EQ(range, CellRange(1, 1, 5, 3));
    EXPECT_EQ(rangeName(range), "A1:C5");
    EXPECT_FALSE(parseRangeName(u"A1:", range));
}

TEST(NumberFormatTest, EdgeCases) {
    EXPECT_EQ(NumberFormat("0.00").formatNumber(-0.001), "0.00");
    EXPECT_EQ(NumberFormat("0.00").formatNumber(2.675), "2.68");
    EXPECT_EQ(NumberFormat("#,##0").formatNumber(999.5), "1,000");
    EXPECT_EQ(NumberFormat("#,##0").formatNumber(0), "0");
    EXPECT_EQ(NumberFormat("#.##").formatNumber(0.5), ".5");
    EXPECT_EQ(NumberFormat("0.0####").formatNumber(1.25), "1.25");
    EXPECT_EQ(NumberFormat("0.00E+00").formatNumber(12345), "1.23E+04");
    EXPECT_EQ(NumberFormat("0.00E+00").formatNumber(0.00012), "1.20E-04");
    EXPECT_EQ(NumberFormat("\"Итого: \"0").formatNumber(5), "Итого: 5");
    EXPECT_EQ(NumberFormat("0 \"р.\"").formatNumber(12), "12 р.");
    EXPECT_EQ(NumberFormat("0.000").decimals(), 3);
    EXPECT_EQ(NumberFormat("#,##0.00_);($#,##0.00)").decimals(), 2);
    EXPECT_EQ(NumberFormat("General").formatNumber(-0.5), "-0.5");
    EXPECT_EQ(NumberFormat("dd.mm.yyyy").formatNumber(-1), "########");
    EXPECT_EQ(NumberFormat("0.00").formatNumber(std::numeric_limits<double>::infinity()), "#NUM!");
    EXPECT_TRUE(NumberFormat("@").isText());
    EXPECT_TRUE(NumberFormat("").isGeneral());
}

TEST(EntryParserTest, PercentsAndOddInput) {
    ParsedEntry p = EntryParser::parse("12,5%");
    ASSERT_EQ(p.kind, ParsedEntry::Number);
    EXPECT_DOUBLE_EQ(p.number, 0.125);
    EXPECT_EQ(p.numberFormat, "0.00%");
    EXPECT_EQ(EntryParser::parse("50%").numberFormat, "0%");
    EXPECT_EQ(EntryParser::parse(" 42 ").kind, ParsedEntry::Number);
    EXPECT_EQ(EntryParser::parse("1e999").kind, ParsedEntry::Text);
    EXPECT_EQ(EntryParser::parse("--1").kind, ParsedEntry::Text);
    EXPECT_EQ(EntryParser::parse("1,000,000").kind, ParsedEntry::Text);
    EXPECT_EQ(EntryParser::parse("1.3.04").isDate, true);
    EXPECT_EQ(EntryParser::parse("29.2.2003").kind, ParsedEntry::Text);
    EXPECT_EQ(EntryParser::parse("1.1.1899").kind, ParsedEntry::Text);
}

TEST(PrintSettingsTest, HeaderFooterCodes) {
    const QDateTime now(QDate(2004, 3, 1), QTime(9, 5));
    EXPECT_EQ(PrintSettings::expandCodes("&A: стр. &P из &N, &D &T &&", 2, 7, "Лист1", now),
              "Лист1: стр. 2 из 7, 01.03.2004 09:05 &");
    EXPECT_EQ(PrintSettings::expandCodes("&x&", 1, 1, "", now), "&x&");
}
