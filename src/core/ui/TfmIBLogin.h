#pragma once

#include "IBLoginController.h"

#include <QDialog>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;
class Prompter;

// The login dialog fmIBLogin: a database path, a server user and a password for
// one of the two databases. Its rules and the apply live in IBLoginController.
class TfmIBLogin : public QDialog {
    Q_OBJECT
public:
    TfmIBLogin(TdmMSSQL& dm, const LoginRequest& request, Prompter& prompter,
               QWidget* parent = nullptr);

    LoginResult loginResult() const { return m_result; }
    IBLoginController& controller() { return m_controller; }

    QLineEdit* edNameDB = nullptr;
    QLineEdit* edLoginDB = nullptr;
    QLineEdit* edPasswordDB = nullptr;
    QToolButton* sbFindDB = nullptr;
    QPushButton* bOK = nullptr;
    QPushButton* bExit = nullptr;
    QPushButton* bCancelWork = nullptr;
    QGroupBox* gbDBProperties = nullptr;
    QLabel* laReason = nullptr; // why the connection failed, under the fields

protected:
    void showEvent(QShowEvent* event) override;

private:
    void fieldsEdited();
    void updateButtons();
    void bOKClick();
    void bExitClick();
    void sbFindDBClick();

    IBLoginController m_controller;
    Prompter& m_prompter;
    LoginResult m_result = LoginResult::EndWork;
};

// Shows TfmIBLogin for the data module.
class QtLoginLauncher : public LoginLauncher {
public:
    QtLoginLauncher(Prompter& prompter, QWidget* parent = nullptr)
        : m_prompter(prompter), m_parent(parent) {}
    LoginResult showLogin(TdmMSSQL& dm, const LoginRequest& request) override;

private:
    Prompter& m_prompter;
    QWidget* m_parent;
};
