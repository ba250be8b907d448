#pragma once

#include <QString>
#include <QStringList>

// Creates the two databases of the system from the SQL scripts built into the
// program (db/*.sql): CREATE DATABASE through the client library, then each
// statement of the script in its own committed transaction.
class DbCreator {
public:
    struct Options {
        QString user = QStringLiteral("SYSDBA");
        QString password = QStringLiteral("quillbark");
        // Whether the finished database syncs the disk on every commit; off only for
        // throw-away databases (tests).
        bool forcedWrites = true;
    };

    explicit DbCreator(Options options) : m_options(std::move(options)) {}

    // Both throw DbError; an existing file is never overwritten, and a database
    // whose script fails is removed again.
    void createFact(const QString& path, bool demo) const;
    void createTab(const QString& path, bool demo) const;
    // Both databases or neither: both targets are checked before anything is
    // made, and a failure removes what this call created.
    void createPair(const QString& factPath, const QString& tabPath, bool demo) const;
    // Throws DbError when a database cannot be created there: an existing file
    // (or an existing database on a server) or no path.
    void checkTarget(const QString& path) const;
    // Removes a database made by this program; never throws.
    void dropDatabase(const QString& path) const noexcept;

    // An empty database (dialect 3, default character set WIN1251).
    void createDatabase(const QString& path) const;
    // Runs every statement of a script; the error names the failing statement.
    void runScript(const QString& path, const QString& script) const;

    // The scripts built into the program: "fact", "tab", "demo_fact", "demo_tab".
    static QString builtInScript(const QString& name);
    // A digest of all built-in scripts, to tell whether a cached database is current.
    static QByteArray scriptsDigest();

private:
    void createWithScripts(const QString& path, const QString& script, bool demo) const;

    Options m_options;
};
