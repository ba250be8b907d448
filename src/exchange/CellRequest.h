#pragma once

#include "TableIdentification.h"

#include <QList>
#include <QVarLengthArray>

#include <optional>
#include <vector>

// The four tables of the data funds.
enum class FundTable { OperAgr, DolgAgr, OperElm, DolgElm };

// What one data cell asks of (or gives to) the funds.
struct CellRequest {
    int kodpok = 0;
    int kodpok1 = 0;
    int kodpok2 = 0;
    ElementRef object;
    std::array<ElementRef, 4> cuts{};
    int god = 0;          // 0 for the long-term fund
    QList<int> valueCols; // k of the Dk columns, in reading order
    bool range = false;   // several columns whose values are summed
    QString value;        // storing only

    bool operational() const { return god >= 1; }
    bool objectTable() const { return object.type >= kObjectsDirectoryType; }
    FundTable table() const;
};

// The identification of a cell without its period; nullopt when the cell is skipped.
std::optional<CellRequest> CellIdentification(const IdentVector& row, const IdentVector& col);

// The period the identification's bounds name. The row's period wins when its begin
// year is set.
PeriodBounds CellPeriod(const IdentVector& row, const IdentVector& col);

// Fills god and valueCols; false when the cell is skipped.
bool ResolvePeriodForRead(const PeriodBounds& period, const StoragePeriods& lists,
                          CellRequest& request);
bool ResolvePeriodForStore(const PeriodBounds& period, const StoragePeriods& lists,
                           CellRequest& request);

// KO1..KOn, then KODPOK, KODPOK1, KODPOK2 and, operational, GOD.
QList<double> BuildKoVector(const CellRequest& request, int n);

// The key of the fund row a request names, as the statements compare it: KODFOLDER
// or KO1..KOn, then KODPOK, KODPOK1, KODPOK2 and, operational, GOD.
using FundKey = QVarLengthArray<int, 16>;
FundKey FundKeyValues(const CellRequest& request, int aggrCount);

// Binds the key of a fund row (object or KO vector, indicator, attributes and, for the
// operational funds, the year) to a prepared fund statement.
class DbStatement;
void BindFundKeys(DbStatement& q, const CellRequest& request, int aggrCount);
