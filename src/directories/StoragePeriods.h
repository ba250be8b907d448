#pragma once

#include "AppContext.h"

#include <QList>
#include <QString>
#include <QStringList>

class DbConnection;
class TdmMSSQL;

// The years a data fund accepts. NAST keeps each list as 4-character fields, one
// per year, left-justified; the list ends at the first blank field or after 50.
// For the long-term fund the position is the value column: year i lives in Di.
struct PeriodList {
    static constexpr int kMaxYears = 50;
    static constexpr int kFieldWidth = 4;

    QStringList texts; // the entries as stored, without their padding
    QList<int> years;  // the same entries as integers

    int count() const { return int(years.size()); }
    bool isEmpty() const { return years.isEmpty(); }
    bool isFull() const { return count() >= kMaxYears; }
    void append(int year);
    void removeLast();
    void replace(int index, int year);

    // The NAST field: every entry padded to 4 characters.
    QString fieldText() const;
    // Splits a NAST field; a field that is not an integer throws DbError
    // (class EConvertError) so that nothing half-read is taken for the list.
    static PeriodList fromField(const QString& field);

    bool operator==(const PeriodList&) const = default;
};

struct StoragePeriods {
    PeriodList dolg; // long-term fund, NAST.GODDOLG
    PeriodList oper; // operational fund, NAST.GODOPER
};

// The lists the table windows, filling, storing and collecting work with.
StoragePeriods& CurrentStoragePeriods();

// Reads NAST through the data module's quNast. Server errors and non-numeric
// fields throw DbError; the lists are replaced only after both fields were read.
void LoadStoragePeriods(TdmMSSQL& dm, StoragePeriods& into = CurrentStoragePeriods());

// The settings flag (PNAST) of the other programs' USERS rows: raised after this program
// changed NAST, inside the running fact-database transaction (throws DbError).
void FlagStoragePeriodsChanged(TdmMSSQL& dm);
// Before the lists are used: reloads them when none were read yet or another program
// raised this program's settings flag since, and clears the flag. True when reloaded;
// throws DbError, and the lists are then read afresh next time.
bool RefreshStoragePeriods(TdmMSSQL& dm, StoragePeriods& lists = CurrentStoragePeriods());

// 1-based position of the first entry equal to the year; 0 when the year is 0
// or absent.
int YearPosition(int year, const PeriodList& list);

// For every year from begin to end ascending, the positions holding it in list
// order: the result follows the years, not the columns.
QList<int> YearRangePositions(int beginYear, int endYear, const PeriodList& list);

// The period bounds of an identification slot pair. Month 0 means a yearly period.
struct PeriodBounds {
    int beginMonth = 0;
    int beginYear = 0;
    int endMonth = 0;
    int endYear = 0;
    bool operator==(const PeriodBounds&) const = default;
};

// The one form in which a month goes into a period slot: month, separator, four-digit
// year ("3/2004"), entered as typed, so the spreadsheet stores the first day of that
// month; the slot's entry then reads day<sep>month<sep>year with the system's date
// separator ("1.3.2004"), which ParsePeriodBounds takes. The period picker writes months this way; a year goes in as
// the year alone with the format "General".
QString MonthEntry(int month, int year, QChar separator = QLatin1Char('/'));

// Reads the entry texts of the begin and end slots: a date entry is
// day<sep>month<sep>year, a yearly entry the year alone. Anything unreadable
// gives all zeros.
PeriodBounds ParsePeriodBounds(const QString& beginEntry, const QString& endEntry,
                               QChar separator = AppContext::systemDateSeparator());
