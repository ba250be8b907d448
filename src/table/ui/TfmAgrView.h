#pragma once

#include "NodeMarks.h"

#include <QDialog>

#include <functional>

class Prompter;
class QAction;
class QProgressBar;
class QTreeWidget;
class QTreeWidgetItem;
class TdmMSSQL;

// "Справочник объектов": the node tree of one aggregation directory with marks. A mark
// on an opened branch marks what is shown of it; "Перенести в таблицу" hands the
// marked nodes with their relative depths to the editor.
class TfmAgrView : public QDialog {
    Q_OBJECT
public:
    using Transfer = std::function<bool(const QList<PickedEntry>&)>;
    TfmAgrView(TdmMSSQL& dm, Prompter& prompter, QWidget* parent = nullptr);

    void setTransfer(Transfer transfer) { m_transfer = std::move(transfer); }
    // Before every showing: the caption, and the tree of directory n unless it is loaded.
    void activate(int numAgr, const QString& caption);
    // SBrefr: the directory read afresh.
    void reload();
    // Space or a right click on node i (tree order).
    void toggleNode(int i);
    void SBtree1Click();
    void SBtree2Click();
    void sbKodClick(bool withCodes);
    void SBtableClick();
    const NodeMarks& marks() const { return m_marks; }
    QTreeWidgetItem* item(int i) const { return m_items.value(i); }

    QTreeWidget* TrvMaster;
    QAction* SBtree1;
    QAction* SBtree2;
    QAction* sbKod;
    QAction* SBrefr;
    QAction* SBtable;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void done(int result) override;

private:
    void buildTree();
    void showTexts();
    void showMarks();
    void updateCommands();
    int indexOf(QTreeWidgetItem* item) const;

    TdmMSSQL& m_dm;
    Prompter& m_prompter;
    QProgressBar* pbKod;
    NodeMarks m_marks;
    QList<QTreeWidgetItem*> m_items;
    bool m_loaded = false;
    Transfer m_transfer;
};
