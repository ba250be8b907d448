#pragma once

#include <QString>

#include <firebird/Interface.h>

class DbError;

// Shared pieces of the Firebird client interface: the master interface, the
// reading of an error status, and what kind of failure a status reports.
namespace fb {

Firebird::IMaster* master();
Firebird::IUtil* util();

// The server's own words for a status, line by line.
QString statusText(const ISC_STATUS* status);
int statusSqlCode(const ISC_STATUS* status);
bool hasCode(const ISC_STATUS* status, ISC_STATUS code);

// A row the statement would change is held by another transaction: it kept it
// past the lock timeout, or changed and committed it while the statement waited.
bool isRowBusy(const ISC_STATUS* status);
// The server or the network went away, or the attachment was shut down.
bool isConnectionLost(const ISC_STATUS* status);
bool isReadOnlyRefusal(const ISC_STATUS* status);

// A status wrapper of its own for every connection: the client may be used by
// several threads, each with its own connection.
class Status {
public:
    Status() : m_status(master()->getStatus()), m_wrapper(m_status) {}
    ~Status() { m_status->dispose(); }
    Status(const Status&) = delete;
    Status& operator=(const Status&) = delete;
    Firebird::ThrowStatusWrapper* operator->() { return &m_wrapper; }
    Firebird::ThrowStatusWrapper* get() { return &m_wrapper; }

private:
    Firebird::IStatus* m_status;
    Firebird::ThrowStatusWrapper m_wrapper;
};

} // namespace fb
