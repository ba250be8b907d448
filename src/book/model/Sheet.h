#pragma once

#include "CellFormat.h"
#include "CellStore.h"
#include "CellValue.h"
#include "PrintSettings.h"
#include "SheetObjects.h"
#include "SheetOptions.h"

#include <QList>
#include <QString>

#include <vector>

class Workbook;

// Hidden flag, size and heading text of one row or column. Size -1 = the sheet default;
// row heights are in twips (1/20 point), column widths in 1/256 of a character.
struct LineProps {
    int size = -1;
    bool hidden = false;
    QString heading;
    bool isDefault() const { return size < 0 && !hidden && heading.isEmpty(); }
    bool operator==(const LineProps&) const = default;
};

// One sheet: cell storage, row/column properties and everything that belongs to the sheet.
// Cell contents are changed through the Workbook (recalculation and the edit group live
// there); everything else is set here and reported to the workbook's observers.
class Sheet {
public:
    Sheet(Workbook* book, uint32_t id, const QString& name);
    ~Sheet();

    Workbook& workbook() const { return *m_book; }
    uint32_t id() const { return m_id; }
    QString name() const { return m_name; }
    int index() const; // 1-based position in the workbook

    // Reading cells.
    const CellStore& cells() const { return m_cells; }
    CellStore& cells() { return m_cells; }
    const Cell* cell(int row, int col) const { return m_cells.find(row, col); }
    CellValue value(int row, int col) const;
    // 0 empty, 1 number, 2 text; a formula gives minus the type of its result
    // (-1 number or error, -2 text).
    int type(int row, int col) const;
    double number(int row, int col) const;
    // The value as text: a text cell's text, a number in general notation, an error's name.
    QString text(int row, int col) const;
    // What the user edits: "=…" for a formula, a date as d.m.yyyy, a number in general notation.
    QString entry(int row, int col) const;
    QString formula(int row, int col) const; // "=…" or empty
    QString formattedText(int row, int col) const;
    uint32_t formatIndex(int row, int col) const;
    const CellFormat& format(int row, int col) const;
    int lastRow() const { return m_cells.lastRow(); }
    int lastCol() const { return m_cells.lastCol(); }
    int lastColInRow(int row) const { return m_cells.lastColInRow(row); }

    // The sheet's size; lowering it does not delete cells, it only hides them from view.
    int maxRow() const { return m_maxRow; }
    int maxCol() const { return m_maxCol; }
    void setMaxRow(int rows);
    void setMaxCol(int cols);

    // Rows and columns.
    const LineProps& rowProps(int row) const;
    const LineProps& colProps(int col) const;
    void setRowProps(int row, const LineProps& props);
    void setColProps(int col, const LineProps& props);
    bool rowHidden(int row) const { return rowProps(row).hidden; }
    bool colHidden(int col) const { return colProps(col).hidden; }
    void setRowHidden(int row, bool hidden);
    void setColHidden(int col, bool hidden);
    int rowHeight(int row) const; // twips, default resolved
    int colWidth(int col) const;  // 1/256 character, default resolved
    void setRowHeight(int row, int twips);
    void setColWidth(int col, int width);
    QString rowHeading(int row) const { return rowProps(row).heading; }
    QString colHeading(int col) const { return colProps(col).heading; }
    void setRowHeading(int row, const QString& text);
    void setColHeading(int col, const QString& text);
    int defaultRowHeight() const { return m_defaultRowHeight; }
    int defaultColWidth() const { return m_defaultColWidth; }
    void setDefaultRowHeight(int twips);
    void setDefaultColWidth(int width);
    int lastRowProps() const { return int(m_rowProps.size()); }
    int lastColProps() const { return int(m_colProps.size()); }

    // Sheet-wide settings.
    const SheetOptions& options() const { return m_options; }
    void setOptions(const SheetOptions& options);
    // Cursor and scroll position: remembered with the sheet, but moving around is not an
    // edit, so the workbook is neither marked modified nor notified.
    void setViewPosition(int topRow, int leftCol, int activeRow, int activeCol,
                         const CellRange& selection);
    const CellFont& defaultFont() const { return m_defaultFont; }
    void setDefaultFont(const CellFont& font);
    const PrintSettings& printSettings() const { return m_print; }
    void setPrintSettings(const PrintSettings& print);
    const QList<int>& rowBreaks() const { return m_rowBreaks; }
    const QList<int>& colBreaks() const { return m_colBreaks; }
    void setRowBreak(int row, bool on);
    void setColBreak(int col, bool on);
    void clearPageBreaks();

    const QList<CellRange>& mergedRanges() const { return m_merged; }
    void addMergedRange(const CellRange& range);
    void removeMergedRanges(const CellRange& overlapping);

    // Drop-down objects; ids are unique within the sheet.
    const std::vector<DropDownObject>& objects() const { return m_objects; }
    int addDropDown(const QString& name, const CellRange& position, const QString& items);
    int findObject(const QString& name) const; // id, 0 when absent
    const DropDownObject* object(int id) const;
    bool setObjectItems(int id, const QString& items);
    bool setObjectSelected(int id, int selected);
    bool setObjectName(int id, const QString& name);
    bool deleteObject(int id);

    // Charts; a chart whose data rows or columns are all deleted goes with them.
    const std::vector<ChartObject>& charts() const { return m_charts; }
    int addChart(const ChartObject& chart); // the new chart's id
    const ChartObject* chart(int id) const;
    int chartAt(int row, int col) const; // the topmost chart over the cell, 0 when none
    bool deleteChart(int id);

    // Validation rules; a later rule over the same cell wins.
    const std::vector<ValidationRule>& validationRules() const { return m_rules; }
    const ValidationRule* ruleAt(int row, int col) const;

private:
    friend class Workbook;
    friend class NativeReader;
    friend class StructureEditor;
    friend struct SheetProps;
    friend class SnapshotChange;

    void changed();
    void aboutToChange();
    void cellsChanged(const CellRange& range);
    LineProps& rowSlot(int row);
    LineProps& colSlot(int col);
    void setName(const QString& name) { m_name = name; }

    Workbook* m_book;
    uint32_t m_id;
    QString m_name;
    CellStore m_cells;
    int m_maxRow = kMaxRows;
    int m_maxCol = kMaxCols;
    std::vector<LineProps> m_rowProps;
    std::vector<LineProps> m_colProps;
    int m_defaultRowHeight = 255;
    int m_defaultColWidth = 9 * 256;
    SheetOptions m_options;
    CellFont m_defaultFont{QStringLiteral("Arial"), 10, false, false, false, 0, 1};
    PrintSettings m_print;
    QList<int> m_rowBreaks;
    QList<int> m_colBreaks;
    QList<CellRange> m_merged;
    std::vector<DropDownObject> m_objects;
    int m_nextObjectId = 1;
    std::vector<ChartObject> m_charts;
    std::vector<ValidationRule> m_rules;
    bool m_inGroup = false;
};
