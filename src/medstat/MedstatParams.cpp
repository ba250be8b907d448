#include "MedstatParams.h"

MedstatParams& MedstatParams::current() {
    static MedstatParams params;
    return params;
}

namespace MedstatCodes {

bool form(const QString& text, QString& out, QString& error) {
    const QString t = text;
    if (t.isEmpty()) {
        error = QStringLiteral("Не задан код формы!");
        return false;
    }
    if (t.size() > 3) {
        error = QStringLiteral("Код формы не должен превышать трех знаков!");
        return false;
    }
    out = QString(3 - t.size(), u'0') + t;
    return true;
}

bool cut(const QString& text, QString& out, QString& error) {
    if (text.size() > 2) {
        error = QStringLiteral("Код разреза не должен превышать двух знаков!");
        return false;
    }
    if (text.isEmpty())
        out = QStringLiteral("0000");
    else if (text.size() == 1)
        out = QStringLiteral("0") + text + QStringLiteral("00");
    else
        out = text + QStringLiteral("00");
    return true;
}

bool year(const QString& text, QString& out, QString& error) {
    if (text.isEmpty()) {
        error = QStringLiteral("Не задан год!");
        return false;
    }
    if (text.size() > 2) {
        error = QStringLiteral("Год записывается двумя знаками!");
        return false;
    }
    out = text.size() == 1 ? QStringLiteral("0") + text : text;
    return true;
}

QString tableCode(const QString& kodAlt) {
    const QString t = kodAlt.trimmed();
    if (t.size() == 4)
        return QStringLiteral("00") + t;
    if (t.size() == 5)
        return QStringLiteral("0") + t;
    return t;
}

QString rowCode(const QString& code) {
    if (code.size() == 1)
        return QStringLiteral("00") + code;
    if (code.size() == 2)
        return QStringLiteral("0") + code;
    return code;
}

} // namespace MedstatCodes
