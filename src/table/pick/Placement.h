#pragma once

#include "IdentMode.h"
#include "PickedEntry.h"
#include "TableLayout.h"

#include <QList>
#include <QString>

#include <functional>
#include <optional>

class IdentModel;
class InstanceSheets;
class Prompter;
class Workbook;

// Where and how the chosen entries of a picker go.
struct PlacementRequest {
    PickKind kind = PickKind::Indicator;
    IdentMode region = IdentMode::Side; // Side, Header or Title
    // Side and header: the clicked slot and the clicked row (side) or column (header).
    Slot slot = Slot::IndicatorShown;
    int line = 0;
    // The selected rows or columns for "Дополнить" and "Развернуть"; empty = the clicked one.
    QList<int> selected;
    // Title: the clicked row of the title block.
    TitleRow titleRow = TitleRow::Indicator;
    // 0 "Поставить", 1 "Дополнить", 2 "Развернуть".
    int mode = 0;
    bool transferNames = true;
    QList<PickedEntry> entries;
    // The expansion by subordinate objects: the objects of each target row (side) or
    // instance sheet (title), in place of `entries`; nullopt leaves it as it is (the
    // reason was told).
    std::function<std::optional<QList<PickedEntry>>(int line)> subordinates;
};

struct PlacementResult {
    bool placed = false;
    // Where the cursor goes afterwards (on the sheet that was worked on).
    int row = 0;
    int col = 0;
};

// Lays the entries of a picker into the identification of a table: into rows of the
// row identification sheet, columns of the column identification sheet or the title
// blocks of the instance sheets, multiplying them by the identification mode. Every
// sheet stays aligned: body rows are inserted on every sheet but the column
// identification sheet, columns on every sheet but the row identification sheet, header
// rows and title lines on all sheets with the layout cell updated, instance sheets
// through InstanceSheets. One placement is one undo step.
class Placement {
public:
    Placement(IdentModel& model, Prompter& prompter, InstanceSheets& sheets);

    PlacementResult place(const PlacementRequest& request);

    static QString overwriteRowsQuestion() {
        return QStringLiteral("Строки ниже выбранной уже идентифицированы.\r\n"
                              "Заменить их идентификацию ?");
    }
    static QString overwriteColsQuestion() {
        return QStringLiteral("Колонки правее выбранной уже идентифицированы.\r\n"
                              "Заменить их идентификацию ?");
    }
    // The title's name line (99, 3) on a sheet, word wrap off.
    static void setTitleName(Workbook& book, int sheet, const QString& name);
    // Every instance sheet but the active one deleted, after the user agreed when there are
    // others; the remaining one becomes sheet 1 and active.
    static bool keepActiveSheetOnly(IdentModel& model, Prompter& prompter);
    // Whether a side row holds identification of its own (indicator to the last cut).
    static bool rowHasIdent(const IdentModel& model, int row);

    static QString deleteSheetsQuestion() {
        return QStringLiteral("Все остальные листы таблицы будут удалены вместе с данными.\r\n"
                              "Продолжить ?");
    }

private:
    // A row of the side or a column of the header, seen alike.
    bool side() const { return m_req->region == IdentMode::Side; }
    int identSheet() const;
    int lastUsed(int sheet) const;
    void writeEntry(int sheet, int row, int col, const QString& entry);
    void writeNumber(int sheet, int row, int col, double value);
    void slotCell(int line, Slot s, int& row, int& col) const;
    void setSlot(int line, Slot s, double value);
    void setSlotEntry(int line, Slot s, const QString& entry);
    QString slotEntry(int line, Slot s) const;
    int slotNumber(int line, Slot s) const;
    void clearSlots(int line, Slot first, Slot last, int count = 1);
    // The name cell of a line on a sheet: column 2 of a row, row H of a column.
    void nameCell(int line, int& row, int& col) const;
    QList<int> nameSheets() const;
    QString nameOf(int sheet, int line) const;
    void setName(int sheet, int line, const QString& text);
    bool lineHasIdent(int line) const;
    bool placeAsPut(int line) const;
    void insertLines(int after, int count);
    void copyLine(int from, int to, int count, bool withSide);
    void addHeaderRow();

    void writeValues(int line, const PickedEntry& e);
    bool putLines();
    void extendLines();
    void expandLines();
    QList<int> targetLines() const;

    bool putTitle();
    void extendTitle();
    void writeTitle(int sheet, const PickedEntry& e, int level);
    void addTitleLine();
    bool expandTitleObjects();

    IdentModel& m_model;
    Prompter& m_prompter;
    InstanceSheets& m_sheets;
    const PlacementRequest* m_req = nullptr;
};
