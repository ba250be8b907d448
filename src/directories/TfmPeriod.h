#pragma once

#include "PeriodController.h"

#include <QDialog>

class QPushButton;
class QTabWidget;
class QTreeWidget;
class Prompter;
class TdmMSSQL;

// "Настройка периодов хранения данных": one page per fund with its years in
// list order. The window only wires the trees and the button to PeriodController.
class TfmPeriod : public QDialog {
    Q_OBJECT
public:
    using Fund = PeriodController::Fund;

    TfmPeriod(TdmMSSQL& dm, Prompter& prompter, QWidget* parent = nullptr);
    ~TfmPeriod() override;

    // The command of the collections window: the administrator check, the lists
    // loaded, the window shown modally.
    static void run(TdmMSSQL& dm, Prompter& prompter, QWidget* parent = nullptr);

    // Loads the lists and fills both trees; false after a message.
    bool prepare();

    PeriodController& controller() { return m_controller; }
    QTreeWidget* tree(Fund fund) const { return fund == Fund::Dolg ? trvDolg : trvOper; }
    Fund activeFund() const;

    QTabWidget* pcFund = nullptr;
    QTreeWidget* trvDolg = nullptr;
    QTreeWidget* trvOper = nullptr;
    QPushButton* sbAddS = nullptr;

    void sbAddSClick();
    // F2 in a tree.
    void treeEditKey(Fund fund);

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QTreeWidget* makeTree();
    void fillTree(Fund fund);
    void startEdit(Fund fund, int node);
    void editFinished(Fund fund);
    void pageChanged();
    void placeFocus(Fund fund);

    PeriodController m_controller;
    int m_editing[2] = {-1, -1};
};
