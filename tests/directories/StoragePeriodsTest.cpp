#include "DbError.h"
#include "PeriodTestFixture.h"
#include "format/BookLocale.h"
#include "format/EntryParser.h"

#include <QLocale>

namespace {

QString fiftyYears() {
    QString field;
    for (int year = 1971; year <= 2020; ++year)
        field += QString::number(year);
    return field;
}

} // namespace

TEST(PeriodList, FieldsOfFourCharactersUpToTheFirstBlankOne) {
    PeriodList two = PeriodList::fromField(QStringLiteral("2003    2004"));
    EXPECT_EQ(two.years, (QList<int>{2003}));
    two = PeriodList::fromField(QStringLiteral("2003200420"));
    EXPECT_EQ(two.years, (QList<int>{2003, 2004, 20}));
    EXPECT_EQ(two.texts, (QStringList{"2003", "2004", "20"}));
    EXPECT_EQ(two.fieldText(), QStringLiteral("2003200420  "));

    const PeriodList full = PeriodList::fromField(fiftyYears());
    ASSERT_EQ(fiftyYears().size(), 200);
    EXPECT_EQ(full.count(), 50);
    EXPECT_TRUE(full.isFull());
    EXPECT_EQ(full.years.last(), 2020);
    // Whatever lies past the 50th field is not a year of the list.
    EXPECT_EQ(PeriodList::fromField(fiftyYears() + QStringLiteral("2021")).count(), 50);
    EXPECT_TRUE(PeriodList::fromField(QString()).isEmpty());

    try {
        PeriodList::fromField(QStringLiteral("20032O04"));
        FAIL() << "a field with a letter O was read as a year";
    } catch (const DbError& e) {
        EXPECT_EQ(e.className(), QStringLiteral("EConvertError"));
        EXPECT_TRUE(e.message().contains(QStringLiteral("2O04")));
    }
}

TEST(PeriodList, PositionsOfYearsAndRanges) {
    const PeriodList list = PeriodList::fromField(QStringLiteral("2003200120029999200299992004"));
    EXPECT_EQ(YearPosition(2001, list), 2);
    EXPECT_EQ(YearPosition(2002, list), 3); // the first of two
    EXPECT_EQ(YearPosition(1999, list), 0);
    EXPECT_EQ(YearPosition(0, list), 0);
    EXPECT_EQ(YearRangePositions(2001, 2003, list), (QList<int>{2, 3, 5, 1}));
    EXPECT_EQ(YearRangePositions(2003, 2003, list), (QList<int>{1}));
    EXPECT_EQ(YearRangePositions(2004, 2003, list), QList<int>{});
    EXPECT_EQ(YearRangePositions(0, 10000, list), (QList<int>{2, 3, 5, 1, 7, 4, 6}));
}

TEST(PeriodBoundsReading, DateAndYearEntriesWithEitherSeparator) {
    for (const QChar sep : {QChar(u'.'), QChar(u'/')}) {
        auto entry = [sep](const char* text) {
            return QString::fromLatin1(text).replace(u'.', sep);
        };
        SCOPED_TRACE(QString(sep).toStdString());
        EXPECT_EQ(ParsePeriodBounds(entry("1.3.2004"), QString(), sep),
                  (PeriodBounds{3, 2004, 0, 0}));
        EXPECT_EQ(ParsePeriodBounds(entry("1.3.2004"), entry("1.5.2004"), sep),
                  (PeriodBounds{3, 2004, 5, 2004}));
        EXPECT_EQ(ParsePeriodBounds(entry("01.12.2004"), QStringLiteral("2005"), sep),
                  (PeriodBounds{12, 2004, 0, 0}));
        EXPECT_EQ(ParsePeriodBounds(QStringLiteral("2003"), QStringLiteral("2005"), sep),
                  (PeriodBounds{0, 2003, 0, 2005}));
        EXPECT_EQ(ParsePeriodBounds(QStringLiteral("2003"), QStringLiteral("  "), sep),
                  (PeriodBounds{0, 2003, 0, 0}));
        // One separator only, or a part that is no number: nothing is read.
        EXPECT_EQ(ParsePeriodBounds(entry("3.2004"), QString(), sep), PeriodBounds{});
        EXPECT_EQ(ParsePeriodBounds(entry("1.3.2004"), entry("5.2004"), sep), PeriodBounds{});
        EXPECT_EQ(ParsePeriodBounds(entry("1.x.2004"), QString(), sep), PeriodBounds{});
        EXPECT_EQ(ParsePeriodBounds(QStringLiteral("20o3"), QStringLiteral("2005"), sep),
                  PeriodBounds{});
        EXPECT_EQ(ParsePeriodBounds(QStringLiteral("2003"), QStringLiteral("Итог"), sep),
                  PeriodBounds{});
        EXPECT_EQ(ParsePeriodBounds(QString(), QStringLiteral("2005"), sep), PeriodBounds{});
    }
    // Without the separator looked for, an entry is a year: its last four characters.
    EXPECT_EQ(ParsePeriodBounds(QStringLiteral("1/3/2004"), QString(), u'.'),
              (PeriodBounds{0, 2004, 0, 0}));
}

TEST(PeriodBoundsReading, AMonthEnteredAsThePickerWritesItReadsBack) {
    // The picker types "3/2004"; the cell's entry text then uses the desktop separator.
    ASSERT_EQ(BookLocale::dateSeparator(), AppContext::systemDateSeparator());
    double serial = 0;
    ASSERT_TRUE(EntryParser::parseDate(QStringLiteral("3/2004"), serial));
    const QString begin = EntryParser::dateEntry(serial);
    ASSERT_TRUE(EntryParser::parseDate(QStringLiteral("5/2004"), serial));
    EXPECT_EQ(ParsePeriodBounds(begin, EntryParser::dateEntry(serial)),
              (PeriodBounds{3, 2004, 5, 2004}));
}

TEST(PeriodBoundsReading, SystemSeparatorComesFromTheLocale) {
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    AppContext::rememberSystemDateSeparator();
    EXPECT_EQ(AppContext::systemDateSeparator(), QChar(u'.'));
    EXPECT_EQ(ParsePeriodBounds(QStringLiteral("1.3.2004"), QString()),
              (PeriodBounds{3, 2004, 0, 0}));
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    AppContext::rememberSystemDateSeparator();
    EXPECT_EQ(AppContext::systemDateSeparator(), QChar(u'/'));
    QLocale::setDefault(saved);
    AppContext::setSystemDateSeparator(u'.');
    EXPECT_EQ(AppContext::dateSeparator(), QChar(u'/'));
}

TEST_F(PeriodTest, LoadStoragePeriodsReadsBothFieldsOfNast) {
    connectAs();
    setNast(QStringLiteral("2003    2004"), fiftyYears());
    LoadStoragePeriods(*m_dm, m_lists);
    EXPECT_EQ(m_lists.dolg.years, (QList<int>{2003}));
    EXPECT_EQ(m_lists.oper.count(), 50);
    EXPECT_EQ(m_lists.oper.years.first(), 1971);

    setNast(QStringLiteral("2003"), QStringLiteral("2004ab  "));
    EXPECT_THROW(LoadStoragePeriods(*m_dm, m_lists), DbError);
    // Nothing half-read: the lists stay as they were.
    EXPECT_EQ(m_lists.dolg.years, (QList<int>{2003}));
    EXPECT_EQ(m_lists.oper.count(), 50);
    EXPECT_FALSE(m_dm->dbMain.inTransaction());
}
