// The table editor's identification commands: the modes, the hide commands, the keys
// and the status texts, wired to the controllers of src/table/ident.
#include "TfmKisTabl.h"

#include "HelpContexts.h"
#include "IdentModel.h"
#include "TBook.h"
#include "TBookIdentView.h"
#include "TenderController.h"

#include <QAction>
#include <QMenu>

namespace {

// The window's actions by component name.
class ActionCommands : public CommandSet {
public:
    explicit ActionCommands(const TfmKisTabl& window) : m_window(window) {}
    bool has(const QString& name) const override { return m_window.action(name) != nullptr; }
    bool isEnabled(const QString& name) const override {
        QAction* a = m_window.action(name);
        return a && a->isEnabled();
    }
    void setEnabled(const QString& name, bool on) override {
        if (QAction* a = m_window.action(name))
            a->setEnabled(on);
    }
    void setChecked(const QString& name, bool on) override {
        if (QAction* a = m_window.action(name))
            a->setChecked(on);
    }

private:
    const TfmKisTabl& m_window;
};

} // namespace

void TfmKisTabl::buildIdentMenu(QMenu* ident) {
    QMenu* modes = ident->addMenu(QStringLiteral("Идентификация"));
    modes->menuAction()->setObjectName(QStringLiteral("MidentModes"));
    for (const auto& [name, caption] :
         {std::pair{"mIdBok", "&Боковика"}, std::pair{"mIdShap", "&Шапки"},
          std::pair{"mIdZag", "&Заголовка"}}) {
        QAction* a = addAction(modes, QString::fromLatin1(name), QString::fromUtf8(caption));
        a->setCheckable(true);
    }
    ident->addSeparator();
    // The commands that depend on the table's object list are recomputed as the menu opens.
    connect(ident, &QMenu::aboutToShow, this, &TfmKisTabl::updateSheetCommands);
}

void TfmKisTabl::wireIdentCommands() {
    m_modes = std::make_unique<IdentModeController>(*m_ident);
    m_marks = std::make_unique<HiddenMarkController>(*m_ident);
    m_status = std::make_unique<IdentStatus>(*m_ident);
    m_commandSet = std::make_unique<ActionCommands>(*this);
    m_commands = std::make_unique<IdentCommands>(*m_commandSet);
    m_doc.setLeaveModes([this] { m_modes->leave(); });

    for (IdentMode mode :
         {IdentMode::Side, IdentMode::Header, IdentMode::Title, IdentMode::HiddenRows,
          IdentMode::HiddenCols, IdentMode::RowFormulas, IdentMode::ColFormulas}) {
        for (const QString& name : IdentCommands::switchesOf(mode)) {
            QAction* a = action(name);
            a->setCheckable(true);
            onCommand(a, [this, mode] { identModeCommand(mode); });
        }
    }
    for (const char* name : {"SBhidrow", "imHideStr"}) {
        QAction* a = action(QString::fromLatin1(name));
        a->setCheckable(true);
        a->setEnabled(true);
        onCommand(a, &TfmKisTabl::cmHideRows);
    }
    QAction* hideElm = action(QStringLiteral("imHideElm"));
    hideElm->setEnabled(true);
    onCommand(hideElm, &TfmKisTabl::imHideElmClick);
    for (const char* name : {"SBhidcol", "imHideCol"}) {
        QAction* a = action(QString::fromLatin1(name));
        a->setCheckable(true);
        a->setEnabled(true);
        onCommand(a, &TfmKisTabl::cmHideCols);
    }

    connect(Book, &TBook::OnKeyDown, this, &TfmKisTabl::onKeyDown);
    connect(Book, &TBook::OnClick, this, [this](int row, int col) {
        if (m_marks->click(row, col))
            Book->viewport()->update();
    });
    connect(Book, &TBook::OnObjValueChanged, this, [this](const QString& name, int id) {
        if (m_identState.mode != IdentMode::Title || name != TitleKindController::objectName())
            return;
        const DropDownObject* o = m_book.activeSheet().object(id);
        if (!o)
            return;
        // An entry still open belongs to the kind it was typed under.
        m_identView->finishEdit();
        m_modes->title().kindChosen(o->selected - 1);
        updateSheetCommands();
        m_status->selectionChanged();
        // Keys go back to the sheet: the codes of the kind's rows are typed next, and the
        // box must not take Ctrl+Home or letters as a new choice.
        Book->setFocus();
        Book->viewport()->update();
    });
}

