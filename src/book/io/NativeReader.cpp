#include "NativeCodec.h"
#include "NativeFormat.h"
#include "formula/CodeCache.h"
#include "formula/FormulaParser.h"
#include "formula/Recalculator.h"
#include "model/Formula.h"
#include "model/Workbook.h"

using namespace NativeCodec;

// Reads a body into a fresh workbook; friend of Workbook and Sheet.
class NativeReader {
public:
    NativeReader(Workbook& book, ByteReader& r) : m_book(book), m_r(r) {}
    bool read();

private:
    bool readFormats();
    bool readSheet(Sheet& s);
    bool readLines(Sheet& s, bool rows);
    bool readCells(Sheet& s);
    bool readCharts();

    struct PendingFormula {
        Sheet* sheet;
        int row, col;
        QString text;
        CellValue value;
    };
    Workbook& m_book;
    ByteReader& m_r;
    std::vector<PendingFormula> m_formulas;
    struct PendingRule {
        Sheet* sheet;
        CellRange range;
        QString condition, message;
    };
    std::vector<PendingRule> m_rules;
};

bool NativeReader::readFormats() {
    const uint32_t n = m_r.u32();
    if (!m_r.ok() || n == 0 || n > kMaxFormats || n > m_r.remaining() / 40)
        return false;
    m_book.m_formats.clear();
    for (uint32_t i = 0; i < n && m_r.ok(); ++i) {
        CellFormat f;
        f.numberFormat = m_r.string(1024);
        f.font = readFont(m_r);
        const uint8_t h = m_r.u8(), v = m_r.u8();
        if (h > uint8_t(HAlign::CenterAcross) || v > uint8_t(VAlign::Bottom))
            m_r.fail();
        f.hAlign = HAlign(h);
        f.vAlign = VAlign(v);
        f.wordWrap = m_r.boolean();
        for (BorderSide* b : {&f.left, &f.top, &f.right, &f.bottom}) {
            const uint8_t st = m_r.u8();
            if (st > uint8_t(BorderStyle::Hair))
                m_r.fail();
            b->style = BorderStyle(st);
            b->color = m_r.u32();
        }
        f.pattern = m_r.ranged(0, 64);
        f.patternFg = m_r.u32();
        f.patternBg = m_r.u32();
        f.locked = m_r.boolean();
        // Index i must stay index i; a duplicate entry would shift every later one.
        if (i == 0 ? !(f == CellFormat()) : m_book.m_formats.intern(f) != i)
            m_r.fail();
    }
    return m_r.ok();
}

bool NativeReader::readLines(Sheet& s, bool rows) {
    const uint32_t n = m_r.u32();
    const int limit = rows ? kMaxRows : kMaxCols;
    if (!m_r.ok() || n > uint32_t(limit) || n > m_r.remaining() / 13)
        return false;
    int prev = 0;
    for (uint32_t i = 0; i < n && m_r.ok(); ++i) {
        const int index = m_r.ranged(prev + 1, limit);
        LineProps p;
        p.size = m_r.ranged(-1, rows ? 8190 : 255 * 256);
        p.hidden = m_r.boolean();
        p.heading = m_r.string(1024);
        if (!m_r.ok())
            break;
        (rows ? s.rowSlot(index) : s.colSlot(index)) = p;
        prev = index;
    }
    return m_r.ok();
}

