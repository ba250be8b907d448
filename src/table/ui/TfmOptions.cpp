#include "TfmOptions.h"

#include "HelpContexts.h"
#include "HelpKey.h"
#include "IdentOptionsController.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

TfmOptions& TfmOptions::fmOptions() {
    // Lives as long as the program, like the other windows made at start-up.
    static QPointer<TfmOptions> instance;
    if (!instance)
        instance = new TfmOptions;
    return *instance;
}

TfmOptions::TfmOptions(QWidget* parent) : QDialog(parent) {
    SetHelpContext(this, HelpContexts::IdentOptions);
    setObjectName(QStringLiteral("fmOptions"));
    setWindowTitle(QStringLiteral("Опции идентификации"));

    auto* layout = new QVBoxLayout(this);
    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(new QLabel(QStringLiteral("Перенос наименования из справочника:")));
    CBox = new QComboBox;
    CBox->setObjectName(QStringLiteral("CBox"));
    CBox->addItems({QStringLiteral("Да"), QStringLiteral("Нет")});
    nameRow->addWidget(CBox);
    layout->addLayout(nameRow);

    auto* modeBox = new QGroupBox(QStringLiteral(" Режим идентификации "));
    modeBox->setObjectName(QStringLiteral("rgOption"));
    auto* modeLayout = new QVBoxLayout(modeBox);
    rgOption = new QButtonGroup(this);
    const QStringList modes = {QStringLiteral("Поставить"), QStringLiteral("Дополнить"),
                               QStringLiteral("Развернуть")};
    for (int i = 0; i < modes.size(); ++i) {
        auto* b = new QRadioButton(modes[i]);
        rgOption->addButton(b, i);
        modeLayout->addWidget(b);
    }
    layout->addWidget(modeBox);

    auto* visible = new QGroupBox(QStringLiteral(" Видимые параметры "));
    auto* visibleLayout = new QVBoxLayout(visible);
    ChPok = new QCheckBox(QStringLiteral("Показатели"));
    ChPok->setObjectName(QStringLiteral("ChPok"));
    ChObj = new QCheckBox(QStringLiteral("Объекты"));
    ChObj->setObjectName(QStringLiteral("ChObj"));
    ChPer = new QCheckBox(QStringLiteral("Периоды"));
    ChPer->setObjectName(QStringLiteral("ChPer"));
    for (QCheckBox* b : {ChPok, ChObj, ChPer})
        visibleLayout->addWidget(b);
    layout->addWidget(visible);

    ChBox = new QCheckBox(QStringLiteral("Показывать опции в каждой операции идентификации"));
    ChBox->setObjectName(QStringLiteral("ChBox"));
    layout->addWidget(ChBox);

    auto* buttons = new QHBoxLayout;
    bOK = new QPushButton(QStringLiteral("Применить"));
    bOK->setObjectName(QStringLiteral("bOK"));
    bOK->setDefault(true);
    bCancel = new QPushButton(QStringLiteral("Отменить"));
    bCancel->setObjectName(QStringLiteral("bCancel"));
    buttons->addStretch();
    buttons->addWidget(bOK);
    buttons->addWidget(bCancel);
    layout->addLayout(buttons);

    connect(bOK, &QPushButton::clicked, this, &TfmOptions::accept);
    connect(bCancel, &QPushButton::clicked, this, &TfmOptions::reject);
    connect(ChPok, &QCheckBox::toggled, this, [this](bool on) {
        if (m_controller && !m_filling)
            m_controller->setIndicatorsShown(on);
    });
    connect(ChObj, &QCheckBox::toggled, this, [this](bool on) {
        if (m_controller && !m_filling)
            m_controller->setObjectsShown(on);
    });
    connect(ChPer, &QCheckBox::toggled, this, [this](bool on) {
        if (m_controller && !m_filling)
            m_controller->setPeriodsShown(on);
    });
}

TfmOptions::~TfmOptions() = default;

void TfmOptions::setBoxes(bool pok, bool obj, bool per) {
    m_filling = true;
    ChPok->setChecked(pok);
    ChObj->setChecked(obj);
    ChPer->setChecked(per);
    m_filling = false;
}

void TfmOptions::prepare(IdentContext& ctx) {
    m_controller = std::make_unique<IdentOptionsController>(ctx);
    m_options = &ctx.options;
    CBox->setCurrentIndex(m_options->transferNames ? 0 : 1);
    if (QAbstractButton* b = rgOption->button(m_options->identMode))
        b->setChecked(true);
    ChBox->setChecked(m_options->showEachTime);
    const VisibleParams boxes = m_controller->activate();
    setBoxes(boxes.indicators, boxes.objects, boxes.periods);
}

int TfmOptions::showFor(IdentContext& ctx) {
    prepare(ctx);
    return exec();
}

void TfmOptions::accept() {
    if (m_controller && m_options) {
        IdentOptions chosen = *m_options;
        chosen.transferNames = CBox->currentIndex() == 0;
        chosen.identMode = std::max(rgOption->checkedId(), 0);
        chosen.showEachTime = ChBox->isChecked();
        m_controller->apply(chosen);
    }
    // The table's context may go with its window; the next showing brings a new one.
    m_controller.reset();
    m_options = nullptr;
    QDialog::accept();
}

void TfmOptions::reject() {
    if (m_controller)
        m_controller->cancel();
    m_controller.reset();
    m_options = nullptr;
    QDialog::reject();
}
