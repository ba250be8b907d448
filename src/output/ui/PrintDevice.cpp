#include "PrintDevice.h"

#include "PageLayout.h"

#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

namespace {

// One printer for the run, so that the choices of the setup dialog stay.
QPrinter& printer() {
    static QPrinter p(QPrinterInfo::defaultPrinter(), QPrinter::HighResolution);
    return p;
}

} // namespace

namespace PrintDevice {

bool hasPrinter() {
    return !QPrinterInfo::availablePrinters().isEmpty();
}

bool printNow(const Sheet& sheet) {
    if (!hasPrinter())
        return false;
    return PageLayout::print(sheet, printer()) > 0;
}

bool printWithDialog(const Sheet& sheet, QWidget* parent) {
    if (!hasPrinter())
        return false;
    QPrintDialog dialog(&printer(), parent);
    if (dialog.exec() != QDialog::Accepted)
        return true; // cancelled by the user: nothing to tell
    return PageLayout::print(sheet, printer()) > 0;
}

bool printerSetup(QWidget* parent) {
    if (!hasPrinter())
        return false;
    QPageSetupDialog dialog(&printer(), parent);
    dialog.exec();
    return true;
}

} // namespace PrintDevice
