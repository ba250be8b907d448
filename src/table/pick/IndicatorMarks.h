#pragma once

#include "PickedEntry.h"

#include <QList>

#include <algorithm>

// The indicators chosen in the indicator picker, in the order they were marked. Unmarking
// closes the gap; the list survives switching rubrics.
class IndicatorMarks {
public:
    bool isMarked(int code) const { return indexOf(code) >= 0; }
    // Marks or unmarks; returns whether the indicator is marked afterwards.
    bool toggle(const PickedEntry& e) {
        const int i = indexOf(e.code);
        if (i >= 0) {
            m_chosen.removeAt(i);
            return false;
        }
        m_chosen.append(e);
        return true;
    }
    // "Отобрать все показатели раздела": the unmarked ones join in list order.
    void markAll(const QList<PickedEntry>& listed) {
        for (const PickedEntry& e : listed)
            if (!isMarked(e.code))
                m_chosen.append(e);
    }
    void clear() { m_chosen.clear(); }
    bool isEmpty() const { return m_chosen.isEmpty(); }
    const QList<PickedEntry>& chosen() const { return m_chosen; }

private:
    int indexOf(int code) const {
        const auto it = std::find_if(m_chosen.begin(), m_chosen.end(),
                                     [code](const PickedEntry& e) { return e.code == code; });
        return it == m_chosen.end() ? -1 : int(it - m_chosen.begin());
    }
    QList<PickedEntry> m_chosen;
};
