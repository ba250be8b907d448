#pragma once

#include "CellAddress.h"

#include <QDateTime>
#include <QString>

// Page setup of a sheet; margins in inches.
struct PrintSettings {
    bool landscape = false;
    bool noColor = false;
    int scale = 100;
    double leftMargin = 0.75;
    double rightMargin = 0.75;
    double topMargin = 1.0;
    double bottomMargin = 1.0;
    double headerMargin = 0.5;
    double footerMargin = 0.5;
    bool centerHorizontally = false;
    bool centerVertically = false;
    QString header;
    QString footer;
    bool gridLines = false;
    bool rowHeadings = false;
    bool colHeadings = false;
    CellRange printArea; // invalid = the used range
    // Rows (row1..row2) and columns (col1..col2) printed again on every page that starts
    // past them; 0 = none. Set by the program before it lays pages out, not stored.
    int titleRow1 = 0, titleRow2 = 0;
    int titleCol1 = 0, titleCol2 = 0;
    bool operator==(const PrintSettings&) const = default;

    // Replaces &T (time), &D (date), &P (page), &N (pages), &A (sheet name) and && ("&").
    static QString expandCodes(const QString& text, int page, int pages, const QString& sheetName,
                               const QDateTime& now);
};
