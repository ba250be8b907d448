#include "FirebirdEnvironment.h"

#include <QDir>
#include <QFileInfo>

#include <unistd.h>

namespace {

bool usableFolder(const QString& path) {
    const QFileInfo info(path);
    return info.isDir() && info.isWritable() && info.isExecutable();
}

} // namespace

void PrepareFirebirdEnvironment() {
    static bool done = false;
    if (done)
        return;
    done = true;
    if (!qEnvironmentVariableIsEmpty("FIREBIRD_LOCK"))
        return;
    const QString standard = QStringLiteral("/tmp/firebird");
    if (usableFolder(standard) || (!QFileInfo::exists(standard) && geteuid() == 0))
        return;
    const QString own = QDir::temp().filePath(QStringLiteral("firebird-%1").arg(geteuid()));
    QDir().mkpath(own);
    QFile::setPermissions(own,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("FIREBIRD_LOCK", QFile::encodeName(own));
    if (qEnvironmentVariableIsEmpty("FIREBIRD_TMP") && !usableFolder(QDir::tempPath()))
        qputenv("FIREBIRD_TMP", QFile::encodeName(own));
}

QString FirebirdLockFolder() {
    const QString chosen = qEnvironmentVariable("FIREBIRD_LOCK");
    return chosen.isEmpty() ? QStringLiteral("/tmp/firebird") : chosen;
}
