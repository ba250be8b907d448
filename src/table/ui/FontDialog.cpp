#include "FontDialog.h"

#include "HelpContexts.h"
#include "HelpKey.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

FontDialog::FontDialog(const QFont& font, quint32 color, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FontDlg"));
    setWindowTitle(QStringLiteral("Шрифт"));
    SetHelpContext(this, HelpContexts::FontDialog);
    m_name = new QComboBox(this);
    m_name->setObjectName(QStringLiteral("FontName"));
    m_name->setEditable(true);
    m_name->addItems(QFontDatabase::families());
    m_size = new QSpinBox(this);
    m_size->setObjectName(QStringLiteral("FontSize"));
    // The editor's one rule for sizes judges the number; the box only keeps it sane.
    m_size->setRange(1, 400);
    auto box = [this](const char* name, const QString& caption) {
        auto* b = new QCheckBox(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        connect(b, &QCheckBox::toggled, this, &FontDialog::updateSample);
        return b;
    };
    m_bold = box("FontBold", QStringLiteral("Полужирный"));
    m_italic = box("FontItalic", QStringLiteral("Курсив"));
    m_underline = box("FontUnderline", QStringLiteral("Подчеркнутый"));
    m_strikeout = box("FontStrikeout", QStringLiteral("Зачеркнутый"));
    m_colorButton = new QPushButton(this);
    m_colorButton->setObjectName(QStringLiteral("FontColor"));
    m_sample = new QLabel(QStringLiteral("АаБбВв 123"), this);
    m_sample->setObjectName(QStringLiteral("FontSample"));
    m_sample->setMinimumHeight(48);
    m_sample->setAlignment(Qt::AlignCenter);
    m_sample->setAutoFillBackground(true);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Шрифт:"), m_name);
    form->addRow(QStringLiteral("Размер:"), m_size);
    form->addRow(QString(), m_bold);
    form->addRow(QString(), m_italic);
    form->addRow(QString(), m_underline);
    form->addRow(QString(), m_strikeout);
    form->addRow(QStringLiteral("Цвет:"), m_colorButton);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("ОК"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Отмена"));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(new QLabel(QStringLiteral("Образец:"), this));
    layout->addWidget(m_sample);
    layout->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_colorButton, &QPushButton::clicked, this, &FontDialog::chooseColor);
    connect(m_name, &QComboBox::currentTextChanged, this, &FontDialog::updateSample);
    connect(m_size, &QSpinBox::valueChanged, this, &FontDialog::updateSample);
    setCurrentFont(font);
    setColor(color);
}

QFont FontDialog::currentFont() const {
    QFont f(m_name->currentText().trimmed());
    f.setPointSize(m_size->value());
    f.setBold(m_bold->isChecked());
    f.setItalic(m_italic->isChecked());
    f.setUnderline(m_underline->isChecked());
    f.setStrikeOut(m_strikeout->isChecked());
    return f;
}

void FontDialog::setCurrentFont(const QFont& font) {
    m_name->setCurrentText(font.family());
    m_size->setValue(font.pointSize() > 0 ? font.pointSize() : 10);
    m_bold->setChecked(font.bold());
    m_italic->setChecked(font.italic());
    m_underline->setChecked(font.underline());
    m_strikeout->setChecked(font.strikeOut());
    updateSample();
}

void FontDialog::setColor(quint32 rgb) {
    m_color = rgb & 0xFFFFFF;
    const QColor c = QColor::fromRgb(QRgb(m_color));
    m_colorButton->setText(c.name(QColor::HexRgb).toUpper());
    QPixmap swatch(16, 16);
    swatch.fill(c);
    m_colorButton->setIcon(QIcon(swatch));
    updateSample();
}

void FontDialog::chooseColor() {
    QColorDialog dialog(QColor::fromRgb(QRgb(m_color)), this);
    dialog.setObjectName(QStringLiteral("FontColorDlg"));
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    if (dialog.exec() == QDialog::Accepted)
        setColor(dialog.selectedColor().rgb());
}

void FontDialog::updateSample() {
    if (!m_sample || !m_strikeout)
        return;
    QFont f = currentFont();
    f.setPointSize(std::clamp(m_size->value(), 6, 28));
    m_sample->setFont(f);
    QPalette pal = m_sample->palette();
    pal.setColor(QPalette::WindowText, QColor::fromRgb(QRgb(m_color)));
    pal.setColor(QPalette::Window, Qt::white);
    m_sample->setPalette(pal);
}
