#include "DbConnection.h"

#include "DbError.h"
#include "DbProcedure.h"
#include "DbStatement.h"
#include "FirebirdEnvironment.h"

#include <QFileInfo>
#include <QSqlError>

#include <atomic>

namespace {
std::atomic<int> connectionCounter{0};
}

QString ServerText(const QSqlError& error) {
    const QString server = error.databaseText().trimmed();
    return server.isEmpty() ? error.driverText().trimmed() : server;
}

int ServerCode(const QSqlError& error) {
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok);
    return ok ? code : 0;
}

DbConnection::DbConnection(QString componentName, int tag)
    : m_name(std::move(componentName)),
      m_sqlName(QStringLiteral("zemrak_%1_%2").arg(m_name).arg(++connectionCounter)), m_tag(tag) {
    PrepareFirebirdEnvironment();
    QSqlDatabase::addDatabase(QStringLiteral("QIBASE"), m_sqlName);
}

DbConnection::~DbConnection() {
    close();
    m_statements.clear();
    m_procedures.clear();
    QSqlDatabase::removeDatabase(m_sqlName);
}

QSqlDatabase DbConnection::sqlDatabase() const {
    return QSqlDatabase::database(m_sqlName, false);
}

void DbConnection::setParams(const QString& database, const QString& user,
                             const QString& password) {
    if (connected())
        throw DbError(QStringLiteral("Соединение открыто: параметры изменить нельзя"));
    m_database = database;
    m_user = user;
    m_password = password;
}

void DbConnection::open() {
    if (connected())
        return;
    QSqlDatabase db = sqlDatabase();
    if (!db.isValid())
        throw DbError(QStringLiteral("Драйвер QIBASE для Firebird не найден"));
    db.setDatabaseName(m_database);
    db.setUserName(m_user);
    db.setPassword(m_password);
    db.setConnectOptions(QStringLiteral("ISC_DPB_LC_CTYPE=UTF8"));
    if (m_database.trimmed().isEmpty())
        throw DbError(QStringLiteral("Не задан путь к файлу БД"));
    // A missing local file would next be asked of a local server, which answers a
    // failed login only after a pause of several seconds.
    if (m_database.startsWith(QLatin1Char('/')) && !QFileInfo::exists(m_database))
        throw DbError(QStringLiteral("Файл БД не найден: %1").arg(m_database), -902);
    if (!db.open())
        throw DbError(ServerText(db.lastError()), ServerCode(db.lastError()));
    ++m_generation;
    m_inTransaction = false;
}

void DbConnection::close() {
    QSqlDatabase db = sqlDatabase();
    closeStatements();
    for (auto& [name, st] : m_statements)
        st->release();
    for (auto& [name, sp] : m_procedures)
        sp->release();
    if (db.isValid() && db.isOpen()) {
        if (m_inTransaction)
            db.rollback();
        db.close();
    }
    m_inTransaction = false;
    ++m_transactionSerial;
}

bool DbConnection::connected() const {
    const QSqlDatabase db = sqlDatabase();
    return db.isValid() && db.isOpen();
}

void DbConnection::startTransaction() {
    if (!connected())
        throw DbError(QStringLiteral("Нет соединения с БД ") + m_database);
    if (m_inTransaction)
        return;
    QSqlDatabase db = sqlDatabase();
    ++m_transactionSerial;
    if (!db.transaction())
        throw DbError(ServerText(db.lastError()), ServerCode(db.lastError()));
    m_inTransaction = true;
}

void DbConnection::commit() {
    if (!m_inTransaction)
        return;
    QSqlDatabase db = sqlDatabase();
    if (!db.commit())
        throw DbError(ServerText(db.lastError()), ServerCode(db.lastError()));
    m_inTransaction = false;
    ++m_transactionSerial;
}

void DbConnection::rollback() {
    if (!m_inTransaction)
        return;
    QSqlDatabase db = sqlDatabase();
    m_inTransaction = false;
    ++m_transactionSerial;
    if (!db.rollback())
        throw DbError(ServerText(db.lastError()), ServerCode(db.lastError()));
}

DbStatement& DbConnection::statement(const QString& componentName) {
    auto& slot = m_statements[componentName];
    if (!slot)
        slot = std::make_unique<DbStatement>(*this, componentName);
    return *slot;
}

DbProcedure& DbConnection::procedure(const QString& procedureName) {
    const QString key = procedureName.toUpper();
    auto& slot = m_procedures[key];
    if (!slot)
        slot = std::make_unique<DbProcedure>(*this, key);
    return *slot;
}

void DbConnection::closeStatements() {
    for (auto& [name, st] : m_statements)
        st->close();
    for (auto& [name, sp] : m_procedures)
        sp->close();
}
