#include "TfmFormat.h"

#include "HelpContexts.h"
#include "HelpKey.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

TfmFormat::TfmFormat(const QString& format, bool locked, QWidget* parent)
    : QDialog(parent), m_original(format) {
    setObjectName(QStringLiteral("fmFormat"));
    setWindowTitle(QStringLiteral("Формат ячеек"));
    SetHelpContext(this, HelpContexts::CellFormat);

    ListBF = new QListWidget(this);
    ListBF->setObjectName(QStringLiteral("ListBF"));
    ListBF->addItems(FormatKinds::kindNames());
    m_digitsCaption = new QLabel(this);
    EditZ = new QSpinBox(this);
    EditZ->setObjectName(QStringLiteral("EditZ"));
    EditZ->setRange(0, 30);
    m_negCaption = new QLabel(QStringLiteral("Отрицательные числа:"), this);
    Lp = new QPushButton(QStringLiteral(" - 12345     "), this);
    Lp->setObjectName(QStringLiteral("Lp"));
    Lp->setToolTip(QStringLiteral("Не выделять"));
    Lot = new QPushButton(QStringLiteral(" - 12345     "), this);
    Lot->setObjectName(QStringLiteral("Lot"));
    Lot->setToolTip(QStringLiteral("Выделять красным"));
    Lot->setStyleSheet(QStringLiteral("QPushButton { color: red; } QPushButton:checked { "
                                      "background: blue; }"));
    Lp->setStyleSheet(QStringLiteral("QPushButton:checked { color: white; background: blue; }"));
    for (QPushButton* b : {Lp, Lot})
        b->setCheckable(true);
    Lp->setAutoExclusive(true);
    Lot->setAutoExclusive(true);
    m_sampleCaption = new QLabel(QStringLiteral("Образец:"), this);
    ListD = new QListWidget(this);
    ListD->setObjectName(QStringLiteral("ListD"));
    ListD->addItems(FormatKinds::dateSamples());
    Memo1 = new QLabel(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setWordWrap(true);
    CheckLoc = new QCheckBox(QStringLiteral("Защищаемая ячейка"), this);
    CheckLoc->setObjectName(QStringLiteral("CheckLoc"));
    CheckLoc->setChecked(locked);
    bOk = new QPushButton(QStringLiteral("Применить"), this);
    bOk->setObjectName(QStringLiteral("bOk"));
    bOk->setDefault(true);
    BCans = new QPushButton(QStringLiteral("Отменить"), this);
    BCans->setObjectName(QStringLiteral("BCans"));

    auto* right = new QGridLayout;
    right->addWidget(m_digitsCaption, 0, 0);
    right->addWidget(EditZ, 0, 1);
    right->addWidget(m_negCaption, 1, 0, 1, 2);
    right->addWidget(Lp, 2, 0);
    right->addWidget(Lot, 2, 1);
    right->addWidget(m_sampleCaption, 3, 0, 1, 2);
    right->addWidget(ListD, 4, 0, 1, 2);
    right->setRowStretch(5, 1);
    auto* left = new QVBoxLayout;
    left->addWidget(new QLabel(QStringLiteral("Форматы:"), this));
    left->addWidget(ListBF);
    auto* top = new QHBoxLayout;
    top->addLayout(left);
    top->addLayout(right, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(CheckLoc);
    buttons->addStretch();
    buttons->addWidget(bOk);
    buttons->addWidget(BCans);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(Memo1);
    layout->addLayout(buttons);

    connect(ListBF, &QListWidget::currentRowChanged, this, [this] { kindChanged(); });
    connect(bOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(BCans, &QPushButton::clicked, this, &QDialog::reject);

    const FormatKinds::Choice c = FormatKinds::read(format);
    setKind(c.kind);
    EditZ->setValue(c.digits);
    setRedNegatives(c.redNegatives);
    setDateSample(c.dateSample);
    ListBF->setFocus();
}

void TfmFormat::kindChanged() {
    const int kind = ListBF->currentRow();
    const bool number = kind == FormatKinds::Number, fixed = kind == FormatKinds::Fixed;
    m_digitsCaption->setText(number ? QStringLiteral("Число десятичных знаков:  ")
                                    : QStringLiteral("Количество знаков в числе:"));
    for (QWidget* w : {static_cast<QWidget*>(m_digitsCaption), static_cast<QWidget*>(EditZ)})
        w->setVisible(number || fixed);
    for (QWidget* w : {static_cast<QWidget*>(m_negCaption), static_cast<QWidget*>(Lp),
                       static_cast<QWidget*>(Lot)})
        w->setVisible(number);
    m_sampleCaption->setVisible(kind == FormatKinds::Date);
    ListD->setVisible(kind == FormatKinds::Date);
    Memo1->setText(
        FormatKinds::description(FormatKinds::Kind(std::max(0, kind))).join(QLatin1Char('\n')));
}

void TfmFormat::setKind(FormatKinds::Kind kind) {
    ListBF->setCurrentRow(int(kind));
    kindChanged();
}

void TfmFormat::setDigits(int digits) {
    EditZ->setValue(digits);
}

void TfmFormat::setRedNegatives(bool red) {
    (red ? Lot : Lp)->setChecked(true);
}

void TfmFormat::setDateSample(int index) {
    ListD->setCurrentRow(index);
}

FormatKinds::Choice TfmFormat::choice() const {
    FormatKinds::Choice c;
    c.kind = FormatKinds::Kind(std::max(0, ListBF->currentRow()));
    c.digits = EditZ->value();
    c.redNegatives = Lot->isChecked();
    c.dateSample = ListD->currentRow();
    // What the kind does not use does not tell it apart.
    if (c.kind != FormatKinds::Number && c.kind != FormatKinds::Fixed)
        c.digits = 0;
    if (c.kind != FormatKinds::Number)
        c.redNegatives = false;
    if (c.kind != FormatKinds::Date)
        c.dateSample = -1;
    return c;
}

QString TfmFormat::formatText() const {
    return FormatKinds::apply(m_original, choice());
}

bool TfmFormat::locked() const {
    return CheckLoc->isChecked();
}
