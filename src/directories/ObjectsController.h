#pragma once

#include "ChangeFlags.h"
#include "ObjectFilter.h"
#include "OutlineState.h"

#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <vector>

class ElementRowSet;
class Prompter;
class TdmMSSQL;

// What the objects directory does apart from its widgets: the ordered list of
// objects with one membership column per attached aggregation directory, adding,
// deleting and moving objects by the list's NPP rule, memberships, the filter by
// membership, and the exchange with a dBase file.
class ObjectsController {
public:
    ObjectsController(TdmMSSQL& dm, Prompter& prompter, ElementRowSet& rows,
                      OutlineState& state = ProcessOutlineState());

    // Reads the directories (attached ones and their names, the count), builds the
    // list query and the grid's columns; every filter value is reset (throws DbError).
    void load();
    const QList<int>& attached() const { return m_filter.directories(); }
    const QStringList& attachedNames() const { return m_names; }
    int directoryCount() const { return m_count; }
    // Grid column of the j-th attached directory's membership (0 code, 1 name).
    static int membershipColumn(int j) { return j + 2; }
    // The attached directory shown in a grid column, -1 for the code and name.
    static int directoryOfColumn(int column) { return column >= 2 ? column - 2 : -1; }
    QString columnTitle(int j) const;

    const ObjectFilter& filter() const { return m_filter; }
    QString listSql() const;
    // The list read again with the query and filter in force, at the object (or the first).
    void reopenAt(const QVariant& key);

    bool addObject();
    // No confirmation; an object with values in the data funds stays.
    bool deleteObject();
    // Grid rows; a target below 0 (the title row) sends the object to the end.
    bool moveObject(int sourceRow, int targetRow);

    // "Отбор независимого объекта": the rights probe and the nodes of the j-th
    // attached directory; an empty list after telling the user.
    bool mayChangeMemberships();
    QList<AgrNode> nodesOf(int j, const QString& emptyText);
    bool setMembership(int j, double node);

    // The filter dialog's choice for the j-th attached directory (kNone: its condition goes).
    bool applyFilter(int j, double node, const QString& nodeName);
    void removeFilter();

    // The name hint of a membership cell; empty unless exactly one node answers.
    QString nodeName(int j, const QVariant& code);

    // Typed names and memberships go to ELM as each row is posted.
    void attachGridEditing();
    // After a membership edit: an object that left the filtered set leaves the
    // list, the cursor goes to the following object. False when nothing changed.
    bool followFilterAfterEdit();

    bool exportObjects();
    bool importObjects();
    using Progress = std::function<void(int done, int total)>;
    void setProgress(Progress progress) { m_progress = std::move(progress); }

    // The position in front of the objectIndex-th object of the whole list
    // (NPP order); may move that object or renumber, inside the open transaction.
    int nppInFront(int objectIndex);
    QString userName() const;

private:
    struct Entry {
        double npp = 0;
        double key = 0;
    };
    void readFull();
    int fullIndexOf(double key) const;
    void setNpp(double key, int npp);
    void renumber();
    double maxCode();
    // The PELM check; false when the command must stop.
    bool unchanged(bool tellChanged);
    QVariant currentKey() const;
    void insertObject(int npp, double code, const QString& name, const QList<QVariant>& kods);
    void progress(int done, int total);

    TdmMSSQL& m_dm;
    Prompter& m_prompter;
    ElementRowSet& m_rows;
    OutlineState& m_state;
    ChangeFlags m_flags;
    ObjectFilter m_filter;
    QStringList m_names;
    QStringList m_filterNames;
    int m_count = 0;
    std::vector<Entry> m_full;
    Progress m_progress;
};
