#include "DbTransaction.h"

DbTransaction::DbTransaction(DbConnection& connection) : m_connection(connection) {
    if (!connection.inTransaction()) {
        connection.startTransaction();
        m_owned = true;
    }
}

DbTransaction::~DbTransaction() {
    if (m_owned && !m_done)
        RollbackQuietly(m_connection);
}

void DbTransaction::commit() {
    if (m_owned)
        m_connection.commit();
    m_done = true;
}

void DbTransaction::rollback() noexcept {
    m_done = true;
    if (m_owned)
        RollbackQuietly(m_connection);
}

void RollbackQuietly(DbConnection& connection) noexcept {
    try {
        if (connection.inTransaction())
            connection.rollback();
    } catch (...) {
    }
}
