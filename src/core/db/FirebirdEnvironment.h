#pragma once

#include <QString>

// The embedded engine keeps its lock files in /tmp/firebird, which only the
// first user to create it may write. Points FIREBIRD_LOCK at a folder of this
// user's own unless the environment already chose one. Must run before the
// client library opens its first database; calling it again does nothing.
void PrepareFirebirdEnvironment();

// The lock folder in use (after PrepareFirebirdEnvironment).
QString FirebirdLockFolder();

class QCoreApplication;

// The engine takes SIGTERM and SIGINT for its own shutdown and then leaves the
// process running. Handing them back to the application makes them end the
// program the normal way, with the exit steps. Call after the first connection.
void QuitOnTerminationSignals(QCoreApplication& app);
