#pragma once

#include <QString>

#include <firebird/Interface.h>

// Why the embedded engine could not open a local database file beside other
// programs, in the user's words with what to do, followed by the server's
// words. Empty when the failure is of another kind.
QString EmbeddedSharingRefusal(const QString& path, const ISC_STATUS* status);
