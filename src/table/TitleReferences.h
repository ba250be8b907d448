#pragma once

#include "TableLayout.h"

#include <QString>

class IdentModel;

// Title reference codes of the accompanying text ("#z", "#z1" … "#z9", "#kp", "#ko",
// "#kr1" … "#kr4", "#t1", "#t2"). The code is kept in the same cell of the column
// identification sheet; each instance sheet shows its own title content in its place.
class TitleReferences {
public:
    enum class Kind { None, WholeTitle, TitleLine, TitleBlock };
    struct Code {
        Kind kind = Kind::None;
        int line = 0;                  // title row 91 … 99 for a TitleLine
        TitleRow row = TitleRow::Hint; // for a TitleBlock
    };
    static Code parse(const QString& text);

    explicit TitleReferences(IdentModel& model);

    // A line of the accompanying text was finished in (row, col) of the active sheet.
    void lineFinished(int row, int col);
    // The title changed: the copied title lines are expanded again.
    void refreshTitleCopies() { refresh(false); }
    // The title identification changed too: every code is expanded again.
    void refreshAllCopies() { refresh(true); }
    // The code stored for a cell, empty when none.
    QString storedCode(int row, int col) const;

private:
    void refresh(bool blockCodesToo);
    void expand(int row, int col, const Code& code);
    void copyCell(int sheet, int fromRow, int fromCol, int toRow, int toCol);

    IdentModel& m_model;
};
