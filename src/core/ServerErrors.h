#pragma once

#include <QString>

// How the program tells server errors apart. Firebird words them differently from
// the InterBase server the texts were first written for, so both wordings count.

// The user lacks the right to run a procedure or touch a table
// ("EXECUTE permission denied", "Insufficient SQL rights", Firebird's
// "no permission for … access to …", SQLCODE -551).
bool IsRightsError(const QString& message, int sqlCode = 0);
// The user may not read a data-fund table.
bool IsSelectDenied(const QString& message);
// A data-fund table does not exist.
bool IsTableUnknown(const QString& message);
// A duplicate key.
bool IsPrimaryKeyViolation(const QString& message);
// A definition change refused because only the owner of the tables may make it.
bool IsOwnerOnlyError(const QString& message);
