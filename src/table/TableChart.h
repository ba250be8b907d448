#pragma once

#include "model/SheetObjects.h"

#include <QString>

#include <optional>

class IdentModel;
class Sheet;

// What a chart drawn from a selection in a table shows: the body cells of the selection
// (cut to the cells in use), the rows named by the side and the columns by the last
// header row. Nothing when the selection holds no number of the body.
namespace TableChart {

std::optional<ChartObject> source(const IdentModel& model, const Sheet& sheet,
                                  const CellRange& selection);
QString noDataMessage();

} // namespace TableChart
