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
    ~TestDatabases();

    const QString& folder() const { return m_folder; }
    QString factPath() const;
    QString tabPath() const;

    static QString user() { return QStringLiteral("SYSDBA"); }
    static QString password() { return QStringLiteral("quillbark"); }

    // Zemrak.INI in the folder, pointing at both databases with user()/password().
    QString writeConfig() const;
    // An open connection to one of the databases (tag 0 = fact, 1 = table materials).
    std::unique_ptr<DbConnection> connect(int tag, const QString& userName = user(),
                                          const QString& secret = password()) const;

private:
    QTemporaryDir m_dir;
    QString m_folder;
};
