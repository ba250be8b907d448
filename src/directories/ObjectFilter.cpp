#include "ObjectFilter.h"

#include "DbStatement.h"
#include "TdmMSSQL.h"

QList<AgrNode> ReadAgrNodes(TdmMSSQL& dm, int numAgr) {
    DbStatement& st = dm.dbMain.statement(QStringLiteral("quAgrNodes"));
    st.setSql(QStringList{QStringLiteral("SELECT KODFOLDER, NAMEFOLDER, NLEVEL"),
                          QStringLiteral("FROM AGR WHERE NUMAGR = :NUM_AGR"),
                          QStringLiteral("ORDER BY NPP")});
    st.clearParams();
    st.setParam(QStringLiteral("NUM_AGR"), numAgr);
    st.open();
    QList<AgrNode> nodes;
    for (st.first(); !st.eof(); st.next())
        nodes.append({st.value(0).toDouble(), st.value(1).toString(), st.value(2).toInt()});
    st.close();
    return nodes;
}

void ObjectFilter::setDirectories(const QList<int>& directories) {
    m_directories = directories;
    m_values = QList<double>(directories.size(), kNone);
}

void ObjectFilter::set(int index, double node) {
    if (index >= 0 && index < m_values.size())
        m_values[index] = node;
}

void ObjectFilter::clear() {
    for (double& v : m_values)
        v = kNone;
}

bool ObjectFilter::isActive() const {
    for (double v : m_values)
        if (v != kNone)
            return true;
    return false;
}

QString ObjectFilter::whereClause() const {
    QStringList conditions;
    for (int i = 0; i < m_values.size(); ++i)
        if (m_values[i] != kNone)
            conditions << QStringLiteral("KOD%1 = :KodFilter%1").arg(m_directories[i]);
    return conditions.isEmpty()
               ? QString()
               : QStringLiteral("WHERE ") + conditions.join(QStringLiteral(" AND "));
}

void ObjectFilter::bind(DbStatement& statement) const {
    for (int i = 0; i < m_values.size(); ++i)
        if (m_values[i] != kNone)
            statement.setParam(QStringLiteral("KodFilter%1").arg(m_directories[i]), m_values[i]);
}

bool ObjectFilter::accepts(int index, const QVariant& membership) const {
    if (!isSet(index))
        return true;
    return !membership.isNull() && membership.toDouble() == value(index);
}
