#include "Placement.h"

#include "IdentModel.h"
#include "InstanceSheets.h"
#include "Prompter.h"

#include "model/Workbook.h"

#include <QMap>

#include <algorithm>

using namespace TableLayout;

Placement::Placement(IdentModel& model, Prompter& prompter, InstanceSheets& sheets)
    : m_model(model), m_prompter(prompter), m_sheets(sheets) {}

PlacementResult Placement::place(const PlacementRequest& request) {
    PlacementResult result;
    const bool subordinates = bool(request.subordinates);
    if (request.entries.isEmpty() && !subordinates)
        return result;
    // Objects go in by "Развернуть" only as subordinates of the rows' own nodes.
    if (request.kind == PickKind::Object && request.mode == 2 &&
        request.region != IdentMode::Title && !subordinates)
        return result;
    m_req = &request;
    m_model.readGeometry();
    Workbook& b = m_model.book();
    const int startSheet = b.activeSheetIndex();

    b.undoStack().begin(QStringLiteral("Перенос из справочника"));
    b.beginUpdate();
    bool placed = true;
    if (subordinates && request.region == IdentMode::Title) {
        placed = expandTitleObjects();
    } else if (subordinates) {
        expandLines();
    } else if (request.region == IdentMode::Title) {
        const bool put = request.mode == 0 || m_model.titleKind(startSheet).trimmed().isEmpty();
        if (put)
            placed = putTitle();
        else if (request.kind != PickKind::Object)
            extendTitle();
        else
            placed = false;
    } else if (placeAsPut(request.line)) {
        placed = putLines();
    } else if (request.mode == 1 && request.kind != PickKind::Object) {
        extendLines();
    } else {
        expandLines();
    }
    b.endUpdate();
    b.undoStack().end();

    result.placed = placed;
    if (request.region == IdentMode::Title) {
        const bool toBody = request.kind == PickKind::Indicator || request.kind == PickKind::Period;
        result.row = toBody ? m_model.firstBodyRow() : int(request.titleRow);
        result.col = toBody ? kFirstDataCol : kTitleValueCol;
    } else if (side()) {
        result.row = request.line;
        result.col = rowSlotColumn(request.slot);
    } else {
        result.row = m_model.colSlotRow(request.slot);
        result.col = request.line;
    }
    m_req = nullptr;
    return result;
}

int Placement::identSheet() const {
    return side() ? m_model.rowIdentSheet() : m_model.colIdentSheet();
}

int Placement::lastUsed(int sheet) const {
    return std::max(m_model.book().sheet(sheet).lastRow(), m_model.firstBodyRow());
}

void Placement::writeEntry(int sheet, int row, int col, const QString& entry) {
    if (entry.isEmpty())
        m_model.book().clearCell(sheet, row, col);
    else
        m_model.book().setEntry(sheet, row, col, entry);
}

void Placement::writeNumber(int sheet, int row, int col, double value) {
    m_model.book().setNumber(sheet, row, col, value);
}

void Placement::slotCell(int line, Slot s, int& row, int& col) const {
    if (side()) {
        row = line;
        col = rowSlotColumn(s);
    } else {
        row = m_model.colSlotRow(s);
        col = line;
    }
}

void Placement::setSlot(int line, Slot s, double value) {
    int row, col;
    slotCell(line, s, row, col);
    writeNumber(identSheet(), row, col, value);
}

void Placement::setSlotEntry(int line, Slot s, const QString& entry) {
    int row, col;
    slotCell(line, s, row, col);
    writeEntry(identSheet(), row, col, entry);
}

QString Placement::slotEntry(int line, Slot s) const {
    int row, col;
    slotCell(line, s, row, col);
    return m_model.book().sheet(identSheet()).entry(row, col);
}

int Placement::slotNumber(int line, Slot s) const {
    int row, col;
    slotCell(line, s, row, col);
    return int(m_model.book().sheet(identSheet()).number(row, col));
}

