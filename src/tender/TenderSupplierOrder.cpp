#include "TenderController.h"

#include "CellValues.h"
#include "ChangeFlags.h"
#include "DbError.h"
#include "DbProcedure.h"
#include "DbStatement.h"
#include "DbTransaction.h"
#include "IdentModel.h"
#include "OutlineState.h"
#include "Prompter.h"
#include "TableDocument.h"
#include "TableRef.h"
#include "TdmMSSQL.h"
#include "model/Workbook.h"

#include <algorithm>

using namespace TableLayout;

namespace {

const QString kFailed = QStringLiteral("Ошибка при создании таблицы со спецификациями");

double numberIn(const Sheet& sh, int r, int c) {
    if (sh.type(r, c) == 1 || sh.type(r, c) == -1)
        return sh.number(r, c);
    double v = 0;
    return CellValues::toNumber(sh.text(r, c), v) ? v : 0;
}

void copyWidths(Sheet& to, const Sheet& from, int firstCol, int lastCol) {
    for (int c = firstCol; c <= lastCol; ++c)
        to.setColWidth(c, from.colWidth(c));
}

} // namespace

int TenderController::supplierSheet(const QString& supplier, int svod) const {
    for (int s = m_model.instanceCount(); s >= 1; --s)
        if (markOf(book(), s).isEmpty() &&
            book().sheet(s).text(kLastTitleRow, kFirstDataCol) == supplier)
            return s;
    return svod;
}

void TenderController::buildSupplierOrder(Workbook& scratch, const QString& supplier,
                                          int svod) const {
    const Workbook& b = book();
    const Sheet& sv = b.sheet(svod);
    const int header = m_model.lastHeaderRow();
    const int firstRow = m_model.firstBodyRow();
    const int lastRow = sv.lastRow() - 1; // the total row stays out
    const Sheet& rowSheet = b.sheet(m_model.rowIdentSheet());
    const Sheet& colSheet = b.sheet(m_model.colIdentSheet());
    const Sheet& own = b.sheet(supplierSheet(supplier, svod));
    CopyOptions copy;
    copy.rowHeights = true;

    scratch.reset(3);
    scratch.copyRange(b, supplierSheet(supplier, svod), CellRange(1, 1, kLastTitleRow, 4), 1, 1, 1,
                      copy);
    copyWidths(scratch.sheet(1), own, kSideCol, std::max(own.lastCol(), kSideCol));
    const int rowLast = std::max(rowSheet.lastCol(), 1);
    scratch.copyRange(b, m_model.rowIdentSheet(), CellRange(1, 1, header, rowLast), 2, 1, 1, copy);
    copyWidths(scratch.sheet(2), rowSheet, 1, rowLast);
    scratch.sheet(2).setRowHeight(kLastTitleRow, rowSheet.rowHeight(kLastTitleRow));
    const int colLast = std::max(colSheet.lastCol(), kSideCol);
    scratch.copyRange(b, m_model.colIdentSheet(), CellRange(1, 1, kLastTitleRow, colLast), 3, 1, 1,
                      copy);
    if (colSheet.lastRow() > header)
        scratch.copyRange(b, m_model.colIdentSheet(),
                          CellRange(header + 1, kSideCol, colSheet.lastRow(), colLast), 3,
                          header + 1, kSideCol, copy);
    copyWidths(scratch.sheet(3), colSheet, 1, colLast);

    int out = firstRow;
    for (int r = firstRow; r <= lastRow; ++r) {
        if (sv.text(r, kSvodSupplier) != supplier)
            continue;
        scratch.setText(1, out, kSideCol, sv.text(r, kSideCol));
        for (int c : {3, 4})
            if (!sv.text(r, c).isEmpty())
                scratch.setText(1, out, c, sv.text(r, c));
        for (int c : {kSvodVolume, kSvodPrice, kSvodCost})
            scratch.setNumber(1, out, c, numberIn(sv, r, c));
        scratch.setText(2, out, kSideCol, rowSheet.text(r, kSideCol));
        scratch.setNumber(2, out, rowSlotColumn(Slot::IndicatorCode),
                          numberIn(rowSheet, r, rowSlotColumn(Slot::IndicatorCode)));
        const QString shown = rowSheet.text(r, rowSlotColumn(Slot::IndicatorShown));
        if (!shown.isEmpty())
            scratch.setText(2, out, rowSlotColumn(Slot::IndicatorShown), shown);
        ++out;
    }
    scratch.renameSheet(1, supplier);
    scratch.renameSheet(3, QStringLiteral(" "));
    for (int s = 1; s <= 3; ++s) {
        Sheet& sh = scratch.sheet(s);
        for (int r = 1; r <= kLastTitleRow - m_model.titleRows(); ++r)
            sh.setRowHidden(r, true);
        sh.setColHidden(kSettingsCol, true);
        for (int r = kFirstHeaderRow; r <= header; ++r)
            sh.setRowHeading(r, QStringLiteral("---"));
    }
    scratch.sheet(2).setRowHidden(kFirstTitleRow, false);
    scratch.sheet(3).setRowHidden(kFirstTitleRow, false);
    scratch.setActiveSheet(1);
}

