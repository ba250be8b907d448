#include "ChartData.h"

#include "Sheet.h"

#include <algorithm>

namespace {

std::optional<double> numberAt(const Sheet& s, int row, int col) {
    // Formulas count by their result; texts, errors and blanks leave a gap.
    const CellValue v = s.value(row, col);
    if (v.type != CellValue::Number)
        return std::nullopt;
    return v.number;
}

// A line of cells that names rather than counts: some text, no number.
bool namesLine(const Sheet& s, const CellRange& line) {
    bool text = false;
    for (int r = line.row1; r <= line.row2; ++r)
        for (int c = line.col1; c <= line.col2; ++c) {
            if (numberAt(s, r, c))
                return false;
            text = text || !s.formattedText(r, c).trimmed().isEmpty();
        }
    return text;
}

QString nameAt(const Sheet& s, const CellRange& names, int offset, bool along) {
    if (!names.isValid())
        return {};
    const int row = along ? names.row1 + offset : names.row1;
    const int col = along ? names.col1 : names.col1 + offset;
    if (!names.contains(row, col))
        return {};
    return s.formattedText(row, col).simplified();
}

} // namespace

ChartObject ChartData::resolveNames(const Sheet& sheet, const ChartObject& chart) {
    ChartObject c = chart;
    const CellRange d = c.data;
    if (!d.isValid() || c.rowNames.isValid() || c.colNames.isValid())
        return c;
    // The corner belongs to neither line of names. With a blank corner, names along one
    // side make the other side names too: years typed as numbers over named rows.
    bool top = d.rowCount() > 1 && namesLine(sheet, CellRange(d.row1, d.col1 + 1, d.row1, d.col2));
    bool left = d.colCount() > 1 && namesLine(sheet, CellRange(d.row1 + 1, d.col1, d.row2, d.col1));
    if ((top || left) && d.rowCount() > 1 && d.colCount() > 1 &&
        sheet.formattedText(d.row1, d.col1).trimmed().isEmpty())
        top = left = true;
    if (top) {
        c.colNames = CellRange(d.row1, d.col1 + (left ? 1 : 0), d.row1, d.col2);
        c.data.row1 = d.row1 + 1;
    }
    if (left) {
        c.rowNames = CellRange(c.data.row1, d.col1, d.row2, d.col1);
        c.data.col1 = d.col1 + 1;
    }
    return c;
}

ChartData ChartData::of(const Sheet& sheet, const ChartObject& chart) {
    ChartData out;
    const CellRange d = chart.data;
    if (!d.isValid())
        return out;
    out.seriesInColumns = d.rowCount() >= d.colCount();
    const int categories = out.seriesInColumns ? d.rowCount() : d.colCount();
    const int lines = out.seriesInColumns ? d.colCount() : d.rowCount();
    for (int i = 0; i < categories; ++i) {
        QString name = out.seriesInColumns ? nameAt(sheet, chart.rowNames, i, true)
                                           : nameAt(sheet, chart.colNames, i, false);
        out.categories.append(name.isEmpty() ? QString::number(i + 1) : name);
    }
    for (int k = 0; k < lines; ++k) {
        Series s;
        s.name = out.seriesInColumns ? nameAt(sheet, chart.colNames, k, false)
                                     : nameAt(sheet, chart.rowNames, k, true);
        if (s.name.isEmpty())
            s.name = QStringLiteral("Ряд %1").arg(k + 1);
        for (int i = 0; i < categories; ++i)
            s.values.push_back(out.seriesInColumns ? numberAt(sheet, d.row1 + i, d.col1 + k)
                                                   : numberAt(sheet, d.row1 + k, d.col1 + i));
        out.series.push_back(std::move(s));
    }
    return out;
}

bool ChartData::hasValues() const {
    for (const Series& s : series)
        for (const auto& v : s.values)
            if (v)
                return true;
    return false;
}

// The smallest or largest value against 0, by `pick` (std::min or std::max).
template <typename Pick>
static double extreme(const std::vector<ChartData::Series>& series, Pick pick) {
    double m = 0;
    for (const ChartData::Series& s : series)
        for (const auto& v : s.values)
            if (v)
                m = pick(m, *v);
    return m;
}

double ChartData::minValue() const {
    return extreme(series, [](double a, double b) { return std::min(a, b); });
}

double ChartData::maxValue() const {
    return extreme(series, [](double a, double b) { return std::max(a, b); });
}
