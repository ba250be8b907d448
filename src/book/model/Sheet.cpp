#include "Sheet.h"

#include "Formula.h"
#include "Workbook.h"
#include "format/EntryParser.h"
#include "format/NumberFormat.h"
#include "formula/FormulaParser.h"

#include <algorithm>

namespace {
const LineProps kDefaultLine;
}

Sheet::Sheet(Workbook* book, uint32_t id, const QString& name)
    : m_book(book), m_id(id), m_name(name) {}

Sheet::~Sheet() = default;

int Sheet::index() const {
    for (int i = 1; i <= m_book->sheetCount(); ++i)
        if (&m_book->sheet(i) == this)
            return i;
    return 0;
}

void Sheet::aboutToChange() {
    m_book->m_undo->noteSheet(*this);
}

void Sheet::changed() {
    m_book->setModified(true);
    m_book->notify({WorkbookChange::SheetSettings, index(), {}});
}

void Sheet::cellsChanged(const CellRange& range) {
    m_book->setModified(true);
    m_book->notify({WorkbookChange::Cells, index(), range});
}

CellValue Sheet::value(int row, int col) const {
    const Cell* c = m_cells.find(row, col);
    if (!c)
        return {};
    switch (c->kind) {
    case CellKind::Number:
        return CellValue::fromNumber(c->number);
    case CellKind::Text:
        return CellValue::fromText(*c->text);
    case CellKind::Formula: {
        const CellValue& v = c->formula->value;
        return v.type == CellValue::Text ? v : CellValue{v.type, v.error, v.number, {}};
    }
    default:
        return {};
    }
}

int Sheet::type(int row, int col) const {
    const Cell* c = m_cells.find(row, col);
    if (!c)
        return 0;
    switch (c->kind) {
    case CellKind::Number:
        return 1;
    case CellKind::Text:
        return 2;
    case CellKind::Formula:
        return c->formula->value.type == CellValue::Text ? -2 : -1;
    default:
        return 0;
    }
}

double Sheet::number(int row, int col) const {
    const CellValue v = value(row, col);
    if (v.type == CellValue::Number || v.type == CellValue::Boolean)
        return v.number;
    if (v.type == CellValue::Text) {
        double x;
        if (EntryParser::parseNumber(v.text, x))
            return x;
    }
    return 0;
}

QString Sheet::text(int row, int col) const {
    const CellValue v = value(row, col);
    switch (v.type) {
    case CellValue::Number:
        return NumberFormat::general(v.number);
    case CellValue::Text:
        return v.text;
    case CellValue::Boolean:
        return v.number != 0 ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    case CellValue::Error:
        return errorText(v.error);
    default:
        return {};
    }
}

QString Sheet::formula(int row, int col) const {
    const Cell* c = m_cells.find(row, col);
    if (!c || c->kind != CellKind::Formula)
        return {};
    return '=' + printFormula(*c->formula->code, *m_book, this, row, col);
}

QString Sheet::entry(int row, int col) const {
    const Cell* c = m_cells.find(row, col);
    if (!c)
        return {};
    switch (c->kind) {
    case CellKind::Formula:
        return formula(row, col);
    case CellKind::Text:
        return *c->text;
    case CellKind::Number: {
        const NumberFormat& nf = m_book->formats().numberFormat(c->format);
        if (nf.isDate())
            return EntryParser::dateEntry(c->number);
        return NumberFormat::general(c->number);
    }
    default:
        return {};
    }
}

QString Sheet::formattedText(int row, int col) const {
    const Cell* c = m_cells.find(row, col);
    if (!c || c->kind == CellKind::Empty)
        return {};
    if (m_options.showFormulas && c->kind == CellKind::Formula)
        return formula(row, col);
    const CellValue v = value(row, col);
    const NumberFormat& nf = m_book->formats().numberFormat(c->format);
    switch (v.type) {
    case CellValue::Number:
        if (v.number == 0 && !m_options.showZeros)
            return {};
        return nf.formatNumber(v.number);
    case CellValue::Text:
        return nf.formatText(v.text);
    case CellValue::Boolean:
        return v.number != 0 ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    case CellValue::Error:
        return errorText(v.error);
    default:
        return {};
    }
}

uint32_t Sheet::formatIndex(int row, int col) const {
    const Cell* c = m_cells.find(row, col);
    return c ? c->format : 0;
}

const CellFormat& Sheet::format(int row, int col) const {
    return m_book->formats().at(formatIndex(row, col));
}

