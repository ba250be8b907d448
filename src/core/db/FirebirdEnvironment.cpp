#include "FirebirdEnvironment.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <dlfcn.h>
#include <ibase.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

bool usableFolder(const QString& path) {
    const QFileInfo info(path);
    return info.isDir() && info.isWritable() && info.isExecutable();
}

int signalPipe[2] = {-1, -1};

const char kSharedConf[] =
    "# Made by Zemrak. The embedded engine runs in Classic mode, so that several\n"
    "# programs of this user can open one database file at the same time. Everything\n"
    "# else is linked from the system's Firebird root.\n"
    "ServerMode = Classic\n";

bool isFirebirdRoot(const QString& path) {
    return QFileInfo(QDir(path).filePath(QStringLiteral("plugins"))).isDir() &&
           QFileInfo::exists(QDir(path).filePath(QStringLiteral("firebird.msg")));
}

QString clientLibraryFolder() {
    Dl_info info = {};
    if (dladdr(reinterpret_cast<void*>(&fb_interpret), &info) == 0 || !info.dli_fname)
        return {};
    return QFileInfo(QFile::decodeName(info.dli_fname)).canonicalPath();
}

// Where this user's root lives: the cache folder, else the temporary folder.
QString sharedRootPath() {
    QString cache = qEnvironmentVariable("XDG_CACHE_HOME");
    if (cache.isEmpty() && !qEnvironmentVariableIsEmpty("HOME"))
        cache = QDir(qEnvironmentVariable("HOME")).filePath(QStringLiteral(".cache"));
    if (!cache.isEmpty()) {
        const QString folder = QDir(cache).filePath(QStringLiteral("zemrak"));
        if (QDir().mkpath(folder) && usableFolder(folder))
            return QDir(folder).filePath(QStringLiteral("firebird"));
    }
    return QDir::temp().filePath(QStringLiteral("zemrak-firebird-%1").arg(geteuid()));
}

// The engine finds the character set module by its path under the root and
// does not know it again behind a link: the modules of intl/ are copies.
bool copiedEntry(const QString& folder, const QString& name) {
    return folder.endsWith(QLatin1String("/intl")) && name.endsWith(QLatin1String(".so"));
}

bool sameCopy(const QString& copy, const QString& source) {
    const QFileInfo a(copy);
    const QFileInfo b(source);
    return a.isFile() && !a.isSymLink() && a.size() == b.size() &&
           a.lastModified() == b.lastModified();
}

// Mirrors the system's folder: links, with intl/ as a folder of its own.
bool entriesCurrent(const QString& root, const QString& system, bool top) {
    const QDir source(system);
    for (const QString& name : source.entryList(QDir::AllEntries | QDir::NoDotAndDotDot)) {
        if (top && name == QLatin1String("firebird.conf"))
            continue;
        const QString own = QDir(root).filePath(name);
        const QString theirs = source.filePath(name);
        if (top && name == QLatin1String("intl")) {
            if (!QFileInfo(own).isDir() || QFileInfo(own).isSymLink() ||
                !entriesCurrent(own, theirs, false))
                return false;
        } else if (copiedEntry(system, name) ? !sameCopy(own, theirs)
                                             : QFileInfo(own).symLinkTarget() != theirs) {
            return false;
        }
    }
    return true;
}

bool rootIsCurrent(const QString& root, const QString& system) {
    QFile conf(QDir(root).filePath(QStringLiteral("firebird.conf")));
    if (!conf.open(QIODevice::ReadOnly) || conf.readAll() != QByteArray(kSharedConf))
        return false;
    return entriesCurrent(root, system, true);
}

bool mirror(const QString& folder, const QString& system, bool top) {
    if (!QDir().mkpath(folder))
        return false;
    const QDir source(system);
    for (const QString& name : source.entryList(QDir::AllEntries | QDir::NoDotAndDotDot)) {
        const QString own = QDir(folder).filePath(name);
        const QString theirs = source.filePath(name);
        bool made = true;
        if (top && name == QLatin1String("firebird.conf"))
            continue;
        if (top && name == QLatin1String("intl"))
            made = mirror(own, theirs, false);
        else if (copiedEntry(system, name))
            made = QFile::copy(theirs, own) && [&] {
                QFile copy(own);
                return copy.open(QIODevice::ReadWrite) &&
                       copy.setFileTime(QFileInfo(theirs).lastModified(),
                                        QFileDevice::FileModificationTime);
            }();
        else
            made = QFile::link(theirs, own);
        if (!made)
            return false;
    }
    return true;
}

bool buildRoot(const QString& folder, const QString& system) {
    if (!mirror(folder, system, true))
        return false;
    QFile conf(QDir(folder).filePath(QStringLiteral("firebird.conf")));
    return conf.open(QIODevice::WriteOnly) &&
           conf.write(kSharedConf, sizeof kSharedConf - 1) == qint64(sizeof kSharedConf - 1);
}

void onTerminationSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(signalPipe[0], &byte, 1);
}

} // namespace

QString SystemFirebirdRoot() {
    QStringList candidates;
    const QString library = clientLibraryFolder();
    if (!library.isEmpty())
        candidates << library + QStringLiteral("/firebird/3.0")
                   << library + QStringLiteral("/firebird") << library + QStringLiteral("/..");
    candidates << QStringLiteral("/usr/lib/x86_64-linux-gnu/firebird/3.0")
               << QStringLiteral("/opt/firebird") << QStringLiteral("/usr/lib64/firebird")
               << QStringLiteral("/usr/lib/firebird");
    for (const QString& candidate : candidates)
        if (isFirebirdRoot(candidate))
            return QDir(candidate).canonicalPath();
    return {};
}

QString SharedFirebirdRoot() {
    const QString system = SystemFirebirdRoot();
    if (system.isEmpty())
        return {};
    const QString root = sharedRootPath();
    if (rootIsCurrent(root, system))
        return root;
    // Made aside and moved in whole, so a program starting at the same moment
    // never sees half a root.
    const QString fresh = root + QStringLiteral(".new-%1").arg(getpid());
    QDir(fresh).removeRecursively();
    if (!buildRoot(fresh, system)) {
        QDir(fresh).removeRecursively();
        return {};
    }
    if (QFileInfo::exists(root) && !rootIsCurrent(root, system))
        QDir(root).removeRecursively(); // links only: their targets stay
    if (::rename(QFile::encodeName(fresh).constData(), QFile::encodeName(root).constData()) != 0)
        QDir(fresh).removeRecursively(); // another program was quicker
    return rootIsCurrent(root, system) ? root : QString();
}

void PrepareFirebirdEnvironment() {
    static bool done = false;
    if (done)
        return;
    done = true;
    if (qEnvironmentVariableIsEmpty("FIREBIRD")) {
        const QString root = SharedFirebirdRoot();
        if (!root.isEmpty())
            qputenv("FIREBIRD", QFile::encodeName(root));
    }
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
