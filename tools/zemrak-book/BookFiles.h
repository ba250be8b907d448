#pragma once

#include <QString>

class Workbook;

// Reading and writing a workbook by file extension: .vts (native), .txt (tab-separated),
// .csv (";" with double quotes).
namespace BookFiles {

bool load(Workbook& book, const QString& path, QString* error);
bool save(const Workbook& book, const QString& path, QString* error);

} // namespace BookFiles
