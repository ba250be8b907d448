#pragma once

#include <QString>

class DbConnection;

// Declared width in characters of a text column, read from the database's own
// description; 0 when the column is not a text column or does not exist.
int DeclaredColumnWidth(DbConnection& connection, const QString& table, const QString& column);