void Sheet::setMaxRow(int rows) {
    aboutToChange();
    m_maxRow = std::clamp(rows, 1, kMaxRows);
    m_book->notify({WorkbookChange::RowsColumns, index(), {}});
}

void Sheet::setMaxCol(int cols) {
    aboutToChange();
    m_maxCol = std::clamp(cols, 1, kMaxCols);
    m_book->notify({WorkbookChange::RowsColumns, index(), {}});
}

const LineProps& Sheet::rowProps(int row) const {
    return (row >= 1 && row <= int(m_rowProps.size())) ? m_rowProps[size_t(row - 1)] : kDefaultLine;
}

const LineProps& Sheet::colProps(int col) const {
    return (col >= 1 && col <= int(m_colProps.size())) ? m_colProps[size_t(col - 1)] : kDefaultLine;
}

LineProps& Sheet::rowSlot(int row) {
    if (row > int(m_rowProps.size()))
        m_rowProps.resize(size_t(row));
    return m_rowProps[size_t(row - 1)];
}

LineProps& Sheet::colSlot(int col) {
    if (col > int(m_colProps.size()))
        m_colProps.resize(size_t(col));
    return m_colProps[size_t(col - 1)];
}

void Sheet::setRowProps(int row, const LineProps& props) {
    if (row < 1 || row > kMaxRows || rowProps(row) == props)
        return;
    aboutToChange();
    rowSlot(row) = props;
    m_book->setModified(true);
    m_book->notify({WorkbookChange::RowsColumns, index(), CellRange(row, 1, row, kMaxCols)});
}

void Sheet::setColProps(int col, const LineProps& props) {
    if (col < 1 || col > kMaxCols || colProps(col) == props)
        return;
    aboutToChange();
    colSlot(col) = props;
    m_book->setModified(true);
    m_book->notify({WorkbookChange::RowsColumns, index(), CellRange(1, col, kMaxRows, col)});
}

void Sheet::setRowHidden(int row, bool hidden) {
    LineProps p = rowProps(row);
    p.hidden = hidden;
    setRowProps(row, p);
}

void Sheet::setColHidden(int col, bool hidden) {
    LineProps p = colProps(col);
    p.hidden = hidden;
    setColProps(col, p);
}

int Sheet::rowHeight(int row) const {
    const int s = rowProps(row).size;
    return s < 0 ? m_defaultRowHeight : s;
}

int Sheet::colWidth(int col) const {
    const int s = colProps(col).size;
    return s < 0 ? m_defaultColWidth : s;
}

void Sheet::setRowHeight(int row, int twips) {
    LineProps p = rowProps(row);
    p.size = std::clamp(twips, -1, 8190);
    setRowProps(row, p);
}

void Sheet::setColWidth(int col, int width) {
    LineProps p = colProps(col);
    p.size = std::clamp(width, -1, 255 * 256);
    setColProps(col, p);
}

void Sheet::setRowHeading(int row, const QString& text) {
    LineProps p = rowProps(row);
    p.heading = text;
    setRowProps(row, p);
}

void Sheet::setColHeading(int col, const QString& text) {
    LineProps p = colProps(col);
    p.heading = text;
    setColProps(col, p);
}

void Sheet::setDefaultRowHeight(int twips) {
    aboutToChange();
    m_defaultRowHeight = std::clamp(twips, 0, 8190);
    m_book->notify({WorkbookChange::RowsColumns, index(), {}});
}

void Sheet::setDefaultColWidth(int width) {
    aboutToChange();
    m_defaultColWidth = std::clamp(width, 0, 255 * 256);
    m_book->notify({WorkbookChange::RowsColumns, index(), {}});
}

void Sheet::setOptions(const SheetOptions& options) {
    if (m_options == options)
        return;
    aboutToChange();
    m_options = options;
    m_options.zoom = std::clamp(m_options.zoom, 10, 400);
    m_options.frozenRows = std::clamp(m_options.frozenRows, 0, kMaxRows);
    m_options.frozenCols = std::clamp(m_options.frozenCols, 0, kMaxCols);
    changed();
}

void Sheet::setViewPosition(int topRow, int leftCol, int activeRow, int activeCol,
                            const CellRange& selection) {
    m_options.topRow = std::clamp(topRow, 1, kMaxRows);
    m_options.leftCol = std::clamp(leftCol, 1, kMaxCols);
    m_options.activeRow = std::clamp(activeRow, 1, kMaxRows);
    m_options.activeCol = std::clamp(activeCol, 1, kMaxCols);
    m_options.selection = selection;
}

