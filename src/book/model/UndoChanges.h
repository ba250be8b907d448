#pragma once

#include "Cell.h"
#include "CellAddress.h"
#include "CellKeySet.h"
#include "PrintSettings.h"
#include "Sheet.h"
#include "SheetObjects.h"
#include "SheetOptions.h"

#include <QList>
#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

class Workbook;

// One recorded change inside an undo step.
class UndoChange {
public:
    virtual ~UndoChange() = default;
    virtual void undo(Workbook& book) = 0;
    virtual void redo(Workbook& book) = 0;
    virtual size_t bytes() const = 0;
    // Takes the state after the change, once: later edits of the same step may move it.
    void finish(Workbook& book) {
        if (!m_finished)
            close(book);
        m_finished = true;
    }

protected:
    virtual void close(Workbook&) {}

private:
    bool m_finished = false;
};

// Cells written: what each held before and after (content and format).
class CellsChange : public UndoChange {
public:
    ~CellsChange() override;
    void add(const Sheet& sheet, int row, int col);
    void undo(Workbook& book) override;
    void redo(Workbook& book) override;

protected:
    void close(Workbook& book) override;

public:
    size_t bytes() const override;

private:
    struct Entry {
        uint32_t sheet;
        int32_t row;
        int32_t col;
        Cell before;
        Cell after;
    };
    void put(Workbook& book, bool after);
    // Whether the cell is noted, while there are few entries and no key set yet.
    bool hasFew(uint32_t sheetId, int row, int col) const;
    std::vector<Entry> m_entries;
    // Only while recording a large change; a pointer keeps small steps small.
    std::unique_ptr<CellKeySet> m_keys;
};

// Everything of a sheet except its cells.
struct SheetProps {
    QString name;
    int maxRow = 0, maxCol = 0;
    std::vector<LineProps> rowProps, colProps;
    int defaultRowHeight = 0, defaultColWidth = 0;
    SheetOptions options;
    CellFont defaultFont;
    PrintSettings print;
    QList<int> rowBreaks, colBreaks;
    QList<CellRange> merged;
    std::vector<DropDownObject> objects;
    int nextObjectId = 1;
    std::vector<ChartObject> charts;
    std::vector<ValidationRule> rules;

    static SheetProps of(const Sheet& sheet);
    void applyTo(Sheet& sheet) const;
    size_t bytes() const;
};

// Row and column properties, options, print settings, objects or rules of one sheet.
class SheetChange : public UndoChange {
public:
    explicit SheetChange(const Sheet& sheet);
    uint32_t sheetId() const { return m_sheet; }
    void undo(Workbook& book) override;
    void redo(Workbook& book) override;

protected:
    void close(Workbook& book) override;

public:
    size_t bytes() const override;

private:
    uint32_t m_sheet;
    SheetProps m_before, m_after;
};

// Rows, columns or a band of cells inserted: taken back by deleting them again.
class InsertChange : public UndoChange {
public:
    InsertChange(uint32_t sheet, bool rows, const CellRange& band, bool whole);
    void undo(Workbook& book) override;
    void redo(Workbook& book) override;
    size_t bytes() const override { return sizeof(*this); }

private:
    uint32_t m_sheet;
    bool m_rows;
    CellRange m_band;
    bool m_whole;
};

// The whole workbook before and after: for edits that lose data elsewhere (deleting rows
// turns references into #REF!) or change the list of sheets.
class SnapshotChange : public UndoChange {
public:
    explicit SnapshotChange(Workbook& book);
    ~SnapshotChange() override;
    void undo(Workbook& book) override;
    void redo(Workbook& book) override;

protected:
    void close(Workbook& book) override;

public:
    size_t bytes() const override;

private:
    struct SheetState {
        uint32_t id = 0;
        SheetProps props;
        struct Placed {
            int32_t row, col;
            Cell cell;
        };
        std::vector<Placed> cells;
    };
    struct BookState {
        std::vector<SheetState> sheets;
        int active = 1;
        bool showTabs = true;
        void release();
    };
    static BookState take(Workbook& book);
    static void restore(Workbook& book, const BookState& state);
    BookState m_before, m_after;
};
