#pragma once

#include "ZemrakConfig.h"

#include <QString>

// Process-wide values that the start-up sets and every part of the program reads.
namespace AppContext {

// The folder of the executable; tests point it at a temporary folder.
QString programFolder();
void setProgramFolder(const QString& folder);

QString configPath();    // Zemrak.INI in the program folder
QString helpFilePath();  // Zemrakh.hlp in the program folder
QString medstatFolder(); // the MEDCTAT sub-folder

ConnectionSettings& settings();

// Cleared by any start-up step that decides the program must not run.
bool continueStartup();
void setContinueStartup(bool value);

// The desktop's date separator, remembered when the main window is created and
// before the program switches its own separator to '/'. Period bounds read back
// from date cells are split by it.
QChar systemDateSeparator();
void setSystemDateSeparator(QChar separator);
// Takes the separator from the default locale's short date format ("." in Russian).
void rememberSystemDateSeparator();
// The separator the program itself writes periods with ("3/2004").
QChar dateSeparator();

} // namespace AppContext
