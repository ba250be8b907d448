#include "FindReplaceDialog.h"

#include "TBook.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

FindReplaceDialog::FindReplaceDialog(TBook* book, bool replace) : QDialog(book), m_book(book) {
    setWindowTitle(replace ? QStringLiteral("Заменить") : QStringLiteral("Найти"));
    auto* form = new QFormLayout;
    m_find = new QLineEdit(this);
    form->addRow(QStringLiteral("Что:"), m_find);
    if (replace) {
        m_replace = new QLineEdit(this);
        form->addRow(QStringLiteral("Чем:"), m_replace);
    }
    m_case = new QCheckBox(QStringLiteral("С учетом регистра"), this);
    m_whole = new QCheckBox(QStringLiteral("Ячейка целиком"), this);
    m_status = new QLabel(this);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* next =
        buttons->addButton(QStringLiteral("Найти далее"), QDialogButtonBox::ActionRole);
    next->setDefault(true);
    connect(next, &QPushButton::clicked, this, &FindReplaceDialog::findNext);
    if (replace) {
        QPushButton* all =
            buttons->addButton(QStringLiteral("Заменить все"), QDialogButtonBox::ActionRole);
        connect(all, &QPushButton::clicked, this, &FindReplaceDialog::replaceAll);
    }
    connect(buttons->addButton(QDialogButtonBox::Close), &QPushButton::clicked, this,
            &QDialog::reject);
    auto* box = new QVBoxLayout(this);
    box->addLayout(form);
    box->addWidget(m_case);
    box->addWidget(m_whole);
    box->addWidget(m_status);
    box->addWidget(buttons);
}

void FindReplaceDialog::findNext() {
    if (m_find->text().isEmpty())
        return;
    const bool found = m_book->findNext(m_find->text(), m_case->isChecked(), m_whole->isChecked());
    m_status->setText(found ? QString() : QStringLiteral("Не найдено"));
}

void FindReplaceDialog::replaceAll() {
    if (m_find->text().isEmpty() || !m_replace)
        return;
    if (m_book->enableProtection() &&
        m_book->isRangeProtected(
            CellRange(1, 1, std::max(1, m_book->lastRow()), std::max(1, m_book->lastCol())))) {
        m_status->setText(QStringLiteral("Лист защищен"));
        return;
    }
    const int n = m_book->workbook().replaceAll(m_book->sheet(), m_find->text(), m_replace->text(),
                                                m_case->isChecked(), m_whole->isChecked());
    m_status->setText(QStringLiteral("Заменено: %1").arg(n));
    if (n > 0)
        emit m_book->OnModified();
}
