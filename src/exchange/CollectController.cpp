#include "CollectController.h"

#include "DbTransaction.h"
#include "ExchangeQuestions.h"
#include "ExchangeView.h"
#include "Prompter.h"
#include "TdmMSSQL.h"
#include "model/Workbook.h"

#include <algorithm>

using namespace TableLayout;

namespace {

// Failures that every further sheet would meet again.
struct CommandEnds {};

} // namespace

bool CollectController::sbCalcAgrClick() {
    IdentModel& model = m_ctx.model;
    Workbook& book = model.book();
    const int startSheet = book.activeSheetIndex();
    m_ctx.view.suspendUpdates(true);

    const auto sheets =
        BeginExchange(m_ctx, ExchangeQuestions::fillAllSheets(), false, PromptIcon::Error);
    if (!sheets) {
        book.setActiveSheet(startSheet);
        m_ctx.view.suspendUpdates(false);
        return false;
    }

    const QString savedStatus = m_ctx.view.statusText();
    bool ok = true;
    book.beginUpdate();
    try {
        RefreshStoragePeriods(m_ctx.dm, m_ctx.lists);
        const TableIdentification ident = ReadIdentification(model);
        if (sheets->size() == 1)
            m_ctx.view.setStatusText(QStringLiteral("Заполнение таблицы"));
        for (int s : *sheets) {
            try {
                collectSheet(s, ident);
                if (sheets->size() > 1)
                    m_ctx.view.setStatusText(
                        QStringLiteral("Заполнено листов: %1 из %2").arg(s).arg(sheets->last()));
            } catch (const std::exception& e) {
                // The sheet's cells written so far keep their sums; the next sheet goes on.
                ok = false;
                m_ctx.view.resetProgress();
                reportError(ErrorText(e));
            }
        }
    } catch (const CommandEnds&) {
        ok = false;
    } catch (const std::exception& e) {
        ok = false;
        reportError(ErrorText(e));
    }
    m_ctx.view.hideProgress();
    book.setActiveSheet(startSheet);
    book.endUpdate();
    m_ctx.view.suspendUpdates(false);
    m_ctx.view.setStatusText(savedStatus);
    return ok;
}

void CollectController::reportError(const QString& text) {
    if (IsExchangeRightsError(text)) {
        m_ctx.prompter.info(QStringLiteral("Пользователь  ") + m_ctx.userName +
                            QStringLiteral("  не  имеет  прав") + QStringLiteral("\r\n") +
                            QStringLiteral("на  заполнение  таблицы  данными  из  ФД"));
        throw CommandEnds{};
    }
    if (IsChangedStructureError(text)) {
        ReloadStoragePeriodsAfterChange(m_ctx);
        m_ctx.prompter.info(
            QStringLiteral("Структура БД изменена другим пользователем\r\nПовторите сбор"));
        throw CommandEnds{};
    }
    m_ctx.prompter.error(QStringLiteral("Ошибка при сборе с подчиненных\r\n\r\n") + text);
}

std::vector<CollectRequest>
CollectController::requestsOf(int sheet, const TableIdentification& ident,
                              const std::vector<IdentVector>& cols) const {
    const Sheet& sh = m_ctx.model.book().sheet(sheet);
    std::vector<CollectRequest> requests;
    for (int r = ident.firstBodyRow(); r <= ident.lastRow; ++r) {
        for (int c = kFirstDataCol; c <= ident.lastCol; ++c) {
            if (ident.colKind(c) != SpecialKind::None)
                continue;
            const int type = sh.type(r, c);
            if (type < 0 || (type == 2 && sh.text(r, c) == QLatin1String("X")))
                continue;
            const IdentVector& colVector = cols[size_t(c - kFirstDataCol)];
            auto cell = CellIdentification(ident.row(r), colVector);
            if (!cell ||
                !ResolvePeriodForRead(CellPeriod(ident.row(r), colVector), m_ctx.lists, *cell))
                continue;
            CollectRequest q;
            q.nodes = CollectRequest::NodesOf(*cell, m_ctx.aggrCount);
            if (q.nodes.empty())
                continue;
            q.cell = std::move(*cell);
            q.row = r;
            q.col = c;
            requests.push_back(std::move(q));
        }
    }
    // Operational cells first, then long-term ones.
    std::stable_partition(requests.begin(), requests.end(),
                          [](const CollectRequest& q) { return q.cell.operational(); });
    return requests;
}

void CollectController::collectSheet(int sheet, const TableIdentification& ident) {
    Workbook& book = m_ctx.model.book();
    book.setActiveSheet(sheet);
    const std::vector<IdentVector> cols = EffectiveColumns(m_ctx.model, ident, sheet);
    const std::vector<CollectRequest> requests = requestsOf(sheet, ident, cols);
    m_ctx.view.showProgress(int(requests.size()));
    RunInTransaction(m_ctx.dm.dbMain, [&] {
        CollectSums sums(m_ctx.dm.dbMain);
        sums.read(requests);
        for (const CollectRequest& q : requests) {
            m_ctx.view.stepProgress();
            const CollectSums::Result r = sums.result(q);
            if (r.numeric)
                book.setNumber(sheet, q.row, q.col, r.sum);
            else
                book.setText(sheet, q.row, q.col, QStringLiteral("#Не число!"));
        }
    });
    m_ctx.view.resetProgress();
}
