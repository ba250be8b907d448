#pragma once

#include "SheetObjects.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

class Sheet;

// What a chart shows, read from its sheet: categories along the longer side of the data
// (its rows when there are at least as many rows as columns) and one series per line of
// the other side. A blank or text cell is a gap, not a zero.
struct ChartData {
    struct Series {
        QString name;
        std::vector<std::optional<double>> values; // one per category
    };
    QStringList categories;
    std::vector<Series> series;
    bool seriesInColumns = true;

    static ChartData of(const Sheet& sheet, const ChartObject& chart);
    // The data range with its names worked out: without given name ranges, a first row or
    // column holding texts and no numbers names the others.
    static ChartObject resolveNames(const Sheet& sheet, const ChartObject& chart);

    bool hasValues() const;
    // The span the value axis must cover; always includes 0.
    double minValue() const;
    double maxValue() const;
};