bool NativeReader::readCells(Sheet& s) {
    const uint64_t rows = m_r.varint();
    if (!m_r.ok() || rows > uint64_t(kMaxRows) || rows > m_r.remaining() / 3)
        return false;
    CellStore& store = s.m_cells;
    const uint32_t formats = m_book.m_formats.size();
    int row = 0;
    for (uint64_t i = 0; i < rows; ++i) {
        const uint64_t delta = m_r.varint();
        const uint64_t first = m_r.varint();
        const uint64_t count = m_r.varint();
        if (!m_r.ok() || delta == 0 || delta > uint64_t(kMaxRows - row) || first < 1 ||
            first > uint64_t(kMaxCols) || count == 0 || first + count - 1 > uint64_t(kMaxCols) ||
            count > m_r.remaining())
            return false;
        row += int(delta);
        store.reserveRow(row, int(first), int(first + count - 1));
        CellRow* cr = store.rowAt(row);
        for (uint64_t k = 0; k < count; ++k) {
            const uint8_t tag = m_r.u8();
            const uint8_t kind = tag & 3;
            const uint8_t coding = (tag >> 3) & 3;
            if (tag >> 5 || coding == 3 || (coding != Raw && kind != uint8_t(CellKind::Number)))
                return false;
            Cell& c = cr->cells[size_t(k)];
            if (tag & 4) {
                const uint64_t f = m_r.varint();
                if (f == 0 || f >= formats)
                    return false;
                c.format = uint32_t(f);
            }
            const int col = int(first + k);
            switch (CellKind(kind)) {
            case CellKind::Number:
                c.kind = CellKind::Number;
                if (coding == Whole)
                    c.number = double(m_r.svarint());
                else if (coding == Cents)
                    c.number = double(m_r.svarint()) / 100;
                else
                    c.number = m_r.f64();
                break;
            case CellKind::Text: {
                QString t = m_r.string();
                if (!m_r.ok())
                    return false;
                c.text = new QString(std::move(t));
                c.kind = CellKind::Text;
                break;
            }
            case CellKind::Formula: {
                PendingFormula pf{&s, row, col, m_r.string(8192), {}};
                const uint8_t vt = m_r.u8();
                if (vt > CellValue::Error)
                    return false;
                pf.value.type = CellValue::Type(vt);
                if (vt == CellValue::Text) {
                    pf.value.text = m_r.string();
                } else if (vt == CellValue::Error) {
                    const uint8_t e = m_r.u8();
                    if (e == 0 || e > uint8_t(CellError::Num))
                        return false;
                    pf.value.error = CellError(e);
                } else {
                    pf.value.number = m_r.f64();
                }
                m_formulas.push_back(std::move(pf));
                break;
            }
            default:
                break;
            }
            if (!m_r.ok())
                return false;
        }
    }
    return m_r.ok();
}

bool NativeReader::readSheet(Sheet& s) {
    s.m_inGroup = m_r.boolean();
    s.m_maxRow = m_r.ranged(1, kMaxRows);
    s.m_maxCol = m_r.ranged(1, kMaxCols);
    s.m_defaultRowHeight = m_r.ranged(0, 8190);
    s.m_defaultColWidth = m_r.ranged(0, 255 * 256);
    SheetOptions& o = s.m_options;
    o.frozenRows = m_r.ranged(0, kMaxRows);
    o.frozenCols = m_r.ranged(0, kMaxCols);
    o.zoom = m_r.ranged(10, 400);
    const uint8_t flags = m_r.u8();
    if (flags > 63)
        m_r.fail();
    o.showZeros = flags & 1;
    o.showFormulas = flags & 2;
    o.showRowHeadings = flags & 4;
    o.showColHeadings = flags & 8;
    o.showGrid = flags & 16;
    o.protection = flags & 32;
    o.topRow = m_r.ranged(1, kMaxRows);
    o.leftCol = m_r.ranged(1, kMaxCols);
    o.activeRow = m_r.ranged(1, kMaxRows);
    o.activeCol = m_r.ranged(1, kMaxCols);
    o.selection = readRange(m_r, true);
    s.m_defaultFont = readFont(m_r);
    PrintSettings& p = s.m_print;
    const uint8_t pf = m_r.u8();
    if (pf > 127)
        m_r.fail();
    p.landscape = pf & 1;
    p.noColor = pf & 2;
    p.centerHorizontally = pf & 4;
    p.centerVertically = pf & 8;
    p.gridLines = pf & 16;
    p.rowHeadings = pf & 32;
    p.colHeadings = pf & 64;
    p.scale = m_r.ranged(10, 400);
    for (double* m : {&p.leftMargin, &p.rightMargin, &p.topMargin, &p.bottomMargin, &p.headerMargin,
                      &p.footerMargin}) {
        *m = m_r.f64();
        if (!(*m >= 0 && *m <= 100))
            m_r.fail();
    }
    p.header = m_r.string(4096);
    p.footer = m_r.string(4096);
    p.printArea = readRange(m_r, true);
    for (QList<int>* breaks : {&s.m_rowBreaks, &s.m_colBreaks}) {
        const uint32_t n = m_r.u32();
        if (n > uint32_t(kMaxRows) || n > m_r.remaining() / 4)
            return false;
        for (uint32_t i = 0; i < n && m_r.ok(); ++i)
            breaks->append(m_r.ranged(1, kMaxRows));
    }
    uint32_t n = m_r.u32();
    if (!m_r.ok() || n > m_r.remaining() / 16)
        return false;
    for (uint32_t i = 0; i < n && m_r.ok(); ++i)
        s.m_merged.append(readRange(m_r, false));
    n = m_r.u32();
    if (!m_r.ok() || n > m_r.remaining() / 32)
        return false;
    for (uint32_t i = 0; i < n && m_r.ok(); ++i) {
        DropDownObject d;
        d.id = m_r.ranged(1, 1 << 30);
        d.name = m_r.string(1024);
        d.position = readRange(m_r, false);
        d.items = m_r.string();
        d.selected = m_r.ranged(0, 1 << 20);
        if (s.object(d.id))
            m_r.fail();
        s.m_nextObjectId = std::max(s.m_nextObjectId, d.id + 1);
        s.m_objects.push_back(d);
    }
    n = m_r.u32();
    if (!m_r.ok() || n > m_r.remaining() / 24)
        return false;
    for (uint32_t i = 0; i < n && m_r.ok(); ++i) {
        PendingRule rule{&s, readRange(m_r, false), m_r.string(8192), {}};
        rule.message = m_r.string(8192);
        m_rules.push_back(rule);
    }
    if (!m_r.ok() || !readLines(s, true) || !readLines(s, false))
        return false;
    return readCells(s);
}

