#pragma once

#include "LoginLauncher.h"

#include <QList>
#include <QQueue>

#include <functional>

// Stands in for the login dialog: records every request and answers from a
// queue. "Применить" goes through the real IBLoginController, so it really
// reconnects and writes Zemrak.INI. An unscripted request fails the test.
class ScriptedLoginLauncher : public LoginLauncher {
public:
    using Action = std::function<LoginResult(TdmMSSQL&, const LoginRequest&)>;

    // Types the fields (an empty path keeps the one shown) and presses
    // "Применить"; when the apply fails the dialog stays and `then` is pressed.
    ScriptedLoginLauncher& apply(const QString& path, const QString& user, const QString& password,
                                 LoginResult then = LoginResult::EndWork);
    ScriptedLoginLauncher& cancel();  // "Отменить"
    ScriptedLoginLauncher& endWork(); // "Закончить работу"
    ScriptedLoginLauncher& fail();    // the dialog cannot be shown

    const QList<LoginRequest>& requests() const { return m_requests; }
    bool allUsed() const { return m_actions.isEmpty(); }

    LoginResult showLogin(TdmMSSQL& dm, const LoginRequest& request) override;

private:
    QList<LoginRequest> m_requests;
    QQueue<Action> m_actions;
};
