#include "ProtocolText.h"

#include "AppContext.h"

QString ProtocolDate(const QDate& date) {
    const QString sep(AppContext::dateSeparator());
    return date.toString(QStringLiteral("dd") + sep + QStringLiteral("MM") + sep +
                         QStringLiteral("yyyy"));
}
