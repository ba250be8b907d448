#pragma once

#include "ObjectFilter.h"
#include "PickedEntry.h"

#include <QHash>
#include <QList>
#include <QStringList>
#include <QVariant>

class TdmMSSQL;

// The objects picker's list without its grid: the objects directory with one
// membership column per attached aggregation directory, filtered by nodes of those
// directories. Database errors are thrown (DbError) for the window to report.
class ObjectPicking {
public:
    struct Row {
        double code = 0;
        QString name;
        QList<QVariant> memberships; // KODn of each attached directory, in column order
    };

    explicit ObjectPicking(TdmMSSQL& dm) : m_dm(dm) {}

    // The attached directories and their node names read afresh, the filter removed
    // and the list read.
    void load();
    const QList<int>& attached() const { return m_filter.directories(); }
    // A directory column's title: the filtering node's name while it filters, else the
    // directory's name.
    QString columnTitle(int j) const;
    QString directoryName(int j) const { return m_names.value(j); }
    QList<AgrNode> nodesOf(int j) const { return m_nodes.value(j); }
    const ObjectFilter& filter() const { return m_filter; }

    QString listSql() const;
    // SBrefr and every filter change: the list read again with the current filter.
    void reread();
    const QList<Row>& rows() const { return m_rows; }
    int indexOf(double code) const;
    // The node an object belongs to in the j-th attached directory, by name.
    QString membershipText(int row, int j) const;

    // A click on a directory column title: only the objects of that node (kNone lifts
    // the column's condition).
    void filterBy(int j, double node, const QString& nodeName);
    // "Снять фильтр".
    void removeFilter();

    // The selected rows as entries of the objects directory, in list order.
    QList<PickedEntry> chosen(QList<int> selectedRows) const;

    static QString noObjects() { return QStringLiteral("Нет отобранных объектов"); }
    // Asked before the objects directory is used, for mode 0, 1 or 2.
    static QString modeQuestion(int mode);

private:
    TdmMSSQL& m_dm;
    ObjectFilter m_filter;
    QStringList m_names;
    QStringList m_filterNames;
    QList<QList<AgrNode>> m_nodes;
    QList<QHash<qint64, QString>> m_nodeNames;
    QList<Row> m_rows;
};
