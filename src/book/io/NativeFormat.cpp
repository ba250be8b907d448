#include "NativeFormat.h"

#include "ByteStream.h"
#include "formula/CodeCache.h"
#include "formula/FormulaParser.h"
#include "formula/Recalculator.h"
#include "model/Formula.h"
#include "model/Workbook.h"

#include <QFile>
#include <QSaveFile>

#include <zlib.h>

#include <cmath>

namespace {

const char kMagic[8] = {'Z', 'M', 'B', 'O', 'O', 'K', '\0', '\x1A'};
constexpr int kHeaderSize = 8 + 2 + 2 + 4 + 4 + 4;
constexpr uint32_t kMaxBody = 1u << 30;
constexpr int kMaxSheets = 4096;
constexpr uint32_t kMaxFormats = 1u << 20;

QString badFile() {
    return QStringLiteral("Файл поврежден или не является книгой");
}

enum NumberCoding : uint8_t { Raw = 0, Whole = 1, Cents = 2 };

void writeFont(ByteWriter& w, const CellFont& f) {
    w.string(f.name);
    w.f64(f.size);
    w.u8(uint8_t((f.bold ? 1 : 0) | (f.italic ? 2 : 0) | (f.underline ? 4 : 0)));
    w.u32(f.color);
    w.i32(f.charset);
}

CellFont readFont(ByteReader& r) {
    CellFont f;
    f.name = r.string(256);
    f.size = r.f64();
    if (!(f.size >= 0 && f.size <= 1000))
        r.fail();
    const uint8_t flags = r.u8();
    if (flags > 7)
        r.fail();
    f.bold = flags & 1;
    f.italic = flags & 2;
    f.underline = flags & 4;
    f.color = r.u32();
    f.charset = r.ranged(0, 255);
    return f;
}

void writeRange(ByteWriter& w, const CellRange& c) {
    w.i32(c.row1);
    w.i32(c.col1);
    w.i32(c.row2);
    w.i32(c.col2);
}

CellRange readRange(ByteReader& r, bool allowInvalid) {
    CellRange c;
    c.row1 = r.ranged(0, kMaxRows);
    c.col1 = r.ranged(0, kMaxCols);
    c.row2 = r.ranged(0, kMaxRows);
    c.col2 = r.ranged(0, kMaxCols);
    if (!allowInvalid && !c.isValid())
        r.fail();
    return c;
}

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
    return out;
}

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

QByteArray save(const Workbook& book) {
    const QByteArray body = encodeBody(book);
    uLongf bound = compressBound(uLong(body.size()));
    QByteArray out(qsizetype(kHeaderSize + bound), Qt::Uninitialized);
    auto* dest = reinterpret_cast<Bytef*>(out.data() + kHeaderSize);
    if (compress2(dest, &bound, reinterpret_cast<const Bytef*>(body.constData()),
                  uLong(body.size()), 1) != Z_OK)
        return {};
    out.resize(qsizetype(kHeaderSize + bound));
    const uint32_t crc =
        uint32_t(crc32(0, reinterpret_cast<const Bytef*>(body.constData()), uInt(body.size())));
    QByteArray header;
    ByteWriter w(header);
    for (char c : kMagic)
        w.u8(uint8_t(c));
    w.u8(kVersion & 0xFF);
    w.u8(kVersion >> 8);
    w.u8(0);
    w.u8(0);
    w.u32(uint32_t(body.size()));
    w.u32(uint32_t(bound));
    w.u32(crc);
    std::memcpy(out.data(), header.constData(), kHeaderSize);
    return out;
}

bool load(Workbook& target, const QByteArray& bytes, QString* error) {
    auto failWith = [error](const QString& m) {
        if (error)
            *error = m;
        return false;
    };
    if (bytes.size() < kHeaderSize || std::memcmp(bytes.constData(), kMagic, 8) != 0)
        return failWith(QStringLiteral("Файл не является книгой"));
    ByteReader r(bytes.constData() + 8, size_t(kHeaderSize - 8));
    const uint32_t version = r.u8() | uint32_t(r.u8()) << 8;
    r.u8();
    r.u8();
    const uint32_t bodySize = r.u32();
    const uint32_t packedSize = r.u32();
    const uint32_t crc = r.u32();
    if (version != kVersion)
        return failWith(QStringLiteral("Неподдерживаемая версия файла книги: %1").arg(version));
    // zlib never expands more than about 1:1032, so a larger claim is a lie.
    if (packedSize != uint32_t(bytes.size() - kHeaderSize) || bodySize > kMaxBody ||
        uint64_t(bodySize) > uint64_t(packedSize) * 1040 + 64)
        return failWith(badFile());
    QByteArray body(qsizetype(bodySize), Qt::Uninitialized);
    uLongf got = bodySize;
    if (uncompress(reinterpret_cast<Bytef*>(body.data()), &got,
                   reinterpret_cast<const Bytef*>(bytes.constData() + kHeaderSize),
                   packedSize) != Z_OK ||
        got != bodySize)
        return failWith(badFile());
    if (uint32_t(crc32(0, reinterpret_cast<const Bytef*>(body.constData()), uInt(got))) != crc)
        return failWith(badFile());
    return decodeBody(target, body, error);
}

bool saveFile(const Workbook& book, const QString& path, QString* error) {
    const QByteArray bytes = save(book);
    QSaveFile f(path);
    if (bytes.isEmpty() || !f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() ||
        !f.commit()) {
        if (error)
            *error = QStringLiteral("Невозможно создать файл");
        return false;
    }
    return true;
}

bool loadFile(Workbook& target, const QString& path, QString* error) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("Невозможно открыть файл %1").arg(path);
        return false;
    }
    return load(target, f.readAll(), error);
}

} // namespace NativeFormat
