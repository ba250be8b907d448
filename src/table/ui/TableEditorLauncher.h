#pragma once

class Prompter;
class QWidget;
class TdmMSSQL;

// What the collections window calls to edit a table: reads its catalogue row and shows
// the table editor modally. False when the table no longer exists. Raising and
// lowering the in-use count stays with the caller.
bool OpenTable(TdmMSSQL& dm, Prompter& prompter, int kodElmt, QWidget* parent = nullptr);
