#pragma once

#include "OutlineEngine.h"

#include <QString>
#include <QStringList>

#include <functional>

class ElementOperations;
class Prompter;
class TdmMSSQL;

// The aggregation directories and settings the "Справочники" menu is built from.
struct DirectoryMenuModel {
    QStringList names;       // trimmed NAMEAGR, by NUMAGR
    QList<int> inElements;   // NUMAGR of the directories with ISINELM
    QList<int> columnBreaks; // 0-based entries that start a new menu column
    bool objectsEnabled = false;
    QString objectsCaption; // trimmed NAMEELM
};

// What the collections window does on its commands, apart from its widgets:
// the mode, the checks and messages around the outline and element operations,
// the in-use counter of opened tables, passwords and the administrator's commands.
class CollectionsController {
public:
    enum class Mode { Collections, Tables };

    CollectionsController(TdmMSSQL& dm, Prompter& prompter, OutlineEngine<int>& engine,
                          ElementOperations& elements);

    Mode mode() const { return m_mode; }
    void enterTree();
    int currentCollection() const { return m_collection; }

    // Enter or double click on a collection: false when it has sub-collections,
    // the catalogue was changed, or its password was not given.
    bool openCollection();
    // Enter on a collection with sub-collections: an expanded one collapses once
    // its password is given, a collapsed one expands. False when nothing changed.
    bool toggleFolder(OutlineNode* node);
    // Left and Right: no password asked. False when the node was already so.
    bool collapseFolder(OutlineNode* node);
    bool expandFolder(OutlineNode* node);
    // Asked before a double click collapses an expanded collection in the view.
    bool mayCollapse(OutlineNode* node);
    bool addCollection();
    bool deleteCollection();
    bool levelUp();
    bool levelDown();
    // The identifier typed in edKod for the collection with this key, stored with
    // the collection's name; false when it is gone or could not be stored.
    bool storeIdentifier(int key, const QString& identifier);
    // Characters of SBR.NAMEID, the limit of edKod.
    int identifierWidth();

    // A collection deleted meanwhile by another user sends the window back to
    // the rebuilt tree (the mode is then Collections).
    bool addTable();
    bool deleteTable();
    // Opens the current table through `editor` (given the table's key) with the
    // in-use counter raised while it is shown.
    bool openTable(const std::function<void(int)>& editor);
    // Names and codes typed in the grid go to the database as each row is posted.
    void attachGridEditing();
    // F12: clears a counter left behind by an instance that ended without lowering it.
    bool releaseTable();

    // Fact-database user SYSDBA in any letter case.
    bool isAdministrator() const;
    // The administrator's commands; others are told why not.
    bool mayChangeComposition();
    bool mayChangePeriods();

    bool askCollectionPassword(OutlineNode* node);
    bool askTablePassword();
    // "Ввести пароль": the stored password (empty removes it); false when not stored.
    bool setCollectionPassword(const QString& parol);
    // Scope by the ticked boxes: both 0, "Сохранение" alone 2, otherwise 1;
    // removing the password leaves scope 1.
    bool setTablePassword(const QString& parol, bool onOpen, bool onSave);
    static int passwordScope(const QString& parol, bool onOpen, bool onSave);
    // The menu's "Ввести пароль": the old password first, then the new one.
    bool enterCollectionPassword();
    // `dialog` gets the current password and scope boxes and hands changed ones to
    // `store`, which refuses what cannot be stored (and says why).
    using TablePasswordStore = std::function<bool(const QString& parol, bool onOpen, bool onSave)>;
    using TablePasswordDialog = std::function<bool(const QString& parol, bool onOpen, bool onSave,
                                                   const TablePasswordStore& store)>;
    bool enterTablePassword(const TablePasswordDialog& dialog);
    // How a password is asked for: `check` tells a wrong one (and says so); windows
    // keep their dialog open until it passes. The prompter's input by default.
    using PasswordReader = std::function<bool(const QString& caption, const QString& label,
                                              const std::function<bool(const QString&)>& check)>;
    void setPasswordReader(PasswordReader reader) { m_reader = std::move(reader); }
    // How a new collection password is typed: `store` refuses what cannot be stored
    // (and says why). The prompter's input by default.
    using CollectionPasswordDialog = std::function<bool(
        const QString& current, const std::function<bool(const QString&)>& store)>;
    void setCollectionPasswordDialog(CollectionPasswordDialog dialog) {
        m_pswdSbr = std::move(dialog);
    }
    // "Посмотреть пароль": for the table-materials administrator only.
    void showCollectionPassword();
    void showTablePassword();

    DirectoryMenuModel readDirectoryMenu();

    // "Сменить фактографическую  БД" (tag 0) and "Сменить БТМ" (tag 1); a new
    // table-materials database rebuilds the tree. False on end-work.
    bool switchDatabase(int tag);
    // "Сменить пользователя …": false when the user chose to end the work.
    bool changeUser(int tag);
    bool bothConnected() const;
    // The first user-change item's caption; the second is shown only with both open.
    QString changeUserCaption() const;
    bool mayViewPasswords() const;
    bool mayEditRights() const;

    static QString mainCaption() { return QStringLiteral("Cборники таблиц"); }
    QString tablesCaption() const;

private:
    QString collectionPassword(int key);
    bool askPassword(const QString& caption, const QString& label, const QString& parol);
    bool subtreeInUse(OutlineNode* node);
    void leaveDeletedCollection();
    bool tableNeedsPasswordToOpen() const;
    // UPDATE_CAT_USE in its own transaction.
    void setInUse(int key, int value);
    bool relocate(int key);
    QString tabUser() const;

    TdmMSSQL& m_dm;
    Prompter& m_prompter;
    OutlineEngine<int>& m_engine;
    ElementOperations& m_elements;
    Mode m_mode = Mode::Collections;
    int m_collection = 0;
    QString m_collectionName;
    PasswordReader m_reader;
    CollectionPasswordDialog m_pswdSbr;
};
