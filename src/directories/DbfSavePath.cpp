#include "DbfSavePath.h"

#include "Prompter.h"

#include <QFileInfo>

QString AskDbfSavePath(Prompter& prompter, const QString& caption) {
    QString path =
        prompter.saveFileName(caption, QString(), QStringLiteral("Файлы dBase (*.DBF)|*.DBF"));
    if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".DBF");
    return path;
}
