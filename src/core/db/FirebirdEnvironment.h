#pragma once

#include <QString>

// Sets up the embedded engine before the client library opens its first
// database; calling it again does nothing.
// - Unless FIREBIRD already names a root, points it at this user's own root
//   (SharedFirebirdRoot), whose firebird.conf runs the engine in Classic mode:
//   several programs of the user then open one database file at the same time,
//   where the system's default mode holds the file for one process alone.
// - The engine keeps its lock files in /tmp/firebird, which only the first
//   user to create it may write. Points FIREBIRD_LOCK at a folder of this
//   user's own unless the environment already chose one.
void PrepareFirebirdEnvironment();

// The system's Firebird root (plugins, messages, character sets), found beside
// the client library; empty when there is none.
QString SystemFirebirdRoot();

// This user's own Firebird root, made or mended as needed: firebird.conf with
// ServerMode = Classic and links to everything else of the system's root. Empty
// when the system's root is not found or no folder can hold it.
QString SharedFirebirdRoot();

// The lock folder in use (after PrepareFirebirdEnvironment).
QString FirebirdLockFolder();

class QCoreApplication;

// The engine takes SIGTERM and SIGINT for its own shutdown and then leaves the
// process running. Handing them back to the application makes them end the
// program the normal way, with the exit steps. Call after the first connection.
void QuitOnTerminationSignals(QCoreApplication& app);
