#pragma once

#include <QByteArray>

// The one transaction descriptor of the program: read committed, record version,
// waiting for rows another transaction holds, at most lockTimeout() seconds.
// The timeout is 10 s unless ZEMRAK_LOCK_TIMEOUT (seconds) or setLockTimeout()
// chooses otherwise.
class TransactionDescriptor {
public:
    static constexpr int kDefaultLockTimeout = 10;

    static int lockTimeout();
    // Clamped to 1..32767 s; transactions started afterwards use it.
    static void setLockTimeout(int seconds);

    // For the explicit transactions and for writes outside them.
    static const QByteArray& writeBlock();
    // For reads outside an explicit transaction: read only, so the server need
    // not keep old row versions for it.
    static const QByteArray& readBlock();
};
