#include "DbProcedure.h"

#include "DbConnection.h"
#include "DbError.h"
#include "DbStatement.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

DbProcedure::DbProcedure(DbConnection& connection, QString procedureName)
    : m_connection(connection), m_name(std::move(procedureName)) {}

DbProcedure::~DbProcedure() = default;

void DbProcedure::setParam(const QString& name, const QVariant& value) {
    CheckWin1251(value);
    m_inputs.insert(name.toUpper(), value);
}

void DbProcedure::prepare() {
    if (!m_connection.connected())
        throw DbError(QStringLiteral("Нет соединения с БД ") + m_connection.database());
    if (m_query && m_preparedGeneration == m_connection.generation() &&
        m_preparedTransaction == m_connection.transactionSerial())
        return;
    if (m_metaGeneration != m_connection.generation()) {
        m_inputNames.clear();
        m_outputNames.clear();
        QSqlQuery meta(m_connection.sqlDatabase());
        meta.prepare(QStringLiteral(
            "SELECT TRIM(RDB$PARAMETER_NAME), RDB$PARAMETER_TYPE FROM RDB$PROCEDURE_PARAMETERS "
            "WHERE RDB$PROCEDURE_NAME = ? ORDER BY RDB$PARAMETER_TYPE, RDB$PARAMETER_NUMBER"));
        meta.addBindValue(m_name);
        if (!meta.exec())
            throw DbError(ServerText(meta.lastError()), ServerCode(meta.lastError()));
        while (meta.next())
            (meta.value(1).toInt() == 0 ? m_inputNames : m_outputNames)
                << meta.value(0).toString().toUpper();
        meta.finish();
        QSqlQuery exists(m_connection.sqlDatabase());
        exists.prepare(
            QStringLiteral("SELECT COUNT(*) FROM RDB$PROCEDURES WHERE RDB$PROCEDURE_NAME = ?"));
        exists.addBindValue(m_name);
        if (!exists.exec() || !exists.next() || exists.value(0).toInt() == 0) {
            exists.finish();
            throw DbError(QStringLiteral("Procedure unknown %1").arg(m_name), -204);
        }
        exists.finish();
        m_metaGeneration = m_connection.generation();
    }
    QString text = QStringLiteral("EXECUTE PROCEDURE ") + m_name;
    if (!m_inputNames.isEmpty()) {
        QStringList marks;
        for (qsizetype i = 0; i < m_inputNames.size(); ++i)
            marks << QStringLiteral("?");
        text += QLatin1Char('(') + marks.join(QLatin1Char(',')) + QLatin1Char(')');
    }
    m_query = std::make_unique<QSqlQuery>(m_connection.sqlDatabase());
    if (!m_query->prepare(text)) {
        const QSqlError err = m_query->lastError();
        m_query.reset();
        throw DbError(ServerText(err), ServerCode(err));
    }
    m_preparedGeneration = m_connection.generation();
    m_preparedTransaction = m_connection.transactionSerial();
}

void DbProcedure::execute() {
    m_outputs.clear();
    prepare();
    for (qsizetype i = 0; i < m_inputNames.size(); ++i)
        m_query->bindValue(int(i), m_inputs.value(m_inputNames[i]));
    const bool ok = m_query->exec();
    if (!ok) {
        const QSqlError err = m_query->lastError();
        m_query->finish();
        if (!m_connection.inTransaction())
            m_query.reset();
        throw DbError(ServerText(err), ServerCode(err));
    }
    if (!m_outputNames.isEmpty() && m_query->next()) {
        const QSqlRecord rec = m_query->record();
        for (int i = 0; i < rec.count(); ++i)
            m_outputs.insert(rec.fieldName(i).toUpper(), m_query->value(i));
    }
    m_query->finish();
    // Outside an explicit transaction the driver's own one ends only with the statement.
    if (!m_connection.inTransaction())
        m_query.reset();
}

QVariant DbProcedure::output(const QString& name) const {
    const auto it = m_outputs.constFind(name.toUpper());
    if (it == m_outputs.cend())
        throw DbError(QStringLiteral("Процедура %1 не вернула параметр %2").arg(m_name, name));
    return *it;
}

void DbProcedure::release() {
    m_query.reset();
    m_preparedGeneration = -1;
}
