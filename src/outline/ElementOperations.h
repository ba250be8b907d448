#pragma once

#include "ChangeFlags.h"
#include "ElementDescriptor.h"
#include "OutlineState.h"

#include <QVariant>

#include <functional>

class DbConnection;
class DbProcedure;
class ElementRowSet;
class Prompter;
class TdmMSSQL;

// Whether the grid and its delete command are usable.
struct ElementCommandState {
    bool gridEnabled = false;
    bool remove = false;
    bool operator==(const ElementCommandState&) const = default;
};

// The shared operations on the elements of one folder (tables of a
// collection, indicators of a rubric), each in one transaction.
class ElementOperations {
public:
    ElementOperations(TdmMSSQL& dm, ElementDescriptor descriptor, ElementRowSet& rows,
                      Prompter& prompter, OutlineState& state = ProcessOutlineState());

    const ElementDescriptor& descriptor() const { return m_d; }
    ElementRowSet& rows() { return m_rows; }
    ChangeFlags& flags() { return m_flags; }
    const ElementCommandState& commands() const { return m_commands; }
    void setCommandsListener(std::function<void()> listener) { m_listener = std::move(listener); }
    int currentFolder() const { return m_folder; }
    // Key of the element the last AddElement stored.
    QVariant lastAddedKey() const { return m_lastAdded; }
    int statementCount() const { return m_statements + m_flags.statementCount(); }

    // Opens the elements of a folder (throws DbError).
    void openFolder(int folderKey);
    // The change check before an element command, with the current element's
    // key; a change re-reads the rows (the caller tells the user).
    int CheckChange();

    // NPP for an element inserted just before the current row, which stays current.
    int AllocateElementNpp();
    // NPP for an element placed right after the current row (the step in an empty
    // folder); may move neighbours, so it runs inside the caller's transaction.
    int NppAfterCurrent();
    // False also when another program has deleted the folder meanwhile
    // (folderDeleted() then tells so; the user has been told).
    bool AddElement();
    bool folderDeleted() const { return m_folderDeleted; }
    bool DeleteElement();
    // Rows as the grid shows them; a target below 0 is the title row (or no
    // row at all): the element goes to the end.
    bool MoveElementByDrag(int sourceRow, int targetRow);

private:
    DbConnection& connection();
    DbProcedure& proc(const QString& component);
    void setNpp(const QVariant& key, int npp);
    void renumberFolder();
    int nppAfterLast();
    void reopenAt(const QVariant& key);
    // Locks the folder's row for the rest of the transaction, so that it cannot
    // be deleted under the new element; throws when it is gone already.
    void lockFolder();
    int npp(int row) const;
    QVariant key(int row) const;
    template <class Work> bool commitChange(ElementOp op, const QVariant& returnTo, Work&& work);
    void updateCommands();

    TdmMSSQL& m_dm;
    ElementDescriptor m_d;
    ElementRowSet& m_rows;
    Prompter& m_prompter;
    OutlineState& m_state;
    ChangeFlags m_flags;
    ElementCommandState m_commands;
    std::function<void()> m_listener;
    int m_folder = 0;
    QVariant m_lastAdded;
    bool m_folderDeleted = false;
    int m_statements = 0;
};
