#include "NativeCodec.h"
#include "NativeFormat.h"
#include "formula/FormulaParser.h"
#include "model/Formula.h"
#include "model/Workbook.h"

#include <cmath>

using namespace NativeCodec;

namespace {

void writeLines(ByteWriter& w, const Sheet& s, bool rows) {
    const int n = rows ? s.lastRowProps() : s.lastColProps();
    uint32_t count = 0;
    for (int i = 1; i <= n; ++i)
        count += (rows ? s.rowProps(i) : s.colProps(i)).isDefault() ? 0 : 1;
    w.u32(count);
    for (int i = 1; i <= n; ++i) {
        const LineProps& p = rows ? s.rowProps(i) : s.colProps(i);
        if (p.isDefault())
            continue;
        w.i32(i);
        w.i32(p.size);
        w.boolean(p.hidden);
        w.string(p.heading);
    }
}

void writeSheet(ByteWriter& w, const Workbook& book, const Sheet& s) {
    w.u32(s.id());
    w.string(s.name());
    w.boolean(book.isInEditGroup(s.index()) && book.activeSheetIndex() != s.index());
    w.i32(s.maxRow());
    w.i32(s.maxCol());
    w.i32(s.defaultRowHeight());
    w.i32(s.defaultColWidth());
    const SheetOptions& o = s.options();
    w.i32(o.frozenRows);
    w.i32(o.frozenCols);
    w.i32(o.zoom);
    w.u8(uint8_t((o.showZeros ? 1 : 0) | (o.showFormulas ? 2 : 0) | (o.showRowHeadings ? 4 : 0) |
                 (o.showColHeadings ? 8 : 0) | (o.showGrid ? 16 : 0) | (o.protection ? 32 : 0)));
    w.i32(o.topRow);
    w.i32(o.leftCol);
    w.i32(o.activeRow);
    w.i32(o.activeCol);
    writeRange(w, o.selection);
    writeFont(w, s.defaultFont());
    const PrintSettings& p = s.printSettings();
    w.u8(uint8_t((p.landscape ? 1 : 0) | (p.noColor ? 2 : 0) | (p.centerHorizontally ? 4 : 0) |
                 (p.centerVertically ? 8 : 0) | (p.gridLines ? 16 : 0) | (p.rowHeadings ? 32 : 0) |
                 (p.colHeadings ? 64 : 0)));
    w.i32(p.scale);
    for (double m :
         {p.leftMargin, p.rightMargin, p.topMargin, p.bottomMargin, p.headerMargin, p.footerMargin})
        w.f64(m);
    w.string(p.header);
    w.string(p.footer);
    writeRange(w, p.printArea);
    for (const QList<int>* breaks : {&s.rowBreaks(), &s.colBreaks()}) {
        w.u32(uint32_t(breaks->size()));
        for (int b : *breaks)
            w.i32(b);
    }
    w.u32(uint32_t(s.mergedRanges().size()));
    for (const CellRange& m : s.mergedRanges())
        writeRange(w, m);
    w.u32(uint32_t(s.objects().size()));
    for (const DropDownObject& d : s.objects()) {
        w.i32(d.id);
        w.string(d.name);
        writeRange(w, d.position);
        w.string(d.items);
        w.i32(d.selected);
    }
    w.u32(uint32_t(s.validationRules().size()));
    for (const ValidationRule& rule : s.validationRules()) {
        writeRange(w, rule.range);
        w.string(printFormula(*rule.condition, book, &s, rule.range.row1, rule.range.col1));
        w.string(rule.message);
    }
    writeLines(w, s, true);
    writeLines(w, s, false);

    // Cells, row by row; numbers take the shortest exact coding.
    const CellStore& store = s.cells();
    uint32_t rows = 0;
    for (int r = 1; r <= store.allocatedRows(); ++r)
        if (const CellRow* row = store.rowAt(r); row && !row->cells.empty())
            ++rows;
    w.varint(rows);
    int prev = 0;
    for (int r = 1; r <= store.allocatedRows(); ++r) {
        const CellRow* row = store.rowAt(r);
        if (!row || row->cells.empty())
            continue;
        w.varint(uint64_t(r - prev));
        prev = r;
        w.varint(uint64_t(row->first));
        w.varint(row->cells.size());
        for (size_t i = 0; i < row->cells.size(); ++i) {
            const Cell& c = row->cells[i];
            uint8_t tag = uint8_t(c.kind) | (c.format ? 4 : 0);
            if (c.kind == CellKind::Number) {
                const double x = c.number;
                if (std::fabs(x) < 9e15 && double(int64_t(x)) == x && !(x == 0 && std::signbit(x)))
                    tag |= Whole << 3;
                else if (std::fabs(x) < 9e13 && double(std::llround(x * 100)) / 100 == x)
                    tag |= Cents << 3;
            }
            w.u8(tag);
            if (c.format)
                w.varint(c.format);
            switch (c.kind) {
            case CellKind::Number:
                if (((tag >> 3) & 3) == Whole)
                    w.svarint(int64_t(c.number));
                else if (((tag >> 3) & 3) == Cents)
                    w.svarint(std::llround(c.number * 100));
                else
                    w.f64(c.number);
                break;
            case CellKind::Text:
                w.string(*c.text);
                break;
            case CellKind::Formula: {
                const int col = row->first + int(i);
                w.string(printFormula(*c.formula->code, book, &s, r, col));
                const CellValue& v = c.formula->value;
                w.u8(uint8_t(v.type));
                if (v.type == CellValue::Text)
                    w.string(v.text);
                else if (v.type == CellValue::Error)
                    w.u8(uint8_t(v.error));
                else
                    w.f64(v.number);
                break;
            }
            default:
                break;
            }
        }
    }
}

} // namespace