bool NativeReader::readCharts() {
    const uint32_t n = m_r.u32();
    if (!m_r.ok() || n == 0 || n > m_r.remaining() / 72)
        return false;
    for (uint32_t i = 0; i < n && m_r.ok(); ++i) {
        Sheet* s = m_book.sheetById(m_r.u32());
        ChartObject c;
        c.id = m_r.ranged(1, 1 << 30);
        c.frame = readRange(m_r, false);
        c.data = readRange(m_r, false);
        c.rowNames = readRange(m_r, true);
        c.colNames = readRange(m_r, true);
        if (!s || s->chart(c.id) || s->object(c.id))
            return false;
        s->m_nextObjectId = std::max(s->m_nextObjectId, c.id + 1);
        s->m_charts.push_back(c);
    }
    return m_r.ok();
}

bool NativeReader::read() {
    const uint32_t sheetCount = m_r.u32();
    const uint32_t active = m_r.u32();
    const uint32_t nextId = m_r.u32();
    m_book.m_autoRecalc = m_r.boolean();
    m_book.m_showTabs = m_r.boolean();
    if (!m_r.ok() || sheetCount < 1 || sheetCount > uint32_t(kMaxSheets) || active < 1 ||
        active > sheetCount || nextId <= sheetCount)
        return false;
    if (!readFormats())
        return false;
    m_book.m_sheets.clear();
    m_book.m_nextSheetId = nextId;
    for (uint32_t i = 0; i < sheetCount; ++i) {
        const uint32_t id = m_r.u32();
        const QString name = m_r.string(64);
        if (!m_r.ok() || id == 0 || id >= nextId || m_book.sheetById(id) || name.isEmpty() ||
            m_book.sheetIndex(name) != 0)
            return false;
        m_book.m_sheets.push_back(std::make_unique<Sheet>(&m_book, id, name));
        if (!readSheet(*m_book.m_sheets.back()))
            return false;
    }
    m_book.m_active = int(active);
    if (m_r.remaining() != 0 && !readCharts())
        return false;
    if (m_r.remaining() != 0)
        return false;
    // Formulas and conditions name sheets, so they compile once every sheet exists.
    for (PendingFormula& pf : m_formulas) {
        auto code = FormulaParser(m_book, pf.sheet, pf.row, pf.col).compile(pf.text);
        if (!code)
            return false;
        Cell& c = *pf.sheet->m_cells.find(pf.row, pf.col);
        c.kind = CellKind::Formula;
        c.formula = new Formula;
        c.formula->code = m_book.m_codes->intern(std::move(code));
        c.formula->value = pf.value;
        c.formula->sheet = pf.sheet;
        c.formula->row = pf.row;
        c.formula->col = pf.col;
    }
    for (PendingRule& pr : m_rules) {
        auto code =
            FormulaParser(m_book, pr.sheet, pr.range.row1, pr.range.col1).compile(pr.condition);
        if (!code)
            return false;
        pr.sheet->m_rules.push_back({pr.range, std::move(code), pr.message});
    }
    return true;
}

namespace NativeFormat {

bool decodeBody(Workbook& target, const QByteArray& body, QString* error) {
    Workbook fresh;
    ByteReader r(body.constData(), size_t(body.size()));
    NativeReader reader(fresh, r);
    if (!reader.read() || !r.ok()) {
        if (error)
            *error = badFile();
        return false;
    }
    target.swapContents(fresh);
    target.recalculator().loadedClean();
    return true;
}

} // namespace NativeFormat
