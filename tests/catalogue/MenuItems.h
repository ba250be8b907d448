#pragma once

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

// Menu items of a window found by their captions, sub-menus included.
inline QAction* FindItem(QMenu* menu, const QString& caption) {
    for (QAction* a : menu->actions()) {
        if (a->text() == caption)
            return a;
        if (a->menu())
            if (QAction* inner = FindItem(a->menu(), caption))
                return inner;
    }
    return nullptr;
}

inline QAction* FindItem(QMainWindow& w, const QString& menu, const QString& caption) {
    for (QAction* top : w.menuBar()->actions())
        if (top->text() == menu && top->menu())
            if (QAction* a = FindItem(top->menu(), caption))
                return a;
    return nullptr;
}
