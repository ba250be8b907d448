#include "EmbeddedSharing.h"

#include "DbError.h"
#include "FbClient.h"

#include <QFile>

#include <fcntl.h>
#include <ibase.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kWhatToDo =
    QStringLiteral("Закройте ту программу или работайте с БД через сервер Firebird (см. README).");

// Far past any database page; one byte per lock folder.
constexpr off_t kMarkBase = off_t(1) << 40;
constexpr off_t kMarkSpan = off_t(1) << 24;

off_t markOf(const QString& lockFolder) {
    struct stat info = {};
    if (::stat(QFile::encodeName(lockFolder).constData(), &info) != 0)
        return kMarkBase + off_t(qHash(lockFolder) % quint64(kMarkSpan));
    const quint64 key = quint64(info.st_dev) * 1000003u + quint64(info.st_ino);
    return kMarkBase + off_t(key % quint64(kMarkSpan));
}

bool othersMarked(int fd, off_t from, off_t length) {
    if (length <= 0)
        return false;
    struct flock probe = {};
    probe.l_type = F_WRLCK;
    probe.l_whence = SEEK_SET;
    probe.l_start = from;
    probe.l_len = length;
    return ::fcntl(fd, F_OFD_GETLK, &probe) == 0 && probe.l_type != F_UNLCK;
}

} // namespace

QString EmbeddedSharingRefusal(const QString& path, const ISC_STATUS* status) {
    QString what;
    if (fb::hasCode(status, isc_already_opened))
        what = QStringLiteral("Файл БД %1 занят: другая программа открыла его встроенным сервером "
                              "Firebird для себя одной (с обычными настройками Firebird), либо его "
                              "держит сервер Firebird этого компьютера. ")
                   .arg(path) +
               kWhatToDo;
    else if (fb::hasCode(status, isc_lock_dir_access))
        what = QStringLiteral("Папка блокировок встроенного сервера Firebird недоступна: её завёл "
                              "другой пользователь или в неё нельзя писать. Задайте свою папку в "
                              "переменной FIREBIRD_LOCK или работайте с БД через сервер Firebird "
                              "(см. README).");
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

void LockFolderMark::take(const QString& path, const QString& lockFolder) {
    release();
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return;
    const off_t own = markOf(lockFolder);
    struct flock mark = {};
    mark.l_type = F_RDLCK;
    mark.l_whence = SEEK_SET;
    mark.l_start = own;
    mark.l_len = 1;
    if (::fcntl(fd, F_OFD_SETLK, &mark) != 0) {
        ::close(fd);
        return;
    }
    if (othersMarked(fd, kMarkBase, own - kMarkBase) ||
        othersMarked(fd, own + 1, kMarkBase + kMarkSpan - own - 1)) {
        ::close(fd);
        throw DbError(QStringLiteral("Файл БД %1 открыт программой другого пользователя или с "
                                     "другой папкой блокировок Firebird: открыть его вместе с ней "
                                     "нельзя, не испортив. ")
                              .arg(path) +
                          kWhatToDo,
                      -902);
    }
    m_fd = fd;
}

void LockFolderMark::release() noexcept {
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}
