#include "MainWindowConnections.h"

#include "AppContext.h"
#include "DbError.h"
#include "Prompter.h"
#include "TdmMSSQL.h"

bool MainWindowConnections::connectAtCreation(const std::function<void()>& prepare,
                                              const std::function<void()>& buildTree) {
    try {
        if (prepare)
            prepare();
        m_dm.registerInstance();
        DbStatement& check = m_dm.query(QStringLiteral("quElm"));
        check.clearSql();
        check.appendSql(QStringLiteral("Select * from SBR"));
        check.open();
        check.close();
        if (buildTree) {
            buildTree();
        } else {
            DbStatement& sbr = m_dm.query(QStringLiteral("quSBR"));
            sbr.open();
            sbr.close();
        }
        m_bothOpen = m_dm.dbMain.connected() && m_dm.dbTab.connected();
    } catch (const std::exception& e) {
        // With the fact database open the failure lies with the table materials
        // (both open: the tree; only the fact one open: nothing else could fail).
        const bool factOpen = m_dm.dbMain.connected();
        const QString text =
            QStringLiteral("Не удалось соединиться с БД или с сервером БД\r\n\r\n") +
            ExceptionClassName(e) + QStringLiteral("\r\n") + ExceptionMessage(e) +
            QStringLiteral("\r\n\r\nЖелаете выбрать другую БД ?");
        if (!m_dm.prompter().confirm(text)) {
            AppContext::setContinueStartup(false);
            return false;
        }
        LoginRequest request;
        request.which = factOpen ? DatabaseTag::Tab : DatabaseTag::Main;
        request.mode = LoginMode::DatabaseChoice;
        request.windowCaption = QStringLiteral("Регистрация пользователя");
        request.groupCaption = LoginGroupCaption(request.which);
        if (!m_dm.ShowLoginDialog(request)) {
            AppContext::setContinueStartup(false);
            return false;
        }
        // An instance that could not register before the new login would get no
        // change flags from the others and leave nothing to remove at exit.
        if (!m_dm.instanceKey() && m_dm.dbMain.connected()) {
            try {
                m_dm.registerInstance();
            } catch (const DbError&) {
            }
        }
        m_bothOpen = m_dm.dbMain.connected() && m_dm.dbTab.connected();
    }
    AppContext::setContinueStartup(true);
    return true;
}

void MainWindowConnections::shutdown() {
    m_dm.shutdown();
}
