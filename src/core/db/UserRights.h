#pragma once

#include <QString>
#include <QStringList>

class TdmMSSQL;

// The privileges the program's commands rely on, granted to one server user by
// the administrator: collections and tables always, the directories and data funds
// either fully or for reading only.
namespace UserRights {

enum class Level { All = 0, ReadOnlyDirectories = 1 };

// A user name is put into GRANT and REVOKE only as a plain identifier (Latin letter
// first, then Latin letters, digits, "_" or "$", at most 31 characters); anything
// else could carry SQL of its own. PUBLIC, which names every user, is refused too.
bool IsValidUserName(const QString& name);
// The name as it goes into a statement: upper-cased, as the server stores an
// unquoted name, and quoted.
QString QuotedUserName(const QString& name);

// The statements of one stage, run in one transaction of one database.
struct Stage {
    int tag = 0; // 0 = fact database, 1 = table materials
    QStringList statements;
};
// Revoking on the fact database, granting on the table materials, granting on the
// fact database by level.
QList<Stage> Stages(const QString& name, Level level);

struct Result {
    bool ok = true;
    int tag = 0;        // the database whose statement failed
    QString statement;  // that statement
    QString serverText; // the server's words
};
// Runs the stages one after another, each committed before the next starts; the
// first failure rolls its own stage back and stops.
Result Apply(TdmMSSQL& dm, const QString& name, Level level);

} // namespace UserRights
