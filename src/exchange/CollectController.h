#pragma once

#include "CollectSums.h"
#include "ExchangeContext.h"

// "Собрать с подчиненных": the data cells that name aggregation nodes get the sum of
// the values the objects attached to those nodes hold in the object funds. Reads the
// funds only; the cells are chosen by the rules of filling, and a sheet's sums are
// read together (CollectSums).
class CollectController {
public:
    explicit CollectController(ExchangeContext& ctx) : m_ctx(ctx) {}

    // False when the command was cancelled or a sheet ended with an error.
    bool sbCalcAgrClick();

    // The cells of a sheet that are collected, in the order they are written.
    std::vector<CollectRequest> requestsOf(int sheet, const TableIdentification& ident,
                                           const std::vector<IdentVector>& cols) const;

private:
    void collectSheet(int sheet, const TableIdentification& ident);
    void reportError(const QString& text);

    ExchangeContext& m_ctx;
};
