#pragma once

#include "ZemrakConfig.h"

#include <exception>
#include <functional>

class TdmMSSQL;

// What the collections window does with the connections when it is created and
// destroyed: register the instance, check that the fact database answers, build
// the tree, and on failure offer another database; at the end, the exit steps.
class MainWindowConnections {
public:
    explicit MainWindowConnections(TdmMSSQL& dm) : m_dm(dm) {}

    // `prepare` runs first (directory menu, settings row), `buildTree` builds the
    // collections tree; without one the collections query is read once instead.
    // A failure offers another database (the fact one when its steps failed, else
    // the table materials) and then all steps run again. False when start-up must
    // end (the continue flag is then cleared).
    bool connectAtCreation(const std::function<void()>& prepare = {},
                           const std::function<void()>& buildTree = {});
    // Whether both connections were open after the creation; the menu captions
    // for changing users depend on it.
    bool bothConnectionsOpen() const { return m_bothOpen; }

    void shutdown();

private:
    // The question and the login dialog; false when the user ends the work.
    bool offerAnotherDatabase(const std::exception& e, DatabaseTag which);

    TdmMSSQL& m_dm;
    bool m_bothOpen = false;
};
