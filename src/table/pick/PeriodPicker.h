#pragma once

#include "PickedEntry.h"

#include <QList>
#include <QStringList>

#include <array>

class Prompter;
struct StoragePeriods;

// The logic of the period picker "Периоды хранения в фондах данных": the operational
// years with the twelve months on one page, the long-term years on the other, and the
// rules that keep the two pages from mixing.
class PeriodPicker {
public:
    explicit PeriodPicker(Prompter& prompter);

    // On activation: both year lists from the storage periods (sorted), nothing chosen,
    // "Применить" disabled.
    void activate(const StoragePeriods& periods);

    const QList<int>& operYears() const { return m_oper; }
    const QList<int>& dolgYears() const { return m_dolg; }
    static QStringList monthNames();

    // lbOperG: a year chosen (index into operYears).
    void chooseOperYear(int index);
    // lbOperM clicked with these months (1 … 12) selected. False: no year is chosen, the
    // user was told and the months are deselected (the focus goes to the year list).
    bool monthsClicked(const QList<int>& months);
    // lbDolg clicked with these indexes (into dolgYears) selected.
    void dolgClicked(const QList<int>& indexes);

    int operYearIndex() const { return m_operIndex; }
    const QList<int>& months() const { return m_months; }
    const QList<int>& dolgSelected() const { return m_dolgSelected; }
    bool applyEnabled() const { return m_apply; }

    // The picked periods in order: months ascending of the chosen year, else the chosen
    // long-term years in list order.
    QList<PickedEntry> entries() const;

    static QString noYearMessage() { return QStringLiteral("Не выбран год"); }

private:
    Prompter& m_prompter;
    QList<int> m_oper;
    QList<int> m_dolg;
    int m_operIndex = -1;
    QList<int> m_months;
    QList<int> m_dolgSelected;
    bool m_apply = false;
};
