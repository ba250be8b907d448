#pragma once

class Prompter;
class Workbook;

// A new table built from the first sheet of another program's workbook: the first t rows
// become the title lines 100 − t … 99, the next h rows the header rows 100 … 99 + h, the
// rest the body below them; the file's first column becomes the side.
namespace ForeignTable {

// t and h of 0 become 1 (an empty line). The table is replaced only when it is built;
// a table of several instance sheets is replaced only after the user agrees.
bool build(Workbook& table, const Workbook& file, int titleRows, int headerRows,
           Prompter& prompter);

} // namespace ForeignTable
