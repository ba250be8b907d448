#include "PrintSettings.h"

QString PrintSettings::expandCodes(const QString& text, int page, int pages,
                                   const QString& sheetName, const QDateTime& now) {
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text[i];
        if (ch != '&' || i + 1 >= text.size()) {
            out += ch;
            continue;
        }
        const QChar code = text[i + 1].toUpper();
        ++i;
        if (code == 'T')
            out += now.time().toString(QStringLiteral("HH:mm"));
        else if (code == 'D')
            out += now.date().toString(QStringLiteral("dd.MM.yyyy"));
        else if (code == 'P')
            out += QString::number(page);
        else if (code == 'N')
            out += QString::number(pages);
        else if (code == 'A')
            out += sheetName;
        else if (code == '&')
            out += '&';
        else {
            out += '&';
            out += text[i];
        }
    }
    return out;
}
