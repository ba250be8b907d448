#pragma once

#include <QString>
#include <QVariant>

#include <optional>

class DbStatement;
class Prompter;
class TdmMSSQL;

// The change-flag protocol between running programs: every structural change
// of a catalogue raises the catalogue's flag in the other programs' USERS rows;
// before a command each program checks and clears its own.
class ChangeFlags {
public:
    enum Result { Unchanged = 0, ChangedKeyLost = 1, ChangedKeyFound = 2, Failed = 3 };

    ChangeFlags(TdmMSSQL& dm, Prompter& prompter) : m_dm(dm), m_prompter(prompter) {}

    // ONE_* through its component (spOneUSBR, …): raises the flag of every other
    // program. Joins a running fact-database transaction, else runs its own.
    void FlagChangeForOthers(const QString& oneProc); // throws DbError
    // ZERO_* through its component, in its own transaction.
    void ClearOwnChangeFlag(const QString& zeroProc); // throws DbError
    // Reads this program's flag; when it is raised re-reads the dataset, clears
    // the flag and locates the key (result 2 when found or no key was given,
    // 1 with the dataset on its first row otherwise). A failure rolls both
    // connections back and gives 3, a rights error after telling the user.
    int CheckChangeFlag(const QString& keyField, const std::optional<QVariant>& key,
                        DbStatement& dataset, const QString& flagColumn, const QString& zeroProc);

    int statementCount() const { return m_statements; }

private:
    QVariant ownKey() const;

    TdmMSSQL& m_dm;
    Prompter& m_prompter;
    int m_statements = 0;
};

// The server's text after a failure message, as the error boxes show it.
QString WithServerText(const QString& text, const QString& server);
