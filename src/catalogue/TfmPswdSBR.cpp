#include "TfmPswdSBR.h"

#include "HelpContexts.h"
#include "HelpKey.h"
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TfmPswdSBR::TfmPswdSBR(const QString& parol, Store store, QWidget* parent)
    : QDialog(parent), m_store(std::move(store)) {
    SetHelpContext(this, HelpContexts::Passwords);
    setObjectName(QStringLiteral("fmPswdSBR"));
    setWindowTitle(QStringLiteral("Пароль сборника"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Введите пароль сборника"), this));
    m_parol = new QLineEdit(this);
    m_parol->setObjectName(QStringLiteral("edParol"));
    m_parol->setEchoMode(QLineEdit::Password);
    m_parol->setMaxLength(8); // the width of SBR.PAROL
    m_parol->setText(parol);
    layout->addWidget(m_parol);
    auto* buttons = new QHBoxLayout;
    auto* apply = new QPushButton(QStringLiteral("Применить"), this);
    apply->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Отменить"), this);
    buttons->addStretch(1);
    buttons->addWidget(apply);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(apply, &QPushButton::clicked, this, &TfmPswdSBR::apply);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TfmPswdSBR::apply() {
    if (m_store(m_parol->text()))
        accept();
    else
        m_parol->setFocus();
}

bool TfmPswdSBR::run(QWidget* parent, const QString& parol, const Store& store) {
    TfmPswdSBR dialog(parol, store, parent);
    return dialog.exec() == QDialog::Accepted;
}
