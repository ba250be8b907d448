#pragma once

#include "model/ChartData.h"

#include <QRect>

class QPainter;

// Draws a chart as grouped bars with a value axis, the category names below and a legend
// of the series on the right; the same on screen and on paper.
class ChartPainter {
public:
    explicit ChartPainter(const ChartData& data) : m_data(data) {}
    void paint(QPainter& p, const QRect& frame, bool mono = false) const;
    // A round step for the value axis so that about `lines` lines cover `span`.
    static double axisStep(double span, int lines);

private:
    const ChartData& m_data;
};
