#include "CommandScript.h"

#include "DelimitedText.h"
#include "NativeFormat.h"
#include "model/Workbook.h"

#include <QFileInfo>
#include <QRegularExpression>

bool CommandScript::fail(int line, const QString& message) {
    m_error = QStringLiteral("line %1: %2").arg(line).arg(message);
    return false;
}

bool CommandScript::run(const QStringList& lines) {
    for (qsizetype i = 0; i < lines.size(); ++i)
        if (!runLine(lines[i], int(i + 1)))
            return false;
    return true;
}

QString CommandScript::show(const Workbook& book, int sheetIndex, const QString& rangeText) {
    if (!book.hasSheet(sheetIndex))
        return {};
    const Sheet& s = book.sheet(sheetIndex);
    CellRange range(1, 1, std::max(1, s.lastRow()), std::max(1, s.lastCol()));
    if (!rangeText.isEmpty() && !parseRangeName(rangeText, range))
        return {};
    QString out;
    for (int r = range.row1; r <= range.row2; ++r)
        for (int c = range.col1; c <= range.col2; ++c) {
            const Cell* cell = s.cell(r, c);
            if (!cell || !cell->hasContent())
                continue;
            out += cellName(r, c) + '\t' + s.entry(r, c) + '\t' + s.formattedText(r, c) + '\n';
        }
    return out;
}

// A row number, or for columns a number or letters.
bool CommandScript::lineSpan(const QString& text, bool rows, int& at) const {
    bool ok = false;
    at = text.toInt(&ok);
    if (!ok && !rows) {
        int r;
        ok = parseCellName(text + QStringLiteral("1"), r, at);
    }
    return ok && at >= 1 && at <= (rows ? kMaxRows : kMaxCols);
}

