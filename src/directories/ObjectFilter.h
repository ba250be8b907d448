#pragma once

#include <QList>
#include <QString>

class DbStatement;
class TdmMSSQL;

// One node of an aggregation directory as the node pickers show it.
struct AgrNode {
    double key = 0;
    QString name;
    int level = 1;
};

// The nodes of directory numAgr in tree order (throws DbError).
QList<AgrNode> ReadAgrNodes(TdmMSSQL& dm, int numAgr);

// A filter of objects by membership: one value per directory taking part (in
// their order), -1 = no condition, otherwise the node the membership must equal.
// Plain data, shared by the objects directory and the object picker.
class ObjectFilter {
public:
    static constexpr double kNone = -1;

    ObjectFilter() = default;
    explicit ObjectFilter(const QList<int>& directories) { setDirectories(directories); }

    // Directory numbers (NUMAGR) in column order; every value is reset.
    void setDirectories(const QList<int>& directories);
    const QList<int>& directories() const { return m_directories; }
    int size() const { return int(m_directories.size()); }

    double value(int index) const { return m_values.value(index, kNone); }
    void set(int index, double node);
    void clear();
    bool isActive() const;
    bool isSet(int index) const { return value(index) != kNone; }

    // "WHERE KODn = :KodFiltern AND ..." for every set value; empty when inactive.
    QString whereClause() const;
    void bind(DbStatement& statement) const;
    // Whether a membership of the index-th directory passes its condition.
    bool accepts(int index, const QVariant& membership) const;

private:
    QList<int> m_directories;
    QList<double> m_values;
};
