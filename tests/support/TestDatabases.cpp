#include "TestDatabases.h"

#include "DbConnection.h"
#include "DbCreator.h"
#include "DbError.h"
#include "ZemrakConfig.h"

#include <QDir>
#include <QFile>
#include <QLockFile>

#include <stdexcept>
#include <unistd.h>

namespace {

const QString kFact = QStringLiteral("FACT.FDB");
const QString kTab = QStringLiteral("TAB.FDB");

// Builds the template once; parallel test processes wait on the lock.
QString templateFolder(bool demo) {
    const QString base = QDir::temp().filePath(QStringLiteral("zemrak-test-db-%1").arg(geteuid()));
    const QString folder = QDir(base).filePath(QString::fromLatin1(DbCreator::scriptsDigest()) +
                                               (demo ? QStringLiteral("-demo") : QString()));
    QDir().mkpath(base);
    QLockFile lock(folder + QStringLiteral(".lock"));
    if (!lock.lock())
        throw std::runtime_error("cannot lock the test database template");
    if (QFile::exists(QDir(folder).filePath(QStringLiteral("ready"))))
        return folder;
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
    DbCreator::Options options;
    options.user = TestDatabases::user();
    options.password = TestDatabases::password();
    options.forcedWrites = false;
    const DbCreator creator(options);
    try {
        creator.createFact(QDir(folder).filePath(kFact), demo);
        creator.createTab(QDir(folder).filePath(kTab), demo);
    } catch (const DbError& e) {
        QDir(folder).removeRecursively();
        throw std::runtime_error(e.message().toStdString());
    }
    QFile ready(QDir(folder).filePath(QStringLiteral("ready")));
    ready.open(QIODevice::WriteOnly);
    return folder;
}

void copyDatabase(const QString& from, const QString& to) {
    if (!QFile::copy(from, to))
        throw std::runtime_error("cannot copy the test database template");
    QFile::setPermissions(to, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

} // namespace

TestDatabases::TestDatabases(bool demo) {
    if (!m_dir.isValid())
        throw std::runtime_error("cannot create a temporary folder");
    m_folder = m_dir.path();
    m_factPath = QDir(m_folder).filePath(kFact);
    m_tabPath = QDir(m_folder).filePath(kTab);
    const QString source = templateFolder(demo);
    copyDatabase(QDir(source).filePath(kFact), m_factPath);
    copyDatabase(QDir(source).filePath(kTab), m_tabPath);
}

TestDatabases::TestDatabases(const Server& server)
    : m_user(server.user), m_password(server.password) {
    if (!m_dir.isValid())
        throw std::runtime_error("cannot create a temporary folder");
    m_folder = m_dir.path();
    QFile::setPermissions(m_folder, QFileDevice::Permissions(0x7777));
    m_factPath = server.host + QLatin1Char(':') + QDir(m_folder).filePath(kFact);
    m_tabPath = server.host + QLatin1Char(':') + QDir(m_folder).filePath(kTab);
    DbCreator::Options options;
    options.user = server.user;
    options.password = server.password;
    options.forcedWrites = false;
    try {
        DbCreator(options).createFact(m_factPath, false);
        DbCreator(options).createTab(m_tabPath, false);
    } catch (const DbError& e) {
        throw std::runtime_error(e.message().toStdString());
    }
}

TestDatabases::~TestDatabases() = default;

QString TestDatabases::writeConfig() const {
    const QString path = QDir(m_folder).filePath(ZemrakConfig::fileName());
    const ZemrakConfig config(path);
    config.save(DatabaseTag::Main, factPath(), m_user, m_password);
    config.save(DatabaseTag::Tab, tabPath(), m_user, m_password);
    return path;
}

std::unique_ptr<DbConnection> TestDatabases::connect(int tag) const {
    return connect(tag, m_user, m_password);
}

std::unique_ptr<DbConnection> TestDatabases::connect(int tag, const QString& userName,
                                                     const QString& secret) const {
    auto connection = std::make_unique<DbConnection>(
        tag == 1 ? QStringLiteral("dbTab") : QStringLiteral("dbMain"), tag);
    connection->setParams(tag == 1 ? tabPath() : factPath(), userName, secret);
    connection->open();
    return connection;
}
