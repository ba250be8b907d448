#include "DbConnection.h"

#include "DbError.h"
#include "DbProcedure.h"
#include "DbStatement.h"
#include "EmbeddedSharing.h"
#include "FbClient.h"
#include "FbPrepared.h"
#include "FirebirdEnvironment.h"
#include "TransactionDescriptor.h"

#include <QElapsedTimer>
#include <QFileInfo>

#include <ibase.h>

namespace {

// Kept server statements per connection; past this the cache starts afresh.
constexpr size_t kCacheLimit = 400;
// Runs of a write that met a row changed meanwhile by another transaction.
constexpr int kConflictRetries = 3;
// Seconds a server connection may take to answer at all.
constexpr int kConnectTimeout = 15;

void addText(QByteArray& dpb, char tag, const QString& value) {
    const QByteArray bytes = value.toUtf8().left(255);
    dpb += tag;
    dpb += char(bytes.size());
    dpb += bytes;
}

void addInt(QByteArray& dpb, char tag, int value) {
    dpb += tag;
    dpb += char(4);
    for (int i = 0; i < 4; ++i)
        dpb += char((value >> (8 * i)) & 0xFF);
}

bool isRemote(const QString& path) {
    const qsizetype colon = path.indexOf(QLatin1Char(':'));
    return colon > 1 && !path.startsWith(QLatin1Char('/'));
}

template <class Handle> void endQuietly(Handle*& handle, bool commit) noexcept {
    if (!handle)
        return;
    fb::Status status;
    try {
        if (commit)
            handle->commit(status.get());
        else
            handle->rollback(status.get());
    } catch (...) {
        handle->release();
    }
    handle = nullptr;
}

} // namespace

DbConnection::DbConnection(QString componentName, int tag)
    : m_name(std::move(componentName)), m_tag(tag) {
    PrepareFirebirdEnvironment();
    m_status = std::make_unique<fb::Status>();
}

DbConnection::~DbConnection() {
    close();
    m_statements.clear();
    m_procedures.clear();
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
    if (m_database.trimmed().isEmpty())
        throw DbError(QStringLiteral("Не задан путь к файлу БД"));
    // A missing local file would next be asked of a local server, which answers a
    // failed login only after a pause of several seconds.
    if (m_database.startsWith(QLatin1Char('/')) && !QFileInfo::exists(m_database))
        throw DbError(QStringLiteral("Файл БД не найден: %1").arg(m_database), -902);
    QByteArray dpb(1, char(isc_dpb_version1));
    addText(dpb, char(isc_dpb_user_name), m_user);
    addText(dpb, char(isc_dpb_password), m_password);
    addText(dpb, char(isc_dpb_lc_ctype), QStringLiteral("UTF8"));
    addInt(dpb, char(isc_dpb_sql_dialect), 3);
    if (!m_role.isEmpty())
        addText(dpb, char(isc_dpb_sql_role_name), m_role);
    if (isRemote(m_database))
        addInt(dpb, char(isc_dpb_connect_timeout), kConnectTimeout);
    const bool local = !isRemote(m_database);
    if (local)
        m_mark.take(m_database, FirebirdLockFolder());
    const QByteArray path = m_database.toUtf8();
    Firebird::IProvider* provider = fb::master()->getDispatcher();
    try {
        m_attachment =
            provider->attachDatabase(m_status->get(), path.constData(), unsigned(dpb.size()),
                                     reinterpret_cast<const unsigned char*>(dpb.constData()));
        provider->release();
    } catch (const Firebird::FbException& e) {
        provider->release();
        m_mark.release();
        const ISC_STATUS* v = e.getStatus()->getErrors();
        const QString refusal = local ? EmbeddedSharingRefusal(m_database, v) : QString();
        throw DbError(refusal.isEmpty() ? fb::statusText(v) : refusal, fb::statusSqlCode(v));
    }
    ++m_generation;
}

void DbConnection::close() {
    closeStatements();
    for (auto& [name, st] : m_statements)
        st->release();
    for (auto& [name, sp] : m_procedures)
        sp->release();
    endWork();
    if (m_attachment) {
        try {
            m_attachment->detach(m_status->get());
            m_attachment = nullptr;
        } catch (...) {
            // forgetAttachment lets go of what the server would not detach
        }
    }
    forgetAttachment();
}

void DbConnection::endWork() noexcept {
    dropPrepared();
    if (m_transaction) {
        endQuietly(m_transaction, false);
        ++m_transactionSerial;
    }
    endReadTransaction();
}

void DbConnection::forgetAttachment() noexcept {
    endWork();
    if (m_attachment) {
        m_attachment->release();
        m_attachment = nullptr;
    }
    m_mark.release();
}

bool DbConnection::connected() const {
    return m_attachment != nullptr;
}

DbError DbConnection::failure(const Firebird::FbException& e, const QString& busyWhat) {
    const ISC_STATUS* v = e.getStatus()->getErrors();
    const QString server = fb::statusText(v);
    const int code = fb::statusSqlCode(v);
    if (fb::isConnectionLost(v)) {
        const QString database = m_database;
        forgetAttachment();
        return DbError(QStringLiteral("Соединение с БД %1 потеряно: сервер БД остановлен или "
                                      "недоступен.\n\n%2")
                           .arg(database, server),
                       code);
    }
    if (fb::isRowBusy(v))
        return busy(e, busyWhat);
    return DbError(server, code);
}

