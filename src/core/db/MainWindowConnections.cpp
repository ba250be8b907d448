#include "MainWindowConnections.h"

#include "AppContext.h"
#include "DbError.h"
#include "Prompter.h"
#include "TdmMSSQL.h"

bool MainWindowConnections::connectAtCreation(const std::function<void()>& prepare,
                                              const std::function<void()>& buildTree) {
    // Until everything is read the window would show an unloaded catalogue that
    // still takes commands, so after each new login the steps run again.
    for (;;) {
        bool inFactSteps = true;
        try {
            if (prepare)
                prepare();
            if (!m_dm.instanceKey())
                m_dm.registerInstance();
            DbStatement& check = m_dm.query(QStringLiteral("quElm"));
            check.clearSql();
            check.appendSql(QStringLiteral("Select * from SBR"));
            check.open();
            check.close();
            inFactSteps = false;
            if (buildTree) {
                buildTree();
            } else {
                DbStatement& sbr = m_dm.query(QStringLiteral("quSBR"));
                sbr.open();
                sbr.close();
            }
            m_bothOpen = m_dm.dbMain.connected() && m_dm.dbTab.connected();
            AppContext::setContinueStartup(true);
            return true;
        } catch (const std::exception& e) {
            if (!offerAnotherDatabase(e, inFactSteps ? DatabaseTag::Main : DatabaseTag::Tab)) {
                AppContext::setContinueStartup(false);
                return false;
            }
        }
    }
}

bool MainWindowConnections::offerAnotherDatabase(const std::exception& e, DatabaseTag which) {
    const QString text = QStringLiteral("Не удалось соединиться с БД или с сервером БД\r\n\r\n") +
                         ExceptionClassName(e) + QStringLiteral("\r\n") + ExceptionMessage(e) +
                         QStringLiteral("\r\n\r\nЖелаете выбрать другую БД ?");
    if (!m_dm.prompter().confirm(text))
        return false;
    LoginRequest request;
    request.which = which;
    request.mode = LoginMode::DatabaseChoice;
    request.windowCaption = QStringLiteral("Регистрация пользователя");
    request.groupCaption = LoginGroupCaption(request.which);
    request.reason = ExceptionMessage(e);
    return m_dm.ShowLoginDialog(request);
}

void MainWindowConnections::shutdown() {
    m_dm.shutdown();
}
