#pragma once

#include <QString>

class Prompter;
class TdmMSSQL;

struct IndicatorEntry {
    bool ok = false;
    int code = 0; // 0 clears the element
    QString name;
    QString kodAlt;
};

struct ObjectEntry {
    bool ok = false;
    int code = 0;
    int type = 0; // 99 objects directory, NUMAGR of an aggregation directory, 0 none
    QString name;
};

// Turns a typed indicator, attribute, object or cut code into its internal code by the
// directories of the fact database. A refusal has been told to the user already.
class CodeResolver {
public:
    CodeResolver(TdmMSSQL& dm, Prompter& prompter);

    IndicatorEntry ResolveIndicatorEntry(const QString& typed);
    ObjectEntry ResolveObjectEntry(const QString& typed);
    // What the displayed code of an indicator is: its alternative code, or minus
    // its internal code when it has none. Empty when the indicator is unknown.
    QString displayedCode(int internalCode);

    // How often the directory choice is offered again before the entry is refused;
    // only a prompter that can never answer gets that far.
    static constexpr int kChoiceAttempts = 100;

private:
    QString aggregationName(int numAgr);
    QString objectsDirectoryName();

    TdmMSSQL& m_dm;
    Prompter& m_prompter;
};
