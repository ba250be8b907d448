#pragma once

class IdentModel;
class Prompter;
class TdmMSSQL;
class Workbook;

// The two fixed-layout imports of finance reports from a dBase file (columns KBK, ORG,
// P1, P2 in the preview): the report's territory, a node of aggregation directory 1,
// must be the active sheet's title object; then the values of the matching budget codes
// go into fixed body columns of the rows that name them.
namespace FinanceImport {

enum class Kind {
    Income,  // "Доходы": the row's displayed indicator code; P1, P2 into body columns 5, 6
    Expenses // "Расходы": a code of cuts 1–4 and the indicator; P1, P2 into columns 9, 10
};

// False when the preview is no such report, the territory is unknown, or the user does
// not let the sheet be identified by it; the message has been shown.
bool run(TdmMSSQL& dm, IdentModel& table, const Workbook& preview, Kind kind, Prompter& prompter);

} // namespace FinanceImport
