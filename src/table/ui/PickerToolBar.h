#pragma once

#include <QString>

class QAction;
class QToolBar;

// A named command of a picker's tool bar, its text also its hint.
QAction* AddPickerAction(QToolBar* bar, const char* name, const QString& hint);