void Sheet::setDefaultFont(const CellFont& font) {
    aboutToChange();
    m_defaultFont = font;
    changed();
}

void Sheet::setPrintSettings(const PrintSettings& print) {
    aboutToChange();
    m_print = print;
    m_print.scale = std::clamp(m_print.scale, 10, 400);
    changed();
}

static void toggle(QList<int>& list, int value, bool on) {
    const bool has = list.contains(value);
    if (on && !has) {
        list.append(value);
        std::sort(list.begin(), list.end());
    } else if (!on && has) {
        list.removeAll(value);
    }
}

void Sheet::setRowBreak(int row, bool on) {
    aboutToChange();
    toggle(m_rowBreaks, row, on);
    changed();
}

void Sheet::setColBreak(int col, bool on) {
    aboutToChange();
    toggle(m_colBreaks, col, on);
    changed();
}

void Sheet::clearPageBreaks() {
    aboutToChange();
    m_rowBreaks.clear();
    m_colBreaks.clear();
    changed();
}

void Sheet::addMergedRange(const CellRange& range) {
    aboutToChange();
    removeMergedRanges(range);
    m_merged.append(range.normalized());
    changed();
}

void Sheet::removeMergedRanges(const CellRange& overlapping) {
    aboutToChange();
    m_merged.removeIf([&](const CellRange& r) { return r.intersects(overlapping); });
    changed();
}

int Sheet::addDropDown(const QString& name, const CellRange& position, const QString& items) {
    aboutToChange();
    DropDownObject o;
    o.id = m_nextObjectId++;
    o.name = name;
    o.position = position;
    o.items = items;
    m_objects.push_back(o);
    changed();
    return o.id;
}

int Sheet::findObject(const QString& name) const {
    for (const auto& o : m_objects)
        if (o.name.compare(name, Qt::CaseInsensitive) == 0)
            return o.id;
    return 0;
}

const DropDownObject* Sheet::object(int id) const {
    for (const auto& o : m_objects)
        if (o.id == id)
            return &o;
    return nullptr;
}

bool Sheet::setObjectItems(int id, const QString& items) {
    auto* o = const_cast<DropDownObject*>(object(id));
    if (!o)
        return false;
    aboutToChange();
    o->items = items;
    if (o->selected > o->itemList().size())
        o->selected = 0;
    changed();
    return true;
}

bool Sheet::setObjectSelected(int id, int selected) {
    auto* o = const_cast<DropDownObject*>(object(id));
    if (!o || selected < 0 || selected > o->itemList().size())
        return false;
    aboutToChange();
    o->selected = selected;
    changed();
    return true;
}

bool Sheet::setObjectName(int id, const QString& name) {
    auto* o = const_cast<DropDownObject*>(object(id));
    if (!o)
        return false;
    aboutToChange();
    o->name = name;
    changed();
    return true;
}

bool Sheet::deleteObject(int id) {
    const auto it = std::find_if(m_objects.begin(), m_objects.end(),
                                 [id](const DropDownObject& o) { return o.id == id; });
    if (it == m_objects.end())
        return false;
    m_objects.erase(it);
    changed();
    return true;
}

int Sheet::addChart(const ChartObject& chart) {
    aboutToChange();
    ChartObject c = chart;
    c.id = m_nextObjectId++;
    c.frame = c.frame.normalized();
    m_charts.push_back(c);
    changed();
    return c.id;
}

const ChartObject* Sheet::chart(int id) const {
    for (const auto& c : m_charts)
        if (c.id == id)
            return &c;
    return nullptr;
}

int Sheet::chartAt(int row, int col) const {
    for (auto it = m_charts.rbegin(); it != m_charts.rend(); ++it)
        if (it->frame.contains(row, col))
            return it->id;
    return 0;
}

bool Sheet::deleteChart(int id) {
    const auto it = std::find_if(m_charts.begin(), m_charts.end(),
                                 [id](const ChartObject& c) { return c.id == id; });
    if (it == m_charts.end())
        return false;
    aboutToChange();
    m_charts.erase(it);
    changed();
    return true;
}

const ValidationRule* Sheet::ruleAt(int row, int col) const {
    for (auto it = m_rules.rbegin(); it != m_rules.rend(); ++it)
        if (it->range.contains(row, col))
            return &*it;
    return nullptr;
}