bool CommandScript::runLine(const QString& rawLine, int n) {
    const QString line = rawLine.trimmed();
    if (line.isEmpty() || line.startsWith('#'))
        return true;
    static const QRegularExpression space(QStringLiteral("\\s+"));
    const QStringList w = line.split(space);
    const QString cmd = w[0].toLower();
    const int sheet = m_book.activeSheetIndex();
    CellRange range;

    if (cmd == "sheet") {
        bool ok = false;
        const int index = w.size() == 2 ? w[1].toInt(&ok) : 0;
        if (!ok || index < 1 || index > 256)
            return fail(n, QStringLiteral("bad sheet number"));
        while (m_book.sheetCount() < index)
            m_book.insertSheet(m_book.sheetCount() + 1);
        m_book.setActiveSheet(index);
        return true;
    }
    if (cmd == "set") {
        int r, c;
        if (w.size() < 2 || !parseCellName(w[1], r, c))
            return fail(n, QStringLiteral("bad cell address"));
        // The entry is the rest of the line after the address, as typed.
        const qsizetype at = line.indexOf(w[1], 3) + w[1].size();
        const QString entry = line.mid(at).trimmed();
        m_book.setEntry(r, c, entry);
        return true;
    }
    if (cmd == "format") {
        if (w.size() < 3 || !parseRangeName(w[1], range))
            return fail(n, QStringLiteral("bad range"));
        const qsizetype at = line.indexOf(w[1], 6) + w[1].size();
        m_book.setNumberFormat(sheet, range, line.mid(at).trimmed());
        return true;
    }
    if (cmd == "copy" || cmd == "move") {
        if (w.size() < 3 || !parseRangeName(w[1], range))
            return fail(n, QStringLiteral("bad range"));
        if (cmd == "copy") {
            CellRange target;
            if (w.size() != 3 || !parseRangeName(w[2], target))
                return fail(n, QStringLiteral("bad target"));
            // A larger target is filled with as many copies as fit, like a paste.
            for (int r = target.row1; r <= target.row2; r += range.rowCount())
                for (int c = target.col1; c <= target.col2; c += range.colCount())
                    m_book.copyRange(m_book, sheet, range, sheet, r, c);
            return true;
        }
        bool ok1 = false, ok2 = false;
        const int dr = w.size() == 4 ? w[2].toInt(&ok1) : 0;
        const int dc = w.size() == 4 ? w[3].toInt(&ok2) : 0;
        if (!ok1 || !ok2)
            return fail(n, QStringLiteral("bad offset"));
        m_book.moveRange(sheet, range, dr, dc);
        return true;
    }
    if (cmd == "insert" || cmd == "delete" || cmd == "hide") {
        if (w.size() < 3)
            return fail(n, QStringLiteral("missing arguments"));
        const QString what = w[1].toLower();
        if (what == "cells" && cmd != "hide") {
            if (w.size() != 4 || !parseRangeName(w[2], range))
                return fail(n, QStringLiteral("bad range"));
            const QString dir = w[3].toLower();
            const bool vertical = dir == "down" || dir == "up";
            if (cmd == "insert" ? (dir != "down" && dir != "right")
                                : (dir != "up" && dir != "left"))
                return fail(n, QStringLiteral("bad direction \"%1\"").arg(w[3]));
            if (cmd == "insert")
                m_book.insertCells(sheet, range, vertical);
            else
                m_book.deleteCells(sheet, range, vertical);
            return true;
        }
        if (what != "rows" && what != "cols")
            return fail(n, QStringLiteral("expected rows or cols"));
        const bool rows = what == "rows";
        int at = 0;
        bool ok = false;
        const int count = w.size() == 4 ? w[3].toInt(&ok) : 0;
        if (!lineSpan(w[2], rows, at) || !ok || count < 1)
            return fail(n, QStringLiteral("bad position or count"));
        if (cmd == "hide") {
            for (int i = at; i < at + count && i <= (rows ? kMaxRows : kMaxCols); ++i) {
                if (rows)
                    m_book.activeSheet().setRowHidden(i, true);
                else
                    m_book.activeSheet().setColHidden(i, true);
            }
        } else if (cmd == "insert") {
            rows ? m_book.insertRows(sheet, at, count) : m_book.insertCols(sheet, at, count);
        } else {
            rows ? m_book.deleteRows(sheet, at, count) : m_book.deleteCols(sheet, at, count);
        }
        return true;
    }
    if (cmd == "sort") {
        int key = 0;
        if (w.size() != 4 || !parseRangeName(w[1], range))
            return fail(n, QStringLiteral("bad range"));
        if (!lineSpan(w[2], false, key))
            return fail(n, QStringLiteral("bad key column"));
        const QString dir = w[3].toLower();
        if (dir != "asc" && dir != "desc")
            return fail(n, QStringLiteral("expected asc or desc"));
        m_book.sortRange(sheet, range, {dir == "asc" ? key : -key});
        return true;
    }
    if (cmd == "recalc") {
        m_book.recalcAll();
        return true;
    }
    if (cmd == "autorecalc") {
        if (w.size() != 2 || (w[1] != "on" && w[1] != "off"))
            return fail(n, QStringLiteral("expected on or off"));
        m_book.setAutoRecalc(w[1] == "on");
        return true;
    }
    if (cmd == "show") {
        if (w.size() > 2 || (w.size() == 2 && !parseRangeName(w[1], range)))
            return fail(n, QStringLiteral("bad range"));
        m_output += show(m_book, sheet, w.size() == 2 ? w[1] : QString());
        return true;
    }
    if (cmd == "save" || cmd == "load") {
        if (w.size() < 2)
            return fail(n, QStringLiteral("missing file name"));
        const QString path = line.mid(cmd.size()).trimmed();
        const QString ext = QFileInfo(path).suffix().toLower();
        QString error;
        bool ok;
        if (cmd == "save") {
            ok = (ext == "txt" || ext == "csv")
                     ? DelimitedText::writeFile(m_book, sheet, true, path,
                                                ext == "csv" ? QChar(';') : QChar('\t'), &error)
                     : NativeFormat::saveFile(m_book, path, &error);
        } else {
            ok = NativeFormat::loadFile(m_book, path, &error);
        }
        return ok ? true : fail(n, error);
    }
    return fail(n, QStringLiteral("unknown command \"%1\"").arg(w[0]));
}
