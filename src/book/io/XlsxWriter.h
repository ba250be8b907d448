#pragma once

#include <QString>

class Workbook;

// Writes a workbook as an Excel .xlsx file: every sheet with its values, formulas (with
// their last results), formats, row heights, column widths, hidden flags, frozen panes,
// merged ranges and protection.
namespace XlsxWriter {

bool writeFile(const Workbook& book, const QString& path, QString* error = nullptr);

// A name Excel accepts for a sheet: at most 31 characters, none of []:*?/\ .
QString sheetName(const QString& name, int index);

} // namespace XlsxWriter
