#include "TfmViewCtrl.h"

#include "HelpContexts.h"
#include "HelpKey.h"
#include "MedstatParams.h"
#include "TfmProtocol.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QTreeWidget>

TfmViewCtrl::TfmViewCtrl(const QString& folder, Prompter& prompter, QWidget* parent)
    : QDialog(parent), m_prompter(prompter), m_control(folder, prompter) {
    setWindowTitle(QStringLiteral("Список контролей файла МЗ РФ"));
    auto* grid = new QGridLayout(this);
    lvwPok = new QTreeWidget(this);
    lvwPok->setObjectName(QStringLiteral("lvwPok"));
    lvwPok->setHeaderLabels({QStringLiteral("Форма"), QStringLiteral("Вид"),
                             QStringLiteral("Условие 1"), QStringLiteral("Условие 2")});
    lvwPok->setRootIsDecorated(false);
    lvwPok->setAllColumnsShowFocus(true);
    lvwPok->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->addWidget(lvwPok, 0, 0, 1, 6);
    grid->addWidget(new QLabel(QStringLiteral("Объект:"), this), 1, 0);
    EditOb = new QLineEdit(this);
    grid->addWidget(EditOb, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Год:"), this), 1, 2);
    EditGod = new QLineEdit(this);
    grid->addWidget(EditGod, 1, 3);
    auto* buttons = new QHBoxLayout;
    bnCtrl = new QPushButton(QStringLiteral("Выполнить контроль"), this);
    SpeedButton1 = new QToolButton(this);
    SpeedButton1->setToolTip(QStringLiteral("Просмотр сообщений об ошибках"));
    SpeedButton1->setIcon(style()->standardIcon(QStyle::SP_FileDialogContentsView));
    bnCancel = new QPushButton(QStringLiteral("Отмена"), this);
    buttons->addWidget(bnCtrl);
    buttons->addWidget(SpeedButton1);
    buttons->addStretch(1);
    buttons->addWidget(bnCancel);
    grid->addLayout(buttons, 2, 0, 1, 6);
    connect(bnCtrl, &QPushButton::clicked, this, &TfmViewCtrl::bnCtrlClick);
    connect(SpeedButton1, &QToolButton::clicked, this, &TfmViewCtrl::SpeedButton1Click);
    connect(bnCancel, &QPushButton::clicked, this, &QDialog::reject);
    resize(640, 420);
    SetHelpContext(this, HelpContexts::MedstatCheck);
}

bool TfmViewCtrl::load() {
    if (!m_control.open())
        return false;
    for (const ControlKind& k : m_control.kinds()) {
        auto* item = new QTreeWidgetItem(lvwPok, {k.form, k.name, k.first, k.last});
        item->setCheckState(0, Qt::Unchecked);
    }
    lvwPok->header()->resizeSections(QHeaderView::ResizeToContents);
    const MedstatParams& p = MedstatParams::current();
    EditOb->setText(p.object);
    EditGod->setText(p.year);
    return true;
}

void TfmViewCtrl::bnCtrlClick() {
    QList<int> ticked;
    for (int i = 0; i < lvwPok->topLevelItemCount(); ++i)
        if (lvwPok->topLevelItem(i)->checkState(0) == Qt::Checked)
            ticked.append(i);
    const auto outcome =
        m_control.run(EditOb->text(), EditGod->text(), MedstatParams::current().objectName, ticked);
    if (outcome == MedstatControl::Outcome::Errors) {
        showProtocol();
        return;
    }
    if (outcome == MedstatControl::Outcome::NotRun) {
        if (EditOb->text().trimmed().isEmpty())
            EditOb->setFocus();
        else if (EditGod->text().trimmed().isEmpty())
            EditGod->setFocus();
    }
}

void TfmViewCtrl::SpeedButton1Click() {
    if (m_control.lastProtocolExists())
        showProtocol();
}

void TfmViewCtrl::showProtocol() {
    TfmProtocol window(m_prompter, this);
    window.setWindowTitle(QStringLiteral("Ошибки"));
    window.openFile(m_control.errFile());
    window.exec();
}
