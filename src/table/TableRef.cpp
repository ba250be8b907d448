#include "TableRef.h"

#include "DbStatement.h"
#include "Helpers.h"
#include "TdmMSSQL.h"

bool TableRef::passwordGuardsSaving() const {
    return !IsBlank(parol) && typeUse.has_value() && *typeUse != 1;
}

bool TableRef::tenderVisible() const {
    const QString alt = kodAlt.trimmed();
    return alt == QStringLiteral("Пост.") || alt == QStringLiteral("Спец.");
}

TableRef TableRef::fromCatRow(const DbStatement& q) {
    TableRef t;
    t.kodElmt = q.value(QStringLiteral("KODELMT")).toInt();
    t.name = q.value(QStringLiteral("NAMEFOLDER")).toString();
    t.kodAlt = q.value(QStringLiteral("KODALT")).toString();
    t.kodSpis = q.value(QStringLiteral("KODSPIS")).toInt();
    t.parol = q.value(QStringLiteral("PAROL")).toString();
    const QVariant typeUse = q.value(QStringLiteral("TYPEUSE"));
    if (!typeUse.isNull())
        t.typeUse = typeUse.toInt();
    return t;
}

std::optional<TableRef> TableRef::read(TdmMSSQL& dm, int kodElmt) {
    DbStatement& q = dm.dbTab.statement(QStringLiteral("quTableRef"));
    q.setSql(
        QStringList{QStringLiteral("SELECT KODELMT, NAMEFOLDER, KODALT, KODSPIS, PAROL, TYPEUSE"),
                    QStringLiteral("FROM CAT WHERE KODELMT = :KODELMT")});
    q.setParam(QStringLiteral("KODELMT"), kodElmt);
    q.open();
    std::optional<TableRef> t;
    if (!q.isEmpty())
        t = fromCatRow(q);
    q.close();
    return t;
}
