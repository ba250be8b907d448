#pragma once

#include "model/CellAddress.h"

#include <QString>

class IdentModel;
class Prompter;
class Workbook;

// The editor's structural commands over all sheets of a table: inserting and deleting
// text lines, title lines, header rows, body rows and columns (so the identification
// sheets stay aligned with the instance sheets), "Бланк", sorting the body, zeros and
// empty lines. Each command is one undo step.
class EditingCommands {
public:
    EditingCommands(IdentModel& model, Prompter& prompter);

    // Where the cursor goes after a command (0 = stays).
    struct Cursor {
        int row = 0;
        int col = 0;
    };
    // "Вставить" / "Удалить" at the selection's first cell.
    Cursor insertAt(int row, int col);
    Cursor deleteAt(const CellRange& selection);
    // "Бланк (удалить значения)".
    void blank();
    // Body rows of every sheet but the column identification sheet, by the values of
    // `col` on the active sheet.
    void sortBody(int col, bool descending);
    // "Показать нули".
    void showZeros(bool on);
    // "Показать пустые строки" / "…колонки"; `hideMarked` is whether marked lines are hidden.
    void showEmptyRows(bool on, bool hideMarked);
    void showEmptyCols(bool on, bool hideMarked);
    // The shown row or column next to a hidden cursor line.
    int shownRowNear(int row) const;
    int shownColNear(int col) const;

    static QString tooManyTitleLines() {
        return QStringLiteral("В заголовке не может быть больше 9 строк");
    }
    static QString lastTitleLine() {
        return QStringLiteral("В заголовке должна остаться хотя бы 1 строка");
    }
    static QString lastHeaderRow() {
        return QStringLiteral("В шапке должна быть хотя бы одна строка");
    }

private:
    Workbook& book() const;
    int lastUsedRow(int sheet) const;
    bool rowIsEmpty(int sheet, int row) const;
    bool colIsEmpty(int sheet, int col, int lastRow) const;

    IdentModel& m_model;
    Prompter& m_prompter;
};
