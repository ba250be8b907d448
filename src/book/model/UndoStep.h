#pragma once

#include "UndoStack.h"
#include "Workbook.h"

// One undo step for a command that makes many edits, perhaps over several sheets: what
// it changes is recorded as one step and recalculated once at the end.
class UndoStep {
public:
    UndoStep(Workbook& book, const QString& text) : m_book(book) {
        m_book.undoStack().begin(text);
        m_book.beginUpdate();
    }
    ~UndoStep() {
        m_book.endUpdate();
        m_book.undoStack().end();
    }
    UndoStep(const UndoStep&) = delete;
    UndoStep& operator=(const UndoStep&) = delete;

private:
    Workbook& m_book;
};
