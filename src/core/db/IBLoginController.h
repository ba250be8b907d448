#pragma once

#include "LoginLauncher.h"

#include <QString>

class Prompter;
class TdmMSSQL;

// The logic of the login dialog fmIBLogin without its widgets: which fields may
// be edited, when "Применить" is enabled and which button Enter presses, the
// browse titles, and the apply that reconnects and saves the settings.
class IBLoginController {
public:
    enum class Field { Path, User };
    enum class Button { Apply, CancelWork };

    IBLoginController(TdmMSSQL& dm, LoginRequest request);

    const LoginRequest& request() const { return m_request; }

    // Fills the three fields from the process-wide settings of the database.
    void loadFromSettings();
    void setPath(const QString& path) { m_path = path; }
    void setUser(const QString& user) { m_user = user; }
    void setPassword(const QString& password) { m_password = password; }
    const QString& path() const { return m_path; }
    const QString& user() const { return m_user; }
    const QString& password() const { return m_password; }

    bool pathEditable() const { return m_request.mode == LoginMode::DatabaseChoice; }
    Field initialFocus() const { return pathEditable() ? Field::Path : Field::User; }
    bool applyEnabled() const;
    // Enter presses "Применить" while it is enabled, else "Закончить работу".
    Button defaultButton() const { return applyEnabled() ? Button::Apply : Button::CancelWork; }

    // The line under the fields: what failed, then the server's words; empty
    // when the dialog was asked for from the menu.
    QString reasonText() const;

    QString browseCaption() const;
    static QString fileFilter() { return QStringLiteral("Базы данных|*.gdb;*.fdb|Все файлы|*"); }
    static QString passwordNotStorableText() {
        return QStringLiteral("Пароль содержит знаки, которых нет в кодировке Windows-1251:\r\n"
                              "его нельзя сохранить в файле настроек. Задайте другой пароль.");
    }
    // Asks for a database file; a chosen name replaces the path.
    bool browse(Prompter& prompter);

    // Reconnects with the fields and saves them. On failure the server's text is
    // shown, the connection stays closed and the configuration file is untouched.
    // A password the file cannot hold is refused before anything is touched.
    bool apply();

private:
    TdmMSSQL& m_dm;
    LoginRequest m_request;
    QString m_path;
    QString m_user;
    QString m_password;
};
