#pragma once

#include <QDialog>

class IdentModel;
class Prompter;
class QTreeWidget;
class QTreeWidgetItem;

// "Список листов (экземпляров таблицы)": the instance sheets as a tree of levels.
// Double click or Enter makes the node's sheet active; "Подсчет итогов" sums the
// sheets of each level into the sheet above them.
class TfmSheets : public QDialog {
    Q_OBJECT
public:
    TfmSheets(IdentModel& model, Prompter& prompter, QWidget* parent = nullptr);

    // The sheet chosen, 0 when the window was closed without a choice.
    int chosenSheet() const { return m_chosen; }
    QTreeWidget* tree() const { return m_trvObj; }

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void rebuild();
    void choose(QTreeWidgetItem* item);
    void calcTotals();

    IdentModel& m_model;
    Prompter& m_prompter;
    QTreeWidget* m_trvObj;
    int m_chosen = 0;
};
