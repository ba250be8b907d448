#include "AboutText.h"

#include "TdmMSSQL.h"

namespace {

// As the connection reads its path: "host:/path" is a server, a local path the
// embedded engine (a one-letter prefix would be a drive).
bool isServerPath(const QString& path) {
    const qsizetype colon = path.indexOf(QLatin1Char(':'));
    return colon > 1 && !path.startsWith(QLatin1Char('/'));
}

} // namespace

QString DatabaseLine(const QString& caption, const QString& path, bool connected) {
    if (!connected)
        return caption + QStringLiteral(": не подключена");
    const QString engine = isServerPath(path) ? QStringLiteral("сервер Firebird ") +
                                                    path.section(QLatin1Char(':'), 0, 0)
                                              : QStringLiteral("встроенный Firebird, без сервера");
    return caption + QStringLiteral(": ") + path + QStringLiteral("\r\n    (") + engine +
           QLatin1Char(')');
}

QString AboutText(const TdmMSSQL& dm) {
    return QStringLiteral("Земрак\r\nСборники статистических таблиц\r\nВерсия ") +
           QStringLiteral(ZEMRAK_VERSION) + QStringLiteral("\r\n\r\n") +
           DatabaseLine(QStringLiteral("Фактографическая БД"), dm.dbMain.database(),
                        dm.dbMain.connected()) +
           QStringLiteral("\r\n") +
           DatabaseLine(QStringLiteral("БД табличных материалов"), dm.dbTab.database(),
                        dm.dbTab.connected());
}
