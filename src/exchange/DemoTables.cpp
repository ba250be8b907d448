#include "DemoTables.h"

#include "DbStatement.h"
#include "DbTransaction.h"
#include "IdentModel.h"
#include "InitialWorkbook.h"
#include "Prompter.h"
#include "TableDocument.h"
#include "TableLayout.h"
#include "TdmMSSQL.h"
#include "model/Workbook.h"

#include <QList>
#include <QString>

#include <utility>

using namespace TableLayout;

namespace DemoTables {

namespace {

using Named = std::pair<int, const char*>;

const QStringList kMonths = {
    QStringLiteral("Январь"), QStringLiteral("Февраль"), QStringLiteral("Март"),
    QStringLiteral("Апрель"), QStringLiteral("Май"),     QStringLiteral("Июнь"),
    QStringLiteral("Июль"),   QStringLiteral("Август"),  QStringLiteral("Сентябрь")};

// Rows = indicators, columns = the long-term years, then the months of 2025 up to
// September; one instance sheet per element (code, directory type, name).
void build(Workbook& book, const QList<Named>& indicators, const QList<int>& years,
           const QList<Named>& elements, int elementType) {
    InitialWorkbook::build(book);
    for (int i = 1; i < elements.size(); ++i)
        book.insertSheet(i + 1, QString::fromUtf8(elements[i].second));
    book.renameSheet(1, QString::fromUtf8(elements[0].second));
    const int instances = int(elements.size());
    const int rowSheet = instances + 1;
    const int colSheet = instances + 2;
    const int header = kLastTitleRow + 1;
    const int periodRow = kLastTitleRow + 1 + int(Slot::PeriodStart);

    book.beginUpdate();
    for (int r = 0; r < indicators.size(); ++r)
        book.setNumber(rowSheet, header + 1 + r, rowSlotColumn(Slot::IndicatorCode),
                       indicators[r].first);
    QStringList headings;
    int col = kFirstDataCol;
    for (int y : years) {
        book.setNumber(colSheet, periodRow, col++, y);
        headings << QString::number(y);
    }
    for (int m = 1; m <= kMonths.size(); ++m) {
        book.setEntry(colSheet, periodRow, col++, QStringLiteral("1.%1.2025").arg(m));
        headings << kMonths[m - 1] + QStringLiteral(" 2025");
    }
    for (int s = 1; s <= instances; ++s) {
        book.setNumber(s, int(TitleRow::Object), kTitleValueCol, elements[s - 1].first);
        book.setNumber(s, int(TitleRow::Object), kTitleExtraCol, elementType);
        book.setText(s, kLastTitleRow, kSideCol, QString::fromUtf8(elements[s - 1].second));
        for (int c = 0; c < headings.size(); ++c)
            book.setText(s, header, kFirstDataCol + c, headings[c]);
        for (int r = 0; r < indicators.size(); ++r)
            book.setText(s, header + 1 + r, kSideCol, QString::fromUtf8(indicators[r].second));
    }
    book.endUpdate();
    book.setActiveSheet(1);
    book.setModified(false);
}

} // namespace

void buildTerritoryTable(Workbook& book) {
    build(
        book,
        {{1, "Число коек - всего"},
         {2, "Число коек круглосуточного стационара"},
         {3, "Проведено койко-дней"},
         {4, "Выбыло больных"}},
        {2022, 2023, 2024, 2025},
        {{1, "Область - всего"}, {2, "Северный район"}, {3, "Южный район"}, {4, "Город Заречный"}},
        1);
}

void buildTotalsTable(Workbook& book) {
    InitialWorkbook::build(book);
    book.renameSheet(1, QStringLiteral("Коечный фонд"));
    const int rowSheet = 2;
    const int colSheet = 3;
    const int header = kLastTitleRow + 1;
    const int body = header + 1;
    const int periodRow = header + int(Slot::PeriodStart);
    const QList<int> years = {2022, 2023, 2024, 2025};
    // The region's row is the total of its districts; the shares follow from it.
    const QList<Named> districts = {
        {2, "Северный район"}, {3, "Южный район"}, {4, "Город Заречный"}};
    const QStringList shares = {QStringLiteral("Доля Северного района, %"),
                                QStringLiteral("Доля Южного района, %"),
                                QStringLiteral("Доля города Заречного, %")};

    book.beginUpdate();
    book.setNumber(1, int(TitleRow::Indicator), kTitleValueCol, 1); // "Число коек - всего"
    book.setText(1, kLastTitleRow, kSideCol,
                 QStringLiteral("Число коек по районам области: итог и доли районов"));
    book.setText(1, header, kSideCol, QStringLiteral("Территория"));
    for (int i = 0; i < years.size(); ++i) {
        book.setNumber(colSheet, periodRow, kFirstDataCol + i, years[i]);
        book.setText(1, header, kFirstDataCol + i, QString::number(years[i]));
    }
    book.setText(1, body, kSideCol, QStringLiteral("Область - итог по районам"));
    book.setNumber(rowSheet, body, rowSlotColumn(Slot::Level), 1);
    for (int i = 0; i < districts.size(); ++i) {
        const int row = body + 1 + i;
        book.setText(1, row, kSideCol, QString::fromUtf8(districts[i].second));
        book.setNumber(rowSheet, row, rowSlotColumn(Slot::Object), districts[i].first);
        book.setNumber(rowSheet, row, rowSlotColumn(Slot::ObjectType), 1);
        book.setNumber(rowSheet, row, rowSlotColumn(Slot::Level), 2);
        // The share of the district: written for the slot's own cell, so its references
        // reach the district's row and the total's row in every column.
        const int shareRow = body + 1 + int(districts.size()) + i;
        book.setText(1, shareRow, kSideCol, shares[i]);
        book.setEntry(rowSheet, shareRow, rowSlotColumn(Slot::Formula),
                      QStringLiteral("=ROUND(W%1/W%2*100,1)").arg(row).arg(body));
        book.setNumberFormat(
            1, CellRange{shareRow, kFirstDataCol, shareRow, kFirstDataCol + int(years.size()) - 1},
            QStringLiteral("0.0"));
    }
    book.setNumber(rowSheet, int(Setting::RecalcOrder), kSettingsCol, 5); // totals first
    book.endUpdate();
    book.setActiveSheet(1);
    book.setModified(false);
}

void buildObjectTable(Workbook& book) {
    build(book,
          {{15, "Число посещений - всего"},
           {16, "Посещения по поводу заболеваний"},
           {17, "Профилактические посещения"},
           {18, "Посещения на дому"}},
          {2024, 2025},
          {{2, "Северная центральная районная больница"},
           {3, "Южная центральная районная больница"},
           {4, "Городская поликлиника № 1"}},
          kObjectsDirectoryType);
}

void buildTenderTable(Workbook& book) {
    struct Item {
        int indicator;
        const char* name;
        const char* unit;
        const char* code;
        double requested;
    };
    const QList<Item> items = {{23, "Амоксициллин, капс. 500 мг", "уп.", "М01", 220},
                               {24, "Цефтриаксон, пор. 1 г", "фл.", "М02", 400},
                               {25, "Натрия хлорид, р-р 0,9% 400 мл", "фл.", "М03", 1200},
                               {26, "Парацетамол, табл. 500 мг", "уп.", "М04", 160},
                               {27, "Гепарин, р-р 5000 ЕД/мл", "амп.", "М05", 200}};
    // Offered volume and price per item; 0 where the supplier offers nothing.
    const QList<std::pair<const char*, QList<std::pair<double, double>>>> suppliers = {
        {"ООО \"Фармация\"", {{220, 45.5}, {300, 118}, {1200, 52.3}, {160, 21.9}, {0, 0}}},
        {"АО \"Медснаб\"", {{150, 43.2}, {400, 121.5}, {800, 52.3}, {0, 0}, {200, 310}}},
        {"ООО \"Здоровье\"", {{220, 47}, {400, 115.75}, {1200, 54.1}, {160, 19.8}, {100, 298.4}}}};
    InitialWorkbook::build(book);
    for (int i = 1; i < suppliers.size(); ++i)
        book.insertSheet(i + 1);
    IdentModel model(book, AppPrompter());
    model.readGeometry();
    model.setHeaderRows(2);
    const int rowSheet = model.rowIdentSheet();
    const int colSheet = model.colIdentSheet();
    const int body = model.firstBodyRow();
    book.beginUpdate();
    book.setNumber(colSheet, model.colSlotRow(Slot::PeriodStart), 5, 2025);
    book.setNumber(colSheet, 1, 3, SpecialKind::Unit);
    for (int c : {4, 6, 7})
        book.setNumber(colSheet, 1, c, SpecialKind::Arbitrary);
    for (int r = 0; r < items.size(); ++r) {
        book.setNumber(rowSheet, body + r, rowSlotColumn(Slot::IndicatorCode), items[r].indicator);
        book.setText(rowSheet, body + r, rowSlotColumn(Slot::IndicatorShown),
                     QString::fromUtf8(items[r].code));
    }
    for (int s = 1; s <= suppliers.size(); ++s) {
        const auto& [name, offers] = suppliers[s - 1];
        book.renameSheet(s, QStringLiteral("Поставщик %1").arg(s));
        book.setText(s, kLastTitleRow, kFirstDataCol, QString::fromUtf8(name));
        book.setText(s, kFirstHeaderRow, kSideCol, QStringLiteral("Наименование"));
        book.setText(s, kFirstHeaderRow, 3, QStringLiteral("Ед."));
        book.setText(s, kFirstHeaderRow, 5, QStringLiteral("Объем"));
        book.setText(s, kFirstHeaderRow + 1, 5, QStringLiteral("заявки"));
        book.setText(s, kFirstHeaderRow, 6, QStringLiteral("Предлагаемый"));
        book.setText(s, kFirstHeaderRow + 1, 6, QStringLiteral("объем"));
        book.setText(s, kFirstHeaderRow, 7, QStringLiteral("Цена"));
        book.sheet(s).setColWidth(kSideCol, 34 * 256);
        for (int r = 0; r < items.size(); ++r) {
            book.setText(s, body + r, kSideCol, QString::fromUtf8(items[r].name));
            book.setText(s, body + r, 3, QString::fromUtf8(items[r].unit));
            book.setNumber(s, body + r, 5, items[r].requested);
            if (offers[r].first > 0) {
                book.setNumber(s, body + r, 6, offers[r].first);
                book.setNumber(s, body + r, 7, offers[r].second);
            }
        }
    }
    book.endUpdate();
    book.setActiveSheet(1);
    book.setModified(false);
}

int write(TdmMSSQL& dm) {
    int written = 0;
    DbStatement& q = dm.dbTab.statement(QStringLiteral("quDemoTables"));
    for (const auto& [kod, builder] :
         {std::pair{1, &buildTerritoryTable}, std::pair{4, &buildObjectTable},
          std::pair{6, &buildTotalsTable}, std::pair{7, &buildTenderTable}}) {
        q.setSql(QStringLiteral("SELECT TABF1 FROM CAT WHERE KODELMT = :K"));
        q.clearParams();
        q.setParam(QStringLiteral("K"), kod);
        q.open();
        const bool present = !q.isEmpty();
        const bool empty = present && q.value(0).toByteArray().isEmpty();
        q.close();
        if (!empty)
            continue;
        Workbook book;
        builder(book);
        q.setSql(QStringLiteral("UPDATE CAT SET TABF1 = :B WHERE KODELMT = :K"));
        q.setParam(QStringLiteral("B"), TableDocument::workbookBytes(book));
        RunInTransaction(dm.dbTab, [&] { q.execute(); });
        ++written;
    }
    return written;
}

} // namespace DemoTables
