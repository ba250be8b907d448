#include "IBRightsController.h"

#include "ChangeFlags.h"
#include "Prompter.h"
#include "TdmMSSQL.h"

bool IBRightsController::offersLevel(const QString& typed) {
    const QString name = typed.trimmed();
    return !name.isEmpty() && name.toUpper() != QLatin1String("SYSDBA");
}

bool IBRightsController::apply(const QString& typed, UserRights::Level level) {
    if (!offersLevel(typed))
        return true;
    const QString name = typed.trimmed();
    if (!UserRights::IsValidUserName(name)) {
        m_prompter.error(QStringLiteral("Недопустимое имя пользователя: ") + name +
                         QStringLiteral("\r\nИмя пользователя сервера состоит из латинских букв, "
                                        "цифр и знаков _ и $, начинается с буквы и не длиннее "
                                        "31 знака"));
        return false;
    }
    const UserRights::Result result = UserRights::Apply(m_dm, name, level);
    if (!result.ok) {
        const DbConnection& failed = result.tag == 1 ? m_dm.dbTab : m_dm.dbMain;
        m_prompter.error(
            WithServerText(QStringLiteral("Нарушена структура БД ") + failed.database() +
                               QStringLiteral("\r\nДальнейшая работа с ней невозможна"),
                           result.serverText));
    }
    return true;
}
