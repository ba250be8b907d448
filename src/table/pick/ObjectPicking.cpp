#include "ObjectPicking.h"

#include "DbStatement.h"
#include "TableLayout.h"
#include "TdmMSSQL.h"

#include <algorithm>

void ObjectPicking::load() {
    QList<int> attached;
    QStringList names;
    DbStatement& q = m_dm.query(QStringLiteral("quCommonMAIN"));
    q.clearParams();
    q.setSql(QStringLiteral("SELECT NUMAGR, NAMEAGR, ISINELM FROM SPISAGR ORDER BY NUMAGR"));
    q.open();
    for (q.first(); !q.eof(); q.next())
        if (q.value(2).toString().trimmed().toUpper() == QLatin1String("T")) {
            attached << q.value(0).toInt();
            names << q.value(1).toString().trimmed();
        }
    q.close();
    m_nodes.clear();
    m_nodeNames.clear();
    for (int n : attached) {
        const QList<AgrNode> nodes = ReadAgrNodes(m_dm, n);
        QHash<qint64, QString> byKey;
        for (const AgrNode& node : nodes)
            byKey.insert(qint64(node.key), node.name.trimmed());
        m_nodes << nodes;
        m_nodeNames << byKey;
    }
    m_filter.setDirectories(attached);
    m_names = names;
    m_filterNames = QStringList(attached.size(), QString());
    reread();
}

QString ObjectPicking::columnTitle(int j) const {
    return m_filter.isSet(j) ? m_filterNames.value(j) : m_names.value(j);
}

QString ObjectPicking::listSql() const {
    QString sql = QStringLiteral("SELECT KODFOLDER, NAMEFOLDER");
    for (int n : m_filter.directories())
        sql += QStringLiteral(", KOD%1").arg(n);
    sql += QStringLiteral(" FROM ELM");
    const QString where = m_filter.whereClause();
    if (!where.isEmpty())
        sql += QStringLiteral(" ") + where;
    return sql + QStringLiteral(" ORDER BY NPP");
}

void ObjectPicking::reread() {
    m_rows.clear();
    DbStatement& q = m_dm.query(QStringLiteral("quCommonMAIN"));
    q.setSql(listSql());
    q.clearParams();
    m_filter.bind(q);
    q.open();
    for (q.first(); !q.eof(); q.next()) {
        Row row{q.value(0).toDouble(), q.value(1).toString().trimmed(), {}};
        for (int j = 0; j < m_filter.size(); ++j)
            row.memberships << q.value(2 + j);
        m_rows << row;
    }
    q.close();
}

int ObjectPicking::indexOf(double code) const {
    for (int i = 0; i < m_rows.size(); ++i)
        if (m_rows[i].code == code)
            return i;
    return -1;
}

QString ObjectPicking::membershipText(int row, int j) const {
    const QVariant kod = m_rows.value(row).memberships.value(j);
    if (kod.isNull() || !kod.isValid())
        return {};
    return m_nodeNames.value(j).value(qint64(kod.toDouble()), kod.toString());
}

void ObjectPicking::filterBy(int j, double node, const QString& nodeName) {
    if (j < 0 || j >= m_filter.size())
        return;
    m_filter.set(j, node);
    m_filterNames[j] = node == ObjectFilter::kNone ? QString() : nodeName.trimmed();
    reread();
}

void ObjectPicking::removeFilter() {
    m_filter.clear();
    for (QString& name : m_filterNames)
        name.clear();
    reread();
}

QList<PickedEntry> ObjectPicking::chosen(QList<int> selectedRows) const {
    std::sort(selectedRows.begin(), selectedRows.end());
    selectedRows.erase(std::unique(selectedRows.begin(), selectedRows.end()), selectedRows.end());
    QList<PickedEntry> entries;
    for (int r : selectedRows) {
        if (r < 0 || r >= m_rows.size())
            continue;
        PickedEntry e;
        e.code = int(m_rows[r].code);
        e.directory = kObjectsDirectoryType;
        e.name = m_rows[r].name;
        entries << e;
    }
    return entries;
}

QString ObjectPicking::modeQuestion(int mode) {
    static const char* const names[] = {"Поставить", "Дополнить", "Развернуть"};
    return QStringLiteral("Режим идентификации: \"%1\". Правильно ?")
        .arg(QString::fromUtf8(names[std::clamp(mode, 0, 2)]));
}
