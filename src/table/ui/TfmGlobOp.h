#pragma once

#include <QDialog>

class CellOperations;
class Prompter;
class QButtonGroup;
class QLineEdit;

// "Операции" over the numbers of the selection.
class TfmGlobOp : public QDialog {
    Q_OBJECT
public:
    TfmGlobOp(CellOperations& operations, Prompter& prompter, QWidget* parent = nullptr);

    QButtonGroup* group = nullptr;
    QLineEdit* Edit1 = nullptr;

private:
    void apply();

    CellOperations& m_ops;
    Prompter& m_prompter;
};
