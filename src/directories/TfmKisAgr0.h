#pragma once

#include "AggregationController.h"
#include "OutlineTreeController.h"

#include <QDialog>
#include <QStyle>

#include <memory>

class QAction;
class QLineEdit;
class QMenu;
class QProgressBar;
class QToolButton;

// The node tree of one aggregation directory with its code box. The window
// only wires its widgets to AggregationController and the outline engine.
class TfmKisAgr0 : public QDialog {
    Q_OBJECT
public:
    TfmKisAgr0(TdmMSSQL& dm, Prompter& prompter, int numAgr, const QString& caption,
               QWidget* parent = nullptr);
    ~TfmKisAgr0() override;

    static void run(TdmMSSQL& dm, Prompter& prompter, int numAgr, const QString& caption,
                    QWidget* parent = nullptr);

    AggregationController& controller() { return *m_controller; }
    OutlineTreeController<double>& tree() { return *m_tree; }
    QAction* action(const QString& caption) const;

    OutlineTreeWidget* trvMaster = nullptr;
    QLineEdit* edKod = nullptr;
    QProgressBar* pbImport = nullptr;
    QToolButton *sbAdd = nullptr, *sbDelete = nullptr, *sbUp = nullptr, *sbDown = nullptr,
                *sbLeft = nullptr, *sbRight = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QToolButton* toolButton(const QString& hint, QStyle::StandardPixmap pixmap);
    void buildMenu(class QVBoxLayout* layout);
    void showCode();
    // Enter or Tab in the code box: false keeps the focus there.
    bool endCodeEdit();
    void leaveCodeBox();

    OutlineState& m_state;
    QWidget* m_toolPanel = nullptr;
    QMenu* m_ops = nullptr;
    QAction *m_add = nullptr, *m_delete = nullptr, *m_up = nullptr, *m_down = nullptr,
            *m_left = nullptr, *m_right = nullptr, *m_export = nullptr, *m_import = nullptr;
    OutlineCommandSet m_commands;
    std::unique_ptr<OutlineTreeController<double>> m_tree;
    std::unique_ptr<AggregationController> m_controller;
    bool m_codeEntered = false;
};
