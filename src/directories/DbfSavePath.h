#pragma once

#include <QString>

class Prompter;

// Asks where a directory is exported to as a dBase file; a name without an extension gets
// ".DBF". Empty when the user cancels.
QString AskDbfSavePath(Prompter& prompter, const QString& caption);
