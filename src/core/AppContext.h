#pragma once

#include "ZemrakConfig.h"

#include <QString>

// Process-wide values that the start-up sets and every part of the program reads.
namespace AppContext {

// The folder of the executable; tests point it at a temporary folder.
QString programFolder();
void setProgramFolder(const QString& folder);

QString configPath();       // Zemrak.INI in the program folder
QString helpFilePath();     // Zemrakh.hlp in the program folder
QString medstatFolder();    // the MEDCTAT sub-folder

ConnectionSettings& settings();

// Cleared by any start-up step that decides the program must not run.
bool continueStartup();
void setContinueStartup(bool value);

} // namespace AppContext
