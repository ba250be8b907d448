#include "XlsxWriter.h"

#include "model/Workbook.h"

#include <QFile>
#include <QHash>
#include <QSet>

#include <algorithm>

#include <xlsxwriter.h>

namespace XlsxWriter {

namespace {

uint8_t borderStyle(BorderStyle s) {
    switch (s) {
    case BorderStyle::None:
        return LXW_BORDER_NONE;
    case BorderStyle::Thin:
        return LXW_BORDER_THIN;
    case BorderStyle::Medium:
        return LXW_BORDER_MEDIUM;
    case BorderStyle::Dashed:
        return LXW_BORDER_DASHED;
    case BorderStyle::Dotted:
        return LXW_BORDER_DOTTED;
    case BorderStyle::Thick:
        return LXW_BORDER_THICK;
    case BorderStyle::Double:
        return LXW_BORDER_DOUBLE;
    case BorderStyle::Hair:
        return LXW_BORDER_HAIR;
    }
    return LXW_BORDER_NONE;
}

uint8_t alignment(HAlign a) {
    switch (a) {
    case HAlign::General:
        return LXW_ALIGN_NONE;
    case HAlign::Left:
        return LXW_ALIGN_LEFT;
    case HAlign::Center:
        return LXW_ALIGN_CENTER;
    case HAlign::Right:
        return LXW_ALIGN_RIGHT;
    case HAlign::Fill:
        return LXW_ALIGN_FILL;
    case HAlign::Justify:
        return LXW_ALIGN_JUSTIFY;
    case HAlign::CenterAcross:
        return LXW_ALIGN_CENTER_ACROSS;
    }
    return LXW_ALIGN_NONE;
}

uint8_t valignment(VAlign a) {
    switch (a) {
    case VAlign::Top:
        return LXW_ALIGN_VERTICAL_TOP;
    case VAlign::Center:
        return LXW_ALIGN_VERTICAL_CENTER;
    case VAlign::Bottom:
        return LXW_ALIGN_VERTICAL_BOTTOM;
    }
    return LXW_ALIGN_VERTICAL_BOTTOM;
}

// Formats are made once per workbook format index and sheet default font.
class FormatCache {
public:
    explicit FormatCache(lxw_workbook* wb, const Workbook& book) : m_wb(wb), m_book(book) {}

