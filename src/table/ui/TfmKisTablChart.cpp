// "Диаграмма": the chart mode of the control over the selected body cells.
#include "Prompter.h"
#include "TBook.h"
#include "TableChart.h"
#include "TfmKisTabl.h"

#include <QAction>
#include <QMenu>

void TfmKisTabl::buildChartCommands(QMenu* view) {
    view->addSeparator();
    QAction* chart = addAction(view, QStringLiteral("Mchart"), QStringLiteral("Диаграмма"));
    chart->setShortcut(QKeySequence(Qt::ALT | Qt::Key_G));
    onCommand(chart, &TfmKisTabl::cmChart);
    auto* button = new QAction(QStringLiteral("Диаграмма"), this);
    button->setObjectName(QStringLiteral("sbChart"));
    onCommand(button, &TfmKisTabl::cmChart);
    QAction* remove =
        addAction(view, QStringLiteral("imChart"), QStringLiteral("Удалить диаграмму"));
    onCommand(remove, [this] {
        Book->deleteSelectedChart();
        updateUndoCommands();
    });
    // Deleting needs a chart chosen by a click; the menu learns it when it opens.
    connect(view, &QMenu::aboutToShow, this, [this, remove] {
        remove->setEnabled(m_identState.mode == IdentMode::Normal && Book->selectedChart() != 0);
    });
}

void TfmKisTabl::cmChart() {
    const auto source = TableChart::source(m_doc.model(), m_book.activeSheet(), Book->selection());
    if (!source) {
        m_prompter.error(TableChart::noDataMessage());
        return;
    }
    Book->beginChart(*source);
}
