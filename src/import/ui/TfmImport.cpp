#include "TfmImport.h"

#include "FinanceImport.h"
#include "HelpContexts.h"
#include "HelpKey.h"
#include "IdentModel.h"
#include "Prompter.h"
#include "view/TBook.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {

const QChar kSeparators[4] = {';', ',', '\t', ' '};

} // namespace

TfmImport::TfmImport(TdmMSSQL& dm, IdentModel& table, Prompter& prompter, ImportSession& session,
                     bool objectsEnabled, QWidget* parent)
    : QDialog(parent), m_dm(dm), m_table(table), m_prompter(prompter), m_session(session),
      m_objectsEnabled(objectsEnabled) {
    setObjectName(QStringLiteral("fmImport"));
    setWindowTitle(QStringLiteral("Импорт данных"));
    const bool text = session.source() == ImportSession::Source::Text;
    SetHelpContext(this, session.source() == ImportSession::Source::Dbf ? HelpContexts::ImportDbf
                         : text                                         ? HelpContexts::ImportText
                                                                        : HelpContexts::Import);
    auto* layout = new QVBoxLayout(this);
    m_pages = new QStackedWidget(this);

    auto* page1 = new QGroupBox(QStringLiteral(" Формат файла "));
    auto* p1 = new QVBoxLayout(page1);
    rgDelimited = new QRadioButton(QStringLiteral("С разделителями"));
    rgFixed = new QRadioButton(QStringLiteral("Фиксированной ширины"));
    rgDelimited->setChecked(true);
    p1->addWidget(rgDelimited);
    p1->addWidget(rgFixed);
    m_pages->addWidget(page1);

    auto* page2 = new QGroupBox(QStringLiteral(" Разделители "));
    auto* p2 = new QHBoxLayout(page2);
    const QStringList names = {"Точка с запятой", "Запятая", "Символ табуляции", "Пробел",
                               "Другой :"};
    for (int i = 0; i < 5; ++i) {
        cBox[i] = new QCheckBox(names[i]);
        cBox[i]->setObjectName(QStringLiteral("cBox%1").arg(i + 1));
        p2->addWidget(cBox[i]);
        connect(cBox[i], &QCheckBox::clicked, this, [this, i](bool on) {
            if (on)
                separatorChosen(i);
        });
    }
    edOther = new QLineEdit;
    edOther->setMaxLength(1);
    p2->addWidget(edOther);
    p2->addWidget(new QLabel(QStringLiteral("Ограничитель строк :")));
    cbOgr = new QComboBox;
    cbOgr->addItems({QStringLiteral("\""), QStringLiteral("'"), QStringLiteral("<нет>")});
    cbOgr->setCurrentIndex(2);
    p2->addWidget(cbOgr);
    m_pages->addWidget(page2);
    m_pages->addWidget(new QWidget); // the data alone
    layout->addWidget(m_pages);

    auto* always = new QHBoxLayout;
    always->addWidget(new QLabel(QStringLiteral("Начать импорт со строки :")));
    edNStr = new QLineEdit(QStringLiteral("1"));
    always->addWidget(edNStr);
    always->addWidget(new QLabel(QStringLiteral("Формат файла :")));
    cbFormat = new QComboBox;
    cbFormat->addItems(
        {QStringLiteral("Windows (ANSI)"), QStringLiteral("DOS"), QStringLiteral("UTF-8")});
    const TextEncoding::Encoding used = session.encoding();
    cbFormat->setCurrentIndex(used == TextEncoding::Encoding::Cp866  ? 1
                              : used == TextEncoding::Encoding::Utf8 ? 2
                                                                     : 0);
    connect(cbFormat, &QComboBox::activated, this, &TfmImport::encodingChosen);
    always->addWidget(cbFormat);
    always->addWidget(new QLabel(QStringLiteral("Поместить данные начиная с :")));
    cbDann = new QComboBox;
    cbDann->addItems({QStringLiteral("тела таблицы"), QStringLiteral("боковика")});
    always->addWidget(cbDann);
    layout->addLayout(always);
    cbFormat->setEnabled(session.source() != ImportSession::Source::Dbf);

    BookR = new TBook(this);
    BookR->setWorkbook(&session.preview());
    layout->addWidget(BookR, 1);
    connect(BookR, &TBook::OnRClick, this, [this](int row, int col) {
        if (row == 0 && col > 0)
            identifyColumn(col);
        else if (row > 0 && col > 0)
            cellMenu(row, col);
    });

    auto* buttons = new QHBoxLayout;
    auto button = [&](QPushButton*& b, const QString& caption, void (TfmImport::*slot)()) {
        b = new QPushButton(caption);
        buttons->addWidget(b);
        connect(b, &QPushButton::clicked, this, slot);
    };
    button(bDelCol, QStringLiteral("Удалить столбец"), &TfmImport::bDelColClick);
    button(bDelRow, QStringLiteral("Удалить строку"), &TfmImport::bDelRowClick);
    button(bBack, QStringLiteral("<< Назад"), &TfmImport::bBackClick);
    button(bMore, QStringLiteral("Далее >>"), &TfmImport::bMoreClick);
    button(bReady, QStringLiteral("Готово"), &TfmImport::bReadyClick);
    auto* cancel = new QPushButton(QStringLiteral("Отмена"));
    buttons->addWidget(cancel);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    layout->addLayout(buttons);
    // A text file starts on the choice of format; a CSV file or a dBase file on its data.
    showPage(text ? 0 : 2);
    resize(900, 560);
}

