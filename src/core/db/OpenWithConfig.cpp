#include "OpenWithConfig.h"

#include "DbError.h"
#include "TdmMSSQL.h"
#include "ZemrakConfig.h"

void OpenWithConfig(TdmMSSQL& dm, const QString& iniPath) {
    const ConnectionSettings s = ZemrakConfig(iniPath).read();
    dm.SetConnectionParams(dm.dbMain, s.mainPath, s.mainPassword, s.mainUser);
    dm.SetConnectionParams(dm.dbTab, s.tabPath, s.tabPassword, s.tabUser);
    try {
        dm.dbMain.open();
        dm.dbTab.open();
    } catch (const DbError& e) {
        throw DbError(QStringLiteral("Не удалось соединиться с БД: ") + e.message(), e.sqlCode());
    }
}
