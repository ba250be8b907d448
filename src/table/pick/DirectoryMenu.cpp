#include "DirectoryMenu.h"

#include "DbError.h"
#include "DbStatement.h"
#include "TdmMSSQL.h"

void DirectoryMenu::update(bool withLists) {
    m_items.clear();
    m_aggregations = 0;
    m_objects = false;
    m_lists = 0;
    m_first = {};
    QList<DirectoryMenuItem> aggregations, lists;
    QString objectsName;
    try {
        DbStatement& q = m_dm.query(QStringLiteral("quCommonMAIN"));
        q.clearParams();
        q.setSql(QStringLiteral("SELECT NUMAGR, NAMEAGR FROM SPISAGR ORDER BY NUMAGR"));
        q.open();
        for (q.first(); !q.eof(); q.next())
            aggregations.append({DirectoryMenuItem::Aggregation, q.value(0).toInt(),
                                 q.value(1).toString().trimmed()});
        q.close();
        q.setSql(QStringLiteral("SELECT ISELMENABLED, NAMEELM FROM NAST"));
        q.open();
        if (!q.isEmpty()) {
            m_objects = q.value(0).toString().trimmed() == QLatin1String("T");
            objectsName = q.value(1).toString().trimmed();
        }
        q.close();
        q.setSql(QStringLiteral("SELECT KODSPIS, NAME FROM SPIS ORDER BY NAME"));
        q.open();
        for (q.first(); !q.eof(); q.next())
            lists.append(
                {DirectoryMenuItem::ObjectList, q.value(0).toInt(), q.value(1).toString()});
        q.close();
    } catch (const DbError&) {
        m_objects = false;
        return;
    }
    m_aggregations = int(aggregations.size());
    if (!aggregations.isEmpty())
        m_first = aggregations.first();
    m_lists = int(lists.size());
    const bool several =
        m_aggregations > 1 || (m_aggregations == 1 && (m_objects || (withLists && m_lists > 0)));
    if (several || m_objects)
        m_items = aggregations;
    if (m_objects)
        m_items.append(
            {DirectoryMenuItem::Objects, 99,
             objectsName.isEmpty() ? QStringLiteral("Подчиненные объекты") : objectsName});
    if (withLists && m_lists > 0) {
        m_items.append({DirectoryMenuItem::Separator, 0, QStringLiteral("-")});
        m_items.append(lists);
    }
}
