#include "CellRequest.h"
#include "CellValues.h"
#include "ExchangeStatements.h"
#include "InitialWorkbook.h"
#include "ScriptedPrompter.h"
#include "TableIdentification.h"
#include "model/Workbook.h"

#include <gtest/gtest.h>

#include <QLocale>

#include <cmath>
#include <random>

using namespace TableLayout;

namespace {

StoragePeriods lists() {
    StoragePeriods p;
    p.dolg.append(2003);
    p.dolg.append(2001);
    p.dolg.append(2002);
    p.oper.append(2004);
    return p;
}

IdentVector withObject(int indicator, ElementRef object) {
    IdentVector v;
    v.indicator = indicator;
    v.object = object;
    return v;
}

std::optional<CellRequest> readRequest(const IdentVector& row, const IdentVector& col) {
    auto q = CellIdentification(row, col);
    if (q && !ResolvePeriodForRead(CellPeriod(row, col), lists(), *q))
        return std::nullopt;
    return q;
}

} // namespace

TEST(CellIdentification, TitleIndicatorFillsWhatRowAndColumnLeaveOpen) {
    Workbook book;
    InitialWorkbook::build(book);
    ScriptedPrompter prompter;
    IdentModel model(book, prompter);
    model.readGeometry();
    book.setNumber(1, int(TitleRow::Indicator), kTitleValueCol, 7);
    book.setNumber(model.rowIdentSheet(), 101, rowSlotColumn(Slot::Object), 500);
    book.setNumber(model.rowIdentSheet(), 101, rowSlotColumn(Slot::ObjectType), 99);
    book.setNumber(model.colIdentSheet(), model.colSlotRow(Slot::PeriodStart), 3, 2003);

    const TableIdentification ident = ReadIdentification(model);
    ASSERT_EQ(ident.rows.size(), 1u);
    const auto cols = EffectiveColumns(model, ident, 1);
    auto q = readRequest(ident.row(101), cols[0]);
    ASSERT_TRUE(q);
    EXPECT_EQ(q->kodpok, 7);
    EXPECT_EQ(q->table(), FundTable::DolgElm);
    EXPECT_EQ(q->valueCols, QList<int>{1});

    IdentVector none = ident.row(101);
    none.indicator = 0;
    IdentVector colNone = cols[0];
    colNone.indicator = 0;
    EXPECT_FALSE(CellIdentification(none, colNone));
}

TEST(CellIdentification, RowPeriodWinsAndRangesResolve) {
    IdentVector row = withObject(5, {500, 99});
    IdentVector col;
    col.period = {0, 2003, 0, 0};
    row.period = {3, 2004, 5, 2004};
    auto q = readRequest(row, col);
    ASSERT_TRUE(q);
    EXPECT_EQ(q->god, 2004);
    EXPECT_EQ(q->valueCols, (QList<int>{3, 4, 5}));
    EXPECT_TRUE(q->range);
    EXPECT_EQ(ExchangeStatements::selectLine(*q), QStringLiteral("SELECT D3,D4,D5"));

    row.period = {3, 2004, 3, 2004};
    q = readRequest(row, col);
    ASSERT_TRUE(q);
    EXPECT_EQ(q->valueCols, QList<int>{3});
    EXPECT_FALSE(q->range);
    EXPECT_EQ(ExchangeStatements::selectLine(*q), QStringLiteral("SELECT D3"));

    row.period = {3, 2004, 2, 2005};
    EXPECT_FALSE(readRequest(row, col));
    row.period = {5, 2004, 3, 2004};
    EXPECT_FALSE(readRequest(row, col));
    row.period = {3, 2005, 0, 0}; // not an operational year
    EXPECT_FALSE(readRequest(row, col));

    // Row without a period: the column's long-term year.
    row.period = {};
    q = readRequest(row, col);
    ASSERT_TRUE(q);
    EXPECT_EQ(q->god, 0);
    EXPECT_EQ(q->valueCols, QList<int>{1});
}

