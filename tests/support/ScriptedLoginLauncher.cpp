#include "ScriptedLoginLauncher.h"

#include "IBLoginController.h"

#include <gtest/gtest.h>

#include <stdexcept>

ScriptedLoginLauncher& ScriptedLoginLauncher::apply(const QString& path, const QString& user,
                                                    const QString& password, LoginResult then) {
    m_actions.enqueue([=](TdmMSSQL& dm, const LoginRequest& request) {
        IBLoginController controller(dm, request);
        controller.loadFromSettings();
        if (!path.isEmpty() && controller.pathEditable())
            controller.setPath(path);
        controller.setUser(user);
        controller.setPassword(password);
        if (!controller.applyEnabled())
            return then;
        return controller.apply() ? LoginResult::Continue : then;
    });
    return *this;
}

ScriptedLoginLauncher& ScriptedLoginLauncher::cancel() {
    m_actions.enqueue([](TdmMSSQL&, const LoginRequest&) { return LoginResult::Continue; });
    return *this;
}

ScriptedLoginLauncher& ScriptedLoginLauncher::endWork() {
    m_actions.enqueue([](TdmMSSQL&, const LoginRequest&) { return LoginResult::EndWork; });
    return *this;
}

ScriptedLoginLauncher& ScriptedLoginLauncher::fail() {
    m_actions.enqueue([](TdmMSSQL&, const LoginRequest&) -> LoginResult {
        throw std::runtime_error("no screen");
    });
    return *this;
}

LoginResult ScriptedLoginLauncher::showLogin(TdmMSSQL& dm, const LoginRequest& request) {
    m_requests << request;
    if (m_actions.isEmpty()) {
        ADD_FAILURE() << "unexpected login dialog: " << request.windowCaption.toStdString() << " /"
                      << request.groupCaption.toStdString();
        return LoginResult::EndWork;
    }
    return m_actions.dequeue()(dm, request);
}
