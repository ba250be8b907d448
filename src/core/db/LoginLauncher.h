#pragma once

#include "ZemrakConfig.h"

#include <QString>

class TdmMSSQL;

enum class LoginMode { DatabaseChoice, UserChange };
// "Применить" and "Отменить" continue; "Закончить работу" (or Esc) ends the work.
enum class LoginResult { Continue, EndWork };

struct LoginRequest {
    DatabaseTag which = DatabaseTag::Main;
    LoginMode mode = LoginMode::DatabaseChoice;
    QString windowCaption;
    QString groupCaption;
    // Why the connection failed (the server's words), when the dialog comes after
    // a failure; shown under the fields.
    QString reason;
};

inline QString LoginGroupCaption(DatabaseTag which) {
    return which == DatabaseTag::Tab ? QStringLiteral(" База табличных материалов ")
                                     : QStringLiteral(" Фактографическая база данных ");
}

// Shows the login dialog; the data module knows no window, so the program
// hands it one of these. May throw when the dialog cannot be shown.
class LoginLauncher {
public:
    virtual ~LoginLauncher() = default;
    virtual LoginResult showLogin(TdmMSSQL& dm, const LoginRequest& request) = 0;
};
