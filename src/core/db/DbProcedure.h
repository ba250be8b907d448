#pragma once

#include <QStringList>
#include <QVariant>

#include <vector>

class DbConnection;
namespace fb {
class Prepared;
} // namespace fb

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
    fb::Prepared& prepare();
    void readParameters();

    DbConnection& m_connection;
    QString m_name;
    QVariantMap m_inputs;
    QVariantMap m_outputs;
    QStringList m_inputNames;
    QStringList m_outputNames;
    QString m_text;
    fb::Prepared* m_prepared = nullptr;
    int m_preparedEpoch = -1;
    int m_metaGeneration = -1;
    std::vector<unsigned char> m_outBuffer;
};
