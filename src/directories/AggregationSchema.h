#pragma once

#include <QString>
#include <QStringList>

class TdmMSSQL;

// The columns, indexes and references that aggregation directory n needs in the
// fact database: KODn in both aggregated funds, KODn/AGRn in ELM with the
// reference INTEGELM_n, and the unique keys of the funds. Schema changes do not
// roll back as a whole, so every step has its compensation.
class AggregationSchema {
public:
    enum class Step { None, Funds, Indexes, Objects };
    struct Failure {
        Step step = Step::None;
        QString server; // the server's words
        bool ownerOnly = false;
    };

    explicit AggregationSchema(TdmMSSQL& dm) : m_dm(dm) {}

    // Adds directory n = count + 1 with an empty name; the schema is back as it
    // was when a step fails (failure() tells which and why).
    bool addDirectory(int n);
    const Failure& failure() const { return m_failure; }

    // The funds' unique keys cover at most 16 columns; beyond 12 directories
    // uniqueness is kept by an index over a composed key of every column.
    static constexpr int kPlainKeyDirectories = 12;
    static QStringList createIndexes(int directories);
    static QStringList dropIndexes(int directories);
    static QString fundColumn(const QString& table, int n);

private:
    void run(const QString& sql);
    // Each group in its own transaction, failures ignored.
    void undo(const QStringList& statements);
    void undoGroup(const QStringList& statements);

    TdmMSSQL& m_dm;
    Failure m_failure;
};
