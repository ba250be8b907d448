#pragma once

#include "CellFormat.h"
#include "CellValue.h"
#include "Sheet.h"
#include "UndoStack.h"
#include "WorkbookObserver.h"

#include <QList>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class Recalculator;
class CodeCache;

enum class ClearWhat { All, Values, Formats };

// What a range copy takes besides the cells.
struct CopyOptions {
    bool contents = true;
    bool formats = true;
    bool rowHeights = false;
    bool colWidths = false;
    bool hiddenFlags = false;
};

struct CellPosition {
    int sheet = 0; // 1-based index
    int row = 0;
    int col = 0;
    bool operator==(const CellPosition&) const = default;
};

// A workbook of 1…n named sheets. Every edit goes through these methods, so that
// recalculation, the edit group and change notification stay in one place.
// Sheet indexes count from 1. The (row, col) forms act on the active sheet and, when it
// belongs to the edit group, on every sheet of the group; the (sheet, row, col) forms act
// on that sheet alone.
class Workbook {
public:
    explicit Workbook(int sheetCount = 1);
    ~Workbook();
    Workbook(const Workbook&) = delete;
    Workbook& operator=(const Workbook&) = delete;

    // Replaces everything by a new workbook of `sheetCount` empty sheets.
    void reset(int sheetCount = 1);
    // Takes over the contents of `other` (used by loaders: build aside, then swap in).
    void swapContents(Workbook& other);

    // Sheets.
    int sheetCount() const { return int(m_sheets.size()); }
    Sheet& sheet(int index) { return *m_sheets[size_t(index - 1)]; }
    const Sheet& sheet(int index) const { return *m_sheets[size_t(index - 1)]; }
    bool hasSheet(int index) const { return index >= 1 && index <= sheetCount(); }
    Sheet* sheetById(uint32_t id) const;
    int sheetIndex(const QString& name) const; // 0 when there is none
    int activeSheetIndex() const { return m_active; }
    Sheet& activeSheet() { return sheet(m_active); }
    const Sheet& activeSheet() const { return sheet(m_active); }
    void setActiveSheet(int index);
    Sheet& insertSheet(int before, const QString& name = {});
    bool deleteSheet(int index); // the last sheet cannot be deleted
    bool renameSheet(int index, const QString& name);
    void moveSheet(int from, int to);

    // Edit group: the selected sheets. The active sheet always belongs to it.
    bool isInEditGroup(int index) const;
    void setInEditGroup(int index, bool on);
    QList<int> editGroup() const;

    // Writing cells through the edit group.
    void setEntry(int row, int col, const QString& entry);
    void setNumber(int row, int col, double value);
    void setText(int row, int col, const QString& text);
    bool setFormula(int row, int col, const QString& formula, QString* error = nullptr);
    void clearCell(int row, int col);
    // Writing one sheet.
    void setEntry(int sheet, int row, int col, const QString& entry);
    void setNumber(int sheet, int row, int col, double value);
    void setText(int sheet, int row, int col, const QString& text);
    bool setFormula(int sheet, int row, int col, const QString& formula, QString* error = nullptr);
    void clearCell(int sheet, int row, int col);

    // Reading the active sheet (see Sheet for the (sheet, row, col) forms).
    CellValue value(int row, int col) const { return activeSheet().value(row, col); }
    int type(int row, int col) const { return activeSheet().type(row, col); }
    double number(int row, int col) const { return activeSheet().number(row, col); }
    QString text(int row, int col) const { return activeSheet().text(row, col); }
    QString entry(int row, int col) const { return activeSheet().entry(row, col); }
    QString formula(int row, int col) const { return activeSheet().formula(row, col); }
    QString formattedText(int row, int col) const { return activeSheet().formattedText(row, col); }
    int lastRow() const { return activeSheet().lastRow(); }
    int lastCol() const { return activeSheet().lastCol(); }

    // Formats.
    const FormatTable& formats() const { return m_formats; }
    uint32_t internFormat(const CellFormat& format) { return m_formats.intern(format); }
    void setFormat(int sheet, const CellRange& range,
                   const std::function<void(CellFormat&)>& change);
    void setNumberFormat(int sheet, const CellRange& range, const QString& numberFormat);
    void setFormatIndex(int sheet, int row, int col, uint32_t index);
    // The same through the edit group.
    void setFormat(const CellRange& range, const std::function<void(CellFormat&)>& change);
    void setNumberFormat(const CellRange& range, const QString& numberFormat);
    void clearRange(const CellRange& range, ClearWhat what);

