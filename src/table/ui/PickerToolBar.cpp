#include "PickerToolBar.h"

#include <QAction>
#include <QToolBar>

QAction* AddPickerAction(QToolBar* bar, const char* name, const QString& hint) {
    QAction* a = bar->addAction(hint);
    a->setObjectName(QString::fromLatin1(name));
    a->setToolTip(hint);
    return a;
}
