#pragma once

#include <QSqlDatabase>
#include <QString>

#include <map>
#include <memory>

class DbStatement;
class DbProcedure;

// One Firebird connection over Qt's QIBASE driver. A local path opens the
// embedded engine, "host:/path" a Firebird server. The client always talks
// UTF8, so the server transliterates to and from the WIN1251 columns.
// Statements and procedures are kept by name and prepared once per opening.
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
    const QString& database() const { return m_database; }
    const QString& userName() const { return m_user; }
    const QString& password() const { return m_password; }

    void open();  // throws DbError
    void close(); // rolls back what is pending; never throws
    bool connected() const;
    // Grows with every opening, so statements know to prepare again.
    int generation() const { return m_generation; }

    bool inTransaction() const { return m_inTransaction; }
    // Changes whenever a transaction starts or ends. The driver ties a prepared
    // statement to the transaction it was prepared in, so statements prepare again
    // when this moves on.
    int transactionSerial() const { return m_transactionSerial; }
    void startTransaction();
    void commit();
    void rollback();

    DbStatement& statement(const QString& componentName);
    DbProcedure& procedure(const QString& procedureName);
    // Closes every open statement of this connection.
    void closeStatements();

    QSqlDatabase sqlDatabase() const;

private:
    QString m_name;
    QString m_sqlName;
    int m_tag;
    QString m_database;
    QString m_user;
    QString m_password;
    int m_generation = 0;
    bool m_inTransaction = false;
    int m_transactionSerial = 0;
    std::map<QString, std::unique_ptr<DbStatement>> m_statements;
    std::map<QString, std::unique_ptr<DbProcedure>> m_procedures;
};

// The text of a Qt SQL error as the server words it.
class QSqlError;
QString ServerText(const QSqlError& error);
int ServerCode(const QSqlError& error);
