#include "SpecialIdentification.h"

#include "IdentEditorView.h"
#include "IdentModel.h"
#include "InstanceSheets.h"
#include "Prompter.h"
#include "model/Workbook.h"

#include <algorithm>

using namespace TableLayout;

namespace {

// The identification slot a code or the unit of a choice 1 … 9 is copied from.
Slot sourceSlot(int choice) {
    switch (choice) {
    case SpecialKind::Unit:
        return Slot::Unit;
    case SpecialKind::IndicatorCode:
        return Slot::IndicatorShown;
    case SpecialKind::Attr1Code:
        return Slot::Attr1Shown;
    case SpecialKind::Attr2Code:
        return Slot::Attr2Shown;
    case SpecialKind::ObjectCode:
        return Slot::Object;
    default:
        return cutSlot(choice - SpecialKind::Cut1Code);
    }
}

} // namespace

QStringList SpecialIdentification::kindCaptions() {
    return {QStringLiteral("Номер строки/графы"), QStringLiteral("Единица измерения"),
            QStringLiteral("Код показателя"),     QStringLiteral("Код признака 1"),
            QStringLiteral("Код признака 2"),     QStringLiteral("Код объекта"),
            QStringLiteral("Код разреза 1"),      QStringLiteral("Код разреза 2"),
            QStringLiteral("Код разреза 3"),      QStringLiteral("Код разреза 4"),
            QStringLiteral("Произвольный код")};
}

SpecialIdentification::SpecialIdentification(IdentContext& ctx, InstanceSheets& sheets)
    : m_ctx(ctx), m_sheets(sheets) {}

std::optional<SpecialLine> SpecialIdentification::begin() {
    const int row = m_ctx.view.cursorRow();
    const int col = m_ctx.view.cursorCol();
    const IdentModel& m = m_ctx.model;
    // Title rows and the service rows above them belong to no line of the table, and the
    // columns of the row identification sheet are its slots, not columns of the table.
    const bool slotColumns = m.book().activeSheetIndex() == m.rowIdentSheet();
    if (col <= kSideCol || row < kFirstHeaderRow || slotColumns) {
        m_ctx.prompter.info(QStringLiteral("Специальная идентификация возможна\r\nтолько для "
                                           "строк шапки таблицы и для колонок тела таблицы"));
        return std::nullopt;
    }
    SpecialLine line;
    line.headerRow = row <= m.lastHeaderRow();
    line.index = line.headerRow ? row : col;
    line.storedKind = line.headerRow ? m.headerRowSpecialKind(row) : m.columnSpecialKind(col);
    return line;
}

QString SpecialIdentification::dialogCaption(const SpecialLine& line) {
    return QStringLiteral("Специальная идентификация") +
           (line.headerRow ? QStringLiteral(" строки шапки") : QStringLiteral(" графы"));
}

int SpecialIdentification::choiceOf(int kind) {
    if (kind > SpecialKind::NumberingBase)
        return kNumbering;
    if (kind >= SpecialKind::Unit && kind <= SpecialKind::Arbitrary)
        return kind;
    return -1;
}

int SpecialIdentification::stepOf(int kind) {
    if (kind > SpecialKind::NumberingBase)
        return std::min(kind - SpecialKind::NumberingBase, kMaxStep);
    return 1;
}

int SpecialIdentification::firstCell(const SpecialLine& line) const {
    return line.headerRow ? kSideCol : m_ctx.model.firstBodyRow();
}

int SpecialIdentification::lastCell(const SpecialLine& line) const {
    const IdentModel& m = m_ctx.model;
    const Workbook& book = m.book();
    if (line.headerRow) {
        int last = book.sheet(m.colIdentSheet()).lastCol();
        for (int s = 1; s <= m.instanceCount(); ++s)
            last = std::max(last, book.sheet(s).lastCol());
        return std::min(last, kColumnCount);
    }
    int last = book.sheet(m.rowIdentSheet()).lastRow();
    for (int s = 1; s <= m.instanceCount(); ++s)
        last = std::max(last, book.sheet(s).lastRow());
    return last;
}

