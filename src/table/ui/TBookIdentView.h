#pragma once

#include "IdentEditorView.h"

#include <QPointer>

#include <array>
#include <functional>

class QLabel;
class TBook;

// The identification commands' view of the table editor: the spreadsheet control and the
// status panels 0 … 2. The window is told of mode changes through `onModeChanged`.
class TBookIdentView : public IdentEditorView {
public:
    TBookIdentView(TBook* book, std::array<QLabel*, 3> panels,
                   std::function<void(IdentMode)> onModeChanged = {});

    void showSheet(int sheet) override;
    void setSheetTabsShown(bool shown) override;
    void setSelectionEvents(bool on) override;
    int cursorRow() const override;
    int cursorCol() const override;
    void setCursor(int row, int col) override;
    void scrollTo(int topRow, int leftCol) override;
    void setRowLimit(int rows) override;
    void setFrozen(int rows, int cols) override;
    void setStatusText(int panel, const QString& text) override;
    void modeChanged(IdentMode mode) override;
    bool editBarShown() const override;
    void setEditBarShown(bool shown) override;
    void finishEdit() override;

private:
    QPointer<TBook> m_book;
    std::array<QPointer<QLabel>, 3> m_panels;
    std::function<void(IdentMode)> m_onModeChanged;
};
