#include "TenderController.h"

#include "CellValues.h"
#include "DbStatement.h"
#include "IdentModel.h"
#include "InstanceSheets.h"
#include "Prompter.h"
#include "TableRef.h"
#include "TdmMSSQL.h"
#include "model/Workbook.h"

#include <algorithm>

using namespace TableLayout;

namespace {

const QChar Q = QLatin1Char('"');

double numberOr0(const Sheet& sh, int r, int c) {
    double v = 0;
    return numberAt(sh, r, c, v) ? v : 0;
}

} // namespace

TenderController::TenderController(TdmMSSQL& dm, IdentModel& model, InstanceSheets& sheets,
                                   Prompter& prompter, const TableRef& table,
                                   std::function<bool()> fillActive)
    : m_dm(dm), m_model(model), m_sheets(sheets), m_prompter(prompter), m_table(table),
      m_fillActive(std::move(fillActive)) {}

Workbook& TenderController::book() const {
    return m_model.book();
}

QString TenderController::markOf(const Workbook& book, int sheet) {
    return book.sheet(sheet).text(2, 1).trimmed();
}

int TenderController::findMarked(const QString& mark) const {
    m_model.readGeometry();
    for (int s = 1; s <= m_model.instanceCount(); ++s)
        if (markOf(book(), s) == mark)
            return s;
    return 0;
}

int TenderController::lastBodyRow(int sheet) const {
    return std::max(book().sheet(sheet).lastRow(), m_model.lastHeaderRow());
}

bool TenderController::excluded(int row) const {
    return book()
               .sheet(m_model.rowIdentSheet())
               .text(row, rowSlotColumn(Slot::IndicatorShown))
               .trimmed() == QLatin1String("0");
}

std::vector<TenderOffer> TenderController::offersOf(int row, int from, int to) const {
    std::vector<TenderOffer> offers;
    for (int s = from; s <= to; ++s) {
        const Sheet& sh = book().sheet(s);
        TenderOffer o;
        if (!numberAt(sh, row, kOffered, o.volume) || !numberAt(sh, row, kPrice, o.price))
            continue;
        o.supplier = sh.text(kLastTitleRow, kFirstDataCol);
        offers.push_back(o);
    }
    SortOffers(offers);
    return offers;
}

void TenderController::insertResultSheet(int before, const QString& mark, const QString& title) {
    Workbook& b = book();
    b.setActiveSheet(before);
    m_sheets.insertSheet();
    m_model.readGeometry();
    b.setText(before, 2, 1, mark);
    b.setText(before, kLastTitleRow, kFirstDataCol, title);
}

void TenderController::caption(int sheet, int col, const QString& first, const QString& second) {
    Workbook& b = book();
    const int last = m_model.lastHeaderRow();
    // A single header row takes both words.
    if (last > kFirstHeaderRow || second.isEmpty()) {
        b.setText(sheet, kFirstHeaderRow, col, first);
        if (!second.isEmpty())
            b.setText(sheet, kFirstHeaderRow + 1, col, second);
    } else {
        b.setText(sheet, kFirstHeaderRow, col, first + QLatin1Char(' ') + second);
    }
    b.setFormat(sheet, CellRange(kFirstHeaderRow, col, last, col), [](CellFormat& f) {
        f.font.bold = true;
        f.hAlign = HAlign::Center;
    });
}

void TenderController::boldTotal(int sheet, int row, int lastCol) {
    book().setFormat(sheet, CellRange(row, kSideCol, row, lastCol), [](CellFormat& f) {
        f.font.bold = true;
        f.font.size = 12;
    });
}

