// The administrator's commands, the directory menu and the switching of
// databases and users.
#include "CollectionsController.h"

#include "DbStatement.h"
#include "Prompter.h"
#include "TdmMSSQL.h"

namespace {

bool IsTrue(const QVariant& v) {
    const QString s = v.toString().trimmed().toUpper();
    return s == QLatin1String("T") || s == QLatin1String("1") || s == QLatin1String("TRUE");
}

} // namespace

bool CollectionsController::isAdministrator() const {
    return m_dm.dbMain.userName().toUpper() == QLatin1String("SYSDBA");
}

bool CollectionsController::mayChangeComposition() {
    if (isAdministrator())
        return true;
    m_prompter.info(QStringLiteral(
        "Изменить состав справочников\r\nимеет право только администратор БД (SYSDBA)"));
    return false;
}

bool CollectionsController::mayChangePeriods() {
    if (isAdministrator())
        return true;
    m_prompter.info(QStringLiteral(
        "Изменить периоды хранения\r\nимеет право только администратор БД (SYSDBA)"));
    return false;
}

DirectoryMenuModel CollectionsController::readDirectoryMenu() {
    DirectoryMenuModel menu;
    DbStatement& agr = m_dm.query(QStringLiteral("quSpisAgr"));
    agr.open();
    for (agr.first(); !agr.eof(); agr.next()) {
        menu.names << agr.value(QStringLiteral("NAMEAGR")).toString().trimmed();
        if (IsTrue(agr.value(QStringLiteral("ISINELM"))))
            menu.inElements << agr.value(QStringLiteral("NUMAGR")).toInt();
    }
    agr.close();
    const int count = int(menu.names.size());
    if (count > 20)
        for (int k = 1; k <= count / 20; ++k)
            menu.columnBreaks << 20 * k - 1;
    DbStatement& nast = m_dm.query(QStringLiteral("quNast"));
    nast.open();
    if (!nast.isEmpty()) {
        menu.objectsEnabled = IsTrue(nast.value(QStringLiteral("ISELMENABLED")));
        menu.objectsCaption = nast.value(QStringLiteral("NAMEELM")).toString().trimmed();
    }
    nast.close();
    return menu;
}

bool CollectionsController::switchDatabase(int tag) {
    if (m_dm.ChooseDatabase(tag) != LoginResult::Continue)
        return false;
    if (tag == 1 && m_dm.dbTab.connected()) {
        enterTree();
        m_engine.BuildOutline();
    }
    return true;
}

bool CollectionsController::changeUser(int tag) {
    LoginRequest request;
    request.which = tag == 1 ? DatabaseTag::Tab : DatabaseTag::Main;
    request.mode = LoginMode::UserChange;
    request.windowCaption = QStringLiteral("Сменить пользователя");
    request.groupCaption = LoginGroupCaption(request.which);
    return m_dm.ShowLoginDialog(request);
}

bool CollectionsController::bothConnected() const {
    return m_dm.dbMain.connected() && m_dm.dbTab.connected();
}

QString CollectionsController::changeUserCaption() const {
    return bothConnected() ? QStringLiteral("Сменить пользователя фактографической БД")
                           : QStringLiteral("Сменить пользователя");
}

bool CollectionsController::mayViewPasswords() const {
    return tabUser().toUpper() == QLatin1String("SYSDBA");
}

bool CollectionsController::mayEditRights() const {
    return isAdministrator() && mayViewPasswords();
}
