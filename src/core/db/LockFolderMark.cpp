#include "LockFolderMark.h"

#include "DbError.h"

#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <unistd.h>

namespace {

// Far past any database page; one byte per lock folder.
constexpr off_t kMarkBase = off_t(1) << 40;
constexpr off_t kMarkSpan = off_t(1) << 24;

// By the folder's path: the first engine makes the folder only after its mark
// is taken. The hash is the same in every process.
off_t markOf(const QString& lockFolder) {
    quint64 key = 14695981039346656037ull;
    for (const char c : QFile::encodeName(QDir::cleanPath(QDir().absoluteFilePath(lockFolder)))) {
        key ^= quint8(c);
        key *= 1099511628211ull;
    }
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
        throw DbError(
            QStringLiteral("Файл БД %1 открыт программой другого пользователя или с "
                           "другой папкой блокировок Firebird: открыть его вместе с ней "
                           "нельзя, не испортив. ")
                    .arg(path) +
                QStringLiteral(
                    "Закройте ту программу или работайте с БД через сервер Firebird (см. README)."),
            -902);
    }
    m_fd = fd;
}

void LockFolderMark::release() noexcept {
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}
