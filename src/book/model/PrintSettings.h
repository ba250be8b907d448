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
    bool operator==(const PrintSettings&) const = default;

    // Replaces &T (time), &D (date), &P (page), &N (pages), &A (sheet name) and && ("&").
    static QString expandCodes(const QString& text, int page, int pages, const QString& sheetName,
                               const QDateTime& now);
};