namespace NativeFormat {

QByteArray encodeBody(const Workbook& book) {
    QByteArray out;
    size_t cells = 0;
    for (int i = 1; i <= book.sheetCount(); ++i)
        cells += book.sheet(i).cells().cellCount();
    out.reserve(qsizetype(std::min<size_t>(cells * 6 + 4096, kMaxBody)));
    ByteWriter w(out);
    w.u32(uint32_t(book.sheetCount()));
    w.u32(uint32_t(book.activeSheetIndex()));
    w.u32(book.nextSheetId());
    w.boolean(book.autoRecalc());
    w.boolean(book.showTabs());
    const FormatTable& formats = book.formats();
    w.u32(formats.size());
    for (uint32_t i = 0; i < formats.size(); ++i) {
        const CellFormat& f = formats.at(i);
        w.string(f.numberFormat);
        writeFont(w, f.font);
        w.u8(uint8_t(f.hAlign));
        w.u8(uint8_t(f.vAlign));
        w.boolean(f.wordWrap);
        for (const BorderSide* b : {&f.left, &f.top, &f.right, &f.bottom}) {
            w.u8(uint8_t(b->style));
            w.u32(b->color);
        }
        w.i32(f.pattern);
        w.u32(f.patternFg);
        w.u32(f.patternBg);
        w.boolean(f.locked);
    }
    for (int i = 1; i <= book.sheetCount(); ++i)
        writeSheet(w, book, book.sheet(i));
    // Charts come after the sheets, and only when there are any, so a book without them
    // keeps the layout of the files written before charts existed.
    uint32_t charts = 0;
    for (int i = 1; i <= book.sheetCount(); ++i)
        charts += uint32_t(book.sheet(i).charts().size());
    if (charts > 0) {
        w.u32(charts);
        for (int i = 1; i <= book.sheetCount(); ++i)
            for (const ChartObject& c : book.sheet(i).charts()) {
                w.u32(book.sheet(i).id());
                w.i32(c.id);
                for (const CellRange* r : {&c.frame, &c.data, &c.rowNames, &c.colNames})
                    writeRange(w, *r);
            }
    }
    return out;
}

} // namespace NativeFormat
