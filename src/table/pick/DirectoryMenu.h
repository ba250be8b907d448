#pragma once

#include <QList>
#include <QString>

class TdmMSSQL;

// The items of the editor's directory pop-up PopMenu, as UpdateMenu builds them: the
// aggregation directories, the objects directory and, while the side or the title is
// identified, the object lists.
struct DirectoryMenuItem {
    enum Kind { Aggregation, Objects, Separator, ObjectList };
    Kind kind = Aggregation;
    int key = 0; // NUMAGR or KODSPIS
    QString caption;
};

class DirectoryMenu {
public:
    explicit DirectoryMenu(TdmMSSQL& dm) : m_dm(dm) {}

    // Reads the directories and lists afresh; `withLists` while the side or the title is
    // identified. Database errors leave the menu empty.
    void update(bool withLists);

    const QList<DirectoryMenuItem>& items() const { return m_items; }
    int aggregationCount() const { return m_aggregations; }
    bool objectsEnabled() const { return m_objects; }
    int listCount() const { return m_lists; }
    // The first aggregation directory, for the picker that opens at once.
    const DirectoryMenuItem& firstAggregation() const { return m_first; }
    // One aggregation directory and nothing else to choose: its picker opens at once.
    bool opensDirectly(bool withLists) const {
        return m_aggregations == 1 && !m_objects && (!withLists || m_lists == 0);
    }

    static QString noDirectories() {
        return QStringLiteral("Справочники объектов не определены в настройке");
    }

private:
    TdmMSSQL& m_dm;
    QList<DirectoryMenuItem> m_items;
    int m_aggregations = 0;
    bool m_objects = false;
    int m_lists = 0;
    DirectoryMenuItem m_first;
};
