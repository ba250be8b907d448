#include "TfmWidth.h"

#include "FormatKinds.h"
#include "HelpContexts.h"
#include "HelpKey.h"
#include "Prompter.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TfmWidth::TfmWidth(bool height, int units, Prompter& prompter, QWidget* parent)
    : QDialog(parent), m_height(height), m_prompter(prompter) {
    setObjectName(QStringLiteral("fmWidth"));
    setWindowTitle(height ? QStringLiteral("Высота строки") : QStringLiteral("Ширина колонки"));
    SetHelpContext(this, HelpContexts::LineSize);
    Edit1 = new QLineEdit(FormatKinds::sizeShown(units, height), this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    auto* ok = new QPushButton(QStringLiteral("Применить"), this);
    ok->setObjectName(QStringLiteral("bOk"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Отменить"), this);
    cancel->setObjectName(QStringLiteral("BCans"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(height ? QStringLiteral("Высота строки в миллиметрах:")
                                        : QStringLiteral("Ширина колонки (количество символов):"),
                                 this));
    layout->addWidget(Edit1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(Edit1, &QLineEdit::textEdited, this, [this] { m_edited = true; });
    connect(Edit1, &QLineEdit::returnPressed, this, [this] { m_edited = true; });
    connect(ok, &QPushButton::clicked, this, &TfmWidth::apply);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TfmWidth::apply() {
    if (!m_edited) {
        accept();
        return;
    }
    QString message;
    int units = 0;
    if (!FormatKinds::sizeUnits(Edit1->text(), m_height, &units, &message)) {
        m_prompter.error(message);
        return;
    }
    m_units = units;
    accept();
}
