#include "IBLoginController.h"

#include "AppContext.h"
#include "DbError.h"
#include "Helpers.h"
#include "Prompter.h"
#include "TdmMSSQL.h"

#include <QFileInfo>

IBLoginController::IBLoginController(TdmMSSQL& dm, LoginRequest request)
    : m_dm(dm), m_request(std::move(request)) {}

void IBLoginController::loadFromSettings() {
    const ConnectionSettings& s = AppContext::settings();
    const bool tab = m_request.which == DatabaseTag::Tab;
    m_path = tab ? s.tabPath : s.mainPath;
    m_user = tab ? s.tabUser : s.mainUser;
    m_password = tab ? s.tabPassword : s.mainPassword;
}

bool IBLoginController::applyEnabled() const {
    if (IsBlank(m_user))
        return false;
    return m_request.mode == LoginMode::UserChange || !IsBlank(m_path);
}

QString IBLoginController::reasonText() const {
    if (m_request.reason.trimmed().isEmpty())
        return {};
    return QStringLiteral("Не удалось соединиться с БД: ") + m_request.reason.trimmed();
}

QString IBLoginController::browseCaption() const {
    return m_request.which == DatabaseTag::Tab
               ? QStringLiteral("Поиск базы табличных материалов ЗЕМРАКа")
               : QStringLiteral("Поиск фактографической БД ЗЕМРАКа");
}

bool IBLoginController::browse(Prompter& prompter) {
    const QString folder = m_path.isEmpty() ? QString() : QFileInfo(m_path).absolutePath();
    const QString chosen = prompter.openFileName(browseCaption(), folder, fileFilter());
    if (chosen.isEmpty())
        return false;
    m_path = chosen;
    return true;
}

bool IBLoginController::apply() {
    DbConnection& connection = m_dm.connection(m_request.which);
    if (!CanStorePassword(m_password)) {
        m_dm.prompter().error(passwordNotStorableText());
        return false;
    }
    try {
        m_dm.reconnect(connection, m_path, m_password, m_user);
    } catch (const DbError& e) {
        connection.close();
        m_dm.prompter().plain(QStringLiteral("Не удалось соединиться с БД\r\n\r\n") + e.message());
        return false;
    }
    if (!m_dm.SaveConnectionConfig(connection)) {
        // The connection works; keep what the user gave for this run at least.
        ConnectionSettings& s = AppContext::settings();
        const bool tab = m_request.which == DatabaseTag::Tab;
        (tab ? s.tabPath : s.mainPath) = m_path;
        (tab ? s.tabUser : s.mainUser) = m_user;
        (tab ? s.tabPassword : s.mainPassword) = m_password;
        m_dm.prompter().error(QStringLiteral("Не удалось записать настройки в файл ") +
                              AppContext::configPath());
        return true;
    }
    m_dm.ReadConfig();
    return true;
}
