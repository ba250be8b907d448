#include "TfmIBLogin.h"

#include "HelpContexts.h"
#include "HelpKey.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

TfmIBLogin::TfmIBLogin(TdmMSSQL& dm, const LoginRequest& request, Prompter& prompter,
                       QWidget* parent)
    : QDialog(parent), m_controller(dm, request), m_prompter(prompter) {
    SetHelpContext(this, HelpContexts::Login);
    setObjectName(QStringLiteral("fmIBLogin"));
    setWindowTitle(request.windowCaption.isEmpty() ? QStringLiteral("Регистрация пользователя")
                                                   : request.windowCaption);

    gbDBProperties = new QGroupBox(request.groupCaption, this);
    auto* grid = new QGridLayout(gbDBProperties);
    auto* laFullPathDB = new QLabel(QStringLiteral("Полный путь к файлу БД :"), gbDBProperties);
    edNameDB = new QLineEdit(gbDBProperties);
    edNameDB->setObjectName(QStringLiteral("edNameDB"));
    edNameDB->setStyleSheet(QStringLiteral("QLineEdit { background: yellow; color: black; }"));
    edNameDB->setMinimumWidth(360);
    sbFindDB = new QToolButton(gbDBProperties);
    sbFindDB->setText(QStringLiteral("..."));
    auto* laLoginDB = new QLabel(QStringLiteral("Имя пользователя сервера БД"), gbDBProperties);
    edLoginDB = new QLineEdit(gbDBProperties);
    edLoginDB->setObjectName(QStringLiteral("edLoginDB"));
    auto* laPasswordDB =
        new QLabel(QStringLiteral("Пароль пользователя сервера БД"), gbDBProperties);
    edPasswordDB = new QLineEdit(gbDBProperties);
    edPasswordDB->setObjectName(QStringLiteral("edPasswordDB"));
    edPasswordDB->setEchoMode(QLineEdit::Password);
    edPasswordDB->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
    grid->addWidget(laFullPathDB, 0, 0, 1, 2);
    grid->addWidget(edNameDB, 1, 0);
    grid->addWidget(sbFindDB, 1, 1);
    grid->addWidget(laLoginDB, 2, 0, 1, 2);
    grid->addWidget(edLoginDB, 3, 0, 1, 2);
    grid->addWidget(laPasswordDB, 4, 0, 1, 2);
    grid->addWidget(edPasswordDB, 5, 0, 1, 2);
    laReason = new QLabel(gbDBProperties);
    laReason->setObjectName(QStringLiteral("laReason"));
    laReason->setWordWrap(true);
    laReason->setMaximumWidth(420);
    laReason->setStyleSheet(QStringLiteral("QLabel { color: #a00000; }"));
    laReason->setTextFormat(Qt::PlainText);
    laReason->setText(m_controller.reasonText());
    laReason->setVisible(!laReason->text().isEmpty());
    grid->addWidget(laReason, 6, 0, 1, 2);

    bOK = new QPushButton(QStringLiteral("Применить"), this);
    bExit = new QPushButton(QStringLiteral("Отменить"), this);
    bCancelWork = new QPushButton(QStringLiteral("Закончить работу"), this);
    for (QPushButton* b : {bOK, bExit, bCancelWork})
        b->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(bOK);
    buttons->addWidget(bExit);
    buttons->addWidget(bCancelWork);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(gbDBProperties);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    m_controller.loadFromSettings();
    edNameDB->setText(m_controller.path());
    edLoginDB->setText(m_controller.user());
    edPasswordDB->setText(m_controller.password());
    edNameDB->setEnabled(m_controller.pathEditable());
    sbFindDB->setEnabled(m_controller.pathEditable());

    for (QLineEdit* e : {edNameDB, edLoginDB, edPasswordDB})
        connect(e, &QLineEdit::textChanged, this, &TfmIBLogin::fieldsEdited);
    connect(bOK, &QPushButton::clicked, this, &TfmIBLogin::bOKClick);
    connect(bExit, &QPushButton::clicked, this, &TfmIBLogin::bExitClick);
    connect(bCancelWork, &QPushButton::clicked, this, &QDialog::reject);
    connect(sbFindDB, &QToolButton::clicked, this, &TfmIBLogin::sbFindDBClick);
    updateButtons();
}

void TfmIBLogin::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    (m_controller.initialFocus() == IBLoginController::Field::Path ? edNameDB : edLoginDB)
        ->setFocus();
}

void TfmIBLogin::fieldsEdited() {
    m_controller.setPath(edNameDB->text());
    m_controller.setUser(edLoginDB->text());
    m_controller.setPassword(edPasswordDB->text());
    updateButtons();
}

void TfmIBLogin::updateButtons() {
    bOK->setEnabled(m_controller.applyEnabled());
    const bool applyIsDefault = m_controller.defaultButton() == IBLoginController::Button::Apply;
    bOK->setDefault(applyIsDefault);
    bCancelWork->setDefault(!applyIsDefault);
}

void TfmIBLogin::bOKClick() {
    if (!m_controller.applyEnabled())
        return;
    if (!m_controller.apply())
        return; // the message is shown; the dialog stays for another try
    m_result = LoginResult::Continue;
    accept();
}

void TfmIBLogin::bExitClick() {
    m_result = LoginResult::Continue;
    accept();
}

void TfmIBLogin::sbFindDBClick() {
    if (m_controller.browse(m_prompter))
        edNameDB->setText(m_controller.path());
}

LoginResult QtLoginLauncher::showLogin(TdmMSSQL& dm, const LoginRequest& request) {
    TfmIBLogin dialog(dm, request, m_prompter, m_parent);
    dialog.exec();
    return dialog.loginResult();
}
