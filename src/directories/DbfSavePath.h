#pragma once

#include <QString>

class DbfTable;
class Prompter;

// Asks where a directory is exported to as a dBase file; a name without an extension gets
// ".DBF". Empty when the user cancels.
QString AskDbfSavePath(Prompter& prompter, const QString& caption);

// After an export: tells how many texts were longer than their fields of the file and
// went in cut (the file's layout is fixed for the programs that read it).
void TellCutTexts(Prompter& prompter, const DbfTable& table);
