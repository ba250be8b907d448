#include "TBook.h"

// Each print setting reads and writes one field of the active sheet's PrintSettings.
#define ZEMRAK_PRINT_SETTING(type, getter, setter, field)                                          \
    type TBook::getter() const {                                                                   \
        return activeSheet().printSettings().field;                                                \
    }                                                                                              \
    void TBook::setter(type value) {                                                               \
        PrintSettings ps = activeSheet().printSettings();                                          \
        ps.field = value;                                                                          \
        activeSheet().setPrintSettings(ps);                                                        \
    }

ZEMRAK_PRINT_SETTING(bool, printLandscape, setPrintLandscape, landscape)
ZEMRAK_PRINT_SETTING(bool, printNoColor, setPrintNoColor, noColor)
ZEMRAK_PRINT_SETTING(double, printLeftMargin, setPrintLeftMargin, leftMargin)
ZEMRAK_PRINT_SETTING(double, printRightMargin, setPrintRightMargin, rightMargin)
ZEMRAK_PRINT_SETTING(double, printTopMargin, setPrintTopMargin, topMargin)
ZEMRAK_PRINT_SETTING(double, printBottomMargin, setPrintBottomMargin, bottomMargin)
ZEMRAK_PRINT_SETTING(double, printHeaderMargin, setPrintHeaderMargin, headerMargin)
ZEMRAK_PRINT_SETTING(double, printFooterMargin, setPrintFooterMargin, footerMargin)
ZEMRAK_PRINT_SETTING(bool, printHCenter, setPrintHCenter, centerHorizontally)
ZEMRAK_PRINT_SETTING(bool, printVCenter, setPrintVCenter, centerVertically)
ZEMRAK_PRINT_SETTING(QString, printHeader, setPrintHeader, header)
ZEMRAK_PRINT_SETTING(QString, printFooter, setPrintFooter, footer)
ZEMRAK_PRINT_SETTING(bool, printGridLines, setPrintGridLines, gridLines)
ZEMRAK_PRINT_SETTING(bool, printColHeading, setPrintColHeading, colHeadings)
ZEMRAK_PRINT_SETTING(bool, printRowHeading, setPrintRowHeading, rowHeadings)

int TBook::printScale() const {
    return activeSheet().printSettings().scale;
}

void TBook::setPrintScale(int value) {
    PrintSettings ps = activeSheet().printSettings();
    ps.scale = std::clamp(value, 10, 400);
    activeSheet().setPrintSettings(ps);
}
