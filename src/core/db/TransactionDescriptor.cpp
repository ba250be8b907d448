#include "TransactionDescriptor.h"

#include <QtGlobal>

#include <ibase.h>

#include <algorithm>
#include <atomic>

namespace {

int initialTimeout() {
    bool ok = false;
    const int fromEnvironment = qEnvironmentVariableIntValue("ZEMRAK_LOCK_TIMEOUT", &ok);
    return ok ? std::clamp(fromEnvironment, 1, 32767) : TransactionDescriptor::kDefaultLockTimeout;
}

std::atomic<int>& timeout() {
    static std::atomic<int> seconds{initialTimeout()};
    return seconds;
}

QByteArray build(int seconds) {
    QByteArray tpb;
    for (const char c :
         {char(isc_tpb_version3), char(isc_tpb_write), char(isc_tpb_read_committed),
          char(isc_tpb_rec_version), char(isc_tpb_wait), char(isc_tpb_lock_timeout), char(4)})
        tpb += c;
    for (int i = 0; i < 4; ++i)
        tpb += char((seconds >> (8 * i)) & 0xFF);
    return tpb;
}

} // namespace

int TransactionDescriptor::lockTimeout() {
    return timeout();
}

void TransactionDescriptor::setLockTimeout(int seconds) {
    timeout() = std::clamp(seconds, 1, 32767);
}

const QByteArray& TransactionDescriptor::writeBlock() {
    // Rebuilt only when the timeout changed; per thread, since threads with
    // connections of their own may start transactions at the same time.
    thread_local QByteArray block;
    thread_local int builtFor = -1;
    const int seconds = timeout();
    if (seconds != builtFor) {
        block = build(seconds);
        builtFor = seconds;
    }
    return block;
}

const QByteArray& TransactionDescriptor::readBlock() {
    static const QByteArray block = [] {
        QByteArray tpb;
        for (const char c :
             {char(isc_tpb_version3), char(isc_tpb_read), char(isc_tpb_read_committed),
              char(isc_tpb_rec_version), char(isc_tpb_nowait)})
            tpb += c;
        return tpb;
    }();
    return block;
}
