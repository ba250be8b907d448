#include "CellOperations.h"

#include "Prompter.h"

#include "format/EntryParser.h"
#include "model/Workbook.h"

CellOperations::CellOperations(Workbook& book, int sheet, const CellRange& selection)
    : m_book(book), m_sheet(sheet) {
    const Sheet& s = book.sheet(sheet);
    bool first = true;
    const CellRange r(selection.row1, selection.col1, std::min(selection.row2, s.lastRow()),
                      std::min(selection.col2, s.lastCol()));
    for (int row = r.row1; row <= r.row2; ++row)
        for (int col = r.col1; col <= r.col2; ++col) {
            const CellValue v = s.value(row, col);
            if (v.type != CellValue::Number)
                continue;
            m_numbers.push_back({row, col, v.number});
            if (first || v.number > m_base)
                m_base = v.number;
            first = false;
        }
}

bool CellOperations::apply(Op op, const QString& number, Prompter& prompter) {
    double n = 0;
    if (op != Share) {
        const QString text = number.trimmed();
        if (text.isEmpty()) {
            prompter.error(needNumber());
            return false;
        }
        const ParsedEntry p = EntryParser::parse(text);
        if (p.kind != ParsedEntry::Number || !p.numberFormat.isEmpty()) {
            prompter.error(notNumber());
            return false;
        }
        n = p.number;
        if (op == Divide && n == 0) {
            prompter.error(divisionByZero());
            return false;
        }
    } else if (m_base == 0) {
        return true; // nothing to take shares of
    }
    m_book.undoStack().begin(QStringLiteral("Операции"));
    m_book.beginUpdate();
    for (const Taken& t : m_numbers) {
        double v = t.value;
        switch (op) {
        case Multiply:
            v *= n;
            break;
        case Divide:
            v /= n;
            break;
        case Add:
            v += n;
            break;
        case Subtract:
            v -= n;
            break;
        case Share:
            v = v / m_base * 100;
            break;
        }
        m_book.setNumber(m_sheet, t.row, t.col, v);
    }
    m_book.endUpdate();
    m_book.undoStack().end();
    return true;
}
