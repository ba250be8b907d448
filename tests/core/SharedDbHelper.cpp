// A second program on one database for the tests of sharing it: opens the
// database named on the command line, then runs one command per input line
// and answers each with one line.
//   exec SQL      runs SQL in a transaction of its own    -> ok
//   scalar SQL    the first value of the query            -> the value
//   register      an instance row (INSERT_USERS)          -> its key
// A failure answers "error " and the message. After opening it says "open".
#include "DbConnection.h"
#include "DbError.h"
#include "DbTestHelpers.h"
#include "FirebirdEnvironment.h"

#include <QCoreApplication>

#include <cstdio>
#include <iostream>
#include <string>

namespace {

void answer(const QString& line) {
    QString text = line;
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    std::printf("%s\n", text.toUtf8().constData());
    std::fflush(stdout);
}

QString run(DbConnection& db, const QString& line) {
    const QString command = line.section(QLatin1Char(' '), 0, 0);
    const QString rest = line.section(QLatin1Char(' '), 1);
    if (command == QLatin1String("exec")) {
        dbtest::exec(db, rest);
        return QStringLiteral("ok");
    }
    if (command == QLatin1String("scalar"))
        return dbtest::scalar(db, rest).toString();
    if (command == QLatin1String("register"))
        return dbtest::call(db, "INSERT_USERS").output(QStringLiteral("KOD_USER")).toString();
    return QStringLiteral("error unknown command");
}

} // namespace

int main(int argc, char** argv) {
    PrepareFirebirdEnvironment();
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4) {
        std::fprintf(stderr, "Usage: zemrak-shared-db-helper DATABASE USER PASSWORD\n");
        return 2;
    }
    DbConnection db(QStringLiteral("helper"), 0);
    db.setParams(args[1], args[2], args[3]);
    try {
        db.open();
    } catch (const DbError& e) {
        answer(QStringLiteral("error ") + e.message());
        return 1;
    }
    answer(QStringLiteral("open"));
    std::string line;
    while (std::getline(std::cin, line)) {
        try {
            answer(run(db, QString::fromStdString(line)));
        } catch (const std::exception& e) {
            answer(QStringLiteral("error ") + ExceptionMessage(e));
        }
    }
    db.close();
    return 0;
}
