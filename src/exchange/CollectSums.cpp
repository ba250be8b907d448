#include "CollectSums.h"

#include "CellValues.h"
#include "DbConnection.h"
#include "DbError.h"
#include "DbStatement.h"

#include <QSet>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

using Key = QVarLengthArray<int, 16>;

// Keys further apart in their leading column (the first node's code) are read in
// separate runs, so that nodes 1 and 90 000 do not bring every node between.
constexpr int kLeadingGap = 64;

QStringList keyColumns(bool operational, const QList<int>& types) {
    QStringList cols;
    for (int t : types)
        cols << QStringLiteral("E.KOD%1").arg(t);
    cols << QStringLiteral("F.KODPOK") << QStringLiteral("F.KODPOK1")
         << QStringLiteral("F.KODPOK2");
    if (operational)
        cols << QStringLiteral("F.GOD");
    return cols;
}

// The objects of the nodes drive the statement: their rows of the fund are then found
// through the fund's key index (object, indicator, ...). Driven from the fund instead,
// the server reads the indicators' rows of every object. The outer join keeps that
// order on every server version; objects without fund rows give NULL keys, dropped.
// The fund's bounds come first in the text, so their parameters go first.
QString fromWhere(bool operational, const QStringList& keys) {
    QStringList objectBounds;
    QStringList fundBounds;
    for (const QString& c : keys)
        (c.startsWith(QLatin1String("E.")) ? objectBounds : fundBounds)
            << c + QStringLiteral(" BETWEEN ? AND ?");
    return QStringLiteral(" FROM ELM E LEFT JOIN ") +
           (operational ? QStringLiteral("FD_OPERELM") : QStringLiteral("FD_DOLGELM")) +
           QStringLiteral(" F ON F.KODFOLDER=E.KODFOLDER and ") +
           fundBounds.join(QStringLiteral(" and ")) + QStringLiteral(" WHERE ") +
           objectBounds.join(QStringLiteral(" and "));
}

QByteArray bytesOf(const Key& key) {
    return QByteArray(reinterpret_cast<const char*>(key.data()),
                      key.size() * qsizetype(sizeof(int)));
}

// The server could not take a value as a number: the values are read and converted here.
bool IsConversionFailure(const QString& message) {
    const QString m = message.toLower();
    return m.contains(QLatin1String("conversion error")) ||
           m.contains(QLatin1String("arithmetic exception")) ||
           m.contains(QLatin1String("out of range"));
}

} // namespace

std::vector<std::pair<int, int>> CollectRequest::NodesOf(const CellRequest& cell, int aggrCount) {
    std::vector<std::pair<int, int>> nodes;
    if (cell.object.type >= kObjectsDirectoryType)
        return nodes;
    bool unknown = false;
    auto put = [&](const ElementRef& e) {
        if (e.code == 0 || e.type <= 0)
            return;
        // A directory the database does not have (any more) has no members.
        if (e.type > aggrCount) {
            unknown = true;
            return;
        }
        for (auto& n : nodes)
            if (n.first == e.type) {
                n.second = e.code;
                return;
            }
        nodes.emplace_back(e.type, e.code);
    };
    // A code without a directory type names no node: without it every object would be
    // summed.
    if (cell.object.code != 0 && cell.object.type == 0)
        return {};
    put(cell.object);
    for (const ElementRef& e : cell.cuts) {
        if (e.code != 0 && e.type == 0)
            return {};
        put(e);
    }
    if (unknown)
        return {};
    std::sort(nodes.begin(), nodes.end());
    return nodes;
}

QString CollectSums::sumText(bool operational, const QList<int>& types, const QList<int>& cols) {
    const QStringList keys = keyColumns(operational, types);
    QStringList select = keys;
    for (int k : cols)
        select << QStringLiteral("SUM(CAST(NULLIF(TRIM(F.D%1),'') AS DOUBLE PRECISION))").arg(k);
    return QStringLiteral("SELECT ") + select.join(QLatin1Char(',')) +
           fromWhere(operational, keys) + QStringLiteral(" GROUP BY ") +
           keys.join(QLatin1Char(','));
}

QString CollectSums::valuesText(bool operational, const QList<int>& types, const QList<int>& cols) {
    const QStringList keys = keyColumns(operational, types);
    QStringList select = keys;
    for (int k : cols)
        select << QStringLiteral("F.D%1").arg(k);
    return QStringLiteral("SELECT ") + select.join(QLatin1Char(',')) + fromWhere(operational, keys);
}

QByteArray CollectSums::keyOf(const CollectRequest& q) {
    Key key;
    key << (q.cell.operational() ? 1 : 0) << int(q.nodes.size());
    for (const auto& n : q.nodes)
        key << n.first;
    for (const auto& n : q.nodes)
        key << n.second;
    key << q.cell.kodpok << q.cell.kodpok1 << q.cell.kodpok2;
    if (q.cell.operational())
        key << q.cell.god;
    return bytesOf(key);
}