void Placement::clearSlots(int line, Slot first, Slot last, int count) {
    int row1, col1, row2, col2;
    slotCell(line, first, row1, col1);
    slotCell(line + count - 1, last, row2, col2);
    m_model.book().clearRange(identSheet(), CellRange(row1, col1, row2, col2), ClearWhat::All);
}

void Placement::nameCell(int line, int& row, int& col) const {
    if (side()) {
        row = line;
        col = kSideCol;
    } else {
        row = m_model.lastHeaderRow();
        col = line;
    }
}

QList<int> Placement::nameSheets() const {
    QList<int> sheets;
    for (int s = 1; s <= m_model.instanceCount(); ++s)
        sheets << s;
    sheets << identSheet();
    return sheets;
}

QString Placement::nameOf(int sheet, int line) const {
    int row, col;
    nameCell(line, row, col);
    return m_model.book().sheet(sheet).entry(row, col);
}

void Placement::setName(int sheet, int line, const QString& text) {
    int row, col;
    nameCell(line, row, col);
    // A name is text even when it reads as a number (a year).
    if (text.isEmpty())
        m_model.book().clearCell(sheet, row, col);
    else
        m_model.book().setText(sheet, row, col, text);
}

bool Placement::rowHasIdent(const IdentModel& model, int row) {
    const Sheet& sheet = model.book().sheet(model.rowIdentSheet());
    for (int s = int(Slot::IndicatorCode); s <= int(Slot::Cut4Type); ++s)
        if (!sheet.entry(row, rowSlotColumn(Slot(s))).trimmed().isEmpty())
            return true;
    return false;
}

bool Placement::lineHasIdent(int line) const {
    if (side())
        return rowHasIdent(m_model, line);
    for (int s = int(Slot::IndicatorCode); s <= int(Slot::Cut4Type); ++s)
        if (!slotEntry(line, Slot(s)).trimmed().isEmpty())
            return true;
    return false;
}

bool Placement::placeAsPut(int line) const {
    if (m_req->mode == 0)
        return true;
    const Sheet& sheet = m_model.book().sheet(identSheet());
    if (side())
        return line > sheet.lastRow();
    const int H = m_model.lastHeaderRow();
    for (int c = line; c <= kColumnCount; ++c)
        for (int r = H + 1; r <= sheet.lastRow(); ++r)
            if (!sheet.entry(r, c).isEmpty())
                return false;
    return true;
}

void Placement::writeValues(int line, const PickedEntry& e) {
    const Slot s = m_req->slot;
    switch (m_req->kind) {
    case PickKind::Indicator:
        setSlot(line, Slot(int(s) - 1), e.code);
        setSlotEntry(line, s, e.shown);
        setSlotEntry(line, Slot::Unit, e.unit);
        break;
    case PickKind::Node:
        setSlot(line, s, e.code);
        setSlot(line, Slot(int(s) + 8), e.directory);
        break;
    case PickKind::Object:
        setSlot(line, Slot::Object, e.code);
        setSlot(line, Slot::ObjectType, kObjectsDirectoryType);
        break;
    case PickKind::Period: {
        setSlotEntry(line, s, e.value);
        int row, col;
        slotCell(line, s, row, col);
        m_model.book().setNumberFormat(identSheet(), CellRange::cell(row, col),
                                       e.monthly ? QStringLiteral("mmm/yy")
                                                 : QStringLiteral("General"));
        break;
    }
    }
}

QList<int> Placement::targetLines() const {
    QList<int> lines = m_req->selected;
    if (lines.isEmpty())
        lines << m_req->line;
    std::sort(lines.begin(), lines.end());
    lines.erase(std::unique(lines.begin(), lines.end()), lines.end());
    return lines;
}

