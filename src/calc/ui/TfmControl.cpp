#include "TfmControl.h"

#include "HelpContexts.h"
#include "HelpKey.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TfmControl::TfmControl(ControlConditions& conditions, const ConditionDraft& draft, QWidget* parent)
    : QDialog(parent), m_conditions(conditions), m_draft(draft) {
    setObjectName(QStringLiteral("fmControl"));
    SetHelpContext(this, HelpContexts::ControlConditions);
    setWindowTitle(draft.caption.isEmpty() ? QStringLiteral("Установка условий контроля")
                                           : draft.caption);
    edCondition = new QLineEdit(draft.condition, this);
    edCondition->setObjectName(QStringLiteral("edCondition"));
    edCondition->setToolTip(QStringLiteral("Введите условие контроля для текущей графоклетки"));
    edText = new QLineEdit(draft.message, this);
    edText->setObjectName(QStringLiteral("edText"));
    edText->setToolTip(
        QStringLiteral("Введите текст сообщения об ошибке при невыполнении условия"));
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Условие:"), edCondition);
    form->addRow(QStringLiteral("Текст:"), edText);

    auto* apply = new QPushButton(QStringLiteral("Применить"), this);
    apply->setObjectName(QStringLiteral("btApply"));
    apply->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Отменить"), this);
    cancel->setObjectName(QStringLiteral("btCancel"));
    connect(apply, &QPushButton::clicked, this, &TfmControl::applyClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(apply);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    resize(520, sizeHint().height());
}

void TfmControl::applyClick() {
    switch (m_conditions.apply(m_draft, edCondition->text(), edText->text())) {
    case ControlConditions::Applied::Stored:
        accept();
        break;
    case ControlConditions::Applied::NoMessage:
        edText->setFocus();
        break;
    case ControlConditions::Applied::BadCondition:
        edCondition->setFocus();
        break;
    }
}
