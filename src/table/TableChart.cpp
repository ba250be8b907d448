#include "TableChart.h"

#include "IdentModel.h"
#include "TableLayout.h"

#include "model/ChartData.h"
#include "model/Sheet.h"

using namespace TableLayout;

namespace TableChart {

std::optional<ChartObject> source(const IdentModel& model, const Sheet& sheet,
                                  const CellRange& selection) {
    const CellRange sel = selection.normalized();
    // A whole column or row selected reaches far past the table: only used cells count.
    const CellRange data(std::max(sel.row1, model.firstBodyRow()),
                         std::max(sel.col1, kFirstDataCol), std::min(sel.row2, sheet.lastRow()),
                         std::min(sel.col2, sheet.lastCol()));
    if (!data.isValid())
        return std::nullopt;
    ChartObject chart;
    chart.data = data;
    chart.rowNames = CellRange(data.row1, kSideCol, data.row2, kSideCol);
    if (model.lastHeaderRow() >= kFirstHeaderRow)
        chart.colNames =
            CellRange(model.lastHeaderRow(), data.col1, model.lastHeaderRow(), data.col2);
    if (!ChartData::of(sheet, chart).hasValues())
        return std::nullopt;
    return chart;
}

QString noDataMessage() {
    return QStringLiteral("Для диаграммы выделите ячейки с числами в теле таблицы");
}

} // namespace TableChart