// "Поставить": the entries take the clicked line and the lines after it.
bool Placement::putLines() {
    const PlacementRequest& q = *m_req;
    const int k = int(q.entries.size());
    const int r = q.line;
    // The lines past the clicked one are overwritten: the user is asked when they hold
    // identification of their own.
    for (int i = 1; i < k; ++i) {
        if (lineHasIdent(r + i)) {
            const QString text = side() ? overwriteRowsQuestion() : overwriteColsQuestion();
            if (!m_prompter.confirm(text, Answer::No))
                return false;
            break;
        }
    }
    const int H = m_model.lastHeaderRow();
    for (int i = 0; i < k; ++i) {
        const int line = r + i;
        switch (q.kind) {
        case PickKind::Indicator:
            if (side())
                clearSlots(line, Slot::IndicatorCode, Slot::Cut4Type);
            else
                clearSlots(line, Slot::IndicatorCode, Slot::Attr2Shown);
            break;
        case PickKind::Node:
            clearSlots(line, Slot::Object, Slot::Cut4);
            clearSlots(line, Slot::ObjectType, Slot::Cut4Type);
            break;
        case PickKind::Object:
        case PickKind::Period:
            if (q.kind == PickKind::Object)
                clearSlots(line, Slot::IndicatorCode, Slot::Cut4Type);
            else
                clearSlots(line, Slot::PeriodStart, Slot::PeriodEnd);
            for (int sheet : nameSheets()) {
                if (side())
                    m_model.book().clearCell(sheet, line, kSideCol);
                else
                    m_model.book().clearRange(sheet, CellRange(kFirstHeaderRow, line, H, line),
                                              ClearWhat::Values);
            }
            break;
        }
        const PickedEntry& e = q.entries[i];
        writeValues(line, e);
        setSlot(line, Slot::Level, q.kind == PickKind::Node ? e.depth : 1);
        if (q.transferNames)
            for (int sheet : nameSheets())
                setName(sheet, line, e.name);
    }
    return true;
}

void Placement::insertLines(int after, int count) {
    if (count <= 0)
        return;
    Workbook& b = m_model.book();
    const int at = after + 1;
    if (side()) {
        for (int s = 1; s <= b.sheetCount(); ++s)
            if (s != m_model.colIdentSheet())
                b.insertRows(s, at, count);
        return;
    }
    for (int s = 1; s <= b.sheetCount(); ++s) {
        if (s == m_model.rowIdentSheet())
            continue;
        Sheet& sh = b.sheet(s);
        const int width = sh.colProps(after).size;
        b.insertCells(s, CellRange(kFirstHeaderRow, at, lastUsed(s), at + count - 1), false);
        for (int c = at; c < at + count; ++c)
            sh.setColWidth(c, width);
    }
}

// The identification of a line into the `count` lines from `to` on: the row of the row
// identification sheet (from column 2, or 3 when `withSide` is false) and the side on the
// instance sheets; for columns the header and slots of the column identification sheet
// and the header of the instance sheets. The copies double each time, so many lines cost
// a few range copies.
void Placement::copyLine(int from, int to, int count, bool withSide) {
    if (count <= 0)
        return;
    Workbook& b = m_model.book();
    const int H = m_model.lastHeaderRow();
    auto spread = [&](int sheet, int first, int last) {
        auto range = [&](int line, int n) {
            return side() ? CellRange(line, first, line + n - 1, last)
                          : CellRange(first, line, last, line + n - 1);
        };
        auto copy = [&](int src, int n, int dst) {
            b.copyRange(b, sheet, range(src, n), sheet, side() ? dst : first, side() ? first : dst);
        };
        copy(from, 1, to);
        for (int done = 1; done < count;) {
            const int n = std::min(done, count - done);
            copy(to, n, to + done);
            done += n;
        }
    };
    if (side()) {
        // Past the last used column there is nothing to copy into the fresh rows.
        const int first = withSide ? kSideCol : kFirstDataCol;
        spread(identSheet(), first, std::max(first, b.sheet(identSheet()).lastCol()));
        if (withSide)
            for (int s = 1; s <= m_model.instanceCount(); ++s)
                spread(s, kSideCol, kSideCol);
        return;
    }
    spread(identSheet(), withSide ? kFirstHeaderRow : H + 1, lastUsed(identSheet()));
    if (withSide)
        for (int s = 1; s <= m_model.instanceCount(); ++s)
            spread(s, kFirstHeaderRow, H);
}

