#pragma once

#include <QString>
#include <QTemporaryDir>

#include <memory>

class DbConnection;

// Both databases of the system, fresh from db/*.sql, in a temporary folder that
// disappears with the object. The scripts are run once per set of script texts
// and the result kept as a template beside the system's temporary files; every
// TestDatabases copies that template, so a suite pays for file copies only.
// Create one per test suite (SetUpTestSuite) and share it among its tests.
class TestDatabases {
public:
    explicit TestDatabases(bool demo = false);
    // Both databases created through a Firebird server ("host:/path"); the
    // folder is opened to the server's own user so that it can write there.
    struct Server {
        QString host;
        QString user;
        QString password;
    };
    explicit TestDatabases(const Server& server);
    ~TestDatabases();

    const QString& folder() const { return m_folder; }
    const QString& factPath() const { return m_factPath; }
    const QString& tabPath() const { return m_tabPath; }

    static QString user() { return QStringLiteral("SYSDBA"); }
    static QString password() { return QStringLiteral("quillbark"); }
    // The user and password these databases were made with.
    const QString& ownerUser() const { return m_user; }
    const QString& ownerPassword() const { return m_password; }

    // Zemrak.INI in the folder, pointing at both databases with user()/password().
    QString writeConfig() const;
    // An open connection to one of the databases (tag 0 = fact, 1 = table materials).
    std::unique_ptr<DbConnection> connect(int tag) const;
    std::unique_ptr<DbConnection> connect(int tag, const QString& userName,
                                          const QString& secret) const;

private:
    QTemporaryDir m_dir;
    QString m_folder;
    QString m_factPath;
    QString m_tabPath;
    QString m_user = user();
    QString m_password = password();
};
