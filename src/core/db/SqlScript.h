#pragma once

#include <QString>
#include <QStringList>

// Splits an SQL script into statements the way isql reads it: ";" ends a
// statement unless "SET TERM" chose another terminator; quotes and comments are
// respected and comments dropped. SET TERM, SET NAMES, SET SQL DIALECT and
// COMMIT are consumed here and not returned.
QStringList SplitSqlScript(const QString& script);
