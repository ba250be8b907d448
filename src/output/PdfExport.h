#pragma once

#include <QString>

class Sheet;

// A sheet's pages, as the page layout cuts them, into a PDF file (A4). The file is
// written beside its target and moved into place, so a failure leaves no partial file.
namespace PdfExport {

// The number of pages written; 0 and a Russian reason on failure.
int write(const Sheet& sheet, const QString& path, QString* error);

} // namespace PdfExport
