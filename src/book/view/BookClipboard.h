#pragma once

#include "model/CellAddress.h"

#include <QByteArray>

#include <memory>

class TBook;
class Workbook;

// Cut, copy and paste of the control. A copy keeps the cells with their formats and
// formulas in a scratch workbook and puts the displayed texts on the system clipboard
// as tab-separated lines; a paste takes the scratch copy while the system clipboard
// still holds it (formulas adjust to the new place), otherwise the clipboard's text.
class BookClipboard {
public:
    explicit BookClipboard(TBook* book);
    ~BookClipboard();

    void copy(const CellRange& range, bool cut);
    // Pastes with the top-left corner at (row, col); false when nothing was pasted.
    bool paste(int row, int col);

    static QString tabText(const Workbook& book, int sheet, const CellRange& range);

private:
    bool ownsClipboard() const;
    bool pasteCells(int row, int col);
    bool pasteText(const QString& text, int row, int col);

    // One copy for the whole program, so that cells copied in one table paste with their
    // formulas and formats into another.
    struct Copy {
        std::unique_ptr<Workbook> scratch;
        CellRange range;
        int sourceSheet = 0;
        const Workbook* source = nullptr;
        bool cut = false;
        QByteArray token;
    };
    static Copy& shared();

    TBook* m_view;
};
