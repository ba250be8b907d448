#include "StoreController.h"

#include "CellValues.h"
#include "DbError.h"
#include "DbStatement.h"
#include "DbTransaction.h"
#include "ExchangeQuestions.h"
#include "ExchangeStatements.h"
#include "ExchangeView.h"
#include "FundRows.h"
#include "Prompter.h"
#include "TdmMSSQL.h"
#include "model/CellAddress.h"
#include "model/Workbook.h"

#include <algorithm>
#include <map>

using namespace TableLayout;

bool StoreController::SBloadClick() {
    IdentModel& model = m_ctx.model;
    Workbook& book = model.book();
    const int startSheet = book.activeSheetIndex();
    m_ctx.view.suspendUpdates(true);
    auto restore = [&] {
        book.setActiveSheet(startSheet);
        m_ctx.view.suspendUpdates(false);
    };

    const auto sheets =
        BeginExchange(m_ctx, ExchangeQuestions::storeAllSheets(), false, PromptIcon::Information);
    if (!sheets) {
        restore();
        return false;
    }
    const Answer empty =
        m_ctx.prompter.confirmOrCancel(ExchangeQuestions::storeEmptyCells(), Answer::No);
    if (empty == Answer::Cancel) {
        restore();
        return false;
    }

    const QString savedStatus = m_ctx.view.statusText();
    bool ok = true;
    m_sheet = m_row = m_col = 0;
    try {
        RefreshStoragePeriods(m_ctx.dm, m_ctx.lists);
        const TableIdentification ident = ReadIdentification(model, true);
        if (sheets->size() == 1)
            m_ctx.view.setStatusText(QStringLiteral("Загрузка данных в БД"));
        FundRows funds(m_ctx.dm.dbMain, m_ctx.aggrCount);
        funds.readStructure();
        m_funds = &funds;
        for (int s : *sheets) {
            storeSheet(s, ident, empty == Answer::Yes);
            if (sheets->size() > 1)
                m_ctx.view.setStatusText(
                    QStringLiteral("Загружено листов: %1 из %2").arg(s).arg(sheets->last()));
            m_ctx.view.resetProgress();
        }
    } catch (const std::exception& e) {
        ok = false;
        reportError(ErrorText(e));
    }
    m_ctx.view.hideProgress();
    restore();
    m_ctx.view.setStatusText(savedStatus);
    return ok;
}

namespace {

bool fitsWin1251(const QString& value) {
    try {
        CheckWin1251(value);
        return true;
    } catch (const DbError&) {
        return false;
    }
}

} // namespace

void StoreController::storeSheet(int sheet, const TableIdentification& ident, bool storeEmpty) {
    Workbook& book = m_ctx.model.book();
    book.setActiveSheet(sheet);
    m_sheet = sheet;
    const std::vector<IdentVector> cols = EffectiveColumns(m_ctx.model, ident, sheet);
    m_ctx.view.showProgress(ident.cellCount());
    const Sheet& sh = book.sheet(sheet);
    RunInTransaction(m_ctx.dm.dbMain, [&] {
        std::vector<CellRequest> requests;
        std::vector<std::pair<int, int>> cells;
        for (int r = ident.firstBodyRow(); r <= ident.lastRow; ++r) {
            for (int c = kFirstDataCol; c <= ident.lastCol; ++c) {
                m_ctx.view.stepProgress();
                if (sh.rowHidden(r) || sh.colHidden(c) || ident.colKind(c) != SpecialKind::None)
                    continue;
                const QString value = CellValues::storeText(sh, r, c);
                if ((value.isEmpty() || value == QLatin1String("0")) && !storeEmpty)
                    continue;
                const IdentVector& colVector = cols[size_t(c - kFirstDataCol)];
                auto request = CellIdentification(ident.row(r), colVector);
                if (!request || value == QLatin1String("X"))
                    continue;
                if (!ResolvePeriodForStore(CellPeriod(ident.row(r), colVector), m_ctx.lists,
                                           *request))
                    continue;
                request->value = value;
                requests.push_back(std::move(*request));
                cells.emplace_back(r, c);
            }
        }
        // The cells before one that cannot be stored (a value column the funds lack,
        // a text outside the code page) are stored first, as they would be one by
        // one; that cell then fails with the words of the server or the driver.
        FundRows& funds = *m_funds;
        lockUnguardedTables(requests);
        bool columnCame = false;
        for (size_t from = 0; from < requests.size();) {
            size_t to = columnCame ? from + 1 : from;
            while (to < requests.size() && funds.hasColumns(requests[to]) &&
                   fitsWin1251(requests[to].value))
                ++to;
            storeCells(std::span(requests).subspan(from, to - from),
                       std::span(cells).subspan(from, to - from), funds);
            if (to < requests.size()) {
                at(requests[to], cells[to]);
                CheckWin1251(requests[to].value);
                funds.raiseMissingColumn(requests[to]);
            }
            columnCame = true;
            from = to;
        }
    });
}

void StoreController::lockUnguardedTables(const std::vector<CellRequest>& requests) {
    const bool unguarded = std::any_of(requests.begin(), requests.end(), [&](const CellRequest& q) {
        return !m_funds->uniqueKeys(q.table());
    });
    if (!unguarded)
        return;
    // No index stops two programs from inserting one new key at once, so stores into
    // such a table take turns: the one row of NAST, changed to itself, is held until
    // the sheet is committed, and a store that waited reads the keys the other added.
    m_row = m_col = 0; // a wait that runs out belongs to no cell
    DbStatement& lock = m_ctx.dm.dbMain.statement(QStringLiteral("quFundsTurn"));
    lock.setSql(QStringLiteral("UPDATE NAST SET NAMEELM = NAMEELM"));
    try {
        lock.execute();
    } catch (const DbError& e) {
        // A user who may not change NAST stores without waiting for a turn.
        if (!IsExchangeRightsError(e.message()))
            throw;
    }
}

