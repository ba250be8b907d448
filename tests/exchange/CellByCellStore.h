#pragma once

#include "CellRequest.h"
#include "ExchangeContext.h"

class DbStatement;

// Storing as it was done before a sheet's keys were looked up together: per cell an
// existence check, then an INSERT or an UPDATE of its one value column. The tests
// and the benchmark compare the program against it.
class CellByCellStore {
public:
    explicit CellByCellStore(ExchangeContext& ctx) : m_ctx(ctx) {}

    bool run();

private:
    void storeSheet(int sheet, const TableIdentification& ident, bool storeEmpty);
    void storeCell(const CellRequest& request);
    void bindKeys(DbStatement& q, const CellRequest& request);
    void reportError(const QString& message);
    QString columnName(int col) const;

    ExchangeContext& m_ctx;
    int m_sheet = 0;
    int m_row = 0;
    int m_col = 0;
    CellRequest m_request;
};
