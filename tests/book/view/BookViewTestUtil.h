#pragma once

#include "ScriptedPrompter.h"
#include "TBook.h"

#include <QImage>

// A shown TBook of a fixed size with a scripted prompter, for driving with Qt Test.
struct BookFixture {
    BookFixture();
    TBook book;
    ScriptedPrompter prompter;

    // Sends a key to whatever has the keyboard now: the cell editor while editing.
    void key(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier);
    void type(const QString& text);
    void click(int row, int col, Qt::KeyboardModifiers mods = Qt::NoModifier);
    QPoint cellCenter(int row, int col) const;
    QImage render();
};
