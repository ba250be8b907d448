#pragma once

class QWidget;
class Sheet;

// Printing a sheet's pages on the system's printer. Each call gives false when there is
// no printer (the caller tells the user in its own words) or the user cancelled.
namespace PrintDevice {

bool hasPrinter();
// At once on the default printer, without a dialog.
bool printNow(const Sheet& sheet);
// Through Qt's print dialog.
bool printWithDialog(const Sheet& sheet, QWidget* parent);
// The printer's page setup dialog.
bool printerSetup(QWidget* parent);

} // namespace PrintDevice
