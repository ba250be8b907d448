#include "AppContext.h"

#include <QCoreApplication>
#include <QDir>
#include <QLocale>

namespace {
QString folderOverride;
ConnectionSettings currentSettings;
bool continueFlag = true;
QChar systemSeparator = u'.';
} // namespace

namespace AppContext {

QString programFolder() {
    if (!folderOverride.isEmpty())
        return folderOverride;
    return QCoreApplication::instance() ? QCoreApplication::applicationDirPath()
                                        : QDir::currentPath();
}

void setProgramFolder(const QString& folder) {
    folderOverride = folder;
}

QString configPath() {
    return ZemrakConfig::pathIn(programFolder());
}

QString helpFilePath() {
    return QDir(programFolder()).filePath(QStringLiteral("Zemrakh.hlp"));
}

QString medstatFolder() {
    return QDir(programFolder()).filePath(QStringLiteral("MEDCTAT"));
}

ConnectionSettings& settings() {
    return currentSettings;
}

bool continueStartup() {
    return continueFlag;
}

void setContinueStartup(bool value) {
    continueFlag = value;
}

QChar systemDateSeparator() {
    return systemSeparator;
}

void setSystemDateSeparator(QChar separator) {
    systemSeparator = separator;
}

void rememberSystemDateSeparator() {
    for (const QChar c : QLocale().dateFormat(QLocale::ShortFormat))
        if (!c.isLetterOrNumber() && !c.isSpace() && c != u'\'') {
            systemSeparator = c;
            return;
        }
}

QChar dateSeparator() {
    return u'/';
}

} // namespace AppContext
