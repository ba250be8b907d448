#include "TfmKisTabl.h"

#include "ControlConditions.h"
#include "ControlRun.h"
#include "ExchangeContext.h"
#include "IdentTest.h"
#include "Prompter.h"
#include "TBook.h"
#include "TablExchangeView.h"
#include "TfmControl.h"
#include "TfmProtocol.h"

#include <QAction>
#include <QMenu>

void TfmKisTabl::buildControlMenu(QMenu* data) {
    data->addSeparator();
    QMenu* entry = data->addMenu(QStringLiteral("Установка условий контроля"));
    entry->menuAction()->setObjectName(QStringLiteral("ControlEntry"));
    QAction* row = addAction(entry, QStringLiteral("ConRow"), QStringLiteral("над строкой"));
    row->setShortcut(QKeySequence(Qt::ALT | Qt::Key_S));
    onCommand(row, [this] { ControlEntryClick(ControlLine::Row); });
    QAction* col = addAction(entry, QStringLiteral("ConCol"), QStringLiteral("над колонкой "));
    col->setShortcut(QKeySequence(Qt::ALT | Qt::Key_R));
    onCommand(col, [this] { ControlEntryClick(ControlLine::Column); });
    QAction* run = addAction(data, QStringLiteral("MControl"), QStringLiteral("Контроль"));
    run->setShortcut(QKeySequence(Qt::ALT | Qt::Key_K));
    onCommand(run, &TfmKisTabl::MControlClick);
    QAction* view = addAction(data, QStringLiteral("MViewControl"),
                              QStringLiteral("Просмотр условий контроля"));
    view->setShortcut(QKeySequence(Qt::ALT | Qt::Key_V));
    onCommand(view, &TfmKisTabl::MViewControlClick);
}

TfmProtocol& TfmKisTabl::fmProtocol() {
    if (!m_fmProtocol)
        m_fmProtocol = std::make_unique<TfmProtocol>(m_prompter, this);
    return *m_fmProtocol;
}

void TfmKisTabl::showProtocol() {
    TfmProtocol& window = fmProtocol();
    window.setProtocol(m_protocol);
    window.exec();
}

void TfmKisTabl::ControlEntryClick(ControlLine line) {
    ControlConditions conditions(m_doc.model(), m_prompter);
    const std::optional<ConditionDraft> draft =
        conditions.begin(line, m_book.activeSheetIndex(), Book->activeRow(), Book->activeCol());
    if (!draft)
        return;
    TfmControl dialog(conditions, *draft, this);
    dialog.exec();
}

void TfmKisTabl::MControlClick() {
    const int sheet = m_book.activeSheetIndex();
    if (!m_doc.model().isInstanceSheet(sheet))
        return;
    ControlConditions conditions(m_doc.model(), m_prompter);
    TablExchangeView view(Book, pbLoad, m_statusMode);
    view.suspendUpdates(true);
    int violations = 0;
    try {
        violations = ControlRun(conditions, m_prompter, m_protocol).run(sheet, windowTitle());
    } catch (...) {
        view.suspendUpdates(false);
        throw;
    }
    view.suspendUpdates(false);
    Book->viewport()->update();
    if (violations > 0)
        showProtocol();
}

void TfmKisTabl::MViewControlClick() {
    ControlConditions conditions(m_doc.model(), m_prompter);
    if (conditions.list(m_book.activeSheetIndex(), windowTitle(), m_protocol))
        showProtocol();
}

void TfmKisTabl::imTestIdentClick() {
    const int sheet = m_book.activeSheetIndex();
    const int row = Book->activeRow();
    const int col = Book->activeCol();
    TablExchangeView view(Book, pbLoad, m_statusMode);
    IdentTest test(m_doc.model(), m_dm, m_prompter, view, m_protocol);
    test.setShowSubordinate(action(QStringLiteral("imHideElm"))->isChecked());
    int errors = 0;
    try {
        errors = test.run(windowTitle());
    } catch (const std::exception& e) {
        m_prompter.error(QStringLiteral("Тестирование идентификации прервано\r\n\r\n") +
                         ErrorText(e));
    }
    Book->setSheet(sheet);
    Book->setActiveCell(row, col);
    Book->viewport()->update();
    if (errors > 0)
        showProtocol();
}

void TfmKisTabl::onValidationFailed(const QString& message, bool* showMessage, int* action) {
    // A rule met while typing: the rule's own message, the entry refused.
    *showMessage = false;
    m_prompter.error(message.trimmed().isEmpty() ? QStringLiteral("Нарушено условие контроля")
                                                 : message);
    *action = TBook::ValidationRefuse;
}