void CollectSums::read(std::span<const CollectRequest> requests) {
    m_groups.clear();
    std::vector<std::pair<Shape, std::vector<const CollectRequest*>>> shapes;
    for (const CollectRequest& q : requests) {
        if (q.nodes.empty())
            continue;
        Shape shape{q.cell.operational(), {}};
        for (const auto& n : q.nodes)
            shape.types << n.first;
        auto it = std::find_if(shapes.begin(), shapes.end(),
                               [&](const auto& s) { return s.first == shape; });
        if (it == shapes.end()) {
            shapes.emplace_back(shape, std::vector<const CollectRequest*>{});
            it = shapes.end() - 1;
        }
        it->second.push_back(&q);
    }
    for (const auto& [shape, list] : shapes)
        readShape(shape, list);
}

void CollectSums::readShape(const Shape& shape, const std::vector<const CollectRequest*>& list) {
    QSet<int> colSet;
    std::vector<Key> keys;
    QSet<QByteArray> seen;
    for (const CollectRequest* q : list) {
        for (int k : q->cell.valueCols)
            colSet.insert(k);
        Key key;
        for (const auto& n : q->nodes)
            key << n.second;
        key << q->cell.kodpok << q->cell.kodpok1 << q->cell.kodpok2;
        if (shape.operational)
            key << q->cell.god;
        if (!seen.contains(bytesOf(key))) {
            seen.insert(bytesOf(key));
            keys.push_back(key);
        }
    }
    QList<int> cols(colSet.begin(), colSet.end());
    std::sort(cols.begin(), cols.end());
    std::sort(keys.begin(), keys.end(), [](const Key& a, const Key& b) { return a[0] < b[0]; });
    try {
        runShape(shape, cols, keys, true);
    } catch (const DbError& e) {
        if (!IsConversionFailure(e.message()))
            throw;
        runShape(shape, cols, keys, false);
    }
}

void CollectSums::runShape(const Shape& shape, const QList<int>& cols, const std::vector<Key>& keys,
                           bool aggregate) {
    DbStatement& q = m_db.statement(aggregate ? QStringLiteral("quCollectSums")
                                              : QStringLiteral("quCollectValues"));
    q.setSql(aggregate ? sumText(shape.operational, shape.types, cols)
                       : valuesText(shape.operational, shape.types, cols));
    const int keyCount = int(keys.front().size());
    const int m = int(shape.types.size());

    QSet<QByteArray> wanted;
    for (const Key& k : keys)
        wanted.insert(bytesOf(k));
    // A rerun after a failed aggregate starts from nothing.
    QHash<QByteArray, Group> found;

    Key key(keyCount);
    Key full;
    const auto keep = [&](int r) {
        for (int i = 0; i < keyCount; ++i) {
            const QVariant v = q.rowValue(r, i);
            const double d = v.toDouble();
            if (v.isNull() || d != std::floor(d) ||
                std::abs(d) > double(std::numeric_limits<int>::max()))
                return false;
            key[i] = int(d);
        }
        if (!wanted.contains(bytesOf(key)))
            return false;
        full.clear();
        full << (shape.operational ? 1 : 0) << m;
        for (int t : shape.types)
            full << t;
        full.append(key.constData(), key.size());
        Group& g = found[bytesOf(full)];
        for (int c = 0; c < cols.size(); ++c) {
            const int k = cols[c];
            const QVariant v = q.rowValue(r, keyCount + c);
            if (aggregate) {
                g.sums[k] += v.isNull() ? 0.0 : v.toDouble();
                continue;
            }
            const QString text = v.toString();
            if (text.trimmed().isEmpty())
                continue;
            double value = 0;
            if (CellValues::toNumber(text, value))
                g.sums[k] += value;
            else
                g.bad[k] = true;
        }
        return false;
    };

    std::vector<std::pair<size_t, size_t>> runs{{0, 0}};
    for (size_t i = 1; i < keys.size(); ++i)
        if (qint64(keys[i][0]) - keys[i - 1][0] > kLeadingGap) {
            runs.back().second = i;
            runs.emplace_back(i, i);
        }
    runs.back().second = keys.size();
    for (const auto& [from, to] : runs) {
        std::vector<QVariant> fundParams;
        std::vector<QVariant> objectParams;
        for (int i = 0; i < keyCount; ++i) {
            std::vector<QVariant>& params = i < m ? objectParams : fundParams;
            int low = keys[from][i];
            int high = low;
            for (size_t k = from; k < to; ++k) {
                low = std::min(low, keys[k][i]);
                high = std::max(high, keys[k][i]);
            }
            params.emplace_back(low);
            params.emplace_back(high);
        }
        fundParams.insert(fundParams.end(), objectParams.begin(), objectParams.end());
        q.setPositionalParams(std::move(fundParams));
        q.open(keep);
        q.close();
    }
    for (auto it = found.begin(); it != found.end(); ++it)
        m_groups.insert(it.key(), it.value());
}

CollectSums::Result CollectSums::result(const CollectRequest& request) const {
    Result out;
    const auto it = m_groups.constFind(keyOf(request));
    if (it == m_groups.constEnd())
        return out;
    for (int k : request.cell.valueCols) {
        if (it->bad.value(k)) {
            out.numeric = false;
            return out;
        }
        out.sum += it->sums.value(k);
    }
    return out;
}
