#include "PeriodPicker.h"
#include "ScriptedPrompter.h"
#include "StoragePeriods.h"
#include "format/BookLocale.h"
#include "model/Workbook.h"

#include <gtest/gtest.h>

namespace {

StoragePeriods periods() {
    StoragePeriods p;
    for (int y : {2005, 2004})
        p.oper.append(y);
    for (int y : {2004, 2002, 2003})
        p.dolg.append(y);
    return p;
}

TEST(PeriodPickerTest, MonthsNeedAYearAndTheTwoFundsDoNotMix) {
    ScriptedPrompter prompter;
    PeriodPicker picker(prompter);
    picker.activate(periods());
    EXPECT_EQ(picker.operYears(), (QList<int>{2004, 2005}));
    EXPECT_EQ(picker.dolgYears(), (QList<int>{2002, 2003, 2004}));
    EXPECT_FALSE(picker.applyEnabled());

    EXPECT_FALSE(picker.monthsClicked({3}));
    EXPECT_EQ(prompter.texts(), QStringList{PeriodPicker::noYearMessage()});
    EXPECT_EQ(prompter.shown().first().icon, PromptIcon::Error);
    EXPECT_TRUE(picker.months().isEmpty());

    picker.chooseOperYear(0);
    EXPECT_TRUE(picker.monthsClicked({5, 3}));
    EXPECT_TRUE(picker.applyEnabled());
    // The same year again keeps the months but asks for a new click to apply.
    picker.chooseOperYear(0);
    EXPECT_EQ(picker.months(), (QList<int>{3, 5}));
    EXPECT_FALSE(picker.applyEnabled());
    EXPECT_TRUE(picker.monthsClicked({3, 5}));
    const QList<PickedEntry> months = picker.entries();
    ASSERT_EQ(months.size(), 2);
    EXPECT_EQ(months[0].value, QStringLiteral("3/2004"));
    EXPECT_EQ(months[0].name, QStringLiteral("Март"));
    EXPECT_EQ(months[1].name, QStringLiteral("Май"));
    EXPECT_TRUE(months[1].monthly);

    // Another year drops the months.
    picker.chooseOperYear(1);
    EXPECT_TRUE(picker.months().isEmpty());

    picker.dolgClicked({2, 0});
    EXPECT_EQ(picker.operYearIndex(), -1);
    EXPECT_TRUE(picker.applyEnabled());
    const QList<PickedEntry> years = picker.entries();
    ASSERT_EQ(years.size(), 2);
    EXPECT_EQ(years[0].value, QStringLiteral("2002"));
    EXPECT_EQ(years[1].name, QStringLiteral("2004"));
    EXPECT_FALSE(years[0].monthly);

    picker.chooseOperYear(0);
    EXPECT_TRUE(picker.dolgSelected().isEmpty());
    picker.dolgClicked({});
    EXPECT_FALSE(picker.applyEnabled());
}

// The month entry the picker writes, entered into a cell, reads back through the period
// parser whatever the system's date separator.
TEST(PeriodPickerTest, MonthEntryIsTheFormThePeriodParserReads) {
    EXPECT_EQ(MonthEntry(12, 2004), QStringLiteral("12/2004"));
    const QChar saved = AppContext::systemDateSeparator();
    for (QChar sep : {QLatin1Char('.'), QLatin1Char('/'), QLatin1Char('-')}) {
        AppContext::setSystemDateSeparator(sep);
        BookLocale::setDateSeparator(sep);
        Workbook book;
        book.setEntry(1, 1, 1, MonthEntry(12, 2004));
        const PeriodBounds b = ParsePeriodBounds(book.sheet(1).entry(1, 1), {});
        EXPECT_EQ(b.beginMonth, 12) << book.sheet(1).entry(1, 1).toStdString();
        EXPECT_EQ(b.beginYear, 2004);
    }
    AppContext::setSystemDateSeparator(saved);
    BookLocale::setDateSeparator(saved);
}

} // namespace
