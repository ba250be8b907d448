#pragma once

#include "HtmlPageSet.h"

#include <QList>
#include <QString>

class IdentModel;
class Sheet;

// The HTML pages of a table: one instance sheet gives one page; two or more give an
// index page linking to the page of each sheet, "T" + K + "_" + n + ".HTM". The pages
// carry the title lines, the header with its spans and the body of the sheet.
class HtmlTableExport {
public:
    HtmlTableExport(IdentModel& model, int kodElmt, const QString& tableName);

    // WriteTablePages: `fileName` is the name of the table's page (no folder); the sheet
    // pages follow the naming rule. Nothing is written to disk here.
    HtmlPageSet pages(const QString& fileName) const;
    static QString pageName(int kodElmt) { return QStringLiteral("T%1.HTM").arg(kodElmt); }
    QString sheetPageName(int sheet) const {
        return QStringLiteral("T%1_%2.HTM").arg(m_kod).arg(sheet);
    }

    // WriteSheetTable: the title lines and the table of a sheet, without head and tail.
    QString sheetTable(int sheet) const;
    // RowText: the texts of a row from the side column on, blank-separated; empty when
    // the row is hidden.
    QString rowText(int sheet, int row) const;
    // ComputeHeaderSpans: the column spans of a header row from the side column to
    // `last` (index 0 = the side column); 0 = covered by the cell to its left.
    QList<int> headerSpans(int sheet, int row, int last) const;
    // The value text of a body cell outside the side column.
    static QString valueText(const Sheet& sheet, int row, int col);

private:
    int lastColumn(const Sheet& sheet) const;
    QString cellLine(const Sheet& sheet, int row, int col, int span, bool header) const;

    IdentModel& m_model;
    int m_kod;
    QString m_name;
};
