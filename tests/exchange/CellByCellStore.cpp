#include "CellByCellStore.h"

#include "CellValues.h"
#include "DbError.h"
#include "DbStatement.h"
#include "DbTransaction.h"
#include "ExchangeQuestions.h"
#include "ExchangeStatements.h"
#include "ExchangeView.h"
#include "Prompter.h"
#include "TdmMSSQL.h"
#include "model/CellAddress.h"
#include "model/Workbook.h"

using namespace TableLayout;

bool CellByCellStore::run() {
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
        const auto texts = ExchangeStatements::PrepareQueries(m_ctx.aggrCount);
        for (int i = 0; i < 4; ++i) {
            const FundTable t = FundTable(i);
            m_ctx.dm.dbMain.statement(ExchangeStatements::updateName(t))
                .setSql(texts[size_t(i)].update);
            m_ctx.dm.dbMain.statement(ExchangeStatements::checkName(t))
                .setSql(texts[size_t(i)].check);
            m_ctx.dm.dbMain.statement(ExchangeStatements::insertName(t))
                .setSql(texts[size_t(i)].insert);
        }
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

void CellByCellStore::storeSheet(int sheet, const TableIdentification& ident, bool storeEmpty) {
    Workbook& book = m_ctx.model.book();
    book.setActiveSheet(sheet);
    m_sheet = sheet;
    const std::vector<IdentVector> cols = EffectiveColumns(m_ctx.model, ident, sheet);
    m_ctx.view.showProgress(ident.cellCount());
    const Sheet& sh = book.sheet(sheet);
    RunInTransaction(m_ctx.dm.dbMain, [&] {
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
                m_row = r;
                m_col = c;
                m_request = *request;
                storeCell(*request);
            }
        }
    });
}

void CellByCellStore::bindKeys(DbStatement& q, const CellRequest& request) {
    q.clearParams();
    BindFundKeys(q, request, m_ctx.aggrCount);
}

void CellByCellStore::storeCell(const CellRequest& request) {
    const FundTable t = request.table();
    const int k = request.valueCols.value(0);
    const QString param = QStringLiteral("D%1").arg(k);
    DbStatement& check = m_ctx.dm.dbMain.statement(ExchangeStatements::checkName(t));
    bindKeys(check, request);
    check.open();
    const bool exists = check.rowCount() == 1;
    check.close();
    if (!exists) {
        DbStatement& ins = m_ctx.dm.dbMain.statement(ExchangeStatements::insertName(t));
        QStringList lines = ins.sql();
        lines[2] = ExchangeStatements::insertColumnLine(k);
        lines[4] = ExchangeStatements::insertValueLine(k);
        ins.setSql(lines);
        bindKeys(ins, request);
        ins.setParam(param, request.value);
        ins.execute();
    } else {
        DbStatement& upd = m_ctx.dm.dbMain.statement(ExchangeStatements::updateName(t));
        QStringList lines = upd.sql();
        lines[1] = ExchangeStatements::updateValueLine(k);
        upd.setSql(lines);
        bindKeys(upd, request);
        upd.setParam(param, request.value);
        upd.execute();
    }
}

QString CellByCellStore::columnName(int col) const {
    const Sheet& sh = m_ctx.model.book().sheet(m_sheet);
    const QString heading = sh.text(m_ctx.model.lastHeaderRow(), col).trimmed();
    return heading.isEmpty() ? ::columnName(col) : heading;
}

void CellByCellStore::reportError(const QString& message) {
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
