#pragma once

#include <QString>

class TdmMSSQL;

// The text of "О программе": the version, the two databases in use and the engine that
// opens each of them.
QString AboutText(const TdmMSSQL& dm);
// One database of the text: its path and engine, or that it is not connected.
QString DatabaseLine(const QString& caption, const QString& path, bool connected);
