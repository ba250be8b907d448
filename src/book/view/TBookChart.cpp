#include "ChartPainter.h"
#include "TBook.h"

#include <QKeyEvent>
#include <QPainter>

namespace {

// A frame drawn as a click rather than a drag.
constexpr int kDefaultChartRows = 14;
constexpr int kDefaultChartCols = 6;

} // namespace

void TBook::setMode(int mode) {
    if (mode == ChartMode && m_mode != ChartMode) {
        ChartObject source;
        source.data = selection();
        beginChart(source);
        return;
    }
    m_mode = mode;
    m_chartDrag = CellRange();
    if (mode != ChartMode)
        viewport()->unsetCursor();
    viewport()->update();
}

void TBook::beginChart(const ChartObject& source) {
    m_chartSource = source;
    m_mode = ChartMode;
    m_chartDrag = CellRange();
    viewport()->setCursor(Qt::CrossCursor);
}

int TBook::placeChart(CellRange frame) {
    if (m_mode != ChartMode || !frame.isValid())
        return 0;
    ChartObject chart = ChartData::resolveNames(activeSheet(), m_chartSource);
    chart.frame = frame.normalized();
    if (chart.frame.rowCount() == 1 && chart.frame.colCount() == 1)
        chart.frame = CellRange(frame.row1, frame.col1,
                                std::min(maxRow(), frame.row1 + kDefaultChartRows - 1),
                                std::min(maxCol(), frame.col1 + kDefaultChartCols - 1));
    setMode(0);
    m_book->undoStack().begin(QStringLiteral("Диаграмма"));
    const int id = activeSheet().addChart(chart);
    m_book->undoStack().end();
    m_selectedChart = id;
    userModified();
    return id;
}

// The chart selected and the cells a chart being drawn shows belong to the sheet left.
void TBook::leaveSheetCharts() {
    m_selectedChart = 0;
    if (m_mode == ChartMode)
        setMode(0);
}

bool TBook::deleteSelectedChart() {
    if (!m_selectedChart || !activeSheet().chart(m_selectedChart))
        return false;
    m_book->undoStack().begin(QStringLiteral("Удалить диаграмму"));
    activeSheet().deleteChart(m_selectedChart);
    m_book->undoStack().end();
    m_selectedChart = 0;
    userModified();
    return true;
}

// Escape leaves the chart mode, Delete removes the selected chart.
bool TBook::chartKey(QKeyEvent* e) {
    if (m_mode == ChartMode && e->key() == Qt::Key_Escape) {
        setMode(0);
        return true;
    }
    return e->key() == Qt::Key_Delete && deleteSelectedChart();
}

void TBook::paintCharts(QPainter& p, const SheetLayout& l) {
    const Sheet& s = activeSheet();
    p.save();
    p.setClipRect(QRect(l.origin(), viewport()->rect().bottomRight()));
    for (const ChartObject& chart : s.charts()) {
        const QRect rect = l.rangeRect(chart.frame);
        if (!rect.intersects(viewport()->rect()))
            continue;
        ChartPainter(ChartData::of(s, chart)).paint(p, rect);
        if (chart.id == m_selectedChart) {
            QPen pen(palette().color(QPalette::Highlight));
            pen.setWidth(2);
            p.setPen(pen);
            p.setBrush(Qt::NoBrush);
            p.drawRect(rect.adjusted(1, 1, -1, -1));
        }
    }
    if (m_chartDrag.isValid()) {
        p.setPen(QPen(Qt::black, 1, Qt::DashLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(l.rangeRect(m_chartDrag.normalized()).adjusted(0, 0, -1, -1));
    }
    p.restore();
}
