#include "StoragePeriods.h"

#include "DbError.h"
#include "DbProcedure.h"
#include "DbStatement.h"
#include "DbTransaction.h"
#include "Helpers.h"
#include "TdmMSSQL.h"

#include <algorithm>
#include <optional>

namespace {

std::optional<int> toInteger(const QString& text) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok)
        return std::nullopt;
    return value;
}

DbError conversionError(const QString& text) {
    return DbError(QStringLiteral("'%1' не является целым числом").arg(text), 0,
                   QStringLiteral("EConvertError"));
}

} // namespace

void PeriodList::append(int year) {
    texts << QString::number(year);
    years << year;
}

void PeriodList::removeLast() {
    if (isEmpty())
        return;
    texts.removeLast();
    years.removeLast();
}

void PeriodList::replace(int index, int year) {
    texts[index] = QString::number(year);
    years[index] = year;
}

QString PeriodList::fieldText() const {
    QString field;
    for (const QString& text : texts)
        field += PadRight(text, kFieldWidth);
    return field;
}

PeriodList PeriodList::fromField(const QString& field) {
    PeriodList list;
    for (int i = 0; i < kMaxYears; ++i) {
        const QString part = field.mid(i * kFieldWidth, kFieldWidth);
        if (IsBlank(part))
            break;
        const std::optional<int> year = toInteger(part);
        if (!year)
            throw conversionError(part);
        list.texts << part.trimmed();
        list.years << *year;
    }
    return list;
}

StoragePeriods& CurrentStoragePeriods() {
    static StoragePeriods lists;
    return lists;
}

void LoadStoragePeriods(TdmMSSQL& dm, StoragePeriods& into) {
    DbStatement& nast = dm.query(QStringLiteral("quNast"));
    nast.open();
    QString dolg, oper;
    if (!nast.eof()) {
        dolg = nast.value(QStringLiteral("GodDolg")).toString();
        oper = nast.value(QStringLiteral("GodOper")).toString();
    }
    nast.close();
    StoragePeriods read;
    read.dolg = PeriodList::fromField(dolg);
    read.oper = PeriodList::fromField(oper);
    into = read;
}

void FlagStoragePeriodsChanged(TdmMSSQL& dm) {
    const std::optional<double> key = dm.instanceKey();
    DbProcedure& one = dm.storedProc(QStringLiteral("spOneUNAST"));
    one.clearParams();
    // Without a USERS row of its own (a batch run) every program is told.
    one.setParam(QStringLiteral("KOD_USER"), key ? *key : 0.0);
    one.execute();
}

bool RefreshStoragePeriods(TdmMSSQL& dm, StoragePeriods& lists) {
    const std::optional<double> key = dm.instanceKey();
    bool stale = lists.dolg.isEmpty() && lists.oper.isEmpty();
    if (key) {
        DbStatement& user = dm.query(QStringLiteral("quUser"));
        user.close();
        user.setParam(QStringLiteral("KOD_USER"), *key);
        user.open();
        stale = stale || (!user.isEmpty() && user.value(QStringLiteral("PNAST")).toInt() == 1);
        user.close();
    }
    if (!stale)
        return false;
    // The flag goes down first: a change made while the lists are read raises it again.
    if (key) {
        DbProcedure& zero = dm.storedProc(QStringLiteral("spZeroUNAST"));
        zero.clearParams();
        zero.setParam(QStringLiteral("KOD_USER"), *key);
        RunInTransaction(dm.dbMain, [&] { zero.execute(); });
    }
    try {
        LoadStoragePeriods(dm, lists);
    } catch (...) {
        lists = StoragePeriods{};
        throw;
    }
    return true;
}

int YearPosition(int year, const PeriodList& list) {
    if (year == 0)
        return 0;
    return IndexInArray(list.years, year) + 1;
}

QList<int> YearRangePositions(int beginYear, int endYear, const PeriodList& list) {
    QList<int> positions;
    if (beginYear > endYear)
        return positions;
    // Walk the list per year it holds rather than per year of the range, so a
    // wide range costs no more than a narrow one.
    QList<int> wanted;
    for (int year : list.years)
        if (year >= beginYear && year <= endYear && !wanted.contains(year))
            wanted << year;
    std::sort(wanted.begin(), wanted.end());
    for (int year : wanted)
        for (int i = 0; i < list.count(); ++i)
            if (list.years[i] == year)
                positions << i + 1;
    return positions;
}

QString MonthEntry(int month, int year, QChar separator) {
    return QString::number(month) + separator + QString::number(year).rightJustified(4, '0');
}

PeriodBounds ParsePeriodBounds(const QString& beginEntry, const QString& endEntry,
                               QChar separator) {
    const QString begin = beginEntry.trimmed();
    const QString end = endEntry.trimmed();
    if (IsBlank(begin))
        return {};
    // The month sits between the first and the second separator; a date entry
    // with one separator only has no month and is unreadable.
    auto monthOf = [separator](const QString& entry) {
        const QString rest = entry.mid(entry.indexOf(separator) + 1);
        const qsizetype next = rest.indexOf(separator);
        return toInteger(next < 0 ? QString() : rest.left(next));
    };
    auto yearOf = [](const QString& entry) { return toInteger(RightPart(entry, 4)); };

    PeriodBounds bounds;
    if (begin.contains(separator)) {
        const auto month = monthOf(begin);
        const auto year = yearOf(begin);
        if (!month || !year)
            return {};
        bounds.beginMonth = *month;
        bounds.beginYear = *year;
        if (!IsBlank(end) && end.contains(separator)) {
            const auto endMonth = monthOf(end);
            const auto endYear = yearOf(end);
            if (!endMonth || !endYear)
                return {};
            bounds.endMonth = *endMonth;
            bounds.endYear = *endYear;
        }
        return bounds;
    }
    const auto year = yearOf(begin);
    if (!year)
        return {};
    bounds.beginYear = *year;
    if (!IsBlank(end)) {
        const auto endYear = yearOf(end);
        if (!endYear)
            return {};
        bounds.endYear = *endYear;
    }
    return bounds;
}
