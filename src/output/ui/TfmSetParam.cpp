#include "TfmSetParam.h"

#include "HelpContexts.h"
#include "HelpKey.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QCheckBox* check(const QString& name, const QString& caption, QWidget* parent) {
    auto* c = new QCheckBox(caption, parent);
    c->setObjectName(name);
    return c;
}

} // namespace

TfmSetParam::TfmSetParam(PageSetupController& controller, QWidget* parent)
    : QDialog(parent), m_controller(controller) {
    setObjectName(QStringLiteral("fmSetParam"));
    setWindowTitle(QStringLiteral("Параметры страницы"));
    SetHelpContext(this, HelpContexts::PageSetup);
    auto* tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("PageControl1"));

    auto printButtons = [this](QBoxLayout* box, int tab) {
        auto* print = new QPushButton(QStringLiteral("Печать...  "));
        print->setObjectName(QStringLiteral("sbPrint%1").arg(tab));
        auto* props = new QPushButton(QStringLiteral("Свойства..."));
        props->setObjectName(QStringLiteral("sbProps%1").arg(tab));
        connect(print, &QPushButton::clicked, this, [this] { printClicked(false); });
        connect(props, &QPushButton::clicked, this, [this] { printClicked(true); });
        auto* row = new QHBoxLayout;
        row->addStretch();
        row->addWidget(print);
        row->addWidget(props);
        box->addLayout(row);
    };

    // "Страница"
    auto* page = new QWidget;
    auto* pageBox = new QVBoxLayout(page);
    auto* orientation = new QGroupBox(QStringLiteral("Ориентация"), page);
    auto* orBox = new QHBoxLayout(orientation);
    VPage = new QRadioButton(QStringLiteral("Книжная"), orientation);
    VPage->setObjectName(QStringLiteral("VPage"));
    HPage = new QRadioButton(QStringLiteral("Альбомная"), orientation);
    HPage->setObjectName(QStringLiteral("HPage"));
    orBox->addWidget(VPage);
    orBox->addWidget(HPage);
    pageBox->addWidget(orientation);
    auto* scaleRow = new QHBoxLayout;
    SpinEdit1 = new QSpinBox(page);
    SpinEdit1->setObjectName(QStringLiteral("SpinEdit1"));
    SpinEdit1->setRange(0, 9999); // typed values are clamped when the field is left
    scaleRow->addWidget(new QLabel(QStringLiteral("Масштаб:"), page));
    scaleRow->addWidget(SpinEdit1);
    scaleRow->addWidget(new QLabel(QStringLiteral("% от натуральной величины"), page));
    scaleRow->addStretch();
    pageBox->addLayout(scaleRow);
    BWPrint = check(QStringLiteral("BWPrint"), QStringLiteral("Черно-белая печать"), page);
    ViewNet = check(QStringLiteral("ViewNet"), QStringLiteral("Показать сетку"), page);
    ViewUpBorder =
        check(QStringLiteral("ViewUpBorder"), QStringLiteral("Показать верхний бордюр"), page);
    ViewLeftBorder =
        check(QStringLiteral("ViewLeftBorder"), QStringLiteral("Показать левый бордюр"), page);
    for (QCheckBox* c : {BWPrint, ViewNet, ViewUpBorder, ViewLeftBorder})
        pageBox->addWidget(c);
    pageBox->addStretch();
    printButtons(pageBox, 1);
    tabs->addTab(page, QStringLiteral("Страница"));

    // "Поля"
    auto* margins = new QWidget;
    auto* marginBox = new QVBoxLayout(margins);
    auto* grid = new QGridLayout;
    LMargin = marginField(QStringLiteral("LMargin"), QStringLiteral("Левое"), grid, 0);
    RMargin = marginField(QStringLiteral("RMargin"), QStringLiteral("Правое"), grid, 1);
    UMargin = marginField(QStringLiteral("UMargin"), QStringLiteral("Верхнее"), grid, 2);
    DMargin = marginField(QStringLiteral("DMargin"), QStringLiteral("Нижнее"), grid, 3);
    UHeader = marginField(QStringLiteral("UHeader"), QStringLiteral("Верхний колонтитул"), grid, 4);
    Dfooter = marginField(QStringLiteral("Dfooter"), QStringLiteral("Нижний колонтитул"), grid, 5);
    marginBox->addLayout(grid);
    marginBox->addWidget(new QLabel(QStringLiteral("Поля в дюймах"), margins));
    auto* center = new QGroupBox(QStringLiteral("Центрировать на странице"), margins);
    auto* centerBox = new QHBoxLayout(center);
    HCenter = check(QStringLiteral("HCenter"), QStringLiteral("Горизонтально"), center);
    VCenter = check(QStringLiteral("VCenter"), QStringLiteral("Вертикально"), center);
    centerBox->addWidget(HCenter);
    centerBox->addWidget(VCenter);
    marginBox->addWidget(center);
    marginBox->addStretch();
    printButtons(marginBox, 2);
    tabs->addTab(margins, QStringLiteral("Поля"));

    // "Колонтитулы"
    auto* footers = new QWidget;
    auto* footerBox = new QVBoxLayout(footers);
    UpFooter = new QLineEdit(footers);
    UpFooter->setObjectName(QStringLiteral("UpFooter"));
    DownFooter = new QLineEdit(footers);
    DownFooter->setObjectName(QStringLiteral("DownFooter"));
    footerBox->addWidget(new QLabel(QStringLiteral("Верхний колонтитул"), footers));
    footerBox->addWidget(UpFooter);
    footerBox->addWidget(new QLabel(QStringLiteral("Нижний колонтитул"), footers));
    footerBox->addWidget(DownFooter);
    m_lastFooterField = UpFooter;
    for (QLineEdit* e : {UpFooter, DownFooter})
        e->installEventFilter(this);
    auto* codes = new QHBoxLayout;
    const std::pair<const char*, const char*> inserts[] = {{"Текущее время", "Время &T "},
                                                           {"Текущая дата", "Сегодня &D "},
                                                           {"Номер страницы", "&P "},
                                                           {"Всего страниц", "&N страниц "},
                                                           {"Нименование страницы", "&A"}};
    const char* labels[] = {"Время", "Дата", "Стр.", "Всего", "Лист"};
    int i = 0;
    for (const auto& [hint, code] : inserts) {
        auto* b = new QToolButton(footers);
        b->setObjectName(QStringLiteral("sbCode%1").arg(++i));
        b->setText(QString::fromUtf8(labels[i - 1]));
        b->setToolTip(QString::fromUtf8(hint));
        b->setFocusPolicy(Qt::NoFocus); // the text field keeps the focus
        const QString text = QString::fromUtf8(code);
        connect(b, &QToolButton::clicked, this, [this, text] { insertCode(text); });
        codes->addWidget(b);
    }
    codes->addStretch();
    footerBox->addLayout(codes);
    ShowText = check(QStringLiteral("ShowText"), QStringLiteral("Показать сопроводительный текст"),
                     footers);
    footerBox->addWidget(ShowText);
    footerBox->addStretch();
    printButtons(footerBox, 3);
    tabs->addTab(footers, QStringLiteral("Колонтитулы"));

    ChangeAll =
        check(QStringLiteral("ChangeAll"), QStringLiteral("Применить ко всем листам"), this);
    ChangeAll->setChecked(true);
    auto* buttons = new QDialogButtonBox(this);
    auto* ok = buttons->addButton(QStringLiteral("ОК"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("btnOK"));
    auto* cancel = buttons->addButton(QStringLiteral("Отмена"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("btnCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &TfmSetParam::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TfmSetParam::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    layout->addWidget(ChangeAll);
    layout->addWidget(buttons);

    connect(HPage, &QRadioButton::toggled, this,
            [this](bool on) { m_controller.setLandscape(on); });
    connect(SpinEdit1, &QSpinBox::editingFinished, this, &TfmSetParam::scaleLeft);
    connect(ShowText, &QCheckBox::clicked, this, [this](bool on) {
        if (previewVisible && previewVisible()) {
            m_controller.showTextInPreview(on);
            if (repaintPreview)
                repaintPreview();
        }
    });
}

QLineEdit* TfmSetParam::marginField(const QString& name, const QString& caption, QGridLayout* grid,
                                    int row) {
    auto* field = new QLineEdit(this);
    field->setObjectName(name);
    grid->addWidget(new QLabel(caption, this), row, 0);
    grid->addWidget(field, row, 1);
    auto* up = new QToolButton(this);
    up->setObjectName(name + QStringLiteral("Up"));
    up->setArrowType(Qt::UpArrow);
    auto* down = new QToolButton(this);
    down->setObjectName(name + QStringLiteral("Down"));
    down->setArrowType(Qt::DownArrow);
    grid->addWidget(up, row, 2);
    grid->addWidget(down, row, 3);
    connect(up, &QToolButton::clicked, this, [=, this] { stepMargin(field, caption, 1); });
    connect(down, &QToolButton::clicked, this, [=, this] { stepMargin(field, caption, -1); });
    return field;
}

void TfmSetParam::load(const PageFields& f) {
    (f.landscape ? HPage : VPage)->setChecked(true);
    BWPrint->setChecked(f.noColor);
    SpinEdit1->setValue(f.scale);
    LMargin->setText(f.leftMargin);
    RMargin->setText(f.rightMargin);
    UMargin->setText(f.topMargin);
    DMargin->setText(f.bottomMargin);
    UHeader->setText(f.headerMargin);
    Dfooter->setText(f.footerMargin);
    UpFooter->setText(f.header);
    DownFooter->setText(f.footer);
    HCenter->setChecked(f.hCenter);
    VCenter->setChecked(f.vCenter);
    ViewNet->setChecked(f.gridLines);
    ViewUpBorder->setChecked(f.colHeading);
    ViewLeftBorder->setChecked(f.rowHeading);
    ShowText->setEnabled(f.showTextEnabled);
    ShowText->setChecked(f.showText);
}

PageFields TfmSetParam::fields() const {
    PageFields f;
    f.landscape = HPage->isChecked();
    f.noColor = BWPrint->isChecked();
    f.scale = PageSetupController::clampScale(SpinEdit1->value());
    f.leftMargin = LMargin->text();
    f.rightMargin = RMargin->text();
    f.topMargin = UMargin->text();
    f.bottomMargin = DMargin->text();
    f.headerMargin = UHeader->text();
    f.footerMargin = Dfooter->text();
    f.header = UpFooter->text();
    f.footer = DownFooter->text();
    f.hCenter = HCenter->isChecked();
    f.vCenter = VCenter->isChecked();
    f.gridLines = ViewNet->isChecked();
    f.colHeading = ViewUpBorder->isChecked();
    f.rowHeading = ViewLeftBorder->isChecked();
    f.showText = ShowText->isChecked();
    f.showTextEnabled = ShowText->isEnabled();
    f.applyAll = ChangeAll->isChecked();
    return f;
}

int TfmSetParam::execFor() {
    load(m_controller.activate());
    return exec();
}

void TfmSetParam::scaleLeft() {
    SpinEdit1->setValue(PageSetupController::clampScale(SpinEdit1->value()));
}

void TfmSetParam::stepMargin(QLineEdit* field, const QString& name, int direction) {
    if (const auto text = m_controller.stepMargin(field->text(), direction, name))
        field->setText(*text);
}

void TfmSetParam::insertCode(const QString& code) {
    QLineEdit* target = DownFooter->hasFocus() ? DownFooter
                        : UpFooter->hasFocus() ? UpFooter
                                               : m_lastFooterField;
    target->setText(target->text() + code);
    m_lastFooterField = target;
}

void TfmSetParam::printClicked(bool properties) {
    if (!m_controller.apply(fields()))
        return;
    if (properties) {
        if (printerSetup)
            printerSetup();
        load(fields()); // repainted with what was applied
    } else if (printWithDialog) {
        printWithDialog();
    }
}

void TfmSetParam::accept() {
    scaleLeft();
    if (!m_controller.accept(fields()))
        return;
    if (repaintPreview)
        repaintPreview();
    QDialog::accept();
}

void TfmSetParam::reject() {
    m_controller.cancel();
    QDialog::reject();
}

// The insert buttons write into the header or footer field used last.
bool TfmSetParam::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn && (watched == UpFooter || watched == DownFooter))
        m_lastFooterField = static_cast<QLineEdit*>(watched);
    return QDialog::eventFilter(watched, event);
}
