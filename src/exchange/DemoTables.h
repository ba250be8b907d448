#pragma once

class TdmMSSQL;
class Workbook;

// Identified workbooks for the demo collection, so that filling shows the demo funds
// right after the first start: "Коечный фонд учреждений" over the territories
// (long-term years 2022-2025 and the months of 2025) and "Посещения по месяцам" over
// three institutions with visits; "Коечный фонд районов: итог и доли" totals the districts
// into the region and computes each district's share by formulas over rows after a fill
// and "Пересчет". Tables that already have a workbook are left alone.
namespace DemoTables {

void buildTerritoryTable(Workbook& book);
void buildObjectTable(Workbook& book);
void buildTotalsTable(Workbook& book);
// "Предложения поставщиков": three suppliers' offers for the medicines three institutions
// ordered (the tender menu's starting point).
void buildTenderTable(Workbook& book);
// Writes them into CAT 1, 4, 6 and 7 of the demo table database; the number written.
int write(TdmMSSQL& dm);

} // namespace DemoTables
