#include "TfmKisTabl.h"

#include "ExternalFileOpener.h"
#include "HelpContexts.h"
#include "ImportSession.h"
#include "TfmImport.h"
#include "view/TBook.h"

#include <QScopeGuard>

void TfmKisTabl::MopenClick() {
    ExternalFileOpener opener(m_doc.model(), m_prompter, &m_sheets);
    const ExternalFileOpener::Choice chosen = opener.chooseFile();
    if (chosen.path.isEmpty())
        return;
    // F1 at the merge questions opens the page on merging sheets.
    if (ExternalFileOpener::isSheetMerge(chosen.type))
        m_commandHelp = HelpContexts::ImportSheetMerge;
    const auto helpBack = qScopeGuard([this] { m_commandHelp = 0; });
    switch (opener.open(chosen.path, chosen.type)) {
    case ExternalFileOpener::Result::Nothing:
        return;
    case ExternalFileOpener::Result::Replaced:
        applyDocumentState();
        updateSheetCommands();
        return;
    case ExternalFileOpener::Result::Merged: {
        Book->setSheet(m_book.activeSheetIndex());
        const SheetOptions o = m_book.activeSheet().options();
        Book->setActiveCell(o.activeRow, o.activeCol);
        updateSheetCommands();
        updateUndoCommands();
        return;
    }
    case ExternalFileOpener::Result::ImportWindow:
        break;
    }
    TfmImport window(m_dm, m_doc.model(), m_prompter, *opener.session(),
                     m_doc.objectsDirectoryEnabled(), this);
    window.showProtocol = [this](const QStringList& lines) {
        m_protocol.start(QStringLiteral("Протокол ошибок при импорте данных"),
                         lines.join(QString()));
        showProtocol();
    };
    if (window.exec() == QDialog::Accepted)
        updateSheetCommands();
}