bool TenderController::mPredlClick() {
    Workbook& b = book();
    m_model.readGeometry();
    if (b.sheetCount() == 3) {
        m_prompter.info(QStringLiteral("Поставщик один, сортировка не нужна!"));
        return false;
    }
    b.beginUpdate();
    b.setActiveSheet(1);
    while (m_model.instanceCount() > 1 && !markOf(b, 1).isEmpty()) {
        b.deleteSheet(1);
        m_model.readGeometry();
    }
    const int n = m_model.instanceCount();
    insertResultSheet(1, QStringLiteral("Sort"), QStringLiteral("Сортировка поставщиков по ценам"));
    insertResultSheet(1, QStringLiteral("Svod"), QStringLiteral("Сводный заказ поставщикам"));
    const int first = 3;
    const int last = n + 2;
    const int firstRow = m_model.firstBodyRow();
    int lastRow = m_model.lastHeaderRow();
    for (int s = first; s <= last; ++s)
        lastRow = std::max(lastRow, lastBodyRow(s));
    const int rowSheet = m_model.rowIdentSheet();

    caption(2, kRequested, QStringLiteral("Объем"), QStringLiteral("заявки"));
    for (int i = 0; i < n; ++i) {
        caption(2, 6 + 3 * i, QStringLiteral("Цена"));
        caption(2, 7 + 3 * i, QStringLiteral("Объем"));
        caption(2, 8 + 3 * i, QStringLiteral("Поставщик"));
    }
    caption(2, 6 + 3 * n, QStringLiteral("Средняя"), QStringLiteral("Цена"));
    caption(1, kSvodVolume, QStringLiteral("Объем"), QStringLiteral("поставки"));
    caption(1, kSvodPrice, QStringLiteral("Цена"));
    caption(1, kSvodCost, QStringLiteral("Стоимость"));
    caption(1, kSvodSupplier, QStringLiteral("Поставщик"));

    for (int r = firstRow; r <= lastRow; ++r) {
        const std::vector<TenderOffer> offers = offersOf(r, first, last);
        double requested = 0;
        for (int s = first; s <= last; ++s)
            if (numberAt(b.sheet(s), r, kRequested, requested))
                break;
        if (!offers.empty()) {
            b.setNumber(2, r, 1, double(offers.size()));
            b.setNumber(2, r, kRequested, requested);
            double total = 0;
            for (size_t i = 0; i < offers.size(); ++i) {
                const int c = 6 + 3 * int(i);
                b.setNumber(2, r, c, offers[i].price);
                b.setNumber(2, r, c + 1, offers[i].volume);
                b.setText(2, r, c + 2, offers[i].supplier);
                total += offers[i].price;
            }
            b.setNumber(2, r, 6 + 3 * n, total / double(offers.size()));
        }
        if (excluded(r))
            continue;
        double volume = 0;
        double price = 0;
        if (!offers.empty()) {
            const TenderOffer& best = offers.front();
            volume = best.volume >= requested ? requested : best.volume;
            price = best.price;
            b.setNumber(1, r, kSvodVolume, volume);
            b.setNumber(1, r, kSvodPrice, price);
            b.setNumber(1, r, kSvodCost, volume * price);
            b.setText(1, r, kSvodSupplier, best.supplier);
        }
        if (price == 0 || volume == 0)
            b.setText(rowSheet, r, rowSlotColumn(Slot::HideMarker), QStringLiteral("Прятать"));
    }
    const int total = lastRow + 1;
    b.setText(1, total, kSideCol, QStringLiteral("Стоимость заказа"));
    b.setEntry(1, total, kSvodCost, QStringLiteral("=SUM(G%1:G%2)").arg(firstRow).arg(lastRow));
    boldTotal(1, total, kSvodSupplier);
    b.setActiveSheet(1);
    b.endUpdate();
    return true;
}

