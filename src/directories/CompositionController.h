#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class Prompter;
class TdmMSSQL;

// "Состав  справочников  объектов": the aggregation directories with their names
// and attachment to the objects directory, adding a directory, and the name of
// the objects directory. List position i is directory number i + 1.
class CompositionController {
public:
    CompositionController(TdmMSSQL& dm, Prompter& prompter);

    bool load();
    const QStringList& names() const { return m_names; }
    bool attached(int position) const { return m_attached.value(position); }
    int attachedCount() const { return m_attachedCount; }
    // The objects directory is named and offered while any directory is attached.
    bool objectsEnabled() const { return m_attachedCount > 0; }
    const QString& objectsName() const { return m_objectsName; }

    // A check mark set or removed; false (and the mark goes back) on failure.
    bool setAttached(int position, bool attached);
    // The end of a name edit; a blank name becomes "Независимые объекты - " + number.
    bool rename(int position, const QString& text);
    static QString storedName(const QString& text, int number);
    // Adds the next directory; its position, or -1 after telling the user.
    int addDirectory();
    // Closing: the objects directory's name and availability go to NAST.
    void close(const QString& objectsName);

    // The schema changed: connections and statements must be renewed.
    bool directoriesAdded() const { return m_added; }
    // The objects window must be rebuilt with other columns.
    bool objectsLayoutChanged() const { return m_layoutChanged; }

private:
    TdmMSSQL& m_dm;
    Prompter& m_prompter;
    QStringList m_names;
    QList<bool> m_attached;
    int m_attachedCount = 0;
    QString m_objectsName;
    bool m_added = false;
    bool m_layoutChanged = false;
};
