#include "TableEditorLauncher.h"

#include "Prompter.h"
#include "TableRef.h"
#include "TfmKisTabl.h"

bool OpenTable(TdmMSSQL& dm, Prompter& prompter, int kodElmt, QWidget* parent) {
    const std::optional<TableRef> table = TableRef::read(dm, kodElmt);
    if (!table) {
        prompter.info(QStringLiteral("Таблица не найдена в БД"));
        return false;
    }
    TfmKisTabl editor(dm, prompter, parent);
    editor.editTable(*table);
    return true;
}