bool TenderController::createSupplierOrderTable(const QString& supplier, const Workbook& scratch) {
    // The table and its workbook are made in one transaction of the table materials, so
    // no table is ever seen without its workbook; the other programs are told afterwards.
    // Should telling them fail, the table stays: they find it at their next reading of
    // the collection.
    DbStatement& q = m_dm.dbTab.statement(QStringLiteral("quTenderCat"));
    try {
        q.setSql(QStringLiteral("SELECT KODFOLDER FROM CAT WHERE KODELMT = :K"));
        q.clearParams();
        q.setParam(QStringLiteral("K"), m_table.kodElmt);
        q.open();
        if (q.isEmpty()) {
            q.close();
            m_prompter.error(kFailed);
            return false;
        }
        const int folder = q.value(0).toInt();
        q.close();
        const QByteArray bytes = TableDocument::workbookBytes(scratch);
        RunInTransaction(m_dm.dbTab, [&] {
            q.setSql(QStringLiteral("SELECT MAX(NPP) FROM CAT WHERE KODFOLDER = :F"));
            q.clearParams();
            q.setParam(QStringLiteral("F"), folder);
            q.open();
            const int npp = q.value(0).toInt() + ProcessOutlineState().nppStep;
            q.close();
            DbProcedure& insert = m_dm.storedProc(QStringLiteral("spInsertCAT"));
            insert.clearParams();
            insert.setParam(QStringLiteral("NAMEFOLDER"),
                            QStringLiteral("Спецификация - ") + supplier);
            insert.setParam(QStringLiteral("KODFOLDER"), folder);
            insert.setParam(QStringLiteral("NPP"), npp);
            insert.setParam(QStringLiteral("KODALT"), QStringLiteral("Спец."));
            insert.setParam(QStringLiteral("KODSPIS"), 0);
            insert.execute();
            const int key = insert.output(QStringLiteral("KOD_ELMT")).toInt();
            q.setSql(QStringLiteral("UPDATE CAT SET TABF1 = :B WHERE KODELMT = :K"));
            q.clearParams();
            q.setParam(QStringLiteral("B"), bytes);
            q.setParam(QStringLiteral("K"), key);
            q.execute();
        });
        RunInTransaction(m_dm.dbMain, [&] {
            ChangeFlags(m_dm, m_prompter).FlagChangeForOthers(QStringLiteral("spOneUCAT"));
        });
    } catch (const std::exception& e) {
        QString server = QString::fromUtf8(e.what());
        if (auto* db = dynamic_cast<const DbError*>(&e))
            server = db->message();
        m_prompter.error(WithServerText(kFailed, server));
        return false;
    }
    return true;
}

bool TenderController::mSpecClick() {
    const int svod = findMarked(QStringLiteral("Svod"));
    if (svod == 0) {
        m_prompter.error(QStringLiteral("        Отсутствует сводный лист!\r\nНеобходимо выполнить "
                                        "операцию \"Сводный заказ\""));
        return false;
    }
    Workbook& b = book();
    b.setActiveSheet(svod);
    const Sheet& sv = b.sheet(svod);
    QStringList suppliers;
    for (int r = m_model.firstBodyRow(); r < sv.lastRow(); ++r) {
        const QString s = sv.text(r, kSvodSupplier);
        if (!s.trimmed().isEmpty() && !suppliers.contains(s))
            suppliers << s;
    }
    bool ok = true;
    for (const QString& supplier : suppliers) {
        Workbook scratch;
        buildSupplierOrder(scratch, supplier, svod);
        if (!createSupplierOrderTable(supplier, scratch)) {
            ok = false;
            break;
        }
    }
    // The collection's list shows the new tables, still on this one.
    DbStatement& cat = m_dm.query(QStringLiteral("quCAT"));
    if (cat.isOpen()) {
        try {
            cat.close();
            cat.open();
            cat.locate(QStringLiteral("KODELMT"), m_table.kodElmt);
        } catch (const DbError&) {
        }
    }
    return ok;
}
