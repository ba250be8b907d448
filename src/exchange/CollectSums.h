#pragma once

#include "CellRequest.h"

#include <QByteArray>
#include <QHash>
#include <QList>

#include <span>
#include <utility>
#include <vector>

class DbConnection;

// One cell that names aggregation nodes: the sum of its indicator over the objects
// whose memberships (ELM.KODt) match every node it names.
struct CollectRequest {
    CellRequest cell;
    // (directory type, node code), ascending by type; a later node of a type already
    // named replaces the earlier one.
    std::vector<std::pair<int, int>> nodes;
    int row = 0;
    int col = 0;

    // The nodes of the request; empty when it names an object of the objects directory
    // or nothing that could be a node (a code without a directory type, a directory
    // beyond the aggrCount the database has).
    static std::vector<std::pair<int, int>> NodesOf(const CellRequest& cell, int aggrCount);
};

// The sums many collect requests ask for, read with one aggregate statement per fund
// table and set of directory types (SUM … GROUP BY over the objects joined to their
// memberships), so that a sheet costs a few round trips whatever its size and however
// many objects a node holds. Values the server cannot take as numbers (a decimal comma,
// a text) make that statement read the object values instead, converted here as
// filling converts them.
class CollectSums {
public:
    explicit CollectSums(DbConnection& db) : m_db(db) {}

    void read(std::span<const CollectRequest> requests);

    struct Result {
        bool numeric = true;
        double sum = 0;
    };
    // Blank values count for nothing; no object or no fund row gives 0.
    Result result(const CollectRequest& request) const;

    // The statement texts, for one fund table (operational or long-term), directory
    // types and value columns; "?" marks take the low and high bound of every key column.
    static QString sumText(bool operational, const QList<int>& types, const QList<int>& cols);
    static QString valuesText(bool operational, const QList<int>& types, const QList<int>& cols);

private:
    struct Shape {
        bool operational = false;
        QList<int> types;
        bool operator==(const Shape&) const = default;
    };
    struct Group {
        QHash<int, double> sums;
        QHash<int, bool> bad; // a value that is not a number
    };
    static QByteArray keyOf(const CollectRequest& request);
    void readShape(const Shape& shape, const std::vector<const CollectRequest*>& requests);
    void runShape(const Shape& shape, const QList<int>& cols,
                  const std::vector<QVarLengthArray<int, 16>>& keys, bool aggregate);

    DbConnection& m_db;
    QHash<QByteArray, Group> m_groups;
};
