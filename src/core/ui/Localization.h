#pragma once

class QApplication;

// The program speaks Russian: Qt's own dialogs and standard buttons too.
// Returns false when Qt's Russian translation could not be found.
bool InstallRussianTranslation(QApplication& app);
