#pragma once

#include "CellRequest.h"

#include <QStringList>

#include <array>

// The statement texts of filling and storing, line by line: lines are replaced one
// at a time so that requests of the same shape keep their prepared statement.
namespace ExchangeStatements {

// " and KOD1=:KO1 and KOD2=:KO2 …"; empty for n = 0.
QString koList(int n);

// The reading statement of a table with "SELECT D1" as its first line.
QStringList readLines(FundTable table, int n);
// The first line for the request's value columns.
QString selectLine(const CellRequest& request);

struct StoreTexts {
    QStringList update;
    QStringList check;
    QStringList insert;
};
// The three storing statements of every table.
std::array<StoreTexts, 4> PrepareQueries(int n);

// Line 2 of an update and lines 3 and 5 of an insert for value column Dk.
QString updateValueLine(int k);
QString insertColumnLine(int k);
QString insertValueLine(int k);

// The statements of many cells at once. Their parameters follow the marks in order: for
// a read the bounds of each key column (low, high), for an insert the key then the
// values, for an update the values then the key.
QString tableName(FundTable table);
// KODFOLDER or KOD1..KODn, then KODPOK, KODPOK1, KODPOK2 and, operational, GOD.
QStringList keyColumnNames(FundTable table, int n);
// The key columns and the value columns cols of the rows within the bounds.
QString bulkReadText(FundTable table, int n, const QList<int>& cols);
QString bulkInsertText(FundTable table, int n, const QList<int>& cols);
QString bulkUpdateText(FundTable table, int n, const QList<int>& cols);

// The names the data module gives the statements.
QString readName(FundTable table);
QString updateName(FundTable table);
QString checkName(FundTable table);
QString insertName(FundTable table);

} // namespace ExchangeStatements
