#include "PeriodPicker.h"

#include "Prompter.h"
#include "StoragePeriods.h"

#include <algorithm>

PeriodPicker::PeriodPicker(Prompter& prompter) : m_prompter(prompter) {}

QStringList PeriodPicker::monthNames() {
    return {QStringLiteral("Январь"),  QStringLiteral("Февраль"), QStringLiteral("Март"),
            QStringLiteral("Апрель"),  QStringLiteral("Май"),     QStringLiteral("Июнь"),
            QStringLiteral("Июль"),    QStringLiteral("Август"),  QStringLiteral("Сентябрь"),
            QStringLiteral("Октябрь"), QStringLiteral("Ноябрь"),  QStringLiteral("Декабрь")};
}

void PeriodPicker::activate(const StoragePeriods& periods) {
    m_oper = periods.oper.years;
    m_dolg = periods.dolg.years;
    std::sort(m_oper.begin(), m_oper.end());
    std::sort(m_dolg.begin(), m_dolg.end());
    m_operIndex = -1;
    m_months.clear();
    m_dolgSelected.clear();
    m_apply = false;
}

void PeriodPicker::chooseOperYear(int index) {
    if (index < 0 || index >= m_oper.size())
        return;
    m_dolgSelected.clear();
    if (index != m_operIndex)
        m_months.clear();
    m_operIndex = index;
    m_apply = false;
}

bool PeriodPicker::monthsClicked(const QList<int>& months) {
    if (m_operIndex < 0) {
        m_months.clear();
        m_apply = false;
        m_prompter.error(noYearMessage());
        return false;
    }
    m_months = months;
    std::sort(m_months.begin(), m_months.end());
    m_months.erase(std::unique(m_months.begin(), m_months.end()), m_months.end());
    m_apply = !m_months.isEmpty();
    return true;
}

void PeriodPicker::dolgClicked(const QList<int>& indexes) {
    m_operIndex = -1;
    m_months.clear();
    m_dolgSelected = indexes;
    std::sort(m_dolgSelected.begin(), m_dolgSelected.end());
    m_apply = !m_dolgSelected.isEmpty();
}

QList<PickedEntry> PeriodPicker::entries() const {
    QList<PickedEntry> list;
    if (m_operIndex >= 0) {
        const int year = m_oper[m_operIndex];
        for (int m : m_months) {
            PickedEntry e;
            e.value = MonthEntry(m, year);
            e.name = monthNames().value(m - 1);
            e.monthly = true;
            list << e;
        }
        return list;
    }
    for (int i : m_dolgSelected) {
        if (i < 0 || i >= m_dolg.size())
            continue;
        PickedEntry e;
        e.value = QString::number(m_dolg[i]);
        e.name = e.value;
        list << e;
    }
    return list;
}
