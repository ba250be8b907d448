#pragma once

#include "CellRequest.h"
#include "ExchangeContext.h"

class FundRows;

// Fills the data cells of one or all instance sheets with the values the data
// funds hold for their identification. Reads the funds only: the rows a sheet needs
// are read together (FundRows), then placed cell by cell.
class FillController {
public:
    explicit FillController(ExchangeContext& ctx) : m_ctx(ctx) {}

    // The tender allocation fills the active sheet only and asks nothing.
    void setTenderMode(bool on) { m_tender = on; }

    // False when the command was cancelled or ended with an error.
    bool SBunloadClick();
    // The instance sheets the last command filled (empty when it did not run).
    const QList<int>& filledSheets() const { return m_filled; }

private:
    void reportError(const QString& text);
    void fillSheet(int sheet, const TableIdentification& ident);
    void fillCell(int sheet, int row, int col, const CellRequest& request, const FundRows& funds);
    void zeroBlankCells(int sheet);

    ExchangeContext& m_ctx;
    FundRows* m_funds = nullptr; // while the command runs
    bool m_tender = false;
    QList<int> m_filled;
};
