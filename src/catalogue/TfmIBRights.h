#pragma once

#include "IBRightsController.h"

#include <QDialog>

class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

// "Права пользователя": the administrator gives a server user one of two levels.
class TfmIBRights : public QDialog {
    Q_OBJECT
public:
    TfmIBRights(TdmMSSQL& dm, Prompter& prompter, QWidget* parent = nullptr);

    static void run(TdmMSSQL& dm, Prompter& prompter, QWidget* parent);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void nameChanged();
    void nameLeft();
    void apply();

    IBRightsController m_controller;
    QLineEdit* edName = nullptr;
    QGroupBox* rgRights = nullptr;
    QRadioButton* m_all = nullptr;
    QRadioButton* m_readOnly = nullptr;
    QPushButton* bOK = nullptr;
    QPushButton* bCancel = nullptr;
};
