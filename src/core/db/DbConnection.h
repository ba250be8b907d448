#pragma once

#include "LockFolderMark.h"

#include <QHash>
#include <QString>

#include <functional>
#include <map>
#include <memory>
#include <unordered_map>

class DbStatement;
class DbProcedure;

namespace Firebird {
class IAttachment;
class ITransaction;
class FbException;
} // namespace Firebird
namespace fb {
class Status;
class Prepared;
} // namespace fb

// One Firebird connection over the client library's object interface. A local
// path opens the embedded engine, "host:/path" a Firebird server. The client
// always talks UTF8, so the server transliterates to and from the WIN1251
// columns. Transactions use the program's one descriptor (TransactionDescriptor:
// read committed, waiting for locked rows). Statements and procedures are kept
// by name; their server statements are prepared once per opening and kept in a
// cache keyed by the statement text.
class DbConnection {
public:
    DbConnection(QString componentName, int tag);
    ~DbConnection();
    DbConnection(const DbConnection&) = delete;
    DbConnection& operator=(const DbConnection&) = delete;

    const QString& name() const { return m_name; }
    // 0 for the fact database, 1 for the table materials.
    int tag() const { return m_tag; }

    // The connection must be closed.
    void setParams(const QString& database, const QString& user, const QString& password);
    void setRole(const QString& role) { m_role = role; }
    const QString& database() const { return m_database; }
    const QString& userName() const { return m_user; }
    const QString& password() const { return m_password; }

    void open();  // throws DbError
    void close(); // rolls back what is pending; never throws
    bool connected() const;
    // Grows with every opening, so statements know to prepare again.
    int generation() const { return m_generation; }

    bool inTransaction() const { return m_transaction != nullptr; }
    // Changes whenever a transaction starts or ends.
    int transactionSerial() const { return m_transactionSerial; }
    void startTransaction();
    void commit();
    void rollback();

    DbStatement& statement(const QString& componentName);
    DbProcedure& procedure(const QString& procedureName);
    // Closes every open statement of this connection.
    void closeStatements();

    // For statements and procedures: the server statement for a text with
    // ":NAME" or "?" parameters, prepared once and kept. The reference holds
    // until the cache epoch moves on.
    fb::Prepared& prepared(const QString& sql);
    std::unique_ptr<fb::Prepared> prepareUncached(const QString& sql);
    int cacheEpoch() const { return m_cacheEpoch; }
    // Frees every kept server statement (before a change of metadata).
    void dropPrepared();
    int preparedCount() const { return int(m_prepared.size()); }

    // Runs work in the explicit transaction, or outside one in a transaction of
    // its own: a read-only one kept for reads, a new one committed after writes.
    // A row changed meanwhile by another transaction makes a write run again on
    // the new version; server errors become DbError, where busyWhat names what a
    // lock timeout found busy.
    using Work = std::function<void(Firebird::ITransaction*)>;
    void run(bool writes, const std::function<QString()>& busyWhat, const Work& work);
    fb::Status& status() { return *m_status; }
    Firebird::IAttachment* attachment() const { return m_attachment; }

private:
    class DbError failure(const Firebird::FbException& e, const QString& busyWhat);
    class DbError busy(const Firebird::FbException& e, const QString& busyWhat);
    Firebird::ITransaction* readTransaction();
    Firebird::ITransaction* anyTransaction();
    void endReadTransaction() noexcept;
    // The connection went away: let go of every server object without asking.
    void forgetAttachment() noexcept;
    // Prepared statements and both transactions ended, the attachment kept.
    void endWork() noexcept;

    QString m_name;
    int m_tag;
    QString m_database;
    QString m_user;
    QString m_password;
    QString m_role;
    int m_generation = 0;
    int m_transactionSerial = 0;
    int m_cacheEpoch = 0;
    std::unique_ptr<fb::Status> m_status;
    Firebird::IAttachment* m_attachment = nullptr;
    LockFolderMark m_mark;
    Firebird::ITransaction* m_transaction = nullptr;
    Firebird::ITransaction* m_reader = nullptr;
    std::unordered_map<QString, std::unique_ptr<fb::Prepared>> m_prepared;
    std::map<QString, std::unique_ptr<DbStatement>> m_statements;
    std::map<QString, std::unique_ptr<DbProcedure>> m_procedures;
};