TEST(CellIdentification, LongTermRangeFollowsTheYearsNotTheColumns) {
    IdentVector row = withObject(5, {500, 99});
    row.period = {0, 2001, 0, 2003};
    auto q = readRequest(row, {});
    ASSERT_TRUE(q);
    EXPECT_EQ(q->valueCols, (QList<int>{2, 3, 1}));
    EXPECT_EQ(ExchangeStatements::selectLine(*q), QStringLiteral("SELECT D2,D3,D1"));
    row.period = {0, 2003, 0, 2001};
    EXPECT_FALSE(readRequest(row, {}));
    row.period = {0, 2002, 0, 2002};
    q = readRequest(row, {});
    ASSERT_TRUE(q);
    EXPECT_EQ(q->valueCols, QList<int>{3});
    EXPECT_FALSE(q->range);
}

TEST(CellIdentification, ObjectsDirectoryDropsCutsAndCutOfObjectsSkips) {
    IdentVector row = withObject(5, {500, 99});
    row.cuts[0] = {3, 2};
    row.period = {0, 2003, 0, 0};
    auto q = readRequest(row, {});
    ASSERT_TRUE(q);
    EXPECT_EQ(q->table(), FundTable::DolgElm);
    EXPECT_EQ(q->cuts[0], ElementRef{});

    row.object = {4, 1};
    row.cuts[0] = {500, 99};
    EXPECT_FALSE(readRequest(row, {}));

    // No object and no cut anywhere: nothing to ask for.
    IdentVector bare;
    bare.indicator = 5;
    bare.period = {0, 2003, 0, 0};
    EXPECT_FALSE(readRequest(bare, {}));
}

TEST(CellIdentification, LaterElementOfTheSameDirectoryWinsInTheKoVector) {
    IdentVector row = withObject(5, {10, 2});
    row.attr1 = 6;
    row.cuts[0] = {20, 2};
    row.cuts[1] = {30, 1};
    row.period = {4, 2004, 0, 0};
    auto q = readRequest(row, {});
    ASSERT_TRUE(q);
    EXPECT_EQ(q->table(), FundTable::OperAgr);
    EXPECT_EQ(BuildKoVector(*q, 3), (QList<double>{30, 20, 0, 5, 6, 0, 2004}));
    q->god = 0;
    EXPECT_EQ(BuildKoVector(*q, 2), (QList<double>{30, 20, 5, 6, 0}));
}

TEST(ResolvePeriodForStore, OnlySinglePeriodsOfTheListsAreStored) {
    CellRequest q;
    EXPECT_TRUE(ResolvePeriodForStore({0, 2002, 0, 0}, lists(), q));
    EXPECT_EQ(q.valueCols, QList<int>{3});
    EXPECT_EQ(q.god, 0);
    EXPECT_TRUE(ResolvePeriodForStore({7, 2004, 0, 0}, lists(), q));
    EXPECT_EQ(q.valueCols, QList<int>{7});
    EXPECT_EQ(q.god, 2004);
    EXPECT_FALSE(ResolvePeriodForStore({0, 2002, 0, 2002}, lists(), q));
    EXPECT_FALSE(ResolvePeriodForStore({3, 2004, 3, 2004}, lists(), q));
    EXPECT_FALSE(ResolvePeriodForStore({0, 1999, 0, 0}, lists(), q));
    EXPECT_FALSE(ResolvePeriodForStore({3, 2005, 0, 0}, lists(), q));
}

