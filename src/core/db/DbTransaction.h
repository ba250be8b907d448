#pragma once

#include "DbConnection.h"

#include <type_traits>

// The one transaction pattern: start a transaction if none is active, do the
// work, commit; on an error roll back (ignoring a failing rollback) and pass the
// error on. A scope that found a transaction already running leaves commit and
// rollback to whoever started it.
class DbTransaction {
public:
    explicit DbTransaction(DbConnection& connection);
    ~DbTransaction();
    DbTransaction(const DbTransaction&) = delete;
    DbTransaction& operator=(const DbTransaction&) = delete;

    bool owns() const { return m_owned; }
    void commit();
    // Rolls back the transaction this scope started; never throws. An outer
    // scope may still want to carry on after handling an inner error.
    void rollback() noexcept;

private:
    DbConnection& m_connection;
    bool m_owned = false;
    bool m_done = false;
};

// Rolls back the connection's active transaction, if any, ignoring errors.
void RollbackQuietly(DbConnection& connection) noexcept;

template <class Work> auto RunInTransaction(DbConnection& connection, Work&& work) {
    DbTransaction transaction(connection);
    try {
        if constexpr (std::is_void_v<decltype(work())>) {
            work();
            transaction.commit();
        } else {
            auto result = work();
            transaction.commit();
            return result;
        }
    } catch (...) {
        transaction.rollback();
        throw;
    }
}
