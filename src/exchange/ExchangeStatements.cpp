#include "ExchangeStatements.h"

namespace ExchangeStatements {

namespace {

const char* fundTableName(FundTable t) {
    switch (t) {
    case FundTable::OperAgr:
        return "FD_OPERAGR";
    case FundTable::DolgAgr:
        return "FD_DOLGAGR";
    case FundTable::OperElm:
        return "FD_OPERELM";
    case FundTable::DolgElm:
        return "FD_DOLGELM";
    }
    return "";
}

bool isOper(FundTable t) {
    return t == FundTable::OperAgr || t == FundTable::OperElm;
}
bool isElm(FundTable t) {
    return t == FundTable::OperElm || t == FundTable::DolgElm;
}

QString whereText(FundTable t) {
    QString w = QStringLiteral("WHERE ");
    if (isElm(t))
        w += QStringLiteral("KODFOLDER=:KODFOLDER and ");
    w += QStringLiteral("KODPOK=:KODPOK and KODPOK1=:KODPOK1 and KODPOK2=:KODPOK2");
    if (isOper(t))
        w += QStringLiteral(" and GOD=:GOD");
    return w;
}

QString keyColumns(FundTable t, int n, const QString& prefix, const QString& koPrefix) {
    QStringList cols;
    if (isElm(t)) {
        cols << prefix + QStringLiteral("KODFOLDER");
    } else {
        for (int i = 1; i <= n; ++i)
            cols << koPrefix + QString::number(i);
    }
    cols << prefix + QStringLiteral("KODPOK") << prefix + QStringLiteral("KODPOK1")
         << prefix + QStringLiteral("KODPOK2");
    if (isOper(t))
        cols << prefix + QStringLiteral("GOD");
    return cols.join(QLatin1Char(','));
}

const std::array<const char*, 4> kSuffix = {"OperAgr", "DolgAgr", "OperElm", "DolGElm"};
const std::array<const char*, 4> kStoreSuffix = {"OperAgr", "DolgAgr", "OperElm", "DolgElm"};

} // namespace

QString koList(int n) {
    QString s;
    for (int i = 1; i <= n; ++i)
        s += QStringLiteral(" and KOD%1=:KO%1").arg(i);
    return s;
}

QStringList readLines(FundTable t, int n) {
    QStringList lines{QStringLiteral("SELECT D1"),
                      QStringLiteral("FROM %1 ").arg(QLatin1String(fundTableName(t))) +
                          whereText(t)};
    if (!isElm(t))
        lines << koList(n);
    return lines;
}

QString selectLine(const CellRequest& q) {
    QStringList cols;
    for (int k : q.valueCols) {
        if (k < 1 || (q.operational() && k > 12))
            return QStringLiteral("SELECT *");
        cols << QStringLiteral("D%1").arg(k);
    }
    if (cols.isEmpty())
        return QStringLiteral("SELECT *");
    return QStringLiteral("SELECT ") + cols.join(QLatin1Char(','));
}

std::array<StoreTexts, 4> PrepareQueries(int n) {
    std::array<StoreTexts, 4> all;
    for (int i = 0; i < 4; ++i) {
        const FundTable t = FundTable(i);
        const QString name = QLatin1String(fundTableName(t));
        StoreTexts& s = all[size_t(i)];
        s.update = {QStringLiteral("UPDATE %1 SET").arg(name), updateValueLine(1), whereText(t)};
        s.check = {QStringLiteral("SELECT KODPOK FROM %1 ").arg(name) + whereText(t)};
        if (!isElm(t)) {
            s.update << koList(n);
            s.check << koList(n);
        }
        // With no aggregation directory the key starts at KODPOK: there is no KOD1.
        s.insert = {QStringLiteral("INSERT INTO %1 (").arg(name),
                    keyColumns(t, n, QString(), QStringLiteral("KOD")), insertColumnLine(1),
                    QStringLiteral("VALUES (") +
                        keyColumns(t, n, QStringLiteral(":"), QStringLiteral(":KO")),
                    insertValueLine(1)};
    }
    return all;
}

QString updateValueLine(int k) {
    return QStringLiteral("D%1=:D%1").arg(k);
}
QString insertColumnLine(int k) {
    return QStringLiteral(",D%1)").arg(k);
}
QString insertValueLine(int k) {
    return QStringLiteral(",:D%1)").arg(k);
}

QString tableName(FundTable t) {
    return QLatin1String(fundTableName(t));
}

QStringList keyColumnNames(FundTable t, int n) {
    return keyColumns(t, n, QString(), QStringLiteral("KOD")).split(QLatin1Char(','));
}

namespace {

QStringList valueColumns(const QList<int>& cols, const QString& suffix = QString()) {
    QStringList out;
    for (int k : cols)
        out << QStringLiteral("D%1").arg(k) + suffix;
    return out;
}

} // namespace

QString bulkReadText(FundTable t, int n, const QList<int>& cols) {
    const QStringList keys = keyColumnNames(t, n);
    QStringList bounds;
    for (const QString& c : keys)
        bounds << c + QStringLiteral(" BETWEEN ? AND ?");
    return QStringLiteral("SELECT ") + (keys + valueColumns(cols)).join(QLatin1Char(',')) +
           QStringLiteral(" FROM ") + tableName(t) + QStringLiteral(" WHERE ") +
           bounds.join(QStringLiteral(" and "));
}

QString bulkInsertText(FundTable t, int n, const QList<int>& cols) {
    const QStringList names = keyColumnNames(t, n) + valueColumns(cols);
    return QStringLiteral("INSERT INTO ") + tableName(t) + QStringLiteral(" (") +
           names.join(QLatin1Char(',')) + QStringLiteral(") VALUES (") +
           QStringList(names.size(), QStringLiteral("?")).join(QLatin1Char(',')) + QLatin1Char(')');
}

QString bulkUpdateText(FundTable t, int n, const QList<int>& cols) {
    QStringList keys = keyColumnNames(t, n);
    for (QString& c : keys)
        c += QStringLiteral("=?");
    return QStringLiteral("UPDATE ") + tableName(t) + QStringLiteral(" SET ") +
           valueColumns(cols, QStringLiteral("=?")).join(QLatin1Char(',')) +
           QStringLiteral(" WHERE ") + keys.join(QStringLiteral(" and "));
}

QString readName(FundTable t) {
    return QStringLiteral("quFFD") + QLatin1String(kSuffix[size_t(t)]);
}
QString updateName(FundTable t) {
    return QStringLiteral("quUFD") + QLatin1String(kStoreSuffix[size_t(t)]);
}
QString checkName(FundTable t) {
    return QStringLiteral("_quFFD") + QLatin1String(kSuffix[size_t(t)]);
}
QString insertName(FundTable t) {
    return QStringLiteral("quIFD") + QLatin1String(kStoreSuffix[size_t(t)]);
}

} // namespace ExchangeStatements
