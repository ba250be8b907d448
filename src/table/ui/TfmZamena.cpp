#include "TfmZamena.h"

#include "HelpContexts.h"
#include "HelpKey.h"
#include "SupplierReplacement.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QString shown(double v) {
    return QString::number(v, 'g', 15);
}

QLabel* named(const char* name, QWidget* parent) {
    auto* l = new QLabel(parent);
    l->setObjectName(QString::fromLatin1(name));
    return l;
}

} // namespace

TfmZamena::TfmZamena(SupplierReplacement& replacement, QWidget* parent)
    : QDialog(parent), m_replacement(replacement) {
    SetHelpContext(this, HelpContexts::TenderReplace);
    setObjectName(QStringLiteral("fmZamena"));
    setWindowTitle(QStringLiteral("Замена поставщика"));
    Lmed = named("Lmed", this);
    Lmed->setWordWrap(true);
    pnPost = named("pnPost", this);
    pnPost->setFrameShape(QFrame::Panel);
    Lcena1 = named("Lcena1", this);
    Lsum1 = named("Lsum1", this);
    Ldef1 = named("Ldef1", this);
    CBZam = new QComboBox(this);
    CBZam->setObjectName(QStringLiteral("CBZam"));
    Lcena2 = named("Lcena2", this);
    Lsum2 = named("Lsum2", this);
    Ldef2 = named("Ldef2", this);
    Lproc = named("Lproc", this);
    Lotkl = named("Lotkl", this);
    cbAll = new QCheckBox(QStringLiteral("Заменить по всей номенклатуре"), this);
    cbAll->setObjectName(QStringLiteral("cbAll"));
    bApply = new QPushButton(QStringLiteral("Применить"), this);
    bApply->setObjectName(QStringLiteral("bApply"));
    auto* bClose = new QPushButton(QStringLiteral("Закрыть"), this);

    auto* current = new QGroupBox(QStringLiteral("Текущий поставщик"), this);
    auto* cur = new QFormLayout(current);
    cur->addRow(pnPost);
    cur->addRow(QStringLiteral("Цена:"), Lcena1);
    cur->addRow(QStringLiteral("Стоимость:"), Lsum1);
    cur->addRow(QStringLiteral("Дефицит:"), Ldef1);
    auto* other = new QGroupBox(QStringLiteral("Заменить на"), this);
    auto* oth = new QFormLayout(other);
    oth->addRow(CBZam);
    oth->addRow(QStringLiteral("Цена:"), Lcena2);
    oth->addRow(QStringLiteral("Стоимость:"), Lsum2);
    oth->addRow(QStringLiteral("Дефицит:"), Ldef2);
    oth->addRow(QStringLiteral("Цена выше на:"), Lproc);
    oth->addRow(QStringLiteral("Отклонение стоимости:"), Lotkl);
    auto* sides = new QHBoxLayout;
    sides->addWidget(current);
    sides->addWidget(other);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cbAll);
    buttons->addStretch();
    buttons->addWidget(bApply);
    buttons->addWidget(bClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Lmed);
    layout->addLayout(sides);
    layout->addLayout(buttons);

    Lmed->setText(replacement.item());
    pnPost->setText(replacement.currentSupplier());
    Lcena1->setText(shown(replacement.currentPrice()));
    Lsum1->setText(shown(replacement.currentCost()));
    Ldef1->setText(shown(replacement.currentDeficit()));
    for (const TenderOffer& o : replacement.offers())
        CBZam->addItem(o.supplier);
    CBZam->setCurrentIndex(replacement.preselected());
    bApply->setEnabled(CBZam->count() > 0);
    CBZamChange();
    connect(CBZam, &QComboBox::currentIndexChanged, this, &TfmZamena::CBZamChange);
    connect(bApply, &QPushButton::clicked, this, &TfmZamena::bApplyClick);
    connect(bClose, &QPushButton::clicked, this, &QDialog::reject);
}

void TfmZamena::CBZamChange() {
    const int i = CBZam->currentIndex();
    const SupplierReplacement::Figures f = m_replacement.figures(i);
    const bool any = i >= 0;
    Lcena2->setText(any ? shown(f.price) : QString());
    Lsum2->setText(any ? shown(f.cost) : QString());
    Ldef2->setText(any ? shown(f.deficit) : QString());
    Lproc->setText(f.percent);
    Lotkl->setText(any ? f.deviation : QString());
}

void TfmZamena::bApplyClick() {
    m_replacement.apply(CBZam->currentIndex(), cbAll->isChecked());
    accept();
}
