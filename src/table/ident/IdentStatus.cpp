#include "IdentStatus.h"

#include "IdentCommands.h"
#include "IdentContext.h"
#include "IdentEditorView.h"
#include "IdentModel.h"
#include "model/Workbook.h"

using namespace TableLayout;

QString IdentStatus::regionText(int row, int col) const {
    if (row < kFirstHeaderRow)
        return QStringLiteral("Редактирование заголовка");
    if (row <= m_ctx.model.lastHeaderRow())
        return QStringLiteral("Редактирование шапки");
    if (col <= kSideCol)
        return QStringLiteral("Редактирование боковика");
    return QStringLiteral("Работа с данными");
}

bool IdentStatus::carriesControl(int row, int col) const {
    const IdentModel& model = m_ctx.model;
    if (row < model.firstBodyRow() || col < kFirstDataCol)
        return false;
    const Workbook& book = model.book();
    return !book.sheet(model.rowIdentSheet())
                .text(row, rowSlotColumn(Slot::Control))
                .trimmed()
                .isEmpty() ||
           !book.sheet(model.colIdentSheet())
                .text(model.colSlotRow(Slot::Control), col)
                .trimmed()
                .isEmpty();
}

void IdentStatus::selectionChanged() {
    IdentEditState& state = m_ctx.state;
    const int row = m_ctx.view.cursorRow();
    const int col = m_ctx.view.cursorCol();
    state.prevRow = state.row;
    state.prevCol = state.col;
    state.row = row;
    state.col = col;

    m_ctx.view.setStatusText(0, QStringLiteral("%1:%2").arg(row).arg(col));
    const int sheet = m_ctx.model.book().activeSheetIndex();
    const bool instance = m_ctx.model.isInstanceSheet(sheet);
    // A mode keeps its hint; normal work on an instance sheet tells the region.
    if (state.mode != IdentMode::Normal)
        m_ctx.view.setStatusText(1, IdentCommands::hintOf(state.mode));
    else
        m_ctx.view.setStatusText(1, instance ? regionText(row, col) : QString());
    m_ctx.view.setStatusText(2, instance && carriesControl(row, col) ? QStringLiteral("Контроль")
                                                                     : QString());
}
