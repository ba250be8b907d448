#include "TitleReferences.h"

#include "IdentModel.h"
#include "model/Workbook.h"

#include <QRegularExpression>

#include <algorithm>

using namespace TableLayout;

TitleReferences::Code TitleReferences::parse(const QString& text) {
    static const QRegularExpression pattern(
        QStringLiteral("^#(z([1-9])?|kp|ko|kr([1-4])|t([12]))$"));
    const auto m = pattern.match(text.trimmed());
    Code code;
    if (!m.hasMatch())
        return code;
    const QString what = m.captured(1);
    if (what.startsWith(u'z')) {
        code.kind = m.captured(2).isEmpty() ? Kind::WholeTitle : Kind::TitleLine;
        code.line = m.captured(2).isEmpty() ? 0 : kFirstTitleRow - 1 + m.captured(2).toInt();
        return code;
    }
    code.kind = Kind::TitleBlock;
    if (what == QLatin1String("kp"))
        code.row = TitleRow::Indicator;
    else if (what == QLatin1String("ko"))
        code.row = TitleRow::Object;
    else if (what.startsWith(QLatin1String("kr")))
        code.row = titleCutRow(m.captured(3).toInt() - 1);
    else
        code.row =
            m.captured(4) == QLatin1String("1") ? TitleRow::PeriodStart : TitleRow::PeriodEnd;
    return code;
}

TitleReferences::TitleReferences(IdentModel& model) : m_model(model) {}

QString TitleReferences::storedCode(int row, int col) const {
    return m_model.book().sheet(m_model.colIdentSheet()).text(row, col);
}

void TitleReferences::lineFinished(int row, int col) {
    if (row < kFirstTextRow || row > kLastTextRow)
        return;
    Workbook& book = m_model.book();
    const int active = book.activeSheetIndex();
    const QString text = book.sheet(active).text(row, col);
    const Code code = parse(text);
    book.beginUpdate();
    if (code.kind == Kind::None) {
        if (parse(storedCode(row, col)).kind != Kind::None)
            book.clearCell(m_model.colIdentSheet(), row, col);
        for (int s = 1; s <= m_model.instanceCount(); ++s)
            if (s != active)
                book.clearCell(s, row, col);
    } else {
        book.setText(m_model.colIdentSheet(), row, col, text.trimmed());
        book.clearCell(active, row, col);
        expand(row, col, code);
    }
    book.endUpdate();
}

void TitleReferences::refresh(bool blockCodesToo) {
    Workbook& book = m_model.book();
    const Sheet& codes = book.sheet(m_model.colIdentSheet());
    book.beginUpdate();
    for (int r = kFirstTextRow; r <= kLastTextRow; ++r)
        for (int c = 1; c <= codes.lastColInRow(r); ++c) {
            const Code code = parse(codes.text(r, c));
            if (code.kind == Kind::WholeTitle || code.kind == Kind::TitleLine ||
                (blockCodesToo && code.kind != Kind::None))
                expand(r, c, code);
        }
    book.endUpdate();
}

void TitleReferences::copyCell(int sheet, int fromRow, int fromCol, int toRow, int toCol) {
    if (toCol > kColumnCount || toRow > kLastTextRow)
        return;
    Workbook& book = m_model.book();
    book.copyRange(book, sheet, CellRange::cell(fromRow, fromCol), sheet, toRow, toCol);
}

void TitleReferences::expand(int row, int col, const Code& code) {
    Workbook& book = m_model.book();
    for (int s = 1; s <= m_model.instanceCount(); ++s) {
        const Sheet& sheet = book.sheet(s);
        if (code.kind == Kind::TitleBlock) {
            copyCell(s, int(code.row), kTitleValueCol, row, col);
            continue;
        }
        // Hidden title rows are skipped, so the shown lines come without gaps.
        int target = row;
        const int first = code.kind == Kind::TitleLine ? code.line : m_model.firstShownTitleRow();
        const int last = code.kind == Kind::TitleLine ? code.line : kLastTitleRow;
        for (int line = first; line <= last; ++line) {
            if (code.kind == Kind::WholeTitle && sheet.rowHidden(line))
                continue;
            const int lastCol = std::max(sheet.lastColInRow(line), kSideCol);
            for (int c = kSideCol; c <= lastCol; ++c)
                copyCell(s, line, c, target, col + c - kSideCol);
            ++target;
        }
    }
}
