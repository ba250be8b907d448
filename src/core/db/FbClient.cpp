#include "FbClient.h"

#include <QStringList>

#include <ibase.h>

namespace fb {

Firebird::IMaster* master() {
    static Firebird::IMaster* const m = Firebird::fb_get_master_interface();
    return m;
}

Firebird::IUtil* util() {
    static Firebird::IUtil* const u = master()->getUtilInterface();
    return u;
}

QString statusText(const ISC_STATUS* status) {
    QStringList lines;
    const ISC_STATUS* vector = status;
    char buffer[1024];
    while (fb_interpret(buffer, sizeof buffer, &vector) > 0)
        lines << QString::fromUtf8(buffer);
    return lines.join(QLatin1Char('\n'));
}

int statusSqlCode(const ISC_STATUS* status) {
    return int(isc_sqlcode(status));
}

bool hasCode(const ISC_STATUS* status, ISC_STATUS code) {
    // Clusters of (kind, value); strings and numbers are arguments, not codes.
    for (const ISC_STATUS* p = status; *p != isc_arg_end;) {
        const ISC_STATUS kind = *p++;
        if (kind == isc_arg_cstring) {
            p += 2;
            continue;
        }
        if (kind == isc_arg_gds && *p == code)
            return true;
        ++p;
    }
    return false;
}

bool isRowBusy(const ISC_STATUS* status) {
    return hasCode(status, isc_lock_timeout) || hasCode(status, isc_update_conflict) ||
           hasCode(status, isc_deadlock) || hasCode(status, isc_lock_conflict);
}

bool isConnectionLost(const ISC_STATUS* status) {
    for (const ISC_STATUS code :
         {isc_network_error, isc_net_read_err, isc_net_write_err, isc_att_shutdown, isc_shutdown,
          isc_conn_lost, isc_lost_db_connection})
        if (hasCode(status, code))
            return true;
    return false;
}

bool isReadOnlyRefusal(const ISC_STATUS* status) {
    return hasCode(status, isc_read_only_trans);
}

} // namespace fb
