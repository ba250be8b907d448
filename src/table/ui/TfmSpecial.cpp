#include "TfmSpecial.h"

#include "HelpContexts.h"
#include "HelpKey.h"
#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

TfmSpecial::TfmSpecial(SpecialIdentification& special, const SpecialLine& line, QWidget* parent)
    : QDialog(parent), m_special(special), m_line(line) {
    SetHelpContext(this, HelpContexts::SpecialIdent);
    setObjectName(QStringLiteral("fmSpecial"));
    setWindowTitle(SpecialIdentification::dialogCaption(line));

    auto* layout = new QVBoxLayout(this);
    auto* group = new QGroupBox;
    group->setObjectName(QStringLiteral("rgSpIdent"));
    auto* groupLayout = new QVBoxLayout(group);
    rgSpIdent = new QButtonGroup(this);
    const QStringList kinds = SpecialIdentification::kindCaptions();
    for (int i = 0; i < kinds.size(); ++i) {
        auto* b = new QRadioButton(kinds[i]);
        rgSpIdent->addButton(b, i);
        groupLayout->addWidget(b);
    }
    layout->addWidget(group);

    auto* stepRow = new QHBoxLayout;
    auto* stepLabel = new QLabel(QStringLiteral("Шаг"));
    SpEdit = new QSpinBox;
    SpEdit->setObjectName(QStringLiteral("SpEdit"));
    SpEdit->setRange(1, SpecialIdentification::kMaxStep);
    stepLabel->setBuddy(SpEdit);
    stepRow->addWidget(stepLabel);
    stepRow->addWidget(SpEdit);
    stepRow->addStretch();
    layout->addLayout(stepRow);

    auto* buttons = new QHBoxLayout;
    btOK = new QPushButton(QStringLiteral("Применить"));
    btOK->setObjectName(QStringLiteral("btOK"));
    btOK->setDefault(true);
    btCancel = new QPushButton(QStringLiteral("Убрать"));
    btCancel->setObjectName(QStringLiteral("btCancel"));
    buttons->addStretch();
    buttons->addWidget(btOK);
    buttons->addWidget(btCancel);
    layout->addLayout(buttons);

    connect(btOK, &QPushButton::clicked, this, &TfmSpecial::btOKClick);
    connect(btCancel, &QPushButton::clicked, this, &TfmSpecial::btCancelClick);
    connect(rgSpIdent, &QButtonGroup::idToggled, this, [this] { choiceChanged(); });

    // The line's current kind.
    SpEdit->setValue(SpecialIdentification::stepOf(line.storedKind));
    setChoice(SpecialIdentification::choiceOf(line.storedKind));
}

int TfmSpecial::choice() const {
    return rgSpIdent->checkedId();
}

void TfmSpecial::setChoice(int choice) {
    if (QAbstractButton* b = rgSpIdent->button(choice)) {
        b->setChecked(true);
    } else if (QAbstractButton* checked = rgSpIdent->checkedButton()) {
        // An exclusive group keeps one button checked; lift that while clearing.
        rgSpIdent->setExclusive(false);
        checked->setChecked(false);
        rgSpIdent->setExclusive(true);
    }
    choiceChanged();
}

void TfmSpecial::choiceChanged() {
    SpEdit->setEnabled(choice() == SpecialIdentification::kNumbering);
}

void TfmSpecial::btOKClick() {
    m_special.apply(m_line, choice(), SpEdit->value());
    accept();
}

void TfmSpecial::btCancelClick() {
    setChoice(-1);
    m_special.apply(m_line, -1, SpEdit->value());
    accept();
}
