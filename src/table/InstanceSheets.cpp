#include "InstanceSheets.h"

#include "DbError.h"
#include "DbStatement.h"
#include "DbTransaction.h"
#include "IdentModel.h"
#include "Prompter.h"
#include "TableRef.h"
#include "TdmMSSQL.h"
#include "model/Workbook.h"

#include <algorithm>

using namespace TableLayout;

InstanceSheets::InstanceSheets(TdmMSSQL& dm, IdentModel& model, Prompter& prompter, TableRef& table)
    : m_dm(dm), m_model(model), m_prompter(prompter), m_table(table) {}

Workbook& InstanceSheets::book() const {
    return m_model.book();
}

void InstanceSheets::removeObjectListLink() {
    if (m_titleMode || m_table.kodElmt == 0)
        return;
    try {
        DbStatement& q = m_dm.query(QStringLiteral("quCommonTAB"));
        q.setSql(QStringLiteral("Update CAT set kodspis = 0 where kodelmt = ") +
                 QString::number(m_table.kodElmt));
        q.clearParams();
        RunInTransaction(m_dm.dbTab, [&] { q.execute(); });
        m_table.kodSpis = 0;
        DbStatement& cat = m_dm.query(QStringLiteral("quCAT"));
        if (cat.isOpen()) {
            cat.close();
            cat.open();
            cat.locate(QStringLiteral("KODELMT"), m_table.kodElmt);
        }
    } catch (const DbError&) {
        // The sheets change all the same; the link is only advice for expanding.
        RollbackQuietly(m_dm.dbTab);
    }
}

bool InstanceSheets::insertSheet() {
    Workbook& b = book();
    const int at = b.activeSheetIndex();
    if (!m_model.isInstanceSheet(at))
        return false;
    removeObjectListLink();

    b.beginUpdate();
    Sheet& fresh = b.insertSheet(at);
    const int from = at + 1;
    const Sheet& source = b.sheet(from);
    const int lastHeader = m_model.lastHeaderRow();
    const int lastCol = std::max(source.lastCol(), kSideCol);
    const int lastRow = source.lastRow();

    fresh.setDefaultFont(source.defaultFont());
    fresh.setDefaultRowHeight(source.defaultRowHeight());
    fresh.setDefaultColWidth(source.defaultColWidth());
    fresh.setMaxCol(source.maxCol());
    SheetOptions options = source.options();
    // Sizes and hidden flags keep the new instance looking like the others.
    for (int r = 1; r <= source.lastRowProps(); ++r)
        fresh.setRowProps(r, source.rowProps(r));
    for (int c = 1; c <= source.lastColProps(); ++c)
        fresh.setColProps(c, source.colProps(c));

    CopyOptions copy;
    b.copyRange(b, from, CellRange(1, 1, lastHeader, lastCol), at, 1, 1, copy);
    if (lastRow > lastHeader) {
        b.copyRange(b, from, CellRange(lastHeader + 1, kSideCol, lastRow, kSideCol), at,
                    lastHeader + 1, kSideCol, copy);
        for (int c = kFirstDataCol; c <= lastCol; ++c)
            if (!m_model.isDataColumn(c))
                b.copyRange(b, from, CellRange(lastHeader + 1, c, lastRow, c), at, lastHeader + 1,
                            c, copy);
    }
    for (const DropDownObject& o : source.objects()) {
        const int id = fresh.addDropDown(o.name, o.position, o.items);
        fresh.setObjectSelected(id, o.selected);
    }
    b.clearRange(at, CellRange(kFirstTitleRow, 1, kLastTitleRow, kColumnCount), ClearWhat::Values);

    for (int r = 1; r < m_model.firstShownTitleRow(); ++r)
        fresh.setRowHidden(r, true);
    fresh.setColHidden(kSettingsCol, true);
    for (int r = kFirstHeaderRow; r <= lastHeader; ++r)
        fresh.setRowHeading(r, QStringLiteral("---"));
    options.activeRow = lastHeader + 1;
    options.activeCol = kFirstDataCol;
    options.selection = CellRange::cell(options.activeRow, options.activeCol);
    fresh.setOptions(options);
    b.setActiveSheet(at);
    b.endUpdate();
    return true;
}

bool InstanceSheets::deleteSelected() {
    Workbook& b = book();
    const int active = b.activeSheetIndex();
    if (b.sheetCount() <= 3 && active == 1) {
        m_prompter.info(QStringLiteral("Лист только один: удалить нельзя"));
        return false;
    }
    if (!m_model.isInstanceSheet(active)) {
        m_prompter.info(QStringLiteral("Служебный лист удалить нельзя"));
        return false;
    }
    removeObjectListLink();

    QList<int> selected = b.editGroup();
    std::sort(selected.begin(), selected.end());
    const int instances = m_model.instanceCount();
    const int first = selected.isEmpty() ? active : selected.first();
    int last = first;
    while (last + 1 <= instances && selected.contains(last + 1))
        ++last;
    last = std::min(last, instances);
    if (first == 1 && last >= instances)
        last = instances - 1;
    if (last < first)
        return false;

    b.beginUpdate();
    b.setActiveSheet(std::min(active, instances));
    for (int i = 1; i <= b.sheetCount(); ++i)
        if (i != b.activeSheetIndex())
            b.setInEditGroup(i, false);
    for (int i = last; i >= first; --i) {
        if (b.activeSheetIndex() == i)
            b.setActiveSheet(i == 1 ? i + 1 : i - 1);
        b.deleteSheet(i);
    }
    const int target = std::clamp(active == 1 ? 1 : active - 1, 1, m_model.instanceCount());
    b.setActiveSheet(target);
    b.endUpdate();
    return true;
}

void InstanceSheets::selectAll() {
    for (int i = 1; i <= m_model.instanceCount(); ++i)
        book().setInEditGroup(i, true);
}

void InstanceSheets::keepOnlyActiveInGroup() {
    Workbook& b = book();
    // The active sheet's own flag is cleared too: it belongs to the group only while it
    // is active, so switching sheets must not carry a group along.
    for (int i = 1; i <= b.sheetCount(); ++i)
        if (i == b.activeSheetIndex() || b.isInEditGroup(i))
            b.setInEditGroup(i, false);
}

bool InstanceSheets::accompanyingTextShown() const {
    return !book().sheet(1).rowHidden(kFirstTextRow);
}

void InstanceSheets::setAccompanyingTextShown(bool shown) {
    Workbook& b = book();
    int k = m_model.extraTextLines();
    if (shown && k == 0) {
        k = 2;
        m_model.setExtraTextLines(k);
    }
    for (int s = 1; s < m_model.colIdentSheet(); ++s) {
        Sheet& sheet = b.sheet(s);
        for (int r = kFirstTextRow; r <= kLastTextRow; ++r)
            sheet.setRowHidden(r, !shown || r > kFirstTextRow + k);
    }
}

bool InstanceSheets::protectionOn() const {
    return book().activeSheet().options().protection;
}

void InstanceSheets::toggleProtection() {
    const bool on = !protectionOn();
    for (int s = 1; s <= book().sheetCount(); ++s) {
        Sheet& sheet = book().sheet(s);
        SheetOptions o = sheet.options();
        o.protection = on;
        sheet.setOptions(o);
    }
}

void InstanceSheets::setColumnCount255() {
    for (int s = 1; s <= book().sheetCount(); ++s)
        book().sheet(s).setMaxCol(kColumnCount - 1);
}
