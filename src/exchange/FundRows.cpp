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

void FundRows::readStructure() {
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
    q.setSql(QStringLiteral("SELECT DISTINCT TRIM(RDB$RELATION_NAME) FROM RDB$INDICES WHERE "
                            "RDB$RELATION_NAME STARTING WITH 'FD_' AND RDB$UNIQUE_FLAG = 1"));
    q.open();
    m_unique.fill(false);
    for (q.first(); !q.eof(); q.next())
        for (int t = 0; t < 4; ++t)
            if (q.value(0).toString() == ExchangeStatements::tableName(FundTable(t)))
                m_unique[size_t(t)] = true;
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
    readStructure();
}

namespace {

// Keys further apart in their leading column (KODFOLDER or KOD1) are read in separate
// runs: one range over objects 1 and 90 000 would bring every fund row between.
constexpr int kLeadingGap = 64;

} // namespace

void FundRows::read(std::span<const CellRequest> requests, bool withValues) {
    for (Table& t : m_tables)
        t = Table{};
    std::array<std::vector<FundKey>, 4> keys;
    std::array<QSet<int>, 4> cols;
    for (const CellRequest& q : requests) {
        const size_t t = size_t(q.table());
        keys[t].push_back(FundKeyValues(q, m_aggrCount));
        if (withValues)
            for (int k : q.valueCols)
                cols[t].insert(k);
    }
    for (size_t t = 0; t < 4; ++t) {
        std::vector<FundKey>& tableKeys = keys[t];
        if (tableKeys.empty())
            continue;
        Table& table = m_tables[t];
        table.cols = QList<int>(cols[t].begin(), cols[t].end());
        std::sort(table.cols.begin(), table.cols.end());
        for (int i = 0; i < table.cols.size(); ++i)
            table.colIndex.insert(table.cols[i], i);
        const FundTable ft = FundTable(t);
        DbStatement& q = m_db.statement(QStringLiteral("Bulk") + ExchangeStatements::readName(ft));
        q.setSql(ExchangeStatements::bulkReadText(ft, m_aggrCount, table.cols));
        table.statement = &q;
        table.keyCount = int(tableKeys.front().size());

        QSet<QByteArray> wanted;
        for (const FundKey& key : tableKeys)
            wanted.insert(keyBytes(key));
        std::sort(tableKeys.begin(), tableKeys.end(),
                  [](const FundKey& a, const FundKey& b) { return a[0] < b[0]; });
        std::vector<std::pair<size_t, size_t>> runs{{0, 0}};
        for (size_t i = 1; i < tableKeys.size(); ++i)
            if (qint64(tableKeys[i][0]) - tableKeys[i - 1][0] > kLeadingGap) {
                runs.back().second = i;
                runs.emplace_back(i, i);
            }
        runs.back().second = tableKeys.size();
        // One run keeps its rows in the statement until they are placed; several
        // runs share the statement, so their values are taken as they come.
        table.lazy = runs.size() == 1;

        FundKey key(table.keyCount);
        const auto keep = [&](int r) {
            for (int i = 0; i < table.keyCount; ++i) {
                const QVariant v = q.rowValue(r, i);
                const double d = v.toDouble();
                // A key the statements compare with "=" against whole numbers.
                if (v.isNull() || d != std::floor(d) ||
                    std::abs(d) > double(std::numeric_limits<int>::max()))
                    return false;
                key[i] = int(d);
            }
            const QByteArray bytes = rawKeyBytes(key);
            if (!wanted.contains(bytes))
                return false;
            Row& row = table.rows[keyBytes(key)];
            if (row.count++ > 0)
                return false;
            if (table.lazy) {
                row.first = r;
                return true;
            }
            row.first = int(table.values.size()) / std::max<qsizetype>(1, table.cols.size());
            for (int c = 0; c < table.cols.size(); ++c)
                table.values.push_back(q.rowValue(r, table.keyCount + c).toString());
            return false;
        };
        for (const auto& [from, to] : runs) {
            std::vector<QVariant> params;
            for (int i = 0; i < table.keyCount; ++i) {
                int low = tableKeys[from][i];
                int high = low;
                for (size_t k = from; k < to; ++k) {
                    low = std::min(low, tableKeys[k][i]);
                    high = std::max(high, tableKeys[k][i]);
                }
                params.emplace_back(low);
                params.emplace_back(high);
            }
            q.setPositionalParams(std::move(params));
            q.open(keep);
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
    if (c < 0)
        return {};
    if (!t.lazy)
        return t.values.value(qsizetype(row.first) * t.cols.size() + c);
    return t.statement->rowValue(row.first, t.keyCount + c).toString();
}

void FundRows::setCount(const CellRequest& request, int count) {
    m_tables[size_t(request.table())].rows[keyBytes(FundKeyValues(request, m_aggrCount))].count =
        count;
}
