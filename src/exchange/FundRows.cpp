#include "FundRows.h"

#include "DbConnection.h"
#include "DbStatement.h"
#include "ExchangeStatements.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <limits>

QByteArray FundRows::keyBytes(const FundKey& key) {
    return QByteArray(reinterpret_cast<const char*>(key.data()),
                      key.size() * qsizetype(sizeof(int)));
}

QByteArray FundRows::rawKeyBytes(const FundKey& key) {
    return QByteArray::fromRawData(reinterpret_cast<const char*>(key.data()),
                                   key.size() * qsizetype(sizeof(int)));
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
        const FundKey key = FundKeyValues(q, m_aggrCount);
        auto& b = bounds[t];
        if (!used[t]) {
            used[t] = true;
            for (int v : key)
                b.emplace_back(v, v);
        }
        for (qsizetype i = 0; i < key.size(); ++i) {
            b[size_t(i)].first = std::min(b[size_t(i)].first, key[i]);
            b[size_t(i)].second = std::max(b[size_t(i)].second, key[i]);
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
        table.statement = &q;
        table.keyCount = int(bounds[t].size());
        FundKey key(table.keyCount);
        const int count = q.rowCount();
        for (int r = 0; r < count; ++r) {
            q.seek(r);
            bool matches = true;
            for (int i = 0; i < table.keyCount && matches; ++i) {
                const QVariant v = q.value(i);
                const double d = v.toDouble();
                // A key the statements compare with "=" against whole numbers.
                matches = !v.isNull() && d == std::floor(d) &&
                          std::abs(d) <= double(std::numeric_limits<int>::max());
                key[i] = int(d);
            }
            if (!matches)
                continue;
            Row& row = table.rows[keyBytes(key)];
            if (row.count++ == 0)
                row.first = r;
        }
    }
}

const FundRows::Row* FundRows::find(const CellRequest& request) const {
    const Table& table = m_tables[size_t(request.table())];
    const FundKey key = FundKeyValues(request, m_aggrCount);
    const auto it = table.rows.constFind(rawKeyBytes(key));
    return it == table.rows.constEnd() ? nullptr : &it.value();
}

QString FundRows::value(FundTable table, const Row& row, int k) const {
    const Table& t = m_tables[size_t(table)];
    const int c = t.colIndex.value(k, -1);
    if (c < 0 || !t.statement->seek(row.first))
        return {};
    return t.statement->value(t.keyCount + c).toString();
}

void FundRows::setCount(const CellRequest& request, int count) {
    m_tables[size_t(request.table())].rows[keyBytes(FundKeyValues(request, m_aggrCount))].count =
        count;
}