int TfmImport::page() const {
    return m_pages->currentIndex();
}

void TfmImport::showPage(int page) {
    m_pages->setCurrentIndex(page);
    const bool data = page == 2;
    bDelCol->setVisible(data || page == 1);
    bDelRow->setVisible(data || page == 1);
    bMore->setVisible(page == 0);
    bBack->setVisible(page > 0 && m_session.source() == ImportSession::Source::Text);
}

void TfmImport::reread() {
    QString error;
    if (!m_session.reread(&error))
        m_prompter.error(error);
    BookR->setWorkbook(&m_session.preview());
}

void TfmImport::bMoreClick() {
    if (rgDelimited->isChecked()) {
        cbOgr->setCurrentIndex(2);
        showPage(1);
        return;
    }
    auto& o = m_session.options();
    const QList<int> widths = m_session.columnWidthsInCharacters();
    o = {};
    o.encoding = m_session.encoding();
    o.fixedWidth = true;
    o.widths = widths;
    reread();
    showPage(2);
}

void TfmImport::bBackClick() {
    auto& o = m_session.options();
    const TextEncoding::Encoding e = m_session.encoding();
    o = {};
    o.encoding = e;
    o.linesOnly = true;
    for (QCheckBox* b : cBox)
        b->setChecked(false);
    reread();
    showPage(0);
}

void TfmImport::separatorChosen(int index) {
    for (int i = 0; i < 5; ++i)
        cBox[i]->setChecked(i == index);
    QChar separator = index < 4 ? kSeparators[index] : QChar();
    if (index == 4) {
        if (edOther->text().isEmpty())
            return;
        separator = edOther->text().front();
    }
    auto& o = m_session.options();
    const TextEncoding::Encoding e = m_session.encoding();
    o = {};
    o.encoding = e;
    o.separator = separator;
    o.qualifier = cbOgr->currentIndex() == 0   ? QChar('"')
                  : cbOgr->currentIndex() == 1 ? QChar('\'')
                                               : QChar();
    reread();
}

void TfmImport::encodingChosen(int index) {
    m_session.options().encoding = index == 1   ? TextEncoding::Encoding::Cp866
                                   : index == 2 ? TextEncoding::Encoding::Utf8
                                                : TextEncoding::Encoding::Windows1251;
    reread();
}

void TfmImport::bDelColClick() {
    m_session.deleteColumn(std::max(BookR->activeCol(), 1));
}

void TfmImport::bDelRowClick() {
    m_session.deleteRow(std::max(BookR->activeRow(), 1));
}

void TfmImport::identifyColumn(int col) {
    QStringList items;
    for (int e = 1; e <= 8; ++e)
        items << ImportColumns::elementCaption(e);
    items << QStringLiteral("Отменить");
    const int current = m_session.columns().carried(col).element;
    const int chosen =
        m_prompter.choose(QStringLiteral("Идентификация"), items, current > 0 ? current - 1 : 0);
    if (chosen < 0)
        return;
    if (chosen == 8) {
        m_session.columns().clear(col);
        return;
    }
    const int element = chosen + 1;
    if (element <= 3) {
        m_session.columns().assign(col, element, 0, {}, m_prompter);
        return;
    }
    // The directory pop-up: the objects directory is offered for the object only.
    const QList<ImportColumns::Directory> dirs =
        ImportColumns::directories(m_dm, m_objectsEnabled && element == 4);
    QStringList names;
    for (const auto& d : dirs)
        names << d.name;
    const int d = m_prompter.choose(ImportColumns::elementCaption(element), names, 0);
    if (d < 0 || d >= dirs.size())
        return;
    m_session.columns().assign(col, element, dirs[d].type, dirs[d].name, m_prompter);
}

void TfmImport::cellMenu(int, int) {
    const QStringList items = {QStringLiteral("Доходы"), QStringLiteral("Расходы"),
                               QStringLiteral("Источники финансирования"),
                               QStringLiteral("Копировать"), QStringLiteral("Вставить")};
    const int chosen = m_prompter.choose(QStringLiteral("Финуправление"), items, 0);
    if (chosen == 0 || chosen == 1) {
        if (FinanceImport::run(m_dm, m_table, m_session.preview(),
                               chosen == 0 ? FinanceImport::Kind::Income
                                           : FinanceImport::Kind::Expenses,
                               m_prompter))
            reject(); // the finance import is all: no rows follow
    } else if (chosen == 3) {
        BookR->editCopy();
    } else if (chosen == 4) {
        BookR->editPaste();
    }
}

void TfmImport::bReadyClick() {
    int start = 1;
    QString message;
    if (!ImportSession::parseStartRow(edNStr->text(), &start, &message)) {
        m_prompter.error(message);
        return;
    }
    m_session.startRow = start;
    m_session.target =
        cbDann->currentIndex() == 1 ? ImportSession::Target::Side : ImportSession::Target::Body;
    QStringList protocol;
    switch (m_session.finish(m_dm, m_table, m_prompter, &protocol)) {
    case ImportSession::Outcome::Done:
        accept();
        break;
    case ImportSession::Outcome::Protocol:
        if (showProtocol)
            showProtocol(protocol);
        break;
    case ImportSession::Outcome::Stopped:
        break;
    }
}
