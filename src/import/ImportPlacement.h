#pragma once

class IdentModel;
class Prompter;
class Workbook;

// Puts the rows of an import preview into the active instance sheet of a table: preview
// row r (from the start row s on) goes to table row (last header row + r − s + 1); into
// the body preview column j goes to column j + 2, into the side to column j + 1 (preview
// column 1 becomes the side).
namespace ImportPlacement {

enum class Target { Body, Side };

// Before anything is cleared the user is asked when the body (or, importing into the side,
// the body or the side) already holds data; "No" keeps the table as it was. Data that would
// not fit the sheet is refused with a message before anything changes. One undo step.
bool place(IdentModel& ident, const Workbook& preview, int startRow, Target target,
           Prompter& prompter);
// The same in two steps, for callers that write more between them: the checks and the
// question (false: nothing may change), then the rows.
bool prepare(IdentModel& ident, const Workbook& preview, int startRow, Target target,
             Prompter& prompter);
void put(IdentModel& ident, const Workbook& preview, int startRow, Target target);

// The questions, as asked.
const char* bodyQuestion();
const char* sideQuestion();
// Said when the active sheet is an identification sheet.
const char* identSheetRefusal();

} // namespace ImportPlacement
