#pragma once

#include "ConditionTree.h"
#include "ReportTree.h"

#include <QList>
#include <QString>
#include <QStringList>

class Prompter;

// A kind of control from USLOV.DBF.
struct ControlKind {
    QString form;  // NF
    QString name;  // VR
    QString first; // US1
    QString last;  // US2
};

struct CompiledCondition {
    int group = 0;
    int number = 0;
    QString id;
    Condition condition;
};

// The control of the report file without its window: the kinds of control, the
// compiled conditions and the report read once when opened, then runs from memory.
class MedstatControl {
public:
    MedstatControl(const QString& folder, Prompter& prompter);

    // Reads USLOV.DBF, POKAZ.DBF and MEDCTAT.DBF; false (after the message) when a file
    // is missing or cannot be read. A condition that does not compile is reported and
    // ends the loading of conditions; those before it stay.
    bool open();

    const QList<ControlKind>& kinds() const { return m_kinds; }
    const std::vector<CompiledCondition>& conditions() const { return m_conditions; }
    const ReportTree& report() const { return m_report; }
    QString errFile() const;

    enum class Outcome { NotRun, NoErrors, Errors };
    // Runs the ticked kinds (indexes into kinds()). Errors: the protocol was written to
    // err.txt, which the caller shows. Entries of the last run stay in protocol().
    Outcome run(const QString& object, const QString& year, const QString& objectName,
                const QList<int>& ticked);
    const QStringList& protocol() const { return m_protocol; }

    // "Год" as the control reads it: the shown year and the year code; false when the
    // text cannot be read.
    static bool readYear(const QString& text, QString& shown, int& code);

    // The last protocol, when there is one; otherwise the message.
    bool lastProtocolExists();

private:
    bool readKinds();
    bool readConditions();
    QString file(const QString& name) const;

    QString m_folder;
    Prompter& m_prompter;
    QList<ControlKind> m_kinds;
    std::vector<CompiledCondition> m_conditions;
    ReportTree m_report;
    QStringList m_protocol;
};
