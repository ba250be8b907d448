#include "TdmMSSQL.h"

#include "AppContext.h"
#include "DataModuleComponents.h"
#include "DbError.h"
#include "DbTransaction.h"
#include "Prompter.h"

#include <QDir>
#include <QFileInfo>

TdmMSSQL::TdmMSSQL(Prompter& prompter) : m_prompter(prompter) {
    for (const QueryComponent& q : QueryComponents())
        connection(DatabaseTag(q.tag)).statement(q.name).setSql(q.lines);
}

TdmMSSQL::~TdmMSSQL() = default;

void TdmMSSQL::create() {
    // The dBase files of the health-ministry report live in MEDCTAT. Without it
    // only that report is lost, so the databases are still configured and opened.
    const QString medstat = AppContext::medstatFolder();
    if (!QDir().mkpath(medstat) || !QFileInfo(medstat).isDir())
        m_prompter.info(QStringLiteral("Ошибка базы данных dbf."));
    ReadConfig();
    const ConnectionSettings& s = AppContext::settings();
    SetConnectionParams(dbMain, s.mainPath, s.mainPassword, s.mainUser);
    SetConnectionParams(dbTab, s.tabPath, s.tabPassword, s.tabUser);
    OpenConnections();
}

void TdmMSSQL::ReadConfig() {
    AppContext::settings() = ZemrakConfig(AppContext::configPath()).read();
}

void TdmMSSQL::SetConnectionParams(DbConnection& connection, const QString& path,
                                   const QString& password, const QString& user) {
    connection.setParams(path, user, password);
}

bool TdmMSSQL::SaveConnectionConfig(DbConnection& connection) {
    const DatabaseTag tag = connection.tag() == 1 ? DatabaseTag::Tab : DatabaseTag::Main;
    return ZemrakConfig(AppContext::configPath())
        .save(tag, connection.database(), connection.userName(), connection.password());
}

void TdmMSSQL::OpenConnections() {
    try {
        dbTab.open();
    } catch (const DbError& e) {
        ChooseDatabase(1, e.message());
    }
    try {
        dbMain.open();
    } catch (const DbError& e) {
        ChooseDatabase(0, e.message());
    }
}

LoginResult TdmMSSQL::ChooseDatabase(int which, const QString& reason) {
    LoginRequest request;
    request.reason = reason;
    request.which = which == 1 ? DatabaseTag::Tab : DatabaseTag::Main;
    request.mode = LoginMode::DatabaseChoice;
    request.windowCaption = QStringLiteral("Сменить БД");
    request.groupCaption = LoginGroupCaption(request.which);
    if (!ShowLoginDialog(request))
        return LoginResult::EndWork;
    if (request.which == DatabaseTag::Tab && dbTab.connected()) {
        DbStatement& sbr = query(QStringLiteral("quSBR"));
        try {
            sbr.close();
            sbr.open();
        } catch (const DbError& e) {
            m_prompter.error(e.message());
        }
    }
    return LoginResult::Continue;
}

bool TdmMSSQL::ShowLoginDialog(const LoginRequest& request) {
    try {
        if (!m_launcher)
            throw DbError(QStringLiteral("Окно регистрации недоступно"), 0,
                          QStringLiteral("Exception"));
        return m_launcher->showLogin(*this, request) == LoginResult::Continue;
    } catch (const std::exception& e) {
        m_prompter.message(QStringLiteral("Ошибка при работе с BDE\r\n\r\n") +
                               ExceptionClassName(e) + QStringLiteral("\r\n") + ExceptionMessage(e),
                           QStringLiteral("Сообщение"), PromptIcon::Error);
        return false;
    }
}

bool TdmMSSQL::CloseAllQueries() {
    try {
        dbMain.closeStatements();
        dbTab.closeStatements();
        return true;
    } catch (const std::exception& e) {
        m_prompter.message(QStringLiteral("Не удалось обновить соединение с БД\r\n\r\n") +
                               ExceptionClassName(e) + QStringLiteral("\r\n") + ExceptionMessage(e),
                           QStringLiteral("Сообщение"), PromptIcon::Error);
        return false;
    }
}

void TdmMSSQL::reconnect(DbConnection& connection, const QString& path, const QString& password,
                         const QString& user) {
    const bool fact = &connection == &dbMain;
    // Another fact database: the row in the old one would be stale there. One in a
    // database no longer open cannot be removed from here.
    if (fact && connection.database() != path) {
        unregisterInstance();
        m_instanceKey.reset();
    }
    if (connection.connected())
        connection.close();
    SetConnectionParams(connection, path, password, user);
    connection.open();
    if (fact && m_registering && !m_instanceKey) {
        try {
            registerInstance();
        } catch (const DbError&) {
            connection.close();
            throw;
        }
    }
}

void TdmMSSQL::registerInstance() {
    m_registering = true;
    DbProcedure& sp = storedProc(QStringLiteral("spInsertUsers"));
    sp.clearParams();
    RunInTransaction(dbMain, [&] { sp.execute(); });
    m_instanceKey = sp.output(QStringLiteral("KOD_USER")).toDouble();
}

void TdmMSSQL::unregisterInstance() noexcept {
    if (!m_instanceKey || !dbMain.connected())
        return;
    try {
        DbProcedure& sp = storedProc(QStringLiteral("spDeleteUsers"));
        sp.clearParams();
        sp.setParam(QStringLiteral("KOD_USER"), *m_instanceKey);
        RunInTransaction(dbMain, [&] { sp.execute(); });
        m_instanceKey.reset();
    } catch (...) {
        RollbackQuietly(dbMain);
    }
}

void TdmMSSQL::shutdown() {
    auto passwordOf = [](const DbConnection& c) -> std::optional<QString> {
        if (c.connected())
            return c.password();
        return std::nullopt;
    };
    ZemrakConfig(AppContext::configPath()).rewritePasswords(passwordOf(dbMain), passwordOf(dbTab));
    if (dbTab.connected()) {
        RollbackQuietly(dbTab);
        dbTab.close();
    }
    if (dbMain.connected()) {
        RollbackQuietly(dbMain);
        unregisterInstance();
        dbMain.close();
    }
}

DbStatement& TdmMSSQL::query(const QString& component) {
    for (const QueryComponent& q : QueryComponents())
        if (q.name == component)
            return connection(DatabaseTag(q.tag)).statement(component);
    throw DbError(QStringLiteral("Нет компонента %1").arg(component));
}

DbProcedure& TdmMSSQL::storedProc(const QString& component) {
    for (const ProcedureComponent& p : ProcedureComponents())
        if (p.name == component)
            return connection(DatabaseTag(p.tag)).procedure(p.procedure);
    throw DbError(QStringLiteral("Нет компонента %1").arg(component));
}
