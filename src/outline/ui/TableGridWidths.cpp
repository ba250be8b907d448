#include "TableGridWidths.h"

#include "TMyDBGrid.h"

#include <QFontMetrics>

#include <algorithm>

TableGridWidths TableGridWidths::forWidth(int gridWidth, int twentyDigits) {
    const int identifier = std::max(twentyDigits, kNarrowest);
    return {std::max(gridWidth - identifier - 22, kNarrowest), identifier};
}

int TableGridWidths::twentyDigits(const QFontMetrics& metrics) {
    return metrics.horizontalAdvance(QStringLiteral("22222222222222222222"));
}

void FitTableColumns(TMyDBGrid& grid) {
    if (!grid.model() || grid.model()->columnCount() < 2)
        return;
    const TableGridWidths w =
        TableGridWidths::forWidth(grid.width(), TableGridWidths::twentyDigits(grid.fontMetrics()));
    grid.setColumnWidth(0, w.name);
    grid.setColumnWidth(1, w.identifier);
}
