#include "TfmCrtSpis.h"

#include "HelpContexts.h"
#include "HelpKey.h"
#include "Helpers.h"
#include "ObjectLists.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TfmCrtSpis::TfmCrtSpis(ObjectLists& lists, IdentMode mode, QWidget* parent)
    : QDialog(parent), edName(new QLineEdit), bOK(new QPushButton(QStringLiteral("Создать"))),
      bCancel(new QPushButton(QStringLiteral("Выйти"))), m_lists(lists), m_mode(mode) {
    SetHelpContext(this, HelpContexts::ObjectListCreate);
    setObjectName(QStringLiteral("fmCrtSpis"));
    setWindowTitle(QStringLiteral("Создание списка"));
    edName->setObjectName(QStringLiteral("edName"));
    bOK->setObjectName(QStringLiteral("bOK"));
    bCancel->setObjectName(QStringLiteral("bCancel"));
    bOK->setDefault(true);
    bOK->setEnabled(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(bOK);
    buttons->addWidget(bCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Введите название нового списка:")));
    layout->addWidget(edName);
    layout->addLayout(buttons);
    connect(edName, &QLineEdit::textChanged, this,
            [this](const QString& text) { bOK->setEnabled(!IsBlank(text)); });
    connect(bOK, &QPushButton::clicked, this, &TfmCrtSpis::bOKClick);
    connect(bCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TfmCrtSpis::bOKClick() {
    if (m_lists.create(m_mode, edName->text()))
        accept();
}
