#pragma once

#include <QHash>
#include <QString>

#include <array>
#include <unordered_map>
#include <vector>

class DbfTable;

constexpr int kReportColumns = 50;

// One row of a report table: its code (A6) and the 50 numbers A81 … A850.
struct ReportRow {
    QString code;
    int number = 0;
    bool numeric = false; // the code reads as an integer
    std::array<double, kReportColumns> values{};
};

struct ReportTable {
    std::vector<ReportRow> rows; // in order of first appearance
    QHash<QString, int> index;
};

// The records of the report file grouped by year, object, form and table; a record
// whose keys are already there replaces the numbers of that row, which keeps its place.
class ReportTree {
public:
    // Live records of an open report file, in file order. Records whose year, object,
    // form or table cannot be read are left out and counted.
    void load(DbfTable& file);
    void add(int year, int object, int form, int table, const QString& rowCode,
             const std::array<double, kReportColumns>& values);

    const ReportTable* find(int year, int object, int form, int table) const;
    int skipped() const { return m_skipped; }
    int recordCount() const { return m_records; }

private:
    struct Key {
        int year, object, form, table;
        bool operator==(const Key&) const = default;
    };
    struct KeyHash {
        size_t operator()(const Key& k) const {
            size_t h = size_t(k.year);
            for (int v : {k.object, k.form, k.table})
                h = h * 1000003u ^ size_t(unsigned(v));
            return h;
        }
    };
    std::unordered_map<Key, ReportTable, KeyHash> m_tables;
    int m_skipped = 0;
    int m_records = 0;
};