TEST(ExchangeStatements, TextsLineByLine) {
    const auto texts = ExchangeStatements::PrepareQueries(2);
    const auto& agr = texts[size_t(FundTable::OperAgr)];
    EXPECT_EQ(agr.update,
              (QStringList{"UPDATE FD_OPERAGR SET", "D1=:D1",
                           "WHERE KODPOK=:KODPOK and KODPOK1=:KODPOK1 and KODPOK2=:KODPOK2 and "
                           "GOD=:GOD",
                           " and KOD1=:KO1 and KOD2=:KO2"}));
    EXPECT_EQ(agr.insert,
              (QStringList{"INSERT INTO FD_OPERAGR (", "KOD1,KOD2,KODPOK,KODPOK1,KODPOK2,GOD",
                           ",D1)", "VALUES (:KO1,:KO2,:KODPOK,:KODPOK1,:KODPOK2,:GOD", ",:D1)"}));
    const auto& elm = texts[size_t(FundTable::DolgElm)];
    EXPECT_EQ(elm.check, (QStringList{"SELECT KODPOK FROM FD_DOLGELM WHERE "
                                      "KODFOLDER=:KODFOLDER and KODPOK=:KODPOK and "
                                      "KODPOK1=:KODPOK1 and KODPOK2=:KODPOK2"}));
    EXPECT_EQ(elm.insert,
              (QStringList{"INSERT INTO FD_DOLGELM (", "KODFOLDER,KODPOK,KODPOK1,KODPOK2", ",D1)",
                           "VALUES (:KODFOLDER,:KODPOK,:KODPOK1,:KODPOK2", ",:D1)"}));
    EXPECT_EQ(ExchangeStatements::readLines(FundTable::DolgAgr, 1),
              (QStringList{"SELECT D1",
                           "FROM FD_DOLGAGR WHERE KODPOK=:KODPOK and KODPOK1=:KODPOK1 and "
                           "KODPOK2=:KODPOK2",
                           " and KOD1=:KO1"}));
    // Without aggregation directories the aggregation key has no KOD columns at all.
    EXPECT_EQ(ExchangeStatements::PrepareQueries(0)[size_t(FundTable::DolgAgr)].insert[1],
              QStringLiteral("KODPOK,KODPOK1,KODPOK2"));
}

TEST(CellIdentification, FundKeyIsTheKoVectorOrTheObjectKey) {
    IdentVector row = withObject(5, {10, 2});
    row.cuts[0] = {20, 2};
    row.cuts[1] = {30, 1};
    row.period = {4, 2004, 0, 0};
    auto q = readRequest(row, {});
    ASSERT_TRUE(q);
    for (int n : {0, 2, 3}) {
        QList<double> key;
        for (int v : FundKeyValues(*q, n))
            key << v;
        EXPECT_EQ(key, BuildKoVector(*q, n)) << n;
    }
    row.object = {501, kObjectsDirectoryType};
    row.attr2 = 4;
    q = readRequest(row, {});
    ASSERT_TRUE(q);
    EXPECT_EQ(FundKeyValues(*q, 2), (FundKey{501, 5, 0, 4, 2004}));
}

// Plain numbers are read without the locale; everything else by it. Both must agree.
TEST(CellValues, PlainNumbersReadAsTheLocaleReadsThem) {
    std::mt19937 random(11);
    QStringList texts{"0",  "-0",   "007",   "1.",  ".5",   "-.5", "1e3", " 12 ",
                      "+4", "1,5",  "1.5.",  "--1", "-",    "12a", "0.0", "9007199254740993",
                      "1,", "0,25", "1 000", "inf", "-nan", "0.1"};
    for (int i = 0; i < 2000; ++i) {
        const double v = std::uniform_real_distribution(-1e6, 1e6)(random) /
                         std::pow(10, std::uniform_int_distribution(0, 12)(random));
        texts << QString::number(v, 'g', std::uniform_int_distribution(1, 17)(random));
        texts << QString::number(v, 'f', std::uniform_int_distribution(0, 20)(random));
    }
    for (const QString& text : texts) {
        QString t = text.trimmed();
        t.replace(QLatin1Char(','), QLatin1Char('.'));
        bool ok = false;
        const double expected = QLocale::c().toDouble(t, &ok);
        double value = 0;
        const bool read = CellValues::toNumber(text, value);
        EXPECT_EQ(read, ok && std::isfinite(expected)) << text.toStdString();
        if (read) {
            EXPECT_EQ(value, expected) << text.toStdString();
        }
    }
}
