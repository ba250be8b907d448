#include "TfmGlobOp.h"

#include "CellOperations.h"
#include "HelpContexts.h"
#include "HelpKey.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

TfmGlobOp::TfmGlobOp(CellOperations& operations, Prompter& prompter, QWidget* parent)
    : QDialog(parent), m_ops(operations), m_prompter(prompter) {
    setObjectName(QStringLiteral("fmGlobOp"));
    setWindowTitle(QStringLiteral("Операции"));
    SetHelpContext(this, HelpContexts::Operations);
    auto* box = new QGroupBox(QStringLiteral("Операции над ячейками"), this);
    auto* boxLayout = new QVBoxLayout(box);
    group = new QButtonGroup(this);
    const QStringList names{QStringLiteral("Умножение на число"),
                            QStringLiteral("Деление на число"), QStringLiteral("Сложить с числом"),
                            QStringLiteral("Отнять число"), QStringLiteral("Удельный вес")};
    for (int i = 0; i < names.size(); ++i) {
        auto* b = new QRadioButton(names[i], box);
        group->addButton(b, i);
        boxLayout->addWidget(b);
    }
    group->button(0)->setChecked(true);
    Edit1 = new QLineEdit(QStringLiteral("1"), this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    auto* ok = new QPushButton(QStringLiteral("Применить"), this);
    ok->setObjectName(QStringLiteral("bOk"));
    auto* cancel = new QPushButton(QStringLiteral("Отмена"), this);
    cancel->setObjectName(QStringLiteral("BCans"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(box);
    layout->addWidget(new QLabel(QStringLiteral("Число"), this));
    layout->addWidget(Edit1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(group, &QButtonGroup::idToggled, this, [this](int id, bool on) {
        if (on)
            Edit1->setEnabled(id != CellOperations::Share);
    });
    connect(Edit1, &QLineEdit::returnPressed, this, &TfmGlobOp::apply);
    connect(ok, &QPushButton::clicked, this, &TfmGlobOp::apply);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TfmGlobOp::apply() {
    if (m_ops.apply(CellOperations::Op(group->checkedId()), Edit1->text(), m_prompter))
        accept();
}