bool TenderController::mAnalClick() {
    Workbook& b = book();
    if (const int anal = findMarked(QStringLiteral("Anal"))) {
        b.beginUpdate();
        b.deleteSheet(anal);
        m_model.readGeometry();
        if (m_model.isInstanceSheet(anal) && markOf(b, anal) == QLatin1String("Power"))
            b.deleteSheet(anal);
        m_model.readGeometry();
        b.endUpdate();
    }
    const int sort = findMarked(QStringLiteral("Sort"));
    if (sort == 0) {
        m_prompter.error(QStringLiteral("Не выполнена операция ") + Q +
                         QStringLiteral("Сводный заказ") + Q);
        return false;
    }
    if (sort < 2 || markOf(b, sort - 1) != QLatin1String("Svod")) {
        m_prompter.error(QStringLiteral("Отсутствует лист ") + Q + QStringLiteral("Сводный заказ") +
                         Q);
        return false;
    }
    b.beginUpdate();
    const int n = m_model.instanceCount() - sort;
    const int anal = sort - 1;
    insertResultSheet(anal, QStringLiteral("Anal"), QStringLiteral("Сравнительный анализ цен"));
    const int sortNow = sort + 1;
    const Sheet& so = b.sheet(sortNow);
    const int firstRow = m_model.firstBodyRow();
    const int lastRow = lastBodyRow(sortNow);

    caption(anal, 5, QStringLiteral("Объем"), QStringLiteral("заявки"));
    caption(anal, 6, QStringLiteral("Дефицит"));
    caption(anal, 7, QStringLiteral("Min"), QStringLiteral("цена"));
    caption(anal, 8, QStringLiteral("Средняя"), QStringLiteral("цена"));
    caption(anal, 9, QStringLiteral("%"));
    caption(anal, 10, QStringLiteral("Max"), QStringLiteral("цена"));
    caption(anal, 11, QStringLiteral("%"));

    // A minimum price of 0 leaves the percentage empty: nothing to compare with.
    auto percent = [&](int row, int col, double value, double base) {
        double p = 0;
        if (PercentAbove(value, base, p))
            b.setNumber(anal, row, col, p);
    };
    double sumMin = 0, sumAvg = 0, sumMax = 0;
    int lastItem = lastRow;
    for (int r = firstRow; r <= lastRow; ++r) {
        const int count = int(numberOr0(so, r, 1));
        if (count <= 0 || excluded(r))
            continue;
        const double requested = numberOr0(so, r, kRequested);
        const double minPrice = numberOr0(so, r, 6);
        const double minVolume = numberOr0(so, r, 7);
        const double avg = numberOr0(so, r, 6 + 3 * n);
        const double maxPrice = numberOr0(so, r, 6 + 3 * (count - 1));
        b.setNumber(anal, r, 5, requested);
        b.setNumber(anal, r, 6, minVolume - requested);
        b.setNumber(anal, r, 7, minPrice);
        b.setNumber(anal, r, 8, avg);
        percent(r, 9, avg, minPrice);
        b.setNumber(anal, r, 10, maxPrice);
        percent(r, 11, maxPrice, minPrice);
        sumMin += requested * minPrice;
        sumAvg += requested * avg;
        sumMax += requested * maxPrice;
    }
    const int total = lastItem + 1;
    b.setText(anal, total, kSideCol, QStringLiteral("Стоимость заказа"));
    b.setNumber(anal, total, 7, sumMin);
    b.setNumber(anal, total, 8, sumAvg);
    percent(total, 9, sumAvg, sumMin);
    b.setNumber(anal, total, 10, sumMax);
    percent(total, 11, sumMax, sumMin);
    boldTotal(anal, total, 11);

    // Each supplier's place among the offers.
    const int power = anal + 1;
    insertResultSheet(power, QStringLiteral("Power"),
                      QStringLiteral("Оценка мощности поставщиков"));
    const int sortAfter = sortNow + 1;
    const int firstSupplier = sortAfter + 1;
    const int lastSupplier = sortAfter + n;
    const int header = m_model.lastHeaderRow();
    const QStringList captions = {QStringLiteral("Поставщик"), QStringLiteral("Всего"),
                                  QStringLiteral("Min"),       QStringLiteral("<=Средней"),
                                  QStringLiteral(">=Средней"), QStringLiteral("Стоимость")};
    int items = 0;
    for (int r = firstRow; r <= lastRow; ++r)
        if (numberOr0(b.sheet(sortAfter), r, 1) > 0 && !excluded(r))
            ++items;
    b.setText(power, kFirstHeaderRow, kFirstDataCol,
              QStringLiteral("   Количество позиций:        всего: ") + QString::number(items));
    for (int i = 0; i < captions.size(); ++i)
        if (header > kFirstHeaderRow || i != 1)
            b.setText(power, header, kSideCol + i, captions[i]);
    int row = firstRow;
    for (int s = lastSupplier; s >= firstSupplier; --s, ++row) {
        const Sheet& sup = b.sheet(s);
        const Sheet& sorted = b.sheet(sortAfter);
        int atMin = 0, belowAvg = 0, aboveAvg = 0;
        double cost = 0;
        for (int r = firstRow; r <= lastRow; ++r) {
            if (numberOr0(sorted, r, 1) <= 0 || excluded(r))
                continue;
            double volume = 0, price = 0;
            if (!numberAt(sup, r, kOffered, volume) || !numberAt(sup, r, kPrice, price))
                continue;
            const double minPrice = numberOr0(sorted, r, 6);
            const double avg = numberOr0(sorted, r, 6 + 3 * n);
            if (price <= minPrice)
                ++atMin;
            else if (price <= avg)
                ++belowAvg;
            else
                ++aboveAvg;
            cost += volume * price;
        }
        b.setText(power, row, 2, sup.text(kLastTitleRow, kFirstDataCol));
        b.setNumber(power, row, 3, atMin + belowAvg + aboveAvg);
        b.setNumber(power, row, 4, atMin);
        b.setNumber(power, row, 5, belowAvg);
        b.setNumber(power, row, 6, aboveAvg);
        b.setNumber(power, row, 7, cost);
    }
    b.setActiveSheet(anal);
    b.endUpdate();
    return true;
}

