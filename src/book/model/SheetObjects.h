#pragma once

#include "CellAddress.h"

#include <QString>
#include <QStringList>

#include <memory>

struct FormulaCode;

// A drop-down list drawn over the cells of `position`. Items are kept as the text
// separated by ";"; `selected` counts from 1, 0 = nothing chosen.
struct DropDownObject {
    int id = 0;
    QString name;
    CellRange position;
    QString items;
    int selected = 0;
    QStringList itemList() const { return items.split(';'); }
    bool operator==(const DropDownObject&) const = default;
};

// A bar chart drawn over the cells of `frame`, showing the numbers of `data`. The names
// of its rows and columns come from `rowNames` (one cell per data row) and `colNames` (one
// cell per data column); invalid ranges mean "look for them in the data's own first row
// and column". Ids share the sheet's counter with the drop-down objects.
struct ChartObject {
    int id = 0;
    CellRange frame;
    CellRange data;
    CellRange rowNames;
    CellRange colNames;
    bool operator==(const ChartObject&) const = default;
};

// A condition over a range, compiled relative to the range's first cell.
struct ValidationRule {
    CellRange range;
    std::shared_ptr<const FormulaCode> condition;
    QString message;
};
