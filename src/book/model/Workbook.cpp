#include "Workbook.h"

#include "Formula.h"
#include "format/EntryParser.h"
#include "format/NumberFormat.h"
#include "formula/CodeCache.h"
#include "formula/FormulaParser.h"
#include "formula/Recalculator.h"

#include <algorithm>

Workbook::Workbook(int sheetCount)
    : m_recalc(std::make_unique<Recalculator>(*this)), m_codes(std::make_unique<CodeCache>()),
      m_undo(std::make_unique<UndoStack>(*this)) {
    reset(sheetCount);
}

Workbook::~Workbook() {
    const auto observers = m_observers;
    for (WorkbookObserver* o : observers)
        o->workbookDestroyed();
    // Sheets go first: the recalculator's index points into their cells.
    m_sheets.clear();
}

void Workbook::reset(int sheetCount) {
    m_undo->clear();
    m_recalc->structureChanged();
    m_sheets.clear();
    m_formats.clear();
    m_nextSheetId = 1;
    for (int i = 0; i < std::max(1, sheetCount); ++i) {
        const uint32_t id = m_nextSheetId++;
        m_sheets.push_back(std::make_unique<Sheet>(this, id, QStringLiteral("Лист%1").arg(i + 1)));
    }
    m_active = 1;
    m_modified = false;
    m_recalc->structureChanged();
    notify({WorkbookChange::Everything, 0, {}});
}

void Workbook::swapContents(Workbook& other) {
    m_undo->clear();
    m_recalc->structureChanged();
    other.m_recalc->structureChanged();
    std::swap(m_sheets, other.m_sheets);
    std::swap(m_active, other.m_active);
    std::swap(m_nextSheetId, other.m_nextSheetId);
    std::swap(m_formats, other.m_formats);
    std::swap(m_codes, other.m_codes);
    std::swap(m_autoRecalc, other.m_autoRecalc);
    std::swap(m_showTabs, other.m_showTabs);
    for (auto& s : m_sheets)
        s->m_book = this;
    for (auto& s : other.m_sheets)
        s->m_book = &other;
    m_modified = false;
    notify({WorkbookChange::Everything, 0, {}});
}

Sheet* Workbook::sheetById(uint32_t id) const {
    for (const auto& s : m_sheets)
        if (s->id() == id)
            return s.get();
    return nullptr;
}

int Workbook::sheetIndex(const QString& name) const {
    for (size_t i = 0; i < m_sheets.size(); ++i)
        if (m_sheets[i]->name().compare(name, Qt::CaseInsensitive) == 0)
            return int(i + 1);
    return 0;
}

void Workbook::setActiveSheet(int index) {
    if (!hasSheet(index) || index == m_active)
        return;
    m_active = index;
    notify({WorkbookChange::ActiveSheet, index, {}});
}

QString Workbook::uniqueSheetName() const {
    for (int n = sheetCount() + 1;; ++n) {
        const QString name = QStringLiteral("Лист%1").arg(n);
        if (sheetIndex(name) == 0)
            return name;
    }
}

Sheet& Workbook::insertSheet(int before, const QString& name) {
    before = std::clamp(before, 1, sheetCount() + 1);
    m_undo->noteSnapshot();
    QString n = name.trimmed();
    if (n.isEmpty() || sheetIndex(n) != 0)
        n = uniqueSheetName();
    m_sheets.insert(m_sheets.begin() + (before - 1),
                    std::make_unique<Sheet>(this, m_nextSheetId++, n));
    if (m_active >= before)
        ++m_active;
    m_recalc->structureChanged();
    m_modified = true;
    notify({WorkbookChange::SheetList, before, {}});
    afterEdit();
    return sheet(before);
}

bool Workbook::deleteSheet(int index) {
    if (!hasSheet(index) || sheetCount() == 1)
        return false;
    m_undo->noteSnapshot();
    m_recalc->structureChanged();
    m_sheets.erase(m_sheets.begin() + (index - 1));
    if (m_active > index || m_active > sheetCount())
        --m_active;
    m_active = std::clamp(m_active, 1, sheetCount());
    m_modified = true;
    notify({WorkbookChange::SheetList, index, {}});
    afterEdit();
    return true;
}

bool Workbook::renameSheet(int index, const QString& name) {
    const QString n = name.trimmed();
    if (!hasSheet(index) || n.isEmpty() || n.size() > 31)
        return false;
    const int other = sheetIndex(n);
    if (other != 0 && other != index)
        return false;
    m_undo->noteSnapshot();
    sheet(index).setName(n);
    m_modified = true;
    notify({WorkbookChange::SheetList, index, {}});
    return true;
}

void Workbook::moveSheet(int from, int to) {
    if (!hasSheet(from) || !hasSheet(to) || from == to)
        return;
    m_undo->noteSnapshot();
    Sheet* activeSheetPtr = m_sheets[size_t(m_active - 1)].get();
    auto moved = std::move(m_sheets[size_t(from - 1)]);
    m_sheets.erase(m_sheets.begin() + (from - 1));
    m_sheets.insert(m_sheets.begin() + (to - 1), std::move(moved));
    for (int i = 1; i <= sheetCount(); ++i)
        if (&sheet(i) == activeSheetPtr)
            m_active = i;
    m_modified = true;
    notify({WorkbookChange::SheetList, 0, {}});
}

bool Workbook::isInEditGroup(int index) const {
    return hasSheet(index) && (index == m_active || sheet(index).m_inGroup);
}

