#include "ControlConditions.h"

#include "IdentModel.h"
#include "Prompter.h"
#include "TableLayout.h"
#include "model/CellAddress.h"
#include "model/Workbook.h"

using namespace TableLayout;

ControlConditions::ControlConditions(IdentModel& model, Prompter& prompter)
    : m_model(model), m_prompter(prompter) {}

int ControlConditions::slotSheet(ControlLine line) const {
    return line == ControlLine::Row ? m_model.rowIdentSheet() : m_model.colIdentSheet();
}

std::pair<int, int> ControlConditions::slotCell(ControlLine line, int index, int slot) const {
    if (line == ControlLine::Row)
        return {index, slot + 2};
    return {m_model.lastHeaderRow() + slot, index};
}

QString ControlConditions::slotText(ControlLine line, int index, int slot) const {
    const auto [row, col] = slotCell(line, index, slot);
    return m_model.book().sheet(slotSheet(line)).text(row, col).trimmed();
}

QString ControlConditions::condition(ControlLine line, int index) const {
    return slotText(line, index, int(Slot::Control));
}

QString ControlConditions::message(ControlLine line, int index) const {
    const QString own = slotText(line, index, kMessageSlot);
    // Tables written before the message had its own slot keep it where the unit goes.
    if (own.isEmpty() && !condition(line, index).isEmpty())
        return slotText(line, index, int(Slot::Unit));
    return own;
}

void ControlConditions::store(ControlLine line, int index, const QString& cond,
                              const QString& msg) {
    Workbook& book = m_model.book();
    const int sheet = slotSheet(line);
    const auto [cr, cc] = slotCell(line, index, int(Slot::Control));
    const auto [mr, mc] = slotCell(line, index, kMessageSlot);
    // As texts: a condition typed with "=" must not turn into a formula of that sheet.
    book.setText(sheet, cr, cc, cond);
    book.setText(sheet, mr, mc, msg);
}

int ControlConditions::lastHeaderColumn(int sheet) const {
    const int row = m_model.lastHeaderRow();
    const Sheet& s = m_model.book().sheet(sheet);
    for (int c = s.lastColInRow(row); c >= kFirstDataCol; --c)
        if (!s.entry(row, c).isEmpty())
            return c;
    return kFirstDataCol - 1;
}

int ControlConditions::firstLineColumn() const {
    int col = kFirstDataCol;
    const int last = m_model.book().sheet(m_model.colIdentSheet()).lastCol();
    for (int c = kFirstDataCol; c <= last; ++c)
        if (!m_model.isDataColumn(c))
            ++col;
    return col;
}

std::optional<ConditionDraft> ControlConditions::begin(ControlLine line, int sheet, int row,
                                                       int col) {
    ConditionDraft d;
    d.line = line;
    d.sheet = sheet;
    d.row = row;
    d.col = col;
    const bool inBody = m_model.isInstanceSheet(sheet) && row >= m_model.firstBodyRow();
    if (line == ControlLine::Row) {
        if (!inBody || col != firstLineColumn()) {
            m_prompter.plain(QStringLiteral(
                "Условие контроля над строкой задается\r     в первой колонке таблицы!"));
            return std::nullopt;
        }
        d.caption = QStringLiteral("Установка условий контроля над строкой");
    } else {
        if (!inBody || row != m_model.firstBodyRow() || col < kFirstDataCol) {
            m_prompter.plain(QStringLiteral(
                "Условие контроля над колонкой задается\r     в первой строке таблицы!"));
            return std::nullopt;
        }
        d.caption = QStringLiteral("Установка условий контроля над колонкой");
    }
    const int index = line == ControlLine::Row ? row : col;
    d.condition = condition(line, index);
    d.message = message(line, index);
    // A new condition starts from the cell's own relative address; nothing is written.
    if (d.condition.isEmpty())
        d.condition = cellName(row, col);
    return d;
}

ControlConditions::Applied ControlConditions::apply(const ConditionDraft& d, const QString& cond,
                                                    const QString& msg) {
    if (msg.trimmed().isEmpty()) {
        m_prompter.plain(QStringLiteral("Не задан текст сообщения об ошибке!"));
        return Applied::NoMessage;
    }
    Workbook& book = m_model.book();
    const CellRange cell = CellRange::cell(d.row, d.col);
    QString error;
    const bool ok = book.setValidation(d.sheet, cell, cond.trimmed(), msg.trimmed(), &error);
    book.removeValidation(d.sheet, cell);
    if (!ok || cond.trimmed().isEmpty()) {
        m_prompter.error(QStringLiteral("Условие задано неверно"));
        return Applied::BadCondition;
    }
    store(d.line, d.line == ControlLine::Row ? d.row : d.col, cond.trimmed(), msg.trimmed());
    return Applied::Stored;
}

bool ControlConditions::list(int sheet, const QString& tableCaption, ProtocolText& protocol) {
    bool found = false;
    auto add = [&](ControlLine line, int index) {
        const QString cond = condition(line, index);
        if (cond.isEmpty())
            return;
        if (!found) {
            protocol.start(QStringLiteral("Условия контроля"),
                           QStringLiteral("Таблица \"") + tableCaption + QStringLiteral("\"     ") +
                               ProtocolDate() + QStringLiteral("\r\n"));
            if (line == ControlLine::Column)
                protocol.addLine({});
            found = true;
        }
        protocol.addLine(QString(5, u' ') + cond);
        protocol.addLine(QString(13, u' ') + message(line, index));
    };
    for (int c = kFirstDataCol; c <= lastHeaderColumn(sheet); ++c)
        add(ControlLine::Column, c);
    const int lastRow = m_model.book().sheet(m_model.rowIdentSheet()).lastRow();
    for (int r = m_model.firstBodyRow(); r <= lastRow; ++r)
        add(ControlLine::Row, r);
    if (!found)
        m_prompter.info(QStringLiteral("Условия контроля в текущем листе не обнаружены"));
    return found;
}
