#pragma once

#include "CellRequest.h"
#include "ExchangeContext.h"

class DbStatement;

// Filling as it was done before the fund rows of a sheet were read together: one
// statement per cell. The tests and the benchmark compare the program against it.
class CellByCellFill {
public:
    explicit CellByCellFill(ExchangeContext& ctx) : m_ctx(ctx) {}

    bool run();

private:
    void reportError(const QString& text);
    void prepareStatements();
    void fillSheet(int sheet, const TableIdentification& ident);
    void fillCell(int sheet, int row, int col, CellRequest& request);
    void bindKeys(DbStatement& q, const CellRequest& request);
    void zeroBlankCells(int sheet);

    ExchangeContext& m_ctx;
    bool m_tender = false;
};
