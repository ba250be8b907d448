#include "Recalculation.h"

#include "IdentModel.h"
#include "Prompter.h"
#include "formula/Recalculator.h"
#include "model/CellAddress.h"
#include "model/Workbook.h"

using namespace TableLayout;

namespace {

constexpr int kCircularNamed = 10;

QString itemName(Recalculation::Step step) {
    switch (step) {
    case Recalculation::Step::Rows:
        return QStringLiteral("Строки");
    case Recalculation::Step::Cols:
        return QStringLiteral("Колонки");
    case Recalculation::Step::Totals:
        break;
    }
    return QStringLiteral("Итоги");
}

} // namespace

Recalculation::Recalculation(IdentModel& model, Prompter& prompter, bool collectLevels)
    : m_model(model), m_prompter(prompter), m_formulas(model, prompter),
      m_totals(model, prompter, collectLevels) {}

QList<Recalculation::Step> Recalculation::stepsOf(int order) {
    using S = Step;
    switch (order) {
    case 2:
        return {S::Cols, S::Rows, S::Totals};
    case 3:
        return {S::Rows, S::Totals, S::Cols};
    case 4:
        return {S::Cols, S::Totals, S::Rows};
    case 5:
        return {S::Totals, S::Rows, S::Cols};
    case 6:
        return {S::Totals, S::Cols, S::Rows};
    default:
        return {S::Rows, S::Cols, S::Totals};
    }
}

QStringList Recalculation::itemsOf(int order) {
    QStringList items;
    for (Step s : stepsOf(order))
        items << itemName(s);
    return items;
}

int Recalculation::orderOf(const QString& first, const QString& second) {
    for (int order = 1; order <= 6; ++order) {
        const QStringList items = itemsOf(order);
        if (items[0] == first && items[1] == second)
            return order;
    }
    return 1;
}

int Recalculation::order() const {
    const int value = m_model.setting(Setting::RecalcOrder);
    return value >= 1 && value <= 6 ? value : 1;
}

void Recalculation::ThisPage(int sheet) {
    if (m_model.isInstanceSheet(sheet))
        run({sheet});
}

void Recalculation::AllPages() {
    QList<int> sheets;
    for (int s = 1; s <= m_model.instanceCount(); ++s)
        sheets << s;
    run(sheets);
}

void Recalculation::run(const QList<int>& sheets) {
    Workbook& book = m_model.book();
    book.beginUpdate();
    for (Step step : stepsOf(order())) {
        for (int s : sheets) {
            switch (step) {
            case Step::Rows:
                m_formulas.applyRows(s);
                break;
            case Step::Cols:
                m_formulas.applyCols(s);
                break;
            case Step::Totals:
                m_totals.CalcItogUD(s); // column totals first, then row totals
                break;
            }
        }
        settle();
    }
    book.endUpdate();
    report();
}

void Recalculation::settle() {
    Workbook& book = m_model.book();
    const size_t written = m_formulas.takeWritten() + m_totals.takeWritten();
    if (!book.recalculator().hasPending())
        return;
    // After writing more cells than there are formulas, computing every formula once is
    // cheaper than finding what each written cell reaches.
    if (written > book.recalculator().indexedFormulaCount())
        book.recalcAll();
    else
        book.recalc();
}

void Recalculation::report() {
    QStringList lines = m_formulas.problems();
    // Ordinary formulas of the body on a cycle show the engine's #VALUE!; the user is told
    // where, since the sheet alone does not say why.
    QStringList circular;
    const Workbook& book = m_model.book();
    for (const CellPosition& p : book.circularCells())
        if (m_model.isInstanceSheet(p.sheet))
            circular << book.sheet(p.sheet).name() + QLatin1Char('!') + cellName(p.row, p.col);
    if (!circular.isEmpty()) {
        const int total = int(circular.size());
        if (total > kCircularNamed) {
            circular = circular.mid(0, kCircularNamed);
            circular << QStringLiteral("… (всего %1)").arg(total);
        }
        lines << QStringLiteral("Циклические ссылки в формулах (#VALUE!): ") +
                     circular.join(QStringLiteral(", "));
    }
    if (!lines.isEmpty())
        m_prompter.info(lines.join(QStringLiteral("\r\n")));
}
