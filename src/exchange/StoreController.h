#pragma once

#include "CellRequest.h"
#include "ExchangeContext.h"

#include <array>
#include <span>
#include <vector>

class DbStatement;
class FundRows;

// Stores the data cells of one or all instance sheets into the data funds, one
// transaction per sheet: a missing fund row is inserted, an existing one gets its
// value columns updated. The result is that of storing the cells one after another
// in row order: the last of several cells naming the same value wins, and a key the
// funds hold more than once (no unique index) gets a new row per cell.
class StoreController {
public:
    explicit StoreController(ExchangeContext& ctx) : m_ctx(ctx) {}

    // False when the command was cancelled or ended with an error.
    bool SBloadClick();

private:
    void storeSheet(int sheet, const TableIdentification& ident, bool storeEmpty);
    // Stores the requests [from, to) of the sheet: the keys they name are looked up
    // together, then each key gets one INSERT or UPDATE of all its value columns.
    void storeCells(std::span<const CellRequest> requests,
                    std::span<const std::pair<int, int>> cells, FundRows& funds);
    void execute(bool update, FundTable table, const QList<int>& columns,
                 std::vector<QVariant> params);
    void at(const CellRequest& request, std::pair<int, int> cell);
    void lockUnguardedTables(const std::vector<CellRequest>& requests);
    void reportError(const QString& message);
    QString columnName(int col) const;

    ExchangeContext& m_ctx;
    FundRows* m_funds = nullptr; // while the command runs
    struct Writer {
        DbStatement* statement = nullptr;
        QList<int> columns;
    };
    std::array<Writer, 8> m_writers{}; // inserts, then updates, of the four tables
    // The cell being stored, for the messages.
    int m_sheet = 0;
    int m_row = 0;
    int m_col = 0;
    CellRequest m_request;
};
