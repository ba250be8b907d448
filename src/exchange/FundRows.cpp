#include "FundRows.h"

#include "DbConnection.h"
#include "DbStatement.h"
#include "ExchangeStatements.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <limits>

QByteArray FundRows::keyBytes(const std::vector<int>& key) {
    return QByteArray(reinterpret_cast<const char*>(key.data()),
                      qsizetype(key.size() * sizeof(int)));
}

void FundRows::readColumns() {
    DbStatement& q = m_db.statement(QStringLiteral("quFundColumns"));
    q.setSql(QStringLiteral("SELECT TRIM(RDB$RELATION_NAME), TRIM(RDB$FIELD_NAME) FROM "
                            "RDB$RELATION_FIELDS WHERE RDB$RELATION_NAME STARTING WITH 'FD_'"));
    q.open();
    for (QSet<int>& s : m_existing)
        s.clear();
    static const QRegularExpression valueColumn(QStringLiteral("^D(\\d+)$"));
    for (q.first(); !q.eof(); q.next()) {
        const QString table = q.value(0).toString();
        const auto m = valueColumn.match(q.value(1).toString());
        if (!m.hasMatch())
            continue;
        for (int t = 0; t < 4; ++t)
            if (table == ExchangeStatements::tableName(FundTable(t)))
                m_existing[size_t(t)].insert(m.captured(1).toInt());
    }
    q.close();
}

bool FundRows::hasColumns(const CellRequest& request) const {
    const QSet<int>& existing = m_existing[size_t(request.table())];
    return std::all_of(request.valueCols.begin(), request.valueCols.end(),
                       [&](int k) { return existing.contains(k); });
}

void FundRows::raiseMissingColumn(const CellRequest& request) {
    DbStatement& q = m_db.statement(ExchangeStatements::readName(request.table()));
    QStringList lines = ExchangeStatements::readLines(request.table(), m_aggrCount);
    lines[0] = ExchangeStatements::selectLine(request);
    q.setSql(lines);
    q.clearParams();
    BindFundKeys(q, request, m_aggrCount);
    q.open();
    q.close();
    readColumns();
}

void FundRows::read(std::span<const CellRequest> requests, bool withValues) {
    for (Table& t : m_tables)
        t = Table{};
    std::array<std::vector<std::pair<int, int>>, 4> bounds;
    std::array<bool, 4> used{};
    std::array<QSet<int>, 4> cols;
    for (const CellRequest& q : requests) {
        const size_t t = size_t(q.table());
        const std::vector<int> key = FundKeyValues(q, m_aggrCount);
        auto& b = bounds[t];
        if (!used[t]) {
            used[t] = true;
            for (int v : key)
                b.emplace_back(v, v);
        }
        for (size_t i = 0; i < key.size(); ++i) {
            b[i].first = std::min(b[i].first, key[i]);
            b[i].second = std::max(b[i].second, key[i]);
        }
        if (withValues)
            for (int k : q.valueCols)
                cols[t].insert(k);
    }
    for (size_t t = 0; t < 4; ++t) {
        if (!used[t])
            continue;
        Table& table = m_tables[t];
        table.cols = QList<int>(cols[t].begin(), cols[t].end());
        std::sort(table.cols.begin(), table.cols.end());
        for (int i = 0; i < table.cols.size(); ++i)
            table.colIndex.insert(table.cols[i], i);
        const FundTable ft = FundTable(t);
        DbStatement& q = m_db.statement(QStringLiteral("Bulk") + ExchangeStatements::readName(ft));
        q.setSql(ExchangeStatements::bulkReadText(ft, m_aggrCount, table.cols));
        std::vector<QVariant> params;
        for (const auto& [low, high] : bounds[t]) {
            params.emplace_back(low);
            params.emplace_back(high);
        }
        q.setPositionalParams(std::move(params));
        q.open();
        const int keyCount = int(bounds[t].size());
        std::vector<int> key(bounds[t].size());
        for (q.first(); !q.eof(); q.next()) {
            bool matches = true;
            for (int i = 0; i < keyCount && matches; ++i) {
                const QVariant v = q.value(i);
                const double d = v.toDouble();
                // A key the statements compare with "=" against whole numbers.
                matches = !v.isNull() && d == std::floor(d) &&
                          std::abs(d) <= double(std::numeric_limits<int>::max());
                key[size_t(i)] = int(d);
            }
            if (!matches)
                continue;
            Row& row = table.rows[keyBytes(key)];
            if (++row.count > 1)
                continue;
            for (int c = 0; c < table.cols.size(); ++c)
                row.values << q.value(keyCount + c).toString();
        }
        q.close();
    }
}

const FundRows::Row* FundRows::find(const CellRequest& request) const {
    const Table& table = m_tables[size_t(request.table())];
    const auto it = table.rows.constFind(keyBytes(FundKeyValues(request, m_aggrCount)));
    return it == table.rows.constEnd() ? nullptr : &it.value();
}

QString FundRows::value(FundTable table, const Row& row, int k) const {
    return row.values.value(m_tables[size_t(table)].colIndex.value(k, -1));
}

void FundRows::setCount(const CellRequest& request, int count) {
    m_tables[size_t(request.table())].rows[keyBytes(FundKeyValues(request, m_aggrCount))].count =
        count;
}