void Placement::addHeaderRow() {
    Workbook& b = m_model.book();
    const int at = m_model.lastHeaderRow() + 1;
    for (int s = 1; s <= b.sheetCount(); ++s) {
        b.insertRows(s, at, 1);
        b.sheet(s).setRowHeading(at, QStringLiteral("---"));
    }
    m_model.setHeaderRows(m_model.headerRows() + 1);
}

// "Дополнить": every selected line becomes k lines, entry i on the i-th of them, the
// name appended to the line's own name.
void Placement::extendLines() {
    const PlacementRequest& q = *m_req;
    const int k = int(q.entries.size());
    if (!side() && k > 1)
        addHeaderRow();
    // Nodes name the identification sheet's line always, the table only with name
    // transfer; indicators and periods only with name transfer.
    QList<int> named;
    for (int sheet : nameSheets())
        if (q.transferNames || (q.kind == PickKind::Node && sheet == identSheet()))
            named << sheet;
    int shift = 0;
    for (int original : targetLines()) {
        const int line = original + shift;
        // Each new name is the line's own name, " / ", the entry's name.
        QStringList prefixes;
        for (int sheet : named) {
            const QString base = nameOf(sheet, line);
            prefixes << (base.trimmed().isEmpty() ? QString() : base + QStringLiteral(" / "));
        }
        insertLines(line, k - 1);
        copyLine(line, line + 1, k - 1, true);
        shift += k - 1;
        for (int i = 0; i < k; ++i) {
            const PickedEntry& e = q.entries[i];
            writeValues(line + i, e);
            // Sheets whose line has the same name share one string.
            QString name;
            for (int n = 0; n < named.size(); ++n) {
                if (n == 0 || prefixes[n] != prefixes[n - 1])
                    name = prefixes[n] + e.name;
                setName(named[n], line + i, name);
            }
        }
    }
}

// "Развернуть" (and "Дополнить" of the objects directory): new lines below every
// selected one, which stays as their total; the expansion by subordinate objects puts
// each row's own objects below it.
void Placement::expandLines() {
    const PlacementRequest& q = *m_req;
    const bool objects = q.kind == PickKind::Object;
    const bool nodes = q.kind == PickKind::Node;
    if (!side() && (q.entries.size() > 1 || objects))
        addHeaderRow();
    int shift = 0;
    for (int original : targetLines()) {
        const int line = original + shift;
        QList<PickedEntry> entries = q.entries;
        if (q.subordinates) {
            const std::optional<QList<PickedEntry>> found = q.subordinates(line);
            if (!found)
                continue;
            entries = *found;
        }
        const int k = int(entries.size());
        if (k == 0)
            continue;
        const int level = slotNumber(line, Slot::Level);
        insertLines(line, k);
        copyLine(line, line + 1, k, !(objects || nodes));
        // A subordinate object is named by itself: no cuts, and the row's marker, formula
        // and control stay with the row.
        if (q.subordinates) {
            clearSlots(line + 1, Slot::HideMarker, Slot::HideMarker, k);
            clearSlots(line + 1, Slot::Cut1, Slot::Cut4, k);
            clearSlots(line + 1, Slot::Cut1Type, Slot::Control, k);
        }
        shift += k;
        for (int i = 1; i <= k; ++i) {
            const PickedEntry& e = entries[i - 1];
            const int at = line + i;
            writeValues(at, e);
            int newLevel = level + 1;
            if (nodes)
                newLevel = level + e.depth;
            else if (!side() && q.kind == PickKind::Indicator)
                newLevel = level;
            setSlot(at, Slot::Level, newLevel);
            if (!q.transferNames)
                continue;
            QString name = e.name;
            if (objects)
                name = QStringLiteral(" ") + e.name;
            else if (side())
                name = QString(1 + std::max(level, 0), QLatin1Char(' ')) + e.name;
            for (int sheet : nameSheets())
                setName(sheet, at, name);
        }
    }
}
