#include "TfmPswdCAT.h"

#include "HelpContexts.h"
#include "HelpKey.h"
#include "Helpers.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TfmPswdCAT::TfmPswdCAT(Store store, QWidget* parent) : QDialog(parent), m_store(std::move(store)) {
    SetHelpContext(this, HelpContexts::Passwords);
    setObjectName(QStringLiteral("fmPswdCAT"));
    setWindowTitle(QStringLiteral("Защита таблицы"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Пароль таблицы"), this));
    m_parol = new QLineEdit(this);
    m_parol->setObjectName(QStringLiteral("edParol"));
    m_parol->setEchoMode(QLineEdit::Password);
    m_parol->setMaxLength(8); // the width of CAT.PAROL
    layout->addWidget(m_parol);
    m_scope = new QGroupBox(QStringLiteral(" Область действия пароля "), this);
    auto* scope = new QHBoxLayout(m_scope);
    m_open = new QCheckBox(QStringLiteral("Открытие"), m_scope);
    m_save = new QCheckBox(QStringLiteral("Сохранение"), m_scope);
    scope->addWidget(m_open);
    scope->addWidget(m_save);
    layout->addWidget(m_scope);
    auto* buttons = new QHBoxLayout;
    m_apply = new QPushButton(QStringLiteral("Применить"), this);
    m_apply->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Отменить"), this);
    buttons->addStretch(1);
    buttons->addWidget(m_apply);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(m_apply, &QPushButton::clicked, this, &TfmPswdCAT::apply);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_parol, &QLineEdit::textEdited, this, [this] {
        m_typed = true;
        updateState();
    });
}

void TfmPswdCAT::updateState() {
    const bool blank = IsBlank(m_parol->text());
    if (blank) {
        m_open->setChecked(false);
        m_save->setChecked(false);
    }
    m_scope->setEnabled(!blank);
    // Without a password nothing can be applied until something is typed.
    m_apply->setEnabled(!blank || m_typed);
}

void TfmPswdCAT::apply() {
    if (m_store(m_parol->text(), m_open->isChecked(), m_save->isChecked()))
        accept();
    else
        m_parol->setFocus();
}

bool TfmPswdCAT::run(QWidget* parent, const QString& parol, bool onOpen, bool onSave,
                     const Store& store) {
    TfmPswdCAT dialog(store, parent);
    dialog.m_parol->setText(parol);
    dialog.m_open->setChecked(onOpen);
    dialog.m_save->setChecked(onSave);
    dialog.updateState();
    return dialog.exec() == QDialog::Accepted;
}
