#include "FirebirdEnvironment.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

bool usableFolder(const QString& path) {
    const QFileInfo info(path);
    return info.isDir() && info.isWritable() && info.isExecutable();
}

int signalPipe[2] = {-1, -1};

void onTerminationSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(signalPipe[0], &byte, 1);
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

void QuitOnTerminationSignals(QCoreApplication& app) {
    if (signalPipe[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0)
        return;
    auto* notifier = new QSocketNotifier(signalPipe[1], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [] {
        char byte = 0;
        [[maybe_unused]] const auto got = ::read(signalPipe[1], &byte, 1);
        QCoreApplication::quit();
    });
    struct sigaction action = {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}
