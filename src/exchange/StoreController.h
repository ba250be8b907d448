#pragma once

#include "CellRequest.h"
#include "ExchangeContext.h"

class DbStatement;

// Stores the data cells of one or all instance sheets into the data funds, one
// transaction per sheet: a missing fund row is inserted, an existing one gets its
// value column updated.
class StoreController {
public:
    explicit StoreController(ExchangeContext& ctx) : m_ctx(ctx) {}

    // False when the command was cancelled or ended with an error.
    bool SBloadClick();

private:
    void storeSheet(int sheet, const TableIdentification& ident, bool storeEmpty);
    void storeCell(const CellRequest& request);
    void bindKeys(DbStatement& q, const CellRequest& request);
    void reportError(const QString& message);
    QString columnName(int col) const;

    ExchangeContext& m_ctx;
    // The cell being stored, for the messages.
    int m_sheet = 0;
    int m_row = 0;
    int m_col = 0;
    CellRequest m_request;
};
