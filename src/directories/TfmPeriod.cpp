#include "TfmPeriod.h"

#include "HelpContexts.h"
#include "HelpKey.h"
#include "TdmMSSQL.h"

#include <QAbstractItemDelegate>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

TfmPeriod::TfmPeriod(TdmMSSQL& dm, Prompter& prompter, QWidget* parent)
    : QDialog(parent), m_controller(dm, prompter) {
    SetHelpContext(this, HelpContexts::Periods);
    setWindowTitle(QStringLiteral("Настройка периодов хранения данных"));
    pcFund = new QTabWidget(this);
    trvDolg = makeTree();
    trvOper = makeTree();
    pcFund->addTab(trvDolg, QStringLiteral("Долговременный ФД"));
    pcFund->addTab(trvOper, QStringLiteral("    Оперативный ФД    "));
    sbAddS = new QPushButton(QStringLiteral("Добавить"), this);
    sbAddS->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(sbAddS);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pcFund);
    layout->addLayout(buttons);
    resize(320, 420);

    connect(sbAddS, &QPushButton::clicked, this, &TfmPeriod::sbAddSClick);
    connect(pcFund, &QTabWidget::currentChanged, this, &TfmPeriod::pageChanged);
    // The tree has taken the typed text and let go of its editor by the time this
    // runs (its own connections come first), so the edit is finished at once and
    // a click on "Добавить" that ended it finds the page already settled.
    for (Fund fund : {Fund::Dolg, Fund::Oper})
        connect(tree(fund)->itemDelegate(), &QAbstractItemDelegate::closeEditor, this,
                [this, fund] { editFinished(fund); });
    fillTree(Fund::Dolg);
    fillTree(Fund::Oper);
}

TfmPeriod::~TfmPeriod() {
    // An editor closed while the trees go must not reach the controller, which goes first.
    for (Fund fund : {Fund::Dolg, Fund::Oper})
        tree(fund)->itemDelegate()->disconnect(this);
}

void TfmPeriod::run(TdmMSSQL& dm, Prompter& prompter, QWidget* parent) {
    if (!PeriodController::mayOpen(dm.dbMain.userName(), prompter))
        return;
    TfmPeriod window(dm, prompter, parent);
    if (window.prepare())
        window.exec();
}

QTreeWidget* TfmPeriod::makeTree() {
    auto* tree = new QTreeWidget(this);
    tree->setHeaderHidden(true);
    tree->setRootIsDecorated(false);
    tree->setColumnCount(1);
    tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tree->installEventFilter(this);
    return tree;
}

bool TfmPeriod::prepare() {
    if (!m_controller.load())
        return false;
    fillTree(Fund::Dolg);
    fillTree(Fund::Oper);
    return true;
}

TfmPeriod::Fund TfmPeriod::activeFund() const {
    return pcFund->currentIndex() == 1 ? Fund::Oper : Fund::Dolg;
}

void TfmPeriod::fillTree(Fund fund) {
    QTreeWidget* t = tree(fund);
    t->clear();
    for (const QString& text : m_controller.nodes(fund)) {
        auto* item = new QTreeWidgetItem(t, QStringList{text});
        item->setFlags(item->flags() | Qt::ItemIsEditable);
    }
    const int selected = m_controller.selected(fund);
    if (selected >= 0)
        t->setCurrentItem(t->topLevelItem(selected));
    t->setEnabled(m_controller.treeEnabled(fund));
}

void TfmPeriod::placeFocus(Fund fund) {
    if (m_controller.treeEnabled(fund))
        tree(fund)->setFocus();
    else
        sbAddS->setFocus();
}

void TfmPeriod::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    pcFund->setCurrentIndex(0);
    fillTree(Fund::Dolg);
    placeFocus(Fund::Dolg);
}

void TfmPeriod::pageChanged() {
    const Fund fund = activeFund();
    tree(fund)->setEnabled(m_controller.treeEnabled(fund));
    placeFocus(fund);
}

void TfmPeriod::sbAddSClick() {
    const Fund fund = activeFund();
    const int node = m_controller.add(fund);
    // The other page may show years another user changed: refill both.
    fillTree(Fund::Dolg);
    fillTree(Fund::Oper);
    if (node >= 0)
        startEdit(fund, node);
    else
        placeFocus(fund);
}

void TfmPeriod::treeEditKey(Fund fund) {
    QTreeWidget* t = tree(fund);
    const int current = t->currentItem() ? t->indexOfTopLevelItem(t->currentItem()) : -1;
    const int node = m_controller.dropBlankNodes(fund, current);
    fillTree(fund);
    if (node >= 0)
        startEdit(fund, node);
}

void TfmPeriod::startEdit(Fund fund, int node) {
    QTreeWidget* t = tree(fund);
    QTreeWidgetItem* item = t->topLevelItem(node);
    if (!item)
        return;
    t->setEnabled(true);
    t->setCurrentItem(item);
    t->setFocus();
    m_editing[int(fund)] = node;
    t->editItem(item, 0);
}

void TfmPeriod::editFinished(Fund fund) {
    const int node = m_editing[int(fund)];
    m_editing[int(fund)] = -1;
    QTreeWidgetItem* item = node >= 0 ? tree(fund)->topLevelItem(node) : nullptr;
    if (!item)
        return;
    m_controller.endEdit(fund, node, item->text(0));
    fillTree(fund);
    placeFocus(fund);
}

bool TfmPeriod::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F2) {
        for (Fund fund : {Fund::Dolg, Fund::Oper})
            if (watched == tree(fund)) {
                treeEditKey(fund);
                return true;
            }
    }
    return QDialog::eventFilter(watched, event);
}