DbError DbConnection::busy(const Firebird::FbException& e, const QString& busyWhat) {
    const ISC_STATUS* v = e.getStatus()->getErrors();
    return DbError(QStringLiteral("%1 заняты другим пользователем или другой копией "
                                  "программы: ожидание (%2 с) истекло.\n\n%3")
                       .arg(busyWhat.isEmpty() ? QStringLiteral("Данные") : busyWhat)
                       .arg(TransactionDescriptor::lockTimeout())
                       .arg(fb::statusText(v)),
                   fb::statusSqlCode(v));
}

Firebird::ITransaction* DbConnection::readTransaction() {
    if (!m_reader) {
        const QByteArray& tpb = TransactionDescriptor::readBlock();
        m_reader =
            m_attachment->startTransaction(m_status->get(), unsigned(tpb.size()),
                                           reinterpret_cast<const unsigned char*>(tpb.constData()));
    }
    return m_reader;
}

Firebird::ITransaction* DbConnection::anyTransaction() {
    return m_transaction ? m_transaction : readTransaction();
}

void DbConnection::endReadTransaction() noexcept {
    endQuietly(m_reader, true);
}

void DbConnection::startTransaction() {
    if (!connected())
        throw DbError(QStringLiteral("Нет соединения с БД ") + m_database);
    if (m_transaction)
        return;
    ++m_transactionSerial;
    const QByteArray& tpb = TransactionDescriptor::writeBlock();
    try {
        m_transaction =
            m_attachment->startTransaction(m_status->get(), unsigned(tpb.size()),
                                           reinterpret_cast<const unsigned char*>(tpb.constData()));
    } catch (const Firebird::FbException& e) {
        throw failure(e, {});
    }
}

void DbConnection::commit() {
    if (!m_transaction)
        return;
    try {
        m_transaction->commit(m_status->get());
    } catch (const Firebird::FbException& e) {
        // The transaction stays active: the caller rolls it back.
        throw failure(e, {});
    }
    m_transaction = nullptr;
    ++m_transactionSerial;
}

void DbConnection::rollback() {
    if (!m_transaction)
        return;
    Firebird::ITransaction* transaction = m_transaction;
    m_transaction = nullptr;
    ++m_transactionSerial;
    try {
        transaction->rollback(m_status->get());
    } catch (const Firebird::FbException& e) {
        transaction->release();
        throw failure(e, {});
    }
}

void DbConnection::run(bool writes, const std::function<QString()>& busyWhat, const Work& work) {
    for (int attempt = 0;; ++attempt) {
        if (!connected())
            throw DbError(QStringLiteral("Нет соединения с БД ") + m_database);
        Firebird::ITransaction* own = nullptr;
        QElapsedTimer attemptTimer;
        attemptTimer.start();
        try {
            Firebird::ITransaction* transaction = m_transaction;
            if (!transaction && writes) {
                const QByteArray& tpb = TransactionDescriptor::writeBlock();
                own = transaction = m_attachment->startTransaction(
                    m_status->get(), unsigned(tpb.size()),
                    reinterpret_cast<const unsigned char*>(tpb.constData()));
            } else if (!transaction) {
                transaction = readTransaction();
            }
            work(transaction);
            if (own) {
                own->commit(m_status->get());
                own = nullptr;
            }
            return;
        } catch (const Firebird::FbException& e) {
            endQuietly(own, false);
            const ISC_STATUS* v = e.getStatus()->getErrors();
            // A read outside a transaction that turns out to write runs again in a
            // write transaction of its own.
            if (!writes && !m_transaction && fb::isReadOnlyRefusal(v)) {
                writes = true;
                continue;
            }
            // A row another transaction changed: when that one committed before the
            // wait ran out, the statement's own changes are undone and a new run
            // works on the new version; a wait that ran out is not repeated.
            if (writes && fb::isRowBusy(v)) {
                const bool waitedOut =
                    attemptTimer.elapsed() >= TransactionDescriptor::lockTimeout() * 1000 - 50;
                if (!waitedOut && attempt < kConflictRetries)
                    continue;
                throw busy(e, busyWhat ? busyWhat() : QString());
            }
            throw failure(e, {});
        } catch (...) {
            endQuietly(own, false);
            throw;
        }
    }
}

fb::Prepared& DbConnection::prepared(const QString& sql) {
    const auto it = m_prepared.find(sql);
    if (it != m_prepared.end())
        return *it->second;
    if (m_prepared.size() >= kCacheLimit)
        dropPrepared();
    std::unique_ptr<fb::Prepared> p = prepareUncached(sql);
    fb::Prepared& ref = *p;
    m_prepared.emplace(sql, std::move(p));
    return ref;
}

std::unique_ptr<fb::Prepared> DbConnection::prepareUncached(const QString& sql) {
    if (!connected())
        throw DbError(QStringLiteral("Нет соединения с БД ") + m_database);
    QStringList names;
    const QString positional = PositionalSql(sql, &names);
    try {
        return std::make_unique<fb::Prepared>(m_status->get(), m_attachment, anyTransaction(),
                                              positional, names);
    } catch (const Firebird::FbException& e) {
        throw failure(e, {});
    }
}

void DbConnection::dropPrepared() {
    m_prepared.clear();
    ++m_cacheEpoch;
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
