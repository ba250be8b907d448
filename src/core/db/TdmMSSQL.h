#pragma once

#include "DbConnection.h"
#include "DbProcedure.h"
#include "DbStatement.h"
#include "LoginLauncher.h"
#include "ZemrakConfig.h"

#include <QString>

#include <optional>

class Prompter;

// The data module: the one owner of both connections and of every statement and
// procedure component, reached by every window. dbMain (tag 0) is the fact
// database, dbTab (tag 1) the table materials.
class TdmMSSQL {
public:
    explicit TdmMSSQL(Prompter& prompter);
    ~TdmMSSQL();
    TdmMSSQL(const TdmMSSQL&) = delete;
    TdmMSSQL& operator=(const TdmMSSQL&) = delete;

    DbConnection dbMain{QStringLiteral("dbMain"), 0};
    DbConnection dbTab{QStringLiteral("dbTab"), 1};

    DbConnection& connection(DatabaseTag tag) { return tag == DatabaseTag::Tab ? dbTab : dbMain; }
    Prompter& prompter() { return m_prompter; }
    void setLoginLauncher(LoginLauncher* launcher) { m_launcher = launcher; }

    // What the creation of the data module does: the MEDCTAT folder, the
    // configuration, the connection parameters and OpenConnections.
    void create();

    void ReadConfig();
    void SetConnectionParams(DbConnection& connection, const QString& path, const QString& password,
                             const QString& user);
    // False when Zemrak.INI cannot be written.
    bool SaveConnectionConfig(DbConnection& connection);
    void OpenConnections();
    // `reason` is the error that made the choice necessary, if any.
    LoginResult ChooseDatabase(int which, const QString& reason = {});
    bool CloseAllQueries();

    // The dialog as every caller shows it: fields from the process-wide
    // settings; true when it ends with continue. A failure to show it gives
    // "Ошибка при работе с BDE" and counts as end-work.
    bool ShowLoginDialog(const LoginRequest& request);

    // Closes the connection and opens it with new settings (throws DbError; the
    // connection is then closed). The instance's USERS row follows the fact
    // database: it leaves the old one and is made in the new one, so that the
    // others' change flags reach this instance there.
    void reconnect(DbConnection& connection, const QString& path, const QString& password,
                   const QString& user);

    // The running instance's USERS row.
    void registerInstance(); // throws DbError
    void unregisterInstance() noexcept;
    std::optional<double> instanceKey() const { return m_instanceKey; }

    // The exit steps: passwords written back, transactions rolled back, the
    // instance unregistered, both connections closed.
    void shutdown();

    // Statement and procedure components by their names (quSBR, spInsertSBR, …).
    DbStatement& query(const QString& component);
    DbProcedure& storedProc(const QString& component);

private:
    Prompter& m_prompter;
    LoginLauncher* m_launcher = nullptr;
    std::optional<double> m_instanceKey;
    // Set once the instance asked to be registered: from then on every fact
    // database it connects to gets its row.
    bool m_registering = false;
};
