#include "DbProcedure.h"

#include "DbConnection.h"
#include "DbError.h"
#include "DbStatement.h"
#include "FbClient.h"
#include "FbPrepared.h"

#include <ibase.h>

#include <algorithm>
#include <cstring>

DbProcedure::DbProcedure(DbConnection& connection, QString procedureName)
    : m_connection(connection), m_name(std::move(procedureName)) {}

DbProcedure::~DbProcedure() = default;

void DbProcedure::setParam(const QString& name, const QVariant& value) {
    CheckWin1251(value);
    m_inputs.insert(name.toUpper(), value);
}

void DbProcedure::readParameters() {
    DbStatement& exists = m_connection.statement(QStringLiteral("zemrak$procedureExists"));
    exists.setSql(
        QStringLiteral("SELECT COUNT(*) FROM RDB$PROCEDURES WHERE RDB$PROCEDURE_NAME = :NAME"));
    exists.setParam(QStringLiteral("NAME"), m_name);
    exists.open();
    const bool known = exists.value(0).toInt() > 0;
    exists.close();
    if (!known)
        throw DbError(QStringLiteral("Procedure unknown %1").arg(m_name), -204);
    DbStatement& meta = m_connection.statement(QStringLiteral("zemrak$procedureParameters"));
    meta.setSql(QStringLiteral(
        "SELECT TRIM(RDB$PARAMETER_NAME), RDB$PARAMETER_TYPE FROM RDB$PROCEDURE_PARAMETERS "
        "WHERE RDB$PROCEDURE_NAME = :NAME ORDER BY RDB$PARAMETER_TYPE, RDB$PARAMETER_NUMBER"));
    meta.setParam(QStringLiteral("NAME"), m_name);
    meta.open();
    m_inputNames.clear();
    m_outputNames.clear();
    for (meta.first(); !meta.eof(); meta.next())
        (meta.value(1).toInt() == 0 ? m_inputNames : m_outputNames)
            << meta.value(0).toString().toUpper();
    meta.close();
    m_text = QStringLiteral("EXECUTE PROCEDURE ") + m_name;
    if (!m_inputNames.isEmpty()) {
        QStringList marks;
        for (qsizetype i = 0; i < m_inputNames.size(); ++i)
            marks << QStringLiteral("?");
        m_text += QLatin1Char('(') + marks.join(QLatin1Char(',')) + QLatin1Char(')');
    }
    m_metaGeneration = m_connection.generation();
    m_prepared = nullptr;
}

fb::Prepared& DbProcedure::prepare() {
    if (!m_connection.connected())
        throw DbError(QStringLiteral("Нет соединения с БД ") + m_connection.database());
    if (m_metaGeneration != m_connection.generation())
        readParameters();
    if (!m_prepared || m_preparedEpoch != m_connection.cacheEpoch()) {
        m_prepared = nullptr;
        m_prepared = &m_connection.prepared(m_text);
        m_preparedEpoch = m_connection.cacheEpoch();
        m_outBuffer.assign(m_prepared->outputLength(), 0);
    }
    return *m_prepared;
}

void DbProcedure::execute() {
    m_outputs.clear();
    fb::Prepared& p = prepare();
    std::vector<const QVariant*> values;
    values.reserve(size_t(m_inputNames.size()));
    for (const QString& name : m_inputNames) {
        const auto it = m_inputs.constFind(name);
        values.push_back(it == m_inputs.cend() ? nullptr : &*it);
    }
    const bool hasOutputs = !p.outputs().empty();
    std::vector<QByteArray> blobs;
    m_connection.run(
        true,
        [this] { return QStringLiteral("Записи, которые изменяет процедура %1,").arg(m_name); },
        [&](Firebird::ITransaction* transaction) {
            auto* status = m_connection.status().get();
            p.bind(status, m_connection.attachment(), transaction, values);
            // The server looks at what a blob field held before.
            std::fill(m_outBuffer.begin(), m_outBuffer.end(), 0);
            p.execute(status, transaction, hasOutputs ? m_outBuffer.data() : nullptr);
            blobs.clear();
            for (const fb::Field& f : p.outputs()) {
                short null = 0;
                std::memcpy(&null, m_outBuffer.data() + f.nullOffset, sizeof null);
                if (f.type != SQL_BLOB || null)
                    continue;
                ISC_QUAD id;
                std::memcpy(&id, m_outBuffer.data() + f.offset, sizeof id);
                blobs.push_back(fb::readBlob(status, m_connection.attachment(), transaction, id));
                const quint64 index = blobs.size() - 1;
                std::memcpy(m_outBuffer.data() + f.offset, &index, sizeof index);
            }
        });
    for (const fb::Field& f : p.outputs())
        m_outputs.insert(f.name.toUpper(), fb::decode(f, m_outBuffer.data(), blobs));
}

QVariant DbProcedure::output(const QString& name) const {
    const auto it = m_outputs.constFind(name.toUpper());
    if (it == m_outputs.cend())
        throw DbError(QStringLiteral("Процедура %1 не вернула параметр %2").arg(m_name, name));
    return *it;
}

void DbProcedure::release() {
    m_prepared = nullptr;
}
