#include "AppContext.h"

#include <QCoreApplication>
#include <QDir>

namespace {
QString folderOverride;
ConnectionSettings currentSettings;
bool continueFlag = true;
} // namespace

namespace AppContext {

QString programFolder() {
    if (!folderOverride.isEmpty())
        return folderOverride;
    return QCoreApplication::instance() ? QCoreApplication::applicationDirPath()
                                        : QDir::currentPath();
}

void setProgramFolder(const QString& folder) { folderOverride = folder; }

QString configPath() { return ZemrakConfig::pathIn(programFolder()); }

QString helpFilePath() { return QDir(programFolder()).filePath(QStringLiteral("Zemrakh.hlp")); }

QString medstatFolder() { return QDir(programFolder()).filePath(QStringLiteral("MEDCTAT")); }

ConnectionSettings& settings() { return currentSettings; }

bool continueStartup() { return continueFlag; }

void setContinueStartup(bool value) { continueFlag = value; }

} // namespace AppContext
