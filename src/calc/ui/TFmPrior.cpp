#include "TFmPrior.h"

#include "HelpContexts.h"
#include "HelpKey.h"
#include "Recalculation.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

TFmPrior& TFmPrior::FmPrior() {
    // Lives as long as the program, like the other windows made at start-up.
    static QPointer<TFmPrior> instance;
    if (!instance)
        instance = new TFmPrior;
    return *instance;
}

TFmPrior::TFmPrior(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FmPrior"));
    setWindowTitle(QStringLiteral("Установка порядка пересчета"));
    SetHelpContext(this, HelpContexts::RecalcOrder);
    auto* layout = new QVBoxLayout(this);
    auto* title = new QLabel(QStringLiteral("Порядок пересчета"));
    title->setObjectName(QStringLiteral("Label1"));
    layout->addWidget(title);

    auto* lists = new QHBoxLayout;
    ListBox2 = new QListWidget;
    ListBox2->setObjectName(QStringLiteral("ListBox2"));
    ListBox2->addItems({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")});
    ListBox2->setSelectionMode(QAbstractItemView::NoSelection);
    ListBox2->setMaximumWidth(40);
    ListBox1 = new QListWidget;
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    UpDown1 = new QSpinBox;
    UpDown1->setObjectName(QStringLiteral("UpDown1"));
    UpDown1->setRange(0, 2);
    lists->addWidget(ListBox2);
    lists->addWidget(ListBox1, 1);
    lists->addWidget(UpDown1);
    layout->addLayout(lists);

    SborUr = new QCheckBox(QStringLiteral("Собрать уровни"));
    SborUr->setObjectName(QStringLiteral("SborUr"));
    layout->addWidget(SborUr);

    auto* buttons = new QHBoxLayout;
    bApply = new QPushButton(QStringLiteral("Применить"));
    bApply->setObjectName(QStringLiteral("bApply"));
    bCancel = new QPushButton(QStringLiteral("Отменить"));
    bCancel->setObjectName(QStringLiteral("bCancel"));
    buttons->addWidget(bApply);
    buttons->addWidget(bCancel);
    layout->addLayout(buttons);

    connect(bApply, &QPushButton::clicked, this, &QDialog::accept);
    connect(bCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(ListBox1, &QListWidget::currentRowChanged, this, [this](int row) {
        if (m_loading || row < 0)
            return;
        m_loading = true;
        m_position = row;
        UpDown1->setValue(row);
        m_loading = false;
    });
    connect(UpDown1, &QSpinBox::valueChanged, this, &TFmPrior::upDownChanged);
}

void TFmPrior::load(int order) {
    m_loading = true;
    ListBox1->clear();
    ListBox1->addItems(Recalculation::itemsOf(order));
    ListBox1->setCurrentRow(0);
    UpDown1->setValue(0);
    m_position = 0;
    m_loading = false;
}

void TFmPrior::upDownChanged(int position) {
    if (m_loading)
        return;
    // The selected item trades places with the item at the new position.
    const int from = ListBox1->currentRow() < 0 ? m_position : ListBox1->currentRow();
    m_loading = true;
    if (from != position && position >= 0 && position < ListBox1->count()) {
        const QString moved = ListBox1->item(from)->text();
        ListBox1->item(from)->setText(ListBox1->item(position)->text());
        ListBox1->item(position)->setText(moved);
    }
    ListBox1->setCurrentRow(position);
    m_position = position;
    m_loading = false;
}

int TFmPrior::shownOrder() const {
    return Recalculation::orderOf(ListBox1->item(0)->text(), ListBox1->item(1)->text());
}

int TFmPrior::choose(int order) {
    load(order);
    return exec() == QDialog::Accepted ? shownOrder() : 0;
}

bool TFmPrior::collectLevels() const {
    return SborUr->isChecked();
}
