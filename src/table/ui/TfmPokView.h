#pragma once

#include "IndicatorMarks.h"

#include <QDialog>

#include <functional>

class Prompter;
class QAction;
class QTreeWidget;
class QTreeWidgetItem;
class TdmMSSQL;

// "Просмотр справочника показателей": the rubrics tree, the indicators of a leaf rubric
// and the indicators marked so far, in marking order. "Перенести в таблицу" hands the
// marked ones to the editor; a transfer the editor takes closes the window.
class TfmPokView : public QDialog {
    Q_OBJECT
public:
    using Transfer = std::function<bool(const QList<PickedEntry>&)>;
    TfmPokView(TdmMSSQL& dm, Prompter& prompter, QWidget* parent = nullptr);

    void setTransfer(Transfer transfer) { m_transfer = std::move(transfer); }
    // SBrefr: the rubrics read afresh.
    void rebuildTree();
    // Enter or a double click on a leaf rubric.
    void openRubric(int kodFolder);
    // A click or Space on a listed indicator (row of lvSlave).
    void toggleRow(int row);
    void SBgetpokClick();
    void SBclearpokClick();
    void SBtableClick();
    const IndicatorMarks& marks() const { return m_marks; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void done(int result) override;

private:
    void updateCommands();
    void showMarks();

    TdmMSSQL& m_dm;
    Prompter& m_prompter;
    QTreeWidget* trvMaster;
    QTreeWidget* lvSlave;
    QAction* SBgetpok;
    QAction* SBclearpok;
    QAction* SBrefr;
    QAction* SBtable;
    IndicatorMarks m_marks;
    QList<PickedEntry> m_listed;
    Transfer m_transfer;
};