// An entry still being typed is finished (and what its end sets off is done) before a
// command works; false while the control refuses the entry.
bool TfmKisTabl::finishEditing() {
    if (Book->isEditing() && !Book->endEdit())
        return false;
    runAfterEntry();
    return true;
}

void TfmKisTabl::identModeCommand(IdentMode mode) {
    m_modes->toggle(mode);
    updateSheetCommands();
    m_status->selectionChanged();
    Book->viewport()->update();
}

void TfmKisTabl::escapePressed() {
    switch (m_modes->escape()) {
    case IdentModeController::EscapeResult::CloseWindow:
        close(); // through the save question
        break;
    case IdentModeController::EscapeResult::Left:
        m_status->selectionChanged();
        Book->viewport()->update();
        break;
    case IdentModeController::EscapeResult::Ignored:
        break;
    }
}

void TfmKisTabl::onKeyDown(int* key, Qt::KeyboardModifiers shift) {
    if (*key == Qt::Key_Escape) {
        *key = 0;
        escapePressed();
        return;
    }
    if ((*key == Qt::Key_Home || *key == Qt::Key_End) && (shift & Qt::ControlModifier)) {
        if (m_modes->jumpToSheet(*key == Qt::Key_End)) {
            *key = 0;
            m_status->selectionChanged();
            updateSheetCommands();
        }
    }
}

void TfmKisTabl::cmHideRows() {
    const bool on = m_marks->toggleHideRows();
    action(QStringLiteral("SBhidrow"))->setChecked(on);
    action(QStringLiteral("imHideStr"))->setChecked(on);
    Book->viewport()->update();
}

void TfmKisTabl::imHideElmClick() {
    action(QStringLiteral("imHideElm"))->setChecked(m_marks->toggleHideSubordinate());
    m_sheets.keepOnlyActiveInGroup();
    Book->viewport()->update();
}

void TfmKisTabl::cmHideCols() {
    const bool on = m_marks->toggleHideCols();
    action(QStringLiteral("SBhidcol"))->setChecked(on);
    action(QStringLiteral("imHideCol"))->setChecked(on);
    Book->viewport()->update();
}

int TfmKisTabl::helpContext() const {
    if (m_commandHelp != 0)
        return m_commandHelp;
    if (Book->mode() == TBook::ChartMode)
        return HelpContexts::Chart;
    switch (m_identState.mode) {
    case IdentMode::Side:
        return HelpContexts::SideIdent;
    case IdentMode::Header:
        return HelpContexts::HeaderIdent;
    case IdentMode::Title:
        return HelpContexts::TitleIdent;
    case IdentMode::HiddenRows:
    case IdentMode::HiddenCols:
        return HelpContexts::HiddenMarks;
    case IdentMode::RowFormulas:
    case IdentMode::ColFormulas:
        return HelpContexts::FormulaViews;
    case IdentMode::Normal:
        break;
    }
    // The tender's result sheets and its supplier order tables ("Спец.") have their own pages.
    const QString mark = TenderController::markOf(m_book, m_book.activeSheetIndex());
    if (mark == QLatin1String("Svod") || mark == QLatin1String("Sort"))
        return HelpContexts::TenderOrder;
    if (mark == QLatin1String("Anal") || mark == QLatin1String("Power"))
        return HelpContexts::TenderAnalysis;
    if (m_doc.table().kodAlt.startsWith(QStringLiteral("Спец.")))
        return HelpContexts::TenderAllocation;
    return HelpContexts::TableEditor;
}