void Workbook::setInEditGroup(int index, bool on) {
    if (!hasSheet(index))
        return;
    sheet(index).m_inGroup = on;
    notify({WorkbookChange::SheetList, index, {}});
}

QList<int> Workbook::editGroup() const {
    QList<int> out;
    for (int i = 1; i <= sheetCount(); ++i)
        if (isInEditGroup(i))
            out.append(i);
    return out;
}

QList<int> Workbook::targetsOf(int) const {
    return editGroup();
}

void Workbook::afterEdit() {
    if (m_updateDepth > 0 || !m_autoRecalc || !m_recalc->hasPending())
        return;
    const auto touched = m_recalc->recalcPending();
    for (const Sheet* s : touched)
        notify({WorkbookChange::Cells, s->index(), {}});
}

void Workbook::writeCell(Sheet& s, int row, int col, Cell content, uint32_t newFormat,
                         bool keepFormat) {
    if (row < 1 || row > kMaxRows || col < 1 || col > kMaxCols) {
        releaseCellContent(content);
        return;
    }
    Cell* existing = s.m_cells.find(row, col);
    if (existing && existing->kind == CellKind::Formula)
        m_recalc->formulaRemoved(existing->formula);
    if (!existing && content.kind == CellKind::Empty && (keepFormat || newFormat == 0))
        return;
    m_undo->noteCell(s, row, col);
    Cell& slot = existing ? *existing : s.m_cells.obtain(row, col);
    const uint32_t format = keepFormat ? slot.format : newFormat;
    releaseCellContent(slot);
    slot = content;
    slot.format = format;
    if (slot.kind == CellKind::Formula) {
        slot.formula->code = m_codes->intern(std::move(slot.formula->code));
        slot.formula->sheet = &s;
        slot.formula->row = row;
        slot.formula->col = col;
        m_recalc->formulaAdded(slot.formula);
    }
    m_recalc->valueChanged(&s, row, col);
    s.cellsChanged(CellRange::cell(row, col));
}

void Workbook::writeEntry(Sheet& s, int row, int col, const QString& entry) {
    const ParsedEntry p = EntryParser::parse(entry);
    Cell c;
    // A cell formatted as text keeps what is typed as it stands: codes keep their
    // leading zeros, "=..." stays a caption.
    if (p.kind != ParsedEntry::Empty && m_formats.numberFormat(s.formatIndex(row, col)).isText()) {
        c.kind = CellKind::Text;
        c.text = new QString(p.kind == ParsedEntry::Text ? p.text : entry);
        writeCell(s, row, col, c, 0, true);
        return;
    }
    switch (p.kind) {
    case ParsedEntry::Empty:
        break;
    case ParsedEntry::Number: {
        c.kind = CellKind::Number;
        c.number = p.number;
        if (!p.numberFormat.isEmpty()) {
            // A date keeps a date format the cell already has ("mmm/yy" of a period cell).
            const uint32_t current = s.formatIndex(row, col);
            const NumberFormat& nf = m_formats.numberFormat(current);
            const bool keep = p.isDate ? nf.isDate() : !nf.isGeneral();
            if (!keep) {
                CellFormat f = m_formats.at(current);
                f.numberFormat = p.numberFormat;
                writeCell(s, row, col, c, m_formats.intern(f), false);
                return;
            }
        }
        break;
    }
    case ParsedEntry::Text:
        c.kind = CellKind::Text;
        c.text = new QString(p.text);
        break;
    case ParsedEntry::Formula: {
        FormulaParser parser(*this, &s, row, col);
        auto code = parser.compile(p.text);
        if (!code || !parser.missingSheet().isEmpty()) {
            // Not a formula after all, or one that would lose its reference to a sheet
            // mistyped: kept as the text typed.
            c.kind = CellKind::Text;
            c.text = new QString(entry);
            break;
        }
        c.kind = CellKind::Formula;
        c.formula = new Formula;
        c.formula->code = std::move(code);
        break;
    }
    }
    writeCell(s, row, col, c, 0, true);
}

void Workbook::setAutoRecalc(bool on) {
    m_autoRecalc = on;
    if (on)
        afterEdit();
}

void Workbook::recalc() {
    const auto touched = m_recalc->recalcPending();
    for (const Sheet* s : touched)
        notify({WorkbookChange::Cells, s->index(), {}});
}

void Workbook::recalcAll() {
    const auto touched = m_recalc->recalcAll();
    for (const Sheet* s : touched)
        notify({WorkbookChange::Cells, s->index(), {}});
}

QList<CellPosition> Workbook::circularCells() const {
    QList<CellPosition> out;
    for (int i = 1; i <= sheetCount(); ++i)
        sheet(i).cells().forEach([&](int r, int c, const Cell& cell) {
            if (cell.kind == CellKind::Formula && cell.formula->circular)
                out.append({i, r, c});
        });
    return out;
}

void Workbook::addObserver(WorkbookObserver* observer) {
    if (std::find(m_observers.begin(), m_observers.end(), observer) == m_observers.end())
        m_observers.push_back(observer);
}

void Workbook::removeObserver(WorkbookObserver* observer) {
    std::erase(m_observers, observer);
}

void Workbook::beginUpdate() {
    ++m_updateDepth;
}

void Workbook::endUpdate() {
    if (m_updateDepth > 0 && --m_updateDepth == 0) {
        afterEdit();
        m_undo->editReported();
    }
}

void Workbook::notify(const WorkbookChange& change) {
    const auto observers = m_observers;
    for (WorkbookObserver* o : observers)
        o->workbookChanged(change);
    if (m_updateDepth == 0)
        m_undo->editReported();
}
