#include "TfmKisTabl.h"

#include "ExternalFileOpener.h"
#include "ImportSession.h"
#include "TfmImport.h"
#include "view/TBook.h"

void TfmKisTabl::MopenClick() {
    ExternalFileOpener opener(m_doc.model(), m_prompter);
    switch (opener.run()) {
    case ExternalFileOpener::Result::Nothing:
        return;
    case ExternalFileOpener::Result::Replaced:
        applyDocumentState();
        updateSheetCommands();
        return;
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
