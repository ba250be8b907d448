#pragma once

class Workbook;

// The workbook of a table that has none stored yet: one instance sheet and the two
// identification sheets, one title row, one header row, first body row 101.
namespace InitialWorkbook {

void build(Workbook& book);

} // namespace InitialWorkbook
