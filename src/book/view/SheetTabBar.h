#pragma once

#include <QTabBar>

class Workbook;

// Sheet tabs under the cells. A click makes a sheet active and the only one in the edit
// group; Ctrl+click adds or removes a sheet, Shift+click takes the run from the active one.
class SheetTabBar : public QTabBar {
    Q_OBJECT
public:
    explicit SheetTabBar(QWidget* parent = nullptr);
    void rebuild(const Workbook& book);

signals:
    void sheetClicked(int sheet, Qt::KeyboardModifiers modifiers);

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    bool m_rebuilding = false;
};
