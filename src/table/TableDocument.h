#pragma once

#include "IdentModel.h"
#include "TablePassword.h"
#include "TableRef.h"

#include <QByteArray>
#include <QString>

#include <functional>

class Prompter;
class TdmMSSQL;
class Workbook;

// What the settings column says when the table is opened (and the menus mirror).
struct TableSettings {
    bool editBar = false;
    bool showZeros = false;
    bool hideSubordinate = false;
    bool showEmptyRows = true;
    bool showEmptyCols = true;
    bool hideMarkedRows = false;
    bool hideMarkedCols = false;
    int recalcOrder = 1;
    int rowTotals = 1; // 1 above, 2 below, 3 none
    int colTotals = 2; // 1 right, 2 left, 3 none
};

// One table open in the editor: its workbook read from and written to CAT.TABF1, the
// close question and the state the window's menus start from.
class TableDocument {
public:
    enum class SaveResult { Saved, Cancelled, RightsDenied, TooLarge, Failed };

    TableDocument(TdmMSSQL& dm, Workbook& book, Prompter& prompter);

    TdmMSSQL& dm() const { return m_dm; }
    Workbook& book() const { return m_book; }
    Prompter& prompter() const { return m_prompter; }
    IdentModel& model() { return m_model; }
    const TableRef& table() const { return m_table; }
    TableRef& table() { return m_table; }
    void setTable(const TableRef& table) { m_table = table; }

    // Reads the stored workbook (or builds the initial one) and prepares the view state.
    void open(const TableRef& table);
    // The stored bytes could not be read; the initial workbook stands in their place.
    bool storedUnreadable() const { return m_storedUnreadable; }
    const TableSettings& settings() const { return m_settings; }
    bool objectsDirectoryEnabled() const { return m_objectsEnabled; }
    bool sheetListEnabled() const;
    bool accompanyingTextShown() const;

    // imSave: the password when it guards saving, then the workbook into TABF1. When the
    // stored table could not be read, the user first confirms that it is replaced.
    SaveResult save();
    // The close question (for an unreadable stored table the replacing one, "Нет" the
    // default); true when the window may close.
    bool close();

    // The edit bar state the window shows, written to the settings column on closing.
    void setEditBarShown(bool shown) { m_settings.editBar = shown; }
    // Set by the window to leave identification modes before a closing save.
    void setLeaveModes(std::function<void()> leave) { m_leaveModes = std::move(leave); }
    // Replaces the password dialog (the window passes its own).
    void setPasswordDialog(TablePassword* dialog) { m_password = dialog; }

    // The workbook bytes as they are stored (the native format).
    static QByteArray workbookBytes(const Workbook& book);
    static QString unreadableMessage();
    static QString replaceQuestion();

private:
    void readStored();
    void readSettings();
    void placeCursor();
    bool passwordPassed();
    void prepareForClose();
    SaveResult write();

    TdmMSSQL& m_dm;
    Workbook& m_book;
    Prompter& m_prompter;
    IdentModel m_model;
    TablePassword m_defaultPassword;
    TablePassword* m_password = nullptr;
    TableRef m_table;
    TableSettings m_settings;
    bool m_storedUnreadable = false;
    bool m_objectsEnabled = true;
    std::function<void()> m_leaveModes;
};
