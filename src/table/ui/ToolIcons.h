#pragma once

#include <QIcon>
#include <QString>

class QToolBar;

// The editor's tool-bar pictures, drawn rather than shipped: one consistent small set.
// Every action of the bar gets the picture named after it; its text stays as the tooltip.
class ToolIcons {
public:
    static QIcon icon(const QString& actionName);
    static void apply(QToolBar* bar);
};
