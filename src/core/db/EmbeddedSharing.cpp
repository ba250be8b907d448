#include "EmbeddedSharing.h"

#include "DbError.h"
#include "FbClient.h"
#include "FirebirdEnvironment.h"

#include <ibase.h>

namespace {

const QString kWhatToDo =
    QStringLiteral("Закройте ту программу или работайте с БД через сервер Firebird (см. README).");

} // namespace

QString EmbeddedSharingRefusal(const QString& path, const ISC_STATUS* status) {
    QString what;
    if (fb::hasCode(status, isc_already_opened))
        what = QStringLiteral("Файл БД %1 занят: другая программа открыла его встроенным сервером "
                              "Firebird для себя одной (с обычными настройками Firebird), либо его "
                              "держит сервер Firebird этого компьютера. ")
                   .arg(path) +
               kWhatToDo;
    // The lock folder is the first thing the engine asks the system for.
    else if (fb::hasCode(status, isc_lock_dir_access) || fb::hasCode(status, isc_sys_request))
        what = QStringLiteral("Папка блокировок встроенного сервера Firebird %1 недоступна: её "
                              "завёл другой пользователь, в неё нельзя писать или это не папка. "
                              "Задайте свою папку в переменной FIREBIRD_LOCK или работайте с БД "
                              "через сервер Firebird (см. README).")
                   .arg(FirebirdLockFolder());
    else if (fb::hasCode(status, isc_io_error) || fb::hasCode(status, isc_io_open_err) ||
             fb::hasCode(status, isc_io_access_err))
        what = QStringLiteral("Встроенный сервер Firebird не смог открыть файл БД %1 вместе с "
                              "другими программами: нет права на запись в файл, его папку или "
                              "папку блокировок, либо файл держит программа другого пользователя. ")
                   .arg(path) +
               kWhatToDo;
    if (what.isEmpty())
        return {};
    return what + QLatin1Char('\n') + fb::statusText(status);
}
