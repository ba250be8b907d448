#pragma once

#include "TableLayout.h"

#include <QString>

#include <array>

class Prompter;
class Workbook;

// An object or cut: its code and the directory type beside it (99 = objects directory,
// another positive number = the aggregation directory, 0 = none).
struct ElementRef {
    int code = 0;
    int type = 0;
    bool operator==(const ElementRef&) const = default;
};

// A period bound as entered: a year when the cell's number format is "General",
// otherwise a date of which month and year count.
struct PeriodBound {
    QString entry;
    bool isYear = true;
    bool blank() const { return entry.trimmed().isEmpty(); }
    bool operator==(const PeriodBound&) const = default;
};

// What one body cell's value belongs to.
struct CellIdent {
    int indicator = 0;
    int attr1 = 0;
    int attr2 = 0;
    ElementRef object;
    std::array<ElementRef, 4> cuts{};
    PeriodBound start;
    PeriodBound end;
    bool operator==(const CellIdent&) const = default;
};

// The table's identification as it lives in the workbook: the geometry kept in the
// layout cell, the slots of both identification sheets, the title block of every
// instance sheet and the settings column. Callers name slots, never cell numbers.
class IdentModel {
public:
    IdentModel(Workbook& book, Prompter& prompter);

    Workbook& book() const { return m_book; }

    // Geometry, read from the layout cell of sheet 1.
    void readGeometry();
    int titleRows() const { return m_titleRows; }
    int headerRows() const { return m_headerRows; }
    int lastHeaderRow() const { return TableLayout::kLastTitleRow + m_headerRows; }
    int firstBodyRow() const { return lastHeaderRow() + 1; }
    int firstShownTitleRow() const { return TableLayout::kFirstHeaderRow - m_titleRows; }
    // Keep the held number and the layout cell of every instance sheet together.
    void setTitleRows(int rows);
    void setHeaderRows(int rows);

    int sheetCount() const;
    int instanceCount() const { return sheetCount() - 2; }
    int rowIdentSheet() const { return sheetCount() - 1; }
    int colIdentSheet() const { return sheetCount(); }
    bool isInstanceSheet(int sheet) const { return sheet >= 1 && sheet <= instanceCount(); }

    // The 5-character fields of the layout cell (positions 1 and 7).
    static int layoutField(const QString& text, int start);
    static QString withLayoutField(const QString& text, int start, int value);

    // Slots: positions and values.
    int rowSlotCol(Slot s) const { return rowSlotColumn(s); }
    int colSlotRow(Slot s) const { return lastHeaderRow() + int(s); }
    int rowCode(int row, Slot s) const;
    int colCode(int col, Slot s) const;
    int titleCode(int sheet, TitleRow r, int col = kTitleValueCol) const;
    PeriodBound rowPeriod(int row, Slot s) const;
    PeriodBound colPeriod(int col, Slot s) const;
    PeriodBound titlePeriod(int sheet, TitleRow r) const;
    bool rowMarkedHidden(int row) const;
    bool colMarkedHidden(int col) const;
    QString titleKind(int sheet = 1) const;

    static QString rowSlotCaption(Slot s);
    static QString colSlotCaption(Slot s);
    static QString titleCaption(TitleRow r);
    // Whether the slot is shown while identification is edited.
    static bool slotShown(Slot s);
    static QString hideMarker() { return QStringLiteral("Прятать"); }

    // The settings column.
    int setting(Setting s) const;
    void setSetting(Setting s, int value);

    // Special identification and the other values of the column identification sheet.
    int columnSpecialKind(int col) const;
    int headerRowSpecialKind(int row) const;
    bool isDataColumn(int col) const { return columnSpecialKind(col) == 0; }
    int extraTextLines() const;
    void setExtraTextLines(int k);

    // The level of an instance sheet (title block row 14), as a number; 0 when blank.
    int sheetLevel(int sheet) const;

    // Element by element: the row wins over the column, the column over the sheet title.
    CellIdent identify(int sheet, int row, int col) const;

private:
    int codeAt(int sheet, int row, int col) const;
    PeriodBound periodAt(int sheet, int row, int col) const;
    void writeLayout(int start, int value);

    Workbook& m_book;
    Prompter& m_prompter;
    int m_titleRows = 1;
    int m_headerRows = 1;
};
