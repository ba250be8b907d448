#pragma once

#include "Prompter.h"
#include "StoragePeriods.h"

#include <QList>
#include <QString>

#include <exception>
#include <optional>

class ExchangeView;
class IdentModel;
class Prompter;
class TdmMSSQL;
class DbConnection;

// What filling and storing share: the table, the fact database, the boxes, the
// progress display and the storage-period lists of the process.
struct ExchangeContext {
    IdentModel& model;
    TdmMSSQL& dm;
    Prompter& prompter;
    ExchangeView& view;
    StoragePeriods& lists;
    int aggrCount = 0; // number of aggregation directories
    QString userName;
};

// The number of aggregation directories the fact database holds.
int AggregationDirectoryCount(DbConnection& fact);

// The instance sheets a command works on: all of them, or after the question only
// the active one. nullopt on Cancel. Identification sheets are never included.
std::optional<QList<int>> ChooseSheets(ExchangeContext& ctx, const QString& question,
                                       bool activeOnly);

// The common opening of filling and storing: the table's geometry read again, the
// refusal of a table without identified rows (shown with the given icon), then the
// sheet question. nullopt when the command must not go on.
std::optional<QList<int>> BeginExchange(ExchangeContext& ctx, const QString& question,
                                        bool activeOnly, PromptIcon noRowsIcon);

// The server's text of an exception, and whether it is a rights failure.
QString ErrorText(const std::exception& e);
bool IsExchangeRightsError(const QString& message);
// The fund tables changed under the command (another user added a year or a directory).
bool IsChangedStructureError(const QString& message);
// After such a failure: the lists read again; lists that cannot be read are dropped,
// so the next command reads them afresh.
void ReloadStoragePeriodsAfterChange(ExchangeContext& ctx);