    lxw_format* get(uint32_t index, const CellFont& sheetFont) {
        const QString key =
            QString::number(index) + u'|' + sheetFont.name + u'|' + QString::number(sheetFont.size);
        if (auto it = m_cache.find(key); it != m_cache.end())
            return it.value();
        const CellFormat& f = m_book.formats().at(index);
        lxw_format* x = workbook_add_format(m_wb);
        const QByteArray name = (f.font.name.isEmpty() ? sheetFont.name : f.font.name).toUtf8();
        if (!name.isEmpty())
            format_set_font_name(x, name.constData());
        format_set_font_size(x, f.font.size > 0      ? f.font.size
                                : sheetFont.size > 0 ? sheetFont.size
                                                     : 10);
        if (f.font.bold)
            format_set_bold(x);
        if (f.font.italic)
            format_set_italic(x);
        if (f.font.underline)
            format_set_underline(x, LXW_UNDERLINE_SINGLE);
        if (f.font.strikeout)
            format_set_font_strikeout(x);
        if (f.font.color != 0)
            format_set_font_color(x, f.font.color);
        if (f.numberFormat != QLatin1String("General")) {
            const QByteArray nf = f.numberFormat.toUtf8();
            format_set_num_format(x, nf.constData());
        }
        format_set_align(x, alignment(f.hAlign));
        format_set_align(x, valignment(f.vAlign));
        if (f.wordWrap)
            format_set_text_wrap(x);
        format_set_left(x, borderStyle(f.left.style));
        format_set_right(x, borderStyle(f.right.style));
        format_set_top(x, borderStyle(f.top.style));
        format_set_bottom(x, borderStyle(f.bottom.style));
        if (f.pattern > 0) {
            format_set_pattern(x, uint8_t(std::min(f.pattern, 18)));
            format_set_fg_color(x, f.patternFg);
            if (f.pattern > 1)
                format_set_bg_color(x, f.patternBg);
        }
        if (!f.locked)
            format_set_unlocked(x);
        m_cache.insert(key, x);
        return x;
    }

private:
    lxw_workbook* m_wb;
    const Workbook& m_book;
    QHash<QString, lxw_format*> m_cache;
};

void writeSheet(lxw_worksheet* ws, const Sheet& s, FormatCache& formats) {
    const CellFont& font = s.defaultFont();
    s.cells().forEach([&](int row, int col, const Cell& cell) {
        const lxw_row_t r = lxw_row_t(row - 1);
        const lxw_col_t c = lxw_col_t(col - 1);
        lxw_format* fmt = formats.get(cell.format, font);
        switch (cell.kind) {
        case CellKind::Empty:
            worksheet_write_blank(ws, r, c, fmt);
            break;
        case CellKind::Number:
            worksheet_write_number(ws, r, c, cell.number, fmt);
            break;
        case CellKind::Text: {
            const QByteArray text = cell.text->toUtf8();
            worksheet_write_string(ws, r, c, text.constData(), fmt);
            break;
        }
        case CellKind::Formula: {
            const QByteArray formula = s.formula(row, col).toUtf8();
            const CellValue v = s.value(row, col);
            if (v.type == CellValue::Text) {
                const QByteArray result = v.text.toUtf8();
                worksheet_write_formula_str(ws, r, c, formula.constData(), fmt, result.constData());
            } else {
                worksheet_write_formula_num(ws, r, c, formula.constData(), fmt, v.number);
            }
            break;
        }
        }
    });
    for (int row = 1; row <= s.lastRowProps(); ++row) {
        const LineProps& p = s.rowProps(row);
        if (p.size < 0 && !p.hidden)
            continue;
        lxw_row_col_options options{p.hidden ? uint8_t(1) : uint8_t(0), 0, 0};
        worksheet_set_row_opt(ws, lxw_row_t(row - 1), s.rowHeight(row) / 20.0, nullptr, &options);
    }
    for (int col = 1; col <= s.lastColProps(); ++col) {
        const LineProps& p = s.colProps(col);
        if (p.size < 0 && !p.hidden)
            continue;
        lxw_row_col_options options{p.hidden ? uint8_t(1) : uint8_t(0), 0, 0};
        worksheet_set_column_opt(ws, lxw_col_t(col - 1), lxw_col_t(col - 1),
                                 s.colWidth(col) / 256.0, nullptr, &options);
    }
    for (const CellRange& m : s.mergedRanges())
        worksheet_merge_range(ws, lxw_row_t(m.row1 - 1), lxw_col_t(m.col1 - 1),
                              lxw_row_t(m.row2 - 1), lxw_col_t(m.col2 - 1), "", nullptr);
    const SheetOptions& o = s.options();
    if (o.frozenRows > 0 || o.frozenCols > 0)
        worksheet_freeze_panes(ws, lxw_row_t(o.frozenRows), lxw_col_t(o.frozenCols));
    if (!o.showZeros)
        worksheet_hide_zero(ws);
    if (o.zoom != 100)
        worksheet_set_zoom(ws, uint16_t(std::clamp(o.zoom, 10, 400)));
    if (o.protection)
        worksheet_protect(ws, nullptr, nullptr);
}

} // namespace

QString sheetName(const QString& name, int index) {
    QString clean;
    for (const QChar ch : name)
        clean += QStringLiteral("[]:*?/\\").contains(ch) ? QChar(u'_') : ch;
    clean = clean.trimmed().left(31);
    if (clean.startsWith(u'\'') || clean.endsWith(u'\''))
        clean.replace(u'\'', u'_');
    return clean.isEmpty() ? QStringLiteral("Sheet%1").arg(index) : clean;
}

bool writeFile(const Workbook& book, const QString& path, QString* error) {
    const QByteArray file = QFile::encodeName(path);
    lxw_workbook* wb = workbook_new(file.constData());
    if (!wb) {
        if (error)
            *error = QStringLiteral("cannot create %1").arg(path);
        return false;
    }
    FormatCache formats(wb, book);
    QSet<QString> used;
    for (int i = 1; i <= book.sheetCount(); ++i) {
        QString name = sheetName(book.sheet(i).name(), i);
        // Excel compares sheet names without regard to case.
        while (used.contains(name.toLower()))
            name = sheetName(name.left(27) + QStringLiteral("_%1").arg(i), i);
        used.insert(name.toLower());
        const QByteArray utf8 = name.toUtf8();
        lxw_worksheet* ws = workbook_add_worksheet(wb, utf8.constData());
        if (!ws) {
            workbook_close(wb);
            QFile::remove(path);
            if (error)
                *error = QStringLiteral("bad sheet name %1").arg(name);
            return false;
        }
        writeSheet(ws, book.sheet(i), formats);
        if (i == book.activeSheetIndex())
            worksheet_activate(ws);
    }
    const lxw_error result = workbook_close(wb);
    if (result != LXW_NO_ERROR) {
        if (error)
            *error = QString::fromUtf8(lxw_strerror(result));
        return false;
    }
    return true;
}

} // namespace XlsxWriter
