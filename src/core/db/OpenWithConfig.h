#pragma once

#include <QString>

class TdmMSSQL;

// Opens both databases as the given Zemrak.INI names them, asking nobody (the batch
// tools). A failure says in Russian what failed, then the server's words.
void OpenWithConfig(TdmMSSQL& dm, const QString& iniPath);
