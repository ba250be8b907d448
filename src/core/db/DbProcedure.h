#pragma once

#include <QStringList>
#include <QVariant>

#include <memory>

class DbConnection;
class QSqlQuery;

// A stored procedure called by name with named parameters, as the data module's
// procedure components are. The parameter list is read from the server once per
// opening, so callers bind by name in any order; unbound inputs go as NULL.
class DbProcedure {
public:
    DbProcedure(DbConnection& connection, QString procedureName);
    ~DbProcedure();

    const QString& name() const { return m_name; }

    void setParam(const QString& name, const QVariant& value);
    void clearParams() { m_inputs.clear(); }
    // Runs the procedure (throws DbError); outputs are read with output().
    void execute();
    QVariant output(const QString& name) const;

    const QStringList& inputNames() const { return m_inputNames; }
    const QStringList& outputNames() const { return m_outputNames; }

    void close() {}
    void release();

private:
    void prepare();

    DbConnection& m_connection;
    QString m_name;
    QVariantMap m_inputs;
    QVariantMap m_outputs;
    QStringList m_inputNames;
    QStringList m_outputNames;
    std::unique_ptr<QSqlQuery> m_query;
    int m_preparedGeneration = -1;
    int m_preparedTransaction = -1;
    int m_metaGeneration = -1;
};
