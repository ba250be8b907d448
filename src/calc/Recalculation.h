#pragma once

#include "LineFormulas.h"
#include "LineTotals.h"

#include <QList>
#include <QStringList>

class IdentModel;
class Prompter;

// "Пересчет": formulas over rows, formulas over columns and totals in the table's order
// (the settings column, row 8), on the active instance sheet or on all of them, each step
// over every sheet before the next step starts.
class Recalculation {
public:
    enum class Step { Rows, Cols, Totals };

    Recalculation(IdentModel& model, Prompter& prompter, bool collectLevels);

    // The six orders: 1 rows, columns, totals … 6 totals, columns, rows.
    static QList<Step> stepsOf(int order);
    // "Строки", "Колонки", "Итоги" in the order's sequence.
    static QStringList itemsOf(int order);
    // The order whose sequence starts with these two items; 1 when there is none.
    static int orderOf(const QString& first, const QString& second);
    // The table's order, 1 when absent or out of range.
    int order() const;

    void ThisPage(int sheet);
    void AllPages();

private:
    void run(const QList<int>& sheets);
    void report();
    // Brings the workbook's own formulas up to date after a step.
    void settle();

    IdentModel& m_model;
    Prompter& m_prompter;
    LineFormulas m_formulas;
    LineTotals m_totals;
};