bool TenderController::mRaznClick() {
    Workbook& b = book();
    if (m_table.kodAlt.left(5) != QStringLiteral("Спец.")) {
        m_prompter.error(QStringLiteral("Данная таблица не содержит спецификации поставщика"));
        return false;
    }
    DbStatement& lists = m_dm.dbMain.statement(QStringLiteral("quTenderSpis"));
    lists.setSql(QStringLiteral("SELECT KODSPIS, NAME FROM SPIS ORDER BY KODSPIS"));
    lists.open();
    QStringList names;
    QList<int> keys;
    for (lists.first(); !lists.eof(); lists.next()) {
        keys << lists.value(0).toInt();
        names << lists.value(1).toString();
    }
    lists.close();
    if (keys.isEmpty()) {
        m_prompter.error(QStringLiteral("Список ЛПУ не создан"));
        return false;
    }
    // Escape leaves the command: nothing has changed yet.
    const int chosen = m_prompter.choose(QStringLiteral("Разнарядка"), names, 0);
    if (chosen < 0 || chosen >= keys.size())
        return false;

    struct Member {
        double kod;
        int tip;
        QString name;
    };
    DbStatement& q = m_dm.dbMain.statement(QStringLiteral("quTenderSpisElmt"));
    q.setSql(
        QStringLiteral("SELECT KOD,TIP,UR,NAMEOBJ FROM SPISELMT WHERE KODSPIS = :K ORDER BY NPP"));
    q.setParam(QStringLiteral("K"), keys[chosen]);
    q.open();
    std::vector<Member> members;
    const bool empty = q.eof();
    for (q.first(); !q.eof(); q.next())
        if (q.value(2).toInt() != 1)
            members.push_back({q.value(0).toDouble(), q.value(1).toInt(), q.value(3).toString()});
    q.close();
    if (empty) {
        m_prompter.error(QStringLiteral("Список ЛПУ пустой"));
        return false;
    }

    m_model.readGeometry();
    // Columns kept for arbitrary content become data columns so that filling reaches
    // them; units, codes and row numbers keep their kinds.
    const int colSheet = m_model.colIdentSheet();
    const int lastCol = b.sheet(colSheet).lastCol();
    for (int c = kRequested; c <= lastCol; ++c)
        if (int(numberOr0(b.sheet(colSheet), 1, c)) == SpecialKind::Arbitrary)
            b.setNumber(colSheet, 1, c, 0);

    const int start = b.activeSheetIndex();
    if (!m_model.isInstanceSheet(start))
        return false;
    const QString title = b.sheet(start).text(kLastTitleRow, kFirstDataCol);
    const int header = m_model.lastHeaderRow();
    for (const Member& m : members) {
        const int at = b.activeSheetIndex();
        const int w = std::max(b.sheet(at).lastRow(), header + 1);
        m_sheets.insertSheet();
        m_model.readGeometry();
        b.setNumber(at, int(TitleRow::Object), kTitleValueCol, m.kod);
        b.setNumber(at, int(TitleRow::Object), kTitleExtraCol, m.tip);
        b.setText(at, int(TitleRow::Kind), kTitleValueCol, QStringLiteral("Объект"));
        b.setText(at, kLastTitleRow, kFirstDataCol, title + QStringLiteral(" - ") + m.name);
        if (!m_fillActive())
            return false;
        b.setActiveSheet(at);
        const Sheet& behind = b.sheet(at + 1);
        for (int r = header + 1; r <= w; ++r) {
            double price = 0;
            if (numberAt(behind, r, kSvodPrice, price))
                b.setNumber(at, r, kSvodPrice, price);
            else
                b.clearCell(at, r, kSvodPrice);
        }
        Sheet& sh = b.sheet(at);
        for (int r = header + 1; r <= w; ++r) {
            const double volume = numberOr0(sh, r, kSvodVolume);
            if (volume != 0)
                b.setNumber(at, r, kSvodCost, volume * numberOr0(sh, r, kSvodPrice));
            else
                sh.setRowHidden(r, true);
        }
    }
    const int active = b.activeSheetIndex();
    b.setFormat(active,
                CellRange(1, 1, std::max(1, b.sheet(active).lastRow()), std::max(1, lastCol)),
                [](CellFormat& f) { f.wordWrap = true; });
    SheetOptions o = b.sheet(active).options();
    o.activeRow = header + 1;
    o.activeCol = kFirstDataCol;
    o.selection = CellRange::cell(o.activeRow, o.activeCol);
    b.sheet(active).setOptions(o);
    return true;
}
