#include "FillController.h"

#include "CellValues.h"
#include "DbTransaction.h"
#include "ExchangeQuestions.h"
#include "ExchangeView.h"
#include "FundRows.h"
#include "Prompter.h"
#include "TdmMSSQL.h"
#include "model/Workbook.h"

using namespace TableLayout;

bool FillController::SBunloadClick() {
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
    m_filled = *sheets;
    book.beginUpdate();
    try {
        // Another program may have added a year since the lists were read.
        RefreshStoragePeriods(m_ctx.dm, m_ctx.lists);
        const TableIdentification ident = ReadIdentification(model);
        if (sheets->size() == 1)
            m_ctx.view.setStatusText(QStringLiteral("Заполнение таблицы"));
        // The value columns are read once: a column added meanwhile is found when a
        // cell needs it (FundRows::raiseMissingColumn).
        FundRows funds(m_ctx.dm.dbMain, m_ctx.aggrCount);
        funds.readStructure();
        m_funds = &funds;
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

void FillController::reportError(const QString& text) {
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

void FillController::fillSheet(int sheet, const TableIdentification& ident) {
    Workbook& book = m_ctx.model.book();
    book.setActiveSheet(sheet);
    const std::vector<IdentVector> cols = EffectiveColumns(m_ctx.model, ident, sheet);
    m_ctx.view.showProgress(ident.cellCount());
    RunInTransaction(m_ctx.dm.dbMain, [&] {
        const Sheet& sh = book.sheet(sheet);
        std::vector<CellRequest> requests;
        std::vector<std::pair<int, int>> cells;
        for (int r = ident.firstBodyRow(); r <= ident.lastRow; ++r) {
            for (int c = kFirstDataCol; c <= ident.lastCol; ++c) {
                m_ctx.view.stepProgress();
                if (ident.colKind(c) != SpecialKind::None)
                    continue;
                // Only a text reads "X"; a number's text is not made for nothing.
                const int type = sh.type(r, c);
                if (type < 0 || (type == 2 && sh.text(r, c) == QLatin1String("X")))
                    continue;
                const IdentVector& colVector = cols[size_t(c - kFirstDataCol)];
                auto request = CellIdentification(ident.row(r), colVector);
                if (!request || !ResolvePeriodForRead(CellPeriod(ident.row(r), colVector),
                                                      m_ctx.lists, *request))
                    continue;
                requests.push_back(std::move(*request));
                cells.emplace_back(r, c);
            }
        }
        // The cells before one whose value column the funds lack are filled; that
        // cell's own statement then fails with the server's words.
        FundRows& funds = *m_funds;
        bool columnCame = false;
        for (size_t from = 0; from < requests.size();) {
            size_t to = columnCame ? from + 1 : from;
            while (to < requests.size() && funds.hasColumns(requests[to]))
                ++to;
            funds.read(std::span(requests).subspan(from, to - from), true);
            for (size_t i = from; i < to; ++i)
                fillCell(sheet, cells[i].first, cells[i].second, requests[i], funds);
            if (to < requests.size())
                funds.raiseMissingColumn(requests[to]);
            columnCame = true;
            from = to;
        }
    });
    m_ctx.view.resetProgress();
}

void FillController::fillCell(int sheet, int row, int col, const CellRequest& request,
                              const FundRows& funds) {
    Workbook& book = m_ctx.model.book();
    const FundRows::Row* found = funds.find(request);
    if (!found || found->count != 1) {
        const int type = book.sheet(sheet).type(row, col);
        if (type == 1 || type == 2)
            book.clearCell(sheet, row, col);
        return;
    }
    auto field = [&](int k) { return funds.value(request.table(), *found, k); };
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
}

void FillController::zeroBlankCells(int sheet) {
    Workbook& book = m_ctx.model.book();
    const Sheet& sh = book.sheet(sheet);
    const int lastRow = sh.lastRow();
    const int lastCol = sh.lastCol();
    for (int r = m_ctx.model.firstBodyRow(); r <= lastRow; ++r)
        for (int c = kFirstDataCol; c <= lastCol; ++c)
            if (sh.text(r, c).trimmed().isEmpty())
                book.setNumber(sheet, r, c, 0);
}
