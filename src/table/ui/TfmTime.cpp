#include "TfmTime.h"

#include "HelpContexts.h"
#include "HelpKey.h"
#include "StoragePeriods.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

TfmTime::TfmTime(Prompter& prompter, QWidget* parent)
    : QDialog(parent), lbOperG(new QListWidget), lbOperM(new QListWidget), lbDolg(new QListWidget),
      bOK(new QPushButton(QStringLiteral("Применить"))),
      bCancel(new QPushButton(QStringLiteral("Отменить"))), pages(new QTabWidget(this)),
      m_picker(prompter) {
    SetHelpContext(this, HelpContexts::PeriodPicker);
    setObjectName(QStringLiteral("fmTime"));
    setWindowTitle(QStringLiteral("Периоды хранения в фондах данных"));
    lbOperG->setObjectName(QStringLiteral("lbOperG"));
    lbOperM->setObjectName(QStringLiteral("lbOperM"));
    lbDolg->setObjectName(QStringLiteral("lbDolg"));
    bOK->setObjectName(QStringLiteral("bOK"));
    bCancel->setObjectName(QStringLiteral("bCancel"));
    lbOperM->setSelectionMode(QAbstractItemView::MultiSelection);
    lbOperM->setFlow(QListView::TopToBottom);
    lbOperM->setWrapping(true);
    lbOperM->addItems(PeriodPicker::monthNames());
    lbDolg->setSelectionMode(QAbstractItemView::MultiSelection);
    lbDolg->setFlow(QListView::TopToBottom);
    lbDolg->setWrapping(true);

    auto* oper = new QWidget;
    auto* operLayout = new QHBoxLayout(oper);
    operLayout->addWidget(lbOperG, 1);
    operLayout->addWidget(lbOperM, 2);
    pages->addTab(oper, QStringLiteral("Оперативный фонд"));
    auto* dolg = new QWidget;
    (new QVBoxLayout(dolg))->addWidget(lbDolg);
    pages->addTab(dolg, QStringLiteral("  Долговременный фонд"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(bOK);
    buttons->addWidget(bCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages);
    layout->addLayout(buttons);
    resize(460, 320);

    connect(lbOperG, &QListWidget::itemClicked, this, [this] { operYearChosen(); });
    connect(lbOperM, &QListWidget::itemClicked, this, [this] { monthsClicked(); });
    connect(lbDolg, &QListWidget::itemClicked, this, [this] { dolgClicked(); });
    connect(bOK, &QPushButton::clicked, this, &TfmTime::apply);
    connect(bCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TfmTime::fillYears() {
    lbOperG->clear();
    for (int y : m_picker.operYears())
        lbOperG->addItem(QString::number(y));
}

void TfmTime::activate(const StoragePeriods& periods) {
    m_picker.activate(periods);
    fillYears();
    lbDolg->clear();
    for (int y : m_picker.dolgYears())
        lbDolg->addItem(QString::number(y));
    lbOperM->clearSelection();
    bOK->setEnabled(false);
}

void TfmTime::operYearChosen() {
    m_picker.chooseOperYear(lbOperG->currentRow());
    lbDolg->clearSelection();
    if (m_picker.months().isEmpty())
        lbOperM->clearSelection();
    bOK->setEnabled(m_picker.applyEnabled());
}

void TfmTime::monthsClicked() {
    QList<int> months;
    for (int i = 0; i < lbOperM->count(); ++i)
        if (lbOperM->item(i)->isSelected())
            months << i + 1;
    if (!m_picker.monthsClicked(months)) {
        lbOperM->clearSelection();
        lbOperG->setFocus();
    }
    bOK->setEnabled(m_picker.applyEnabled());
}

void TfmTime::dolgClicked() {
    QList<int> chosen;
    for (int i = 0; i < lbDolg->count(); ++i)
        if (lbDolg->item(i)->isSelected())
            chosen << i;
    fillYears();
    lbOperM->clearSelection();
    m_picker.dolgClicked(chosen);
    bOK->setEnabled(m_picker.applyEnabled());
}

void TfmTime::apply() {
    const QList<PickedEntry> entries = m_picker.entries();
    if (entries.isEmpty() || !m_transfer)
        return;
    if (m_transfer(entries))
        accept();
}
