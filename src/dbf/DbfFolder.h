#pragma once

#include <QString>

// The two statements the system ran over a folder of dBase files through the
// ODBC driver, done by record access.
namespace DbfFolder {
// "SELECT MAX(field) FROM file": the largest value among live records, 0 for none.
double MaxOfField(const QString& path, const QString& field);
// "DELETE from table": every record marked deleted, written back.
void DeleteAll(const QString& path);
} // namespace DbfFolder
