#pragma once

#include "CellRequest.h"

#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QStringList>

#include <array>
#include <span>
#include <vector>

class DbConnection;
class DbStatement;

// The fund rows that many cell requests name, read with one statement per fund table
// over the bounds of their keys and matched in memory, so that a sheet costs a few
// round trips whatever its size. The statements are kept by the connection and reused
// for the whole run.
class FundRows {
public:
    struct Row {
        int count = 0; // rows the funds hold for the key
        int first = 0; // where the first of them is kept
    };

    FundRows(DbConnection& db, int aggrCount) : m_db(db), m_aggrCount(aggrCount) {}

    // The value columns every fund table has now and which tables have a unique index,
    // read in the running transaction.
    void readStructure();
    // Whether a unique index keeps a second row of one key out of the table: without
    // one (the aggregation tables before the first aggregation directory) two programs
    // inserting the same new key at once would both succeed.
    bool uniqueKeys(FundTable table) const { return m_unique[size_t(table)]; }
    // Whether the funds have every value column the request names.
    bool hasColumns(const CellRequest& request) const;
    // Runs the request's own statement, so that the server says which column it
    // lacks; when the column has come meanwhile the columns are read again.
    void raiseMissingColumn(const CellRequest& request);

    // Reads the rows the requests name; with values, also their value columns.
    void read(std::span<const CellRequest> requests, bool withValues);
    // nullptr when the funds hold no row for the request's key.
    const Row* find(const CellRequest& request) const;
    // The text of value column k of a row found for a request of the same table; the
    // rows read stay in the server's form until a value is asked for.
    QString value(FundTable table, const Row& row, int k) const;
    // Storing keeps the counts as it changes the funds.
    void setCount(const CellRequest& request, int count);

    // The key's bytes, for the look-ups; raw, the bytes stay the key's own.
    static QByteArray keyBytes(const FundKey& key);
    static QByteArray rawKeyBytes(const FundKey& key);

private:
    struct Table {
        DbStatement* statement = nullptr;
        int keyCount = 0;
        bool lazy = true;
        QStringList values; // taken as they came when not lazy
        QList<int> cols;
        QHash<int, int> colIndex;
        QHash<QByteArray, Row> rows;
    };

    DbConnection& m_db;
    int m_aggrCount;
    std::array<QSet<int>, 4> m_existing;
    std::array<bool, 4> m_unique{};
    std::array<Table, 4> m_tables;
};
