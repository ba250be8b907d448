#pragma once

#include "MedstatControl.h"

#include <QDialog>

class QLineEdit;
class QPushButton;
class QToolButton;
class QTreeWidget;

// "Список контролей файла МЗ РФ": the kinds of control to tick, the object and the year,
// the run and the last protocol.
class TfmViewCtrl : public QDialog {
    Q_OBJECT
public:
    TfmViewCtrl(const QString& folder, Prompter& prompter, QWidget* parent = nullptr);

    // Reads the control files; false (after the message) when the window must not open.
    bool load();

    QTreeWidget* lvwPok = nullptr;
    QLineEdit* EditOb = nullptr;
    QLineEdit* EditGod = nullptr;
    QPushButton* bnCtrl = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    QPushButton* bnCancel = nullptr;

    void bnCtrlClick();
    void SpeedButton1Click();
    MedstatControl& control() { return m_control; }

private:
    void showProtocol();

    Prompter& m_prompter;
    MedstatControl m_control;
};
