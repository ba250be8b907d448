#include "DbfSavePath.h"

#include "DbfTable.h"
#include "Prompter.h"

#include <QFileInfo>

QString AskDbfSavePath(Prompter& prompter, const QString& caption) {
    QString path =
        prompter.saveFileName(caption, QString(), QStringLiteral("Файлы dBase (*.DBF)|*.DBF"));
    if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".DBF");
    return path;
}

void TellCutTexts(Prompter& prompter, const DbfTable& table) {
    if (table.cutTexts() > 0)
        prompter.info(QStringLiteral("Тексты длиннее полей файла записаны не полностью: %1")
                          .arg(table.cutTexts()));
}