    // Whether the sheet tabs are shown; kept with the workbook.
    bool showTabs() const { return m_showTabs; }
    void setShowTabs(bool on);

    // Validation rules. The condition is written for the range's first cell.
    bool setValidation(int sheet, const CellRange& range, const QString& condition,
                       const QString& message, QString* error = nullptr);
    void removeValidation(int sheet, const CellRange& range);
    // The rule's condition as it reads for this cell ("C102>0"), empty without a rule.
    QString validationCondition(int sheet, int row, int col) const;
    // Whether `candidate` (an entry as typed) may go into the cell; a refusal gives the
    // rule's message.
    bool validate(int sheet, int row, int col, const QString& candidate, QString* message) const;
    // Whether the cell's present value keeps its rule (true without a rule).
    bool satisfiesValidation(int sheet, int row, int col, QString* message) const;
    // The sheet that a typed formula names and the workbook lacks; empty when the entry
    // is no formula or every sheet exists. Such an entry is kept as the text typed.
    QString missingSheet(int sheet, int row, int col, const QString& entry) const;

    // Structure. Rows, columns and cells pushed past the sheet end are lost.
    void insertRows(int sheet, int at, int count);
    void deleteRows(int sheet, int at, int count);
    void insertCols(int sheet, int at, int count);
    void deleteCols(int sheet, int at, int count);
    void insertCells(int sheet, const CellRange& range, bool shiftDown);
    void deleteCells(int sheet, const CellRange& range, bool shiftUp);
    void moveRange(int sheet, const CellRange& range, int rowOffset, int colOffset);

    // Editing ranges.
    void clearRange(int sheet, const CellRange& range, ClearWhat what);
    void copyRange(const Workbook& from, int fromSheet, const CellRange& range, int toSheet,
                   int toRow, int toCol, const CopyOptions& options = {});
    // Sorts the rows of the range; a key is a column number, negative for descending.
    // Numbers come before texts, blanks last; equal rows keep their order.
    void sortRange(int sheet, const CellRange& range, const QList<int>& keys);
    // Searches row by row after (row, col); true with the position when found.
    bool find(int sheet, const QString& what, int& row, int& col, bool matchCase = false,
              bool wholeCell = false) const;
    int replaceAll(int sheet, const QString& what, const QString& with, bool matchCase = false,
                   bool wholeCell = false);

    // Recalculation.
    bool autoRecalc() const { return m_autoRecalc; }
    void setAutoRecalc(bool on);
    void recalc();    // what changed since the last recalculation
    void recalcAll(); // every formula
    QList<CellPosition> circularCells() const;
    Recalculator& recalculator() { return *m_recalc; }

    // Observation. Changes made between beginUpdate and endUpdate are recalculated once.
    void addObserver(WorkbookObserver* observer);
    void removeObserver(WorkbookObserver* observer);
    void beginUpdate();
    void endUpdate();
    bool isModified() const { return m_modified; }
    void setModified(bool modified) { m_modified = modified; }
    void notify(const WorkbookChange& change);

    uint32_t nextSheetId() const { return m_nextSheetId; }

    // Undo history (recording is off until enabled).
    UndoStack& undoStack() { return *m_undo; }
    const UndoStack& undoStack() const { return *m_undo; }

private:
    friend class Sheet;
    friend class NativeReader;
    friend class StructureEditor;
    friend class CellsChange;
    friend class SheetChange;
    friend class SnapshotChange;

    QList<int> targetsOf(int activeOnly) const;
    void applyTransform(Sheet& s, const class RefTransform& t, const std::function<void()>& edit);
    void shiftLineProps(Sheet& s, bool rows, int at, int count);
    void writeCell(Sheet& s, int row, int col, Cell content, uint32_t newFormat, bool keepFormat);
    void writeEntry(Sheet& s, int row, int col, const QString& entry);
    void afterEdit();
    QString uniqueSheetName() const;

    std::vector<std::unique_ptr<Sheet>> m_sheets;
    int m_active = 1;
    uint32_t m_nextSheetId = 1;
    FormatTable m_formats;
    std::unique_ptr<Recalculator> m_recalc;
    std::unique_ptr<CodeCache> m_codes;
    bool m_autoRecalc = true;
    bool m_showTabs = true;
    bool m_modified = false;
    int m_updateDepth = 0;
    std::vector<WorkbookObserver*> m_observers;
    std::unique_ptr<UndoStack> m_undo;
};
