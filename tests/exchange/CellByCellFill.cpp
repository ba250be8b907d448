#include "CellByCellFill.h"

#include "CellValues.h"
#include "DbStatement.h"
#include "DbTransaction.h"
#include "ExchangeQuestions.h"
#include "ExchangeStatements.h"
#include "ExchangeView.h"
#include "Prompter.h"
#include "TdmMSSQL.h"
#include "model/Workbook.h"

using namespace TableLayout;

namespace {

DbStatement& readStatement(ExchangeContext& ctx, FundTable t) {
    return ctx.dm.dbMain.statement(ExchangeStatements::readName(t));
}

} // namespace

bool CellByCellFill::run() {
    IdentModel& model = m_ctx.model;
    Workbook& book = model.book();
    const int startSheet = book.activeSheetIndex();
    m_ctx.view.suspendUpdates(true);
    auto restore = [&] {
        book.setActiveSheet(startSheet);
        m_ctx.view.suspendUpdates(false);
    };

    const auto sheets =
        BeginExchange(m_ctx, ExchangeQuestions::fillAllSheets(), m_tender, PromptIcon::Error);
    if (!sheets) {
        restore();
        return false;
    }

    const QString savedStatus = m_ctx.view.statusText();
    bool ok = true;
    book.beginUpdate();
    try {
        // Another program may have added a year since the lists were read.
        RefreshStoragePeriods(m_ctx.dm, m_ctx.lists);
        const TableIdentification ident = ReadIdentification(model);
        prepareStatements();
        if (sheets->size() == 1)
            m_ctx.view.setStatusText(QStringLiteral("Заполнение таблицы"));
        for (int s : *sheets) {
            fillSheet(s, ident);
            if (sheets->size() > 1)
                m_ctx.view.setStatusText(
                    QStringLiteral("Заполнено листов: %1 из %2").arg(s).arg(sheets->last()));
        }
    } catch (const std::exception& e) {
        ok = false;
        reportError(ErrorText(e));
    }
    m_ctx.view.hideProgress();
    book.setActiveSheet(startSheet);
    if (model.isInstanceSheet(startSheet))
        zeroBlankCells(startSheet);
    book.endUpdate();
    m_ctx.view.suspendUpdates(false);
    m_ctx.view.setStatusText(savedStatus);
    return ok;
}

void CellByCellFill::reportError(const QString& text) {
    if (IsExchangeRightsError(text)) {
        m_ctx.prompter.info(QStringLiteral("Пользователь  ") + m_ctx.userName +
                            QStringLiteral("  не  имеет  прав ") + QStringLiteral("\r\n") +
                            QStringLiteral("на  заполнение  таблицы  данными  из  ФД"));
        return;
    }
    if (IsChangedStructureError(text)) {
        ReloadStoragePeriodsAfterChange(m_ctx);
        m_ctx.prompter.info(
            QStringLiteral("Структура БД изменена другим пользователем\r\nПовторите заполнение"));
        return;
    }
    m_ctx.prompter.error(QStringLiteral("Ошибка при заполнении\r\n\r\n") + text);
}

void CellByCellFill::prepareStatements() {
    for (int i = 0; i < 4; ++i)
        readStatement(m_ctx, FundTable(i))
            .setSql(ExchangeStatements::readLines(FundTable(i), m_ctx.aggrCount));
}

void CellByCellFill::fillSheet(int sheet, const TableIdentification& ident) {
    Workbook& book = m_ctx.model.book();
    book.setActiveSheet(sheet);
    const std::vector<IdentVector> cols = EffectiveColumns(m_ctx.model, ident, sheet);
    m_ctx.view.showProgress(ident.cellCount());
    RunInTransaction(m_ctx.dm.dbMain, [&] {
        const Sheet& sh = book.sheet(sheet);
        for (int r = ident.firstBodyRow(); r <= ident.lastRow; ++r) {
            for (int c = kFirstDataCol; c <= ident.lastCol; ++c) {
                m_ctx.view.stepProgress();
                if (ident.colKind(c) != SpecialKind::None)
                    continue;
                if (sh.text(r, c) == QLatin1String("X") || sh.type(r, c) < 0)
                    continue;
                const IdentVector& colVector = cols[size_t(c - kFirstDataCol)];
                auto request = CellIdentification(ident.row(r), colVector);
                if (!request || !ResolvePeriodForRead(CellPeriod(ident.row(r), colVector),
                                                      m_ctx.lists, *request))
                    continue;
                fillCell(sheet, r, c, *request);
            }
        }
    });
    m_ctx.view.resetProgress();
}

void CellByCellFill::bindKeys(DbStatement& q, const CellRequest& request) {
    BindFundKeys(q, request, m_ctx.aggrCount);
}

void CellByCellFill::fillCell(int sheet, int row, int col, CellRequest& request) {
    Workbook& book = m_ctx.model.book();
    DbStatement& q = readStatement(m_ctx, request.table());
    QStringList lines = q.sql();
    lines[0] = ExchangeStatements::selectLine(request);
    q.setSql(lines);
    q.clearParams();
    bindKeys(q, request);
    q.open();
    if (q.rowCount() != 1) {
        q.close();
        const int type = book.sheet(sheet).type(row, col);
        if (type == 1 || type == 2)
            book.clearCell(sheet, row, col);
        return;
    }
    auto field = [&](int k) { return q.value(QStringLiteral("D%1").arg(k)).toString(); };
    if (request.range) {
        double sum = 0;
        bool numeric = true;
        for (int k : request.valueCols) {
            const QString text = field(k);
            if (text.trimmed().isEmpty())
                continue;
            double v = 0;
            if (!CellValues::toNumber(text, v)) {
                numeric = false;
                break;
            }
            sum += v;
        }
        if (numeric)
            book.setNumber(sheet, row, col, sum);
        else
            book.setText(sheet, row, col, QStringLiteral("#Не число!"));
    } else {
        const QString text = field(request.valueCols.value(0));
        double v = 0;
        if (CellValues::toNumber(text, v))
            book.setNumber(sheet, row, col, v);
        else
            book.setText(sheet, row, col, text);
    }
    q.close();
}

void CellByCellFill::zeroBlankCells(int sheet) {
    Workbook& book = m_ctx.model.book();
    const Sheet& sh = book.sheet(sheet);
    const int lastRow = sh.lastRow();
    const int lastCol = sh.lastCol();
    for (int r = m_ctx.model.firstBodyRow(); r <= lastRow; ++r)
        for (int c = kFirstDataCol; c <= lastCol; ++c)
            if (sh.text(r, c).trimmed().isEmpty())
                book.setNumber(sheet, r, c, 0);
}
