#include "CellRequest.h"

#include "DbStatement.h"

FundTable CellRequest::table() const {
    if (operational())
        return objectTable() ? FundTable::OperElm : FundTable::OperAgr;
    return objectTable() ? FundTable::DolgElm : FundTable::DolgAgr;
}

std::optional<CellRequest> CellIdentification(const IdentVector& row, const IdentVector& col) {
    CellRequest q;
    q.kodpok = row.indicator != 0 ? row.indicator : col.indicator;
    if (q.kodpok == 0)
        return std::nullopt;
    q.kodpok1 = row.attr1 != 0 ? row.attr1 : col.attr1;
    q.kodpok2 = row.attr2 != 0 ? row.attr2 : col.attr2;

    auto allZero = [](const IdentVector& v) {
        if (v.object.code != 0)
            return false;
        for (const ElementRef& e : v.cuts)
            if (e.code != 0)
                return false;
        return true;
    };
    if (allZero(row) && allZero(col))
        return std::nullopt;

    q.object = row.object.code != 0 ? row.object : col.object;
    for (size_t k = 0; k < 4; ++k)
        q.cuts[k] = row.cuts[k].code != 0 ? row.cuts[k] : col.cuts[k];
    if (q.object.type == kObjectsDirectoryType) {
        q.cuts.fill(ElementRef{});
    } else {
        for (const ElementRef& e : q.cuts)
            if (e.type == kObjectsDirectoryType)
                return std::nullopt;
    }
    return q;
}

PeriodBounds CellPeriod(const IdentVector& row, const IdentVector& col) {
    return row.period.beginYear != 0 ? row.period : col.period;
}

bool ResolvePeriodForRead(const PeriodBounds& p, const StoragePeriods& lists, CellRequest& q) {
    q.valueCols.clear();
    q.range = false;
    if (p.beginMonth == 0) {
        const int p1 = YearPosition(p.beginYear, lists.dolg);
        if (p1 == 0)
            return false;
        int p2 = YearPosition(p.endYear, lists.dolg);
        if (p2 != 0) {
            if (p.beginYear == p.endYear)
                p2 = 0;
            else if (p.beginYear > p.endYear)
                return false;
        }
        q.god = 0;
        if (p2 != 0) {
            q.valueCols = YearRangePositions(p.beginYear, p.endYear, lists.dolg);
            q.range = true;
        } else {
            q.valueCols = {p1};
        }
        return true;
    }
    if (YearPosition(p.beginYear, lists.oper) == 0)
        return false;
    if (p.endYear != 0 && p.endYear != p.beginYear)
        return false;
    const int first = p.beginMonth;
    int last = p.endMonth;
    if (first >= 13 || last >= 13 || (last != 0 && last < first))
        return false;
    if (last == first)
        last = 0;
    q.god = p.beginYear;
    if (last == 0) {
        q.valueCols = {first};
    } else {
        for (int m = first; m <= last; ++m)
            q.valueCols.append(m);
        q.range = true;
    }
    return true;
}

bool ResolvePeriodForStore(const PeriodBounds& p, const StoragePeriods& lists, CellRequest& q) {
    q.valueCols.clear();
    q.range = false;
    if (p.endYear != 0)
        return false;
    if (p.beginMonth == 0) {
        const int pos = YearPosition(p.beginYear, lists.dolg);
        if (pos == 0)
            return false;
        q.god = 0;
        q.valueCols = {pos};
        return true;
    }
    if (YearPosition(p.beginYear, lists.oper) == 0 || p.endMonth != 0 || p.beginMonth > 12)
        return false;
    q.god = p.beginYear;
    q.valueCols = {p.beginMonth};
    return true;
}

QList<double> BuildKoVector(const CellRequest& q, int n) {
    QList<double> ko(n, 0.0);
    auto put = [&](const ElementRef& e) {
        if (e.type >= 1 && e.type <= n)
            ko[e.type - 1] = e.code;
    };
    put(q.object);
    for (const ElementRef& e : q.cuts)
        put(e);
    ko << q.kodpok << q.kodpok1 << q.kodpok2;
    if (q.operational())
        ko << q.god;
    return ko;
}

FundKey FundKeyValues(const CellRequest& q, int n) {
    FundKey key;
    if (q.objectTable()) {
        key << q.object.code;
    } else {
        key.resize(n, 0);
        auto put = [&](const ElementRef& e) {
            if (e.type >= 1 && e.type <= n)
                key[e.type - 1] = e.code;
        };
        put(q.object);
        for (const ElementRef& e : q.cuts)
            put(e);
    }
    key << q.kodpok << q.kodpok1 << q.kodpok2;
    if (q.operational())
        key << q.god;
    return key;
}

void BindFundKeys(DbStatement& q, const CellRequest& request, int aggrCount) {
    if (request.objectTable()) {
        q.setParam(QStringLiteral("KODFOLDER"), request.object.code);
    } else {
        const QList<double> ko = BuildKoVector(request, aggrCount);
        for (int i = 0; i < aggrCount; ++i)
            q.setParam(QStringLiteral("KO%1").arg(i + 1), ko[i]);
    }
    q.setParam(QStringLiteral("KODPOK"), request.kodpok);
    q.setParam(QStringLiteral("KODPOK1"), request.kodpok1);
    q.setParam(QStringLiteral("KODPOK2"), request.kodpok2);
    if (request.operational())
        q.setParam(QStringLiteral("GOD"), request.god);
}
