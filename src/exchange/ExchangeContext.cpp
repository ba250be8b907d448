#include "ExchangeContext.h"

#include "DbConnection.h"
#include "DbError.h"
#include "DbStatement.h"
#include "IdentModel.h"
#include "Prompter.h"
#include "model/Workbook.h"

int AggregationDirectoryCount(DbConnection& fact) {
    DbStatement& q = fact.statement(QStringLiteral("quCountAgr"));
    q.setSql(QStringLiteral("SELECT COUNT(*) FROM SPISAGR"));
    q.open();
    const int n = q.eof() ? 0 : q.value(0).toInt();
    q.close();
    return n;
}

std::optional<QList<int>> BeginExchange(ExchangeContext& ctx, const QString& question,
                                        bool activeOnly, PromptIcon noRowsIcon) {
    IdentModel& model = ctx.model;
    model.readGeometry();
    if (model.book().sheet(model.rowIdentSheet()).lastRow() < model.firstBodyRow()) {
        ctx.prompter.message(QStringLiteral("В таблице нет идентифицированных строк"), {},
                             noRowsIcon);
        return std::nullopt;
    }
    return ChooseSheets(ctx, question, activeOnly);
}

std::optional<QList<int>> ChooseSheets(ExchangeContext& ctx, const QString& question,
                                       bool activeOnly) {
    IdentModel& model = ctx.model;
    const int active = model.book().activeSheetIndex();
    QList<int> all;
    for (int s = 1; s <= model.instanceCount(); ++s)
        all << s;
    if (model.sheetCount() < 4)
        return all;
    bool onlyActive = activeOnly;
    if (!activeOnly) {
        const Answer a = ctx.prompter.confirmOrCancel(question);
        if (a == Answer::Cancel)
            return std::nullopt;
        onlyActive = a == Answer::No;
    }
    if (!onlyActive)
        return all;
    // An identification sheet is never filled or stored: its blank slots would turn
    // into values of the table.
    if (!model.isInstanceSheet(active))
        return QList<int>{};
    return QList<int>{active};
}

QString ErrorText(const std::exception& e) {
    if (auto* db = dynamic_cast<const DbError*>(&e))
        return db->message();
    return QString::fromUtf8(e.what());
}

bool IsExchangeRightsError(const QString& m) {
    return m.contains(QLatin1String("SELECT permission denied")) ||
           m.toUpper().contains(QLatin1String("INSUFFICIENT SQL RIGHTS")) ||
           m.contains(QLatin1String("EXECUTE permission denied")) ||
           m.contains(QLatin1String("no permission for"), Qt::CaseInsensitive);
}

bool IsChangedStructureError(const QString& message) {
    const QString upper = message.toUpper();
    // Firebird names a value column added or dropped meanwhile "Column unknown".
    return upper.contains(QLatin1String("TABLE UNKNOWN")) ||
           upper.contains(QLatin1String("COLUMN UNKNOWN"));
}

void ReloadStoragePeriodsAfterChange(ExchangeContext& ctx) {
    try {
        LoadStoragePeriods(ctx.dm, ctx.lists);
    } catch (const std::exception&) {
        ctx.lists = StoragePeriods{};
    }
}
