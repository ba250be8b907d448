#include "ServerErrors.h"

#include <QRegularExpression>

namespace {

bool firebirdNoPermission(const QString& message, const QString& privilege) {
    static const QRegularExpression pattern(QStringLiteral("no permission for (\\w+) access to"),
                                            QRegularExpression::CaseInsensitiveOption);
    auto it = pattern.globalMatch(message);
    while (it.hasNext()) {
        const auto match = it.next();
        if (privilege.isEmpty() || match.captured(1).compare(privilege, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

bool mentionsSqlCode(const QString& message, int code) {
    const QRegularExpression pattern(
        QStringLiteral("SQL\\s*(error\\s*)?code\\s*[=:]?\\s*%1\\b").arg(code),
        QRegularExpression::CaseInsensitiveOption);
    return pattern.match(message).hasMatch();
}

} // namespace

bool IsRightsError(const QString& message, int sqlCode) {
    return message.contains(QLatin1String("EXECUTE permission denied")) ||
           message.toUpper().contains(QLatin1String("INSUFFICIENT SQL RIGHTS")) ||
           firebirdNoPermission(message, {}) || sqlCode == -551 || mentionsSqlCode(message, -551);
}

bool IsSelectDenied(const QString& message) {
    return message.contains(QLatin1String("SELECT permission denied")) ||
           firebirdNoPermission(message, QStringLiteral("SELECT"));
}

bool IsTableUnknown(const QString& message) {
    return message.toUpper().contains(QLatin1String("TABLE UNKNOWN"));
}

bool IsPrimaryKeyViolation(const QString& message) {
    return message.toUpper().contains(QLatin1String("VIOLATION OF PRIMARY"));
}

bool IsOwnerOnlyError(const QString& message) {
    const QString upper = message.toUpper();
    return upper.contains(QLatin1String("OWNER")) ||
           upper.contains(QLatin1String("NO PERMISSION FOR CONTROL ACCESS")) ||
           firebirdNoPermission(message, QStringLiteral("ALTER")) ||
           firebirdNoPermission(message, QStringLiteral("CREATE")) ||
           firebirdNoPermission(message, QStringLiteral("DROP"));
}
