#include "SheetTotals.h"

#include "IdentModel.h"
#include "Prompter.h"
#include "model/Workbook.h"

#include <QHash>
#include <QList>

#include <algorithm>

using namespace TableLayout;

SheetTotals::SheetTotals(IdentModel& model, Prompter& prompter)
    : m_model(model), m_prompter(prompter) {}

bool SheetTotals::run() {
    Workbook& book = m_model.book();
    const int instances = m_model.instanceCount();
    QList<int> levels(instances + 1, 0);
    for (int s = 1; s <= instances; ++s) {
        const QString text = book.sheet(s).text(int(TitleRow::Level), kTitleValueCol).trimmed();
        bool ok = false;
        const int level = text.toInt(&ok);
        if (!ok) {
            m_prompter.plain(QStringLiteral("В листе ") + QString::number(s) +
                             QStringLiteral(" неправильный номер уровня: ") + text);
            return false;
        }
        levels[s] = level;
    }
    if (instances < 1 || levels[instances] == 0) {
        m_prompter.plain(QStringLiteral("В листах таблицы не заданы уровни"));
        return false;
    }

    const int firstRow = m_model.firstBodyRow();
    int lastRow = firstRow - 1;
    int lastCol = kFirstDataCol - 1;
    for (int s = 1; s <= instances; ++s) {
        lastRow = std::max(lastRow, book.sheet(s).lastRow());
        lastCol = std::max(lastCol, book.sheet(s).lastCol());
    }
    QList<int> dataCols;
    for (int c = kFirstDataCol; c <= lastCol; ++c)
        if (m_model.isDataColumn(c))
            dataCols << c;

    QHash<quint64, double> sums;
    auto key = [](int r, int c) { return (quint64(r) << 16) | quint64(c); };
    const int deepest = *std::max_element(levels.begin() + 1, levels.end());

    book.beginUpdate();
    for (int level = deepest; level >= 2; --level) {
        for (int s = 1; s <= instances; ++s) {
            const Sheet& sheet = book.sheet(s);
            if (levels[s] == level) {
                for (const int c : dataCols)
                    for (int r = firstRow; r <= lastRow; ++r) {
                        const CellValue v = sheet.value(r, c);
                        if (v.type == CellValue::Number)
                            sums[key(r, c)] += v.number;
                    }
            } else if (levels[s] == level - 1 && s > 1 && levels[s - 1] == level) {
                for (const int c : dataCols)
                    for (int r = firstRow; r <= lastRow; ++r) {
                        // A total replaces what was typed, so its control condition must not
                        // refuse it.
                        if (sheet.ruleAt(r, c))
                            book.setValidation(s, CellRange::cell(r, c), QStringLiteral("1=1"),
                                               QStringLiteral(" "));
                        const double sum = sums.value(key(r, c), 0.0);
                        if (sum == 0)
                            book.clearCell(s, r, c);
                        else
                            book.setNumber(s, r, c, sum);
                    }
                sums.clear();
            }
        }
    }
    book.endUpdate();
    m_prompter.plain(QStringLiteral("Подсчет итогов завершен!"));
    return true;
}
