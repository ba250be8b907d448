#include "TfmIBRights.h"

#include "HelpContexts.h"
#include "HelpKey.h"

#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

TfmIBRights::TfmIBRights(TdmMSSQL& dm, Prompter& prompter, QWidget* parent)
    : QDialog(parent), m_controller(dm, prompter) {
    SetHelpContext(this, HelpContexts::Rights);
    setObjectName(QStringLiteral("fmIBRights"));
    setWindowTitle(QStringLiteral("Права пользователя"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Введите имя пользователя:"), this));
    edName = new QLineEdit(this);
    edName->setObjectName(QStringLiteral("edName"));
    layout->addWidget(edName);
    rgRights = new QGroupBox(QStringLiteral(" Права пользователя "), this);
    rgRights->setObjectName(QStringLiteral("rgRights"));
    auto* group = new QVBoxLayout(rgRights);
    m_all = new QRadioButton(QStringLiteral("- ВСЕ"), rgRights);
    m_readOnly = new QRadioButton(QStringLiteral("- запрет на корректировку БД"), rgRights);
    m_all->setChecked(true);
    group->addWidget(m_all);
    group->addWidget(m_readOnly);
    rgRights->setEnabled(false);
    layout->addWidget(rgRights);
    auto* buttons = new QHBoxLayout;
    bOK = new QPushButton(QStringLiteral("Применить"), this);
    bOK->setObjectName(QStringLiteral("bOK"));
    bOK->setDefault(true);
    bOK->setEnabled(false);
    bCancel = new QPushButton(QStringLiteral("Отменить"), this);
    bCancel->setObjectName(QStringLiteral("bCancel"));
    buttons->addStretch(1);
    buttons->addWidget(bOK);
    buttons->addWidget(bCancel);
    layout->addLayout(buttons);
    connect(edName, &QLineEdit::textChanged, this, [this] { nameChanged(); });
    connect(edName, &QLineEdit::editingFinished, this, [this] { nameLeft(); });
    connect(bOK, &QPushButton::clicked, this, [this] { apply(); });
    connect(bCancel, &QPushButton::clicked, this, &QDialog::reject);
    edName->installEventFilter(this);
    edName->setFocus();
}

void TfmIBRights::nameChanged() {
    const bool offered = IBRightsController::offersLevel(edName->text());
    rgRights->setEnabled(offered);
    bOK->setEnabled(offered);
    if (!offered)
        bCancel->setFocus();
}

void TfmIBRights::nameLeft() {
    if (IBRightsController::offersLevel(edName->text())) {
        rgRights->setEnabled(true);
        bOK->setEnabled(true);
    }
}

bool TfmIBRights::eventFilter(QObject* watched, QEvent* event) {
    // Enter in the name only offers the level; it does not press "Применить".
    if (watched == edName && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            nameLeft();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TfmIBRights::apply() {
    const auto level =
        m_readOnly->isChecked() ? UserRights::Level::ReadOnlyDirectories : UserRights::Level::All;
    if (m_controller.apply(edName->text(), level))
        accept();
    else
        edName->setFocus();
}

void TfmIBRights::run(TdmMSSQL& dm, Prompter& prompter, QWidget* parent) {
    TfmIBRights dialog(dm, prompter, parent);
    dialog.exec();
}
