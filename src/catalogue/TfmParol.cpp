#include "TfmParol.h"

#include "HelpContexts.h"
#include "HelpKey.h"
#include "Helpers.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TfmParol::TfmParol(const QString& caption, const QString& label, Check check, QWidget* parent)
    : QDialog(parent), m_check(std::move(check)) {
    SetHelpContext(this, HelpContexts::Passwords);
    setObjectName(QStringLiteral("fmParol"));
    setWindowTitle(caption);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(label, this));
    m_parol = new QLineEdit(this);
    m_parol->setObjectName(QStringLiteral("edParol"));
    m_parol->setEchoMode(QLineEdit::Password);
    m_parol->setMaxLength(8); // the width of the PAROL columns
    layout->addWidget(m_parol);
    auto* buttons = new QHBoxLayout;
    m_apply = new QPushButton(QStringLiteral("Применить"), this);
    m_apply->setDefault(true);
    m_apply->setEnabled(false);
    auto* cancel = new QPushButton(QStringLiteral("Отменить"), this);
    buttons->addStretch(1);
    buttons->addWidget(m_apply);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(m_parol, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_apply->setEnabled(!IsBlank(text)); });
    connect(m_apply, &QPushButton::clicked, this, &TfmParol::apply);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TfmParol::apply() {
    if (IsBlank(m_parol->text()))
        return;
    if (m_check(m_parol->text()))
        accept();
    else
        m_parol->setFocus();
}

bool TfmParol::run(QWidget* parent, const QString& caption, const QString& label,
                   const Check& check) {
    TfmParol dialog(caption, label, check, parent);
    return dialog.exec() == QDialog::Accepted;
}
