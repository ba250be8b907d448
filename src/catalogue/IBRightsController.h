#pragma once

#include "UserRights.h"

#include <QString>

class Prompter;
class TdmMSSQL;

// What the user rights dialog does apart from its widgets: which names may be
// given rights and the run of the grants on both databases.
class IBRightsController {
public:
    IBRightsController(TdmMSSQL& dm, Prompter& prompter) : m_dm(dm), m_prompter(prompter) {}

    // A name the level and "Применить" are offered for: not blank, not SYSDBA.
    static bool offersLevel(const QString& typed);
    // "Применить": true when the dialog closes (done, failed and told, or nothing
    // to do); false keeps it open after a refused name.
    bool apply(const QString& typed, UserRights::Level level);

private:
    TdmMSSQL& m_dm;
    Prompter& m_prompter;
};
