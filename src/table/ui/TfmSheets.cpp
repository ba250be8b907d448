#include "TfmSheets.h"

#include "HelpContexts.h"
#include "HelpKey.h"
#include "IdentModel.h"
#include "SheetTotals.h"
#include "SheetTree.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <vector>

TfmSheets::TfmSheets(IdentModel& model, Prompter& prompter, QWidget* parent)
    : QDialog(parent), m_model(model), m_prompter(prompter), m_trvObj(new QTreeWidget(this)) {
    SetHelpContext(this, HelpContexts::SheetList);
    setObjectName(QStringLiteral("fmSheets"));
    setWindowTitle(QStringLiteral("Список листов (экземпляров таблицы)"));
    m_trvObj->setObjectName(QStringLiteral("trvObj"));
    m_trvObj->setHeaderHidden(true);
    auto* totals = new QPushButton(QStringLiteral("Подсчет итогов"), this);
    totals->setObjectName(QStringLiteral("imCalcItog"));
    totals->setAutoDefault(false);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_trvObj);
    layout->addWidget(totals);
    resize(420, 480);
    connect(m_trvObj, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item) { choose(item); });
    connect(totals, &QPushButton::clicked, this, &TfmSheets::calcTotals);
}

void TfmSheets::showEvent(QShowEvent* event) {
    rebuild();
    QDialog::showEvent(event);
}

void TfmSheets::rebuild() {
    m_trvObj->clear();
    m_chosen = 0;
    const SheetTree model = SheetTree::build(m_model);
    std::vector<QTreeWidgetItem*> items;
    for (const SheetTree::Node& node : model.nodes()) {
        QTreeWidgetItem* item = node.parent < 0 ? new QTreeWidgetItem(m_trvObj)
                                                : new QTreeWidgetItem(items[size_t(node.parent)]);
        item->setText(0, node.caption);
        item->setData(0, Qt::UserRole, node.sheet);
        items.push_back(item);
    }
    for (size_t i = 0; i < items.size(); ++i)
        items[i]->setExpanded(model.nodes()[int(i)].expanded);
    if (!items.empty())
        m_trvObj->setCurrentItem(items.front());
}

void TfmSheets::choose(QTreeWidgetItem* item) {
    if (!item)
        return;
    m_chosen = item->data(0, Qt::UserRole).toInt();
    accept();
}

void TfmSheets::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        choose(m_trvObj->currentItem());
        return;
    }
    QDialog::keyPressEvent(event);
}

void TfmSheets::calcTotals() {
    if (SheetTotals(m_model, m_prompter).run())
        reject();
}
