#pragma once

#include <QString>

#include <memory>
#include <vector>

class Workbook;
class Sheet;
struct CellRange;
class UndoChange;

// One step the user can take back: the changes of one command, in the order they were made.
class UndoCommand {
public:
    explicit UndoCommand(const QString& text);
    ~UndoCommand();
    UndoCommand(const UndoCommand&) = delete;
    UndoCommand& operator=(const UndoCommand&) = delete;

    const QString& text() const { return m_text; }
    bool isEmpty() const { return m_changes.empty(); }
    void undo(Workbook& book);
    void redo(Workbook& book);
    size_t bytes() const;

private:
    friend class UndoStack;
    QString m_text;
    std::vector<std::unique_ptr<UndoChange>> m_changes;
    bool m_snapshotOpen = false; // a whole-book snapshot covers the rest of the command
};

// The workbook's undo history. Edits are recorded by the workbook itself as they happen:
// a command opened with begin()/end() (they nest; the outermost names the step) or, for an
// edit made outside one, a step of its own that closes when the workbook reports the edit.
// Recording is off until enabled: tools and loaders do not pay for it.
class UndoStack {
public:
    explicit UndoStack(Workbook& book);
    ~UndoStack();

    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool on);

    void begin(const QString& text);
    void end();

    bool canUndo() const;
    bool canRedo() const;
    QString undoText() const;
    QString redoText() const;
    bool undo();
    bool redo();
    void clear();
    int count() const;
    // Memory held by the recorded steps (an estimate of the heap they own).
    size_t bytes() const;

    // Called by the workbook before it changes something.
    bool recording() const { return m_enabled && m_replaying == 0; }
    void noteCell(const Sheet& sheet, int row, int col);
    void noteSheet(const Sheet& sheet);
    void noteLines(const Sheet& sheet, bool rows, int at, int count, bool insert);
    void noteBand(const Sheet& sheet, const CellRange& range, bool shiftDown);
    void noteSnapshot();
    // The workbook reported an edit: an implicit step ends here.
    void editReported();

private:
    friend class UndoSuspend;
    UndoCommand& current();
    void seal();
    void closeCells();

    Workbook& m_book;
    std::vector<std::unique_ptr<UndoCommand>> m_done;
    std::vector<std::unique_ptr<UndoCommand>> m_undone;
    std::unique_ptr<UndoCommand> m_open;
    class CellsChange* m_cells = nullptr;
    int m_depth = 0;
    int m_replaying = 0;
    bool m_enabled = false;
};

// Holds recording off while the workbook is changed by something that is not an edit
// (loading, undoing itself).
class UndoSuspend {
public:
    explicit UndoSuspend(UndoStack& stack);
    ~UndoSuspend();
    UndoSuspend(const UndoSuspend&) = delete;
    UndoSuspend& operator=(const UndoSuspend&) = delete;

private:
    UndoStack& m_stack;
    bool m_was;
};
