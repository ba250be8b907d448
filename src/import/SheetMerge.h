#pragma once

class IdentModel;
class InstanceSheets;
class Prompter;
class Workbook;

// A table sheet saved on its own ("Сохранить как ..", a sheet) brought back into the
// table. A sheet whose title names an object goes into the instance sheet of that object
// (its body only), or, when no sheet has the object and the user agrees, into a new sheet
// 1 together with its title lines and title identification. A sheet not identified by an
// object goes into the active sheet when the user agrees. Title lines of t title rows are
// the file's rows 100 − t … 99, so the service rows above them stay the table's own.
namespace SheetMerge {

// One undo step; false when nothing changed (refused, cancelled, or the body does not fit).
// Without `sheets` no sheet can be added.
bool merge(IdentModel& table, const Workbook& file, Prompter& prompter, InstanceSheets* sheets);

// The questions, as asked.
const char* notFoundQuestion();
const char* unidentifiedQuestion();
const char* overwriteQuestion(); // %1: the sheet's name

} // namespace SheetMerge