void SpecialIdentification::copySource(const SpecialLine& line, int choice, int at, int& sheet,
                                       int& row, int& col) const {
    const IdentModel& m = m_ctx.model;
    const Slot slot = sourceSlot(choice);
    if (line.headerRow) {
        sheet = m.colIdentSheet();
        row = m.colSlotRow(slot);
        col = at;
    } else {
        sheet = m.rowIdentSheet();
        row = at;
        col = m.rowSlotCol(slot);
    }
}

void SpecialIdentification::fill(const SpecialLine& line, int choice, int step) {
    if (choice == kArbitrary)
        return;
    Workbook& book = m_ctx.model.book();
    const int first = firstCell(line);
    const int last = lastCell(line);
    if (last < first)
        return;
    for (int s = 1; s <= m_ctx.model.instanceCount(); ++s) {
        for (int at = first; at <= last; ++at) {
            const int row = line.headerRow ? line.index : at;
            const int col = line.headerRow ? at : line.index;
            if (choice == kNumbering) {
                book.setText(s, row, col, QString::number(qint64(at - first + 1) * step));
                continue;
            }
            int srcSheet = 0, srcRow = 0, srcCol = 0;
            copySource(line, choice, at, srcSheet, srcRow, srcCol);
            const Sheet& src = book.sheet(srcSheet);
            const int type = src.type(srcRow, srcCol);
            if (type == 0)
                book.clearCell(s, row, col);
            else if (type == 1 || type == -1)
                book.setNumber(s, row, col, src.number(srcRow, srcCol));
            else
                book.setText(s, row, col, src.text(srcRow, srcCol));
        }
        const CellRange range = line.headerRow ? CellRange(line.index, first, line.index, last)
                                               : CellRange(first, line.index, last, line.index);
        const HAlign align = line.headerRow ? HAlign::Center : HAlign::Right;
        book.setFormat(s, range, [align](CellFormat& f) { f.hAlign = align; });
    }
}

void SpecialIdentification::clearLine(const SpecialLine& line) {
    const int first = firstCell(line);
    const int last = lastCell(line);
    if (last < first)
        return;
    const CellRange range = line.headerRow ? CellRange(line.index, first, line.index, last)
                                           : CellRange(first, line.index, last, line.index);
    for (int s = 1; s <= m_ctx.model.instanceCount(); ++s)
        m_ctx.model.book().clearRange(s, range, ClearWhat::Values);
}

void SpecialIdentification::storeKind(const SpecialLine& line, int kind) {
    const IdentModel& m = m_ctx.model;
    if (line.headerRow)
        m.book().setNumber(m.colIdentSheet(), line.index, kSettingsCol, kind);
    else
        m.book().setNumber(m.colIdentSheet(), 1, line.index, kind);
}

void SpecialIdentification::apply(const SpecialLine& line, int choice, int step) {
    Workbook& book = m_ctx.model.book();
    book.beginUpdate();
    if (choice < kNumbering || choice > kArbitrary) {
        // Arbitrary codes were typed by the user: unmarking the line keeps them.
        if (line.storedKind != SpecialKind::None && line.storedKind != SpecialKind::Arbitrary)
            clearLine(line);
        storeKind(line, SpecialKind::None);
    } else {
        step = std::clamp(step, 1, kMaxStep);
        fill(line, choice, step);
        storeKind(line, choice == kNumbering ? SpecialKind::NumberingBase + step : choice);
    }
    book.endUpdate();
    m_sheets.keepOnlyActiveInGroup();
    if (line.headerRow)
        m_ctx.view.setCursor(line.index, kSideCol);
    else
        m_ctx.view.setCursor(m_ctx.model.firstBodyRow(), line.index);
}
