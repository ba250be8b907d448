#pragma once

#include "IdentMode.h"

#include <QHash>
#include <QString>
#include <QStringList>

// The window's commands by component name, as the identification modes switch them.
class CommandSet {
public:
    virtual ~CommandSet() = default;
    virtual bool has(const QString& name) const = 0;
    virtual bool isEnabled(const QString& name) const = 0;
    virtual void setEnabled(const QString& name, bool on) = 0;
    virtual void setChecked(const QString& name, bool on) = 0;
};

// What the enabling of the commands depends on besides the mode.
struct CommandFacts {
    bool objectListAttached = false; // the table's KODSPIS is set
    int instanceSheets = 1;
    bool instanceSheetActive = true;
};

// Which commands are enabled, ticked and held down in each identification mode. Commands
// that change the workbook outside a mode are disabled while it is active and get back
// the state they had before it.
class IdentCommands {
public:
    explicit IdentCommands(CommandSet& commands) : m_commands(commands) {}

    // Everything that changes the workbook's structure or contents outside a mode.
    static const QStringList& lockedInModes();
    // The menu item and the button that switch a mode.
    static QStringList switchesOf(IdentMode mode);
    // The hint of the mode's button, shown in status panel 1 while the mode is active.
    static QString hintOf(IdentMode mode);

    void apply(IdentMode mode, const CommandFacts& facts);
    // A table was opened: nothing is remembered from the previous one.
    void forget() { m_saved.clear(); }

private:
    void setEnabled(const QString& name, bool on);

    CommandSet& m_commands;
    QHash<QString, bool> m_saved; // the locked commands' states before the mode
};
