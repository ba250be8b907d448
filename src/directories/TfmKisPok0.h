#pragma once

#include "ElementOperations.h"
#include "ElementRowSet.h"
#include "IndicatorsController.h"
#include "OutlineTreeController.h"

#include <QDialog>

#include <memory>

class QAction;
class QMenu;
class QProgressBar;
class QToolButton;
class TMyDBGrid;

// "Разделы показателей": the rubric tree and the indicators of one rubric. The
// window only wires its widgets to IndicatorsController.
class TfmKisPok0 : public QDialog {
    Q_OBJECT
public:
    TfmKisPok0(TdmMSSQL& dm, Prompter& prompter, QWidget* parent = nullptr);
    ~TfmKisPok0() override;

    // The command of the collections window: the window shown modally; the
    // outline code is in its rubric mode meanwhile.
    static void run(TdmMSSQL& dm, Prompter& prompter, QWidget* parent = nullptr);

    IndicatorsController& controller() { return *m_controller; }
    OutlineTreeController<int>& tree() { return *m_tree; }
    ElementRowSet& rows() { return m_rows; }
    QAction* action(const QString& caption) const;

    OutlineTreeWidget* trvMaster = nullptr;
    TMyDBGrid* dgSlave = nullptr;
    QProgressBar* pbImport = nullptr;

    void openRubric();
    void enterTree();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QToolButton* toolButton(const QString& hint, QStyle::StandardPixmap pixmap);
    void buildMenu(class QVBoxLayout* layout);
    void addByMode();
    void deleteByMode();
    void menuAboutToShow();
    void showProtocol(const QString& caption, const QString& text);

    TdmMSSQL& m_dm;
    Prompter& m_prompter;
    OutlineState& m_state;
    int m_catalogueBefore = 1;
    QWidget* m_toolPanel = nullptr;
    QToolButton *sbAdd = nullptr, *sbDelete = nullptr, *sbUp = nullptr, *sbDown = nullptr,
                *sbLeft = nullptr, *sbRight = nullptr, *sbAdds = nullptr, *sbDeletes = nullptr;
    QMenu* m_ops = nullptr;
    QAction *m_add = nullptr, *m_delete = nullptr, *m_copy = nullptr, *m_paste = nullptr;
    QAction *m_export = nullptr, *m_import = nullptr;
    QAction *m_up = nullptr, *m_down = nullptr, *m_left = nullptr, *m_right = nullptr;
    OutlineCommandSet m_treeCommands;
    ElementCommandSet m_elementCommands;
    std::unique_ptr<OutlineTreeController<int>> m_tree;
    ElementRowSet m_rows;
    ElementOperations m_elements;
    std::unique_ptr<IndicatorsController> m_controller;
};
