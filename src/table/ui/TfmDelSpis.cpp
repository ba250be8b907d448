#include "TfmDelSpis.h"

#include "HelpContexts.h"
#include "HelpKey.h"
#include "ObjectLists.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

TfmDelSpis::TfmDelSpis(ObjectLists& lists, QWidget* parent)
    : QDialog(parent), cbName(new QComboBox), bOK(new QPushButton(QStringLiteral("Удалить"))),
      bCancel(new QPushButton(QStringLiteral("Выйти"))), m_lists(lists) {
    SetHelpContext(this, HelpContexts::ObjectListDelete);
    setObjectName(QStringLiteral("fmDelSpis"));
    setWindowTitle(QStringLiteral("Удаление списка"));
    cbName->setObjectName(QStringLiteral("cbName"));
    bOK->setObjectName(QStringLiteral("bOK"));
    bCancel->setObjectName(QStringLiteral("bCancel"));
    bOK->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(bOK);
    buttons->addWidget(bCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Выберите удаляемый список:")));
    layout->addWidget(cbName);
    layout->addLayout(buttons);
    connect(bOK, &QPushButton::clicked, this, &TfmDelSpis::bOKClick);
    connect(bCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TfmDelSpis::refill() {
    cbName->clear();
    for (const ObjectLists::ListRow& row : m_lists.lists())
        cbName->addItem(row.name);
    cbName->setCurrentIndex(cbName->count() > 0 ? 0 : -1);
}

void TfmDelSpis::showEvent(QShowEvent* event) {
    refill();
    QDialog::showEvent(event);
    QTimer::singleShot(0, cbName, [this] { cbName->showPopup(); });
}

void TfmDelSpis::bOKClick() {
    if (cbName->currentIndex() < 0)
        return;
    if (m_lists.remove(cbName->currentIndex()))
        refill();
}
