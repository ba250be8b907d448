#include "SqlScript.h"

#include <QRegularExpression>

namespace {

bool isClientCommand(const QString& statement, QString* newTerminator) {
    static const QRegularExpression setTerm(QStringLiteral("^SET\\s+TERM\\s+(\\S+)$"),
                                            QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression other(
        QStringLiteral("^(SET\\s+NAMES\\s+\\S+|SET\\s+SQL\\s+DIALECT\\s+\\d+|COMMIT(\\s+WORK)?)$"),
        QRegularExpression::CaseInsensitiveOption);
    const auto m = setTerm.match(statement);
    if (m.hasMatch()) {
        *newTerminator = m.captured(1);
        return true;
    }
    return other.match(statement).hasMatch();
}

} // namespace

QStringList SplitSqlScript(const QString& script) {
    QStringList statements;
    QString terminator = QStringLiteral(";");
    QString current;
    const qsizetype n = script.size();
    auto finish = [&] {
        const QString statement = current.trimmed();
        current.clear();
        if (statement.isEmpty())
            return;
        QString newTerminator;
        if (isClientCommand(statement, &newTerminator)) {
            if (!newTerminator.isEmpty())
                terminator = newTerminator;
            return;
        }
        statements << statement;
    };
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = script[i];
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            qsizetype end = i + 1;
            while (end < n) {
                if (script[end] == c) {
                    if (end + 1 < n && script[end + 1] == c) {
                        end += 2; // doubled quote inside the literal
                        continue;
                    }
                    break;
                }
                ++end;
            }
            current += script.mid(i, end - i + 1);
            i = end;
        } else if (c == QLatin1Char('-') && i + 1 < n && script[i + 1] == QLatin1Char('-')) {
            const qsizetype end = script.indexOf(QLatin1Char('\n'), i);
            current += QLatin1Char('\n');
            i = end < 0 ? n : end;
        } else if (c == QLatin1Char('/') && i + 1 < n && script[i + 1] == QLatin1Char('*')) {
            const qsizetype end = script.indexOf(QLatin1String("*/"), i + 2);
            current += QLatin1Char(' ');
            i = end < 0 ? n : end + 1;
        } else if (script.mid(i, terminator.size()) == terminator) {
            i += terminator.size() - 1;
            finish();
        } else {
            current += c;
        }
    }
    finish();
    return statements;
}
