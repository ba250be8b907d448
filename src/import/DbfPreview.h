#pragma once

#include <QString>

class Workbook;

// A dBase file as the import window previews it: record k in row k, the field names as
// column headings. Character and memo fields as text, logical ones as "T" or "F",
// numbers and dates as values (blank when empty); fields of other types are left out.
namespace DbfPreview {

// False with the reason in `error` for a file that cannot be read; `preview` is then
// as it was.
bool read(const QString& path, Workbook& preview, QString* error);

} // namespace DbfPreview
