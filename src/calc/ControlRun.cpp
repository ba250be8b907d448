#include "ControlRun.h"

#include "IdentModel.h"
#include "Prompter.h"
#include "TableLayout.h"
#include "model/CellAddress.h"
#include "model/Workbook.h"

using namespace TableLayout;

ControlRun::ControlRun(ControlConditions& conditions, Prompter& prompter, ProtocolText& protocol)
    : m_conditions(conditions), m_prompter(prompter), m_protocol(protocol) {}

QString ControlRun::pageTitle(int sheet) const {
    const Sheet& s = m_conditions.model().book().sheet(sheet);
    QString title;
    for (int r = kFirstTitleRow; r <= kLastTitleRow; ++r) {
        if (s.rowHidden(r))
            continue;
        for (int c = kSideCol; c <= 7; ++c)
            title += u' ' + s.text(r, c);
    }
    return title.trimmed().isEmpty() ? s.name() : title;
}

void ControlRun::fillEmptyCells(int sheet, int lastCol) {
    IdentModel& model = m_conditions.model();
    Workbook& book = model.book();
    const Sheet& s = book.sheet(sheet);
    const int lastRow = s.lastRow();
    book.beginUpdate();
    for (int c = kFirstDataCol; c <= lastCol; ++c) {
        if (!model.isDataColumn(c))
            continue;
        for (int r = model.firstBodyRow(); r <= lastRow; ++r) {
            // Only an empty cell or a text of blanks reads as nothing.
            const int type = s.type(r, c);
            if (type == 0 || (type == 2 && s.text(r, c).trimmed().isEmpty()))
                book.setNumber(sheet, r, c, 0);
        }
    }
    book.endUpdate();
}

void ControlRun::testCell(int sheet, int row, int col) {
    Workbook& book = m_conditions.model().book();
    QString message;
    if (book.satisfiesValidation(sheet, row, col, &message))
        return;
    // The value as shown, also where the sheet hides zeros.
    const Sheet& s = book.sheet(sheet);
    QString shown = s.formattedText(row, col);
    if (shown.isEmpty())
        shown = s.text(row, col);
    if (m_violations++ == 0)
        m_protocol.start(QStringLiteral("Протокол ошибок"), m_header);
    m_protocol.addLine(QStringLiteral("Ячейка ") + cellName(row, col).remove(u'$') +
                       QStringLiteral(" со значением ") + shown + QStringLiteral(" и условием ") +
                       book.validationCondition(sheet, row, col));
    if (!message.trimmed().isEmpty())
        m_protocol.addLine(QStringLiteral("   ") + message);
}

int ControlRun::run(int sheet, const QString& tableCaption) {
    IdentModel& model = m_conditions.model();
    Workbook& book = model.book();
    m_violations = 0;
    const int lastCol = m_conditions.lastHeaderColumn(sheet);
    fillEmptyCells(sheet, std::max(lastCol, book.sheet(sheet).lastCol()));
    m_header = QStringLiteral("Таблица \"") + tableCaption + QStringLiteral("\"     ") +
               ProtocolDate() + QStringLiteral("\r\nСтраница \"") + pageTitle(sheet) +
               QStringLiteral("\"\r\n\r\n");

    const int first = model.firstBodyRow();
    const int lastRow = book.sheet(sheet).lastRow();
    if (lastRow < first) {
        m_prompter.info(QStringLiteral("Ошибки не обнаружены"));
        return 0;
    }
    for (int c = kFirstDataCol; c <= lastCol; ++c) {
        if (!model.isDataColumn(c))
            continue;
        const QString cond = m_conditions.condition(ControlLine::Column, c);
        if (cond.isEmpty())
            continue;
        const CellRange range(first, c, lastRow, c);
        if (!book.setValidation(sheet, range, cond, m_conditions.message(ControlLine::Column, c)))
            continue; // a condition the control cannot read tests nothing
        for (int r = first; r <= lastRow; ++r)
            testCell(sheet, r, c);
        book.removeValidation(sheet, range);
    }
    const int firstCol = m_conditions.firstLineColumn();
    for (int r = first; r <= lastRow; ++r) {
        const QString cond = m_conditions.condition(ControlLine::Row, r);
        if (cond.isEmpty() || lastCol < firstCol)
            continue;
        const CellRange range(r, firstCol, r, lastCol);
        if (!book.setValidation(sheet, range, cond, m_conditions.message(ControlLine::Row, r)))
            continue;
        for (int c = firstCol; c <= lastCol; ++c)
            if (model.isDataColumn(c))
                testCell(sheet, r, c);
        book.removeValidation(sheet, range);
    }
    if (m_violations == 0)
        m_prompter.info(QStringLiteral("Ошибки не обнаружены"));
    return m_violations;
}