void StoreController::at(const CellRequest& request, std::pair<int, int> cell) {
    m_row = cell.first;
    m_col = cell.second;
    m_request = request;
}

void StoreController::storeCells(std::span<const CellRequest> requests,
                                 std::span<const std::pair<int, int>> cells, FundRows& funds) {
    funds.read(requests, false);
    // The cells of each key, keys in the order of their first cell.
    QHash<QByteArray, size_t> groupOf;
    std::vector<std::vector<size_t>> groups;
    for (size_t i = 0; i < requests.size(); ++i) {
        const QByteArray key = FundRows::keyBytes(FundKeyValues(requests[i], m_ctx.aggrCount));
        const auto it = groupOf.constFind(key);
        if (it == groupOf.constEnd()) {
            groupOf.insert(key, groups.size());
            groups.push_back({i});
        } else {
            groups[it.value()].push_back(i);
        }
    }
    const int n = m_ctx.aggrCount;
    for (const std::vector<size_t>& group : groups) {
        const CellRequest& first = requests[group.front()];
        const FundTable t = first.table();
        const FundKey key = FundKeyValues(first, n);
        const FundRows::Row* found = funds.find(first);
        int count = found ? found->count : 0;
        at(first, cells[group.front()]);
        if (count >= 2) {
            // Not one row to update: every cell inserts a row of its own.
            for (size_t i : group) {
                at(requests[i], cells[i]);
                std::vector<QVariant> params(key.begin(), key.end());
                params.emplace_back(requests[i].value);
                execute(false, t, {requests[i].valueCols.value(0)}, std::move(params));
                ++count;
            }
            funds.setCount(first, count);
            continue;
        }
        // The last value of each column, columns ascending.
        std::map<int, QString> values;
        for (size_t i : group)
            values[requests[i].valueCols.value(0)] = requests[i].value;
        QList<int> columns;
        std::vector<QVariant> params;
        if (count == 0)
            params.assign(key.begin(), key.end());
        for (const auto& [k, value] : values) {
            columns << k;
            params.emplace_back(value);
        }
        if (count == 0) {
            execute(false, t, columns, std::move(params));
            funds.setCount(first, 1);
        } else {
            params.insert(params.end(), key.begin(), key.end());
            execute(true, t, columns, std::move(params));
        }
    }
}

void StoreController::execute(bool update, FundTable t, const QList<int>& columns,
                              std::vector<QVariant> params) {
    // Rows of one shape follow each other: the text is made only when the columns change.
    Writer& w = m_writers[size_t(update ? 4 : 0) + size_t(t)];
    if (!w.statement) {
        w.statement = &m_ctx.dm.dbMain.statement(
            update ? QStringLiteral("BulkUpdate") + ExchangeStatements::updateName(t)
                   : QStringLiteral("BulkInsert") + ExchangeStatements::insertName(t));
        w.columns.clear();
    }
    if (w.columns != columns || w.statement->sql().isEmpty()) {
        const int n = m_ctx.aggrCount;
        w.statement->setSql(update ? ExchangeStatements::bulkUpdateText(t, n, columns)
                                   : ExchangeStatements::bulkInsertText(t, n, columns));
        w.columns = columns;
    }
    w.statement->setPositionalParams(std::move(params));
    w.statement->execute();
}

QString StoreController::columnName(int col) const {
    const Sheet& sh = m_ctx.model.book().sheet(m_sheet);
    const QString heading = sh.text(m_ctx.model.lastHeaderRow(), col).trimmed();
    return heading.isEmpty() ? ::columnName(col) : heading;
}

void StoreController::reportError(const QString& message) {
    Prompter& p = m_ctx.prompter;
    if (message.trimmed().isEmpty()) {
        p.error(QStringLiteral("Сбой при загрузке"));
        return;
    }
    if (IsExchangeRightsError(message)) {
        p.info(QStringLiteral("Пользователь  ") + m_ctx.userName +
               QStringLiteral("  не  имеет  прав ") + QStringLiteral("\r\n") +
               QStringLiteral("на  загрузку данных  в  ФД"));
        return;
    }
    if (IsChangedStructureError(message)) {
        ReloadStoragePeriodsAfterChange(m_ctx);
        p.info(QStringLiteral("Структура БД изменена другим пользователем\r\nПовторите загрузку"));
        return;
    }
    // Before the first cell (the lists, the statements) there is no position to name.
    if (m_row == 0) {
        p.error(QStringLiteral("Ошибка при загрузке данных в БД.\r\n") + message);
        return;
    }
    const QString where = QStringLiteral("Лист %1, строка %2, столбец %3: ")
                              .arg(m_sheet)
                              .arg(m_row)
                              .arg(columnName(m_col));
    bool named = false;
    if (message.contains(QLatin1String("INTEGOBJO")) ||
        message.contains(QLatin1String("INTEGOBJD"))) {
        p.error(where + QStringLiteral("объект с кодом ") +
                QString::number(double(m_request.object.code)) +
                QStringLiteral(" отсутствует в справочнике"));
        named = true;
    }
    if (message.contains(QLatin1String("INTEGPOKO")) ||
        message.contains(QLatin1String("INTEGPOKD"))) {
        p.error(where + QStringLiteral("показатель с кодом ") +
                QString::number(double(m_request.kodpok)) +
                QStringLiteral(" отсутствует в справочнике"));
        named = true;
    }
    // Anything else, a duplicate key inserted by another user meanwhile among them:
    // the sheet was rolled back; say where and pass the server's words on.
    if (!named)
        p.error(where + QStringLiteral("ошибка при загрузке данных в БД.\r\n") + message);
}
