#include "TfmKisTabl.h"

#include "LineFormulas.h"
#include "Prompter.h"
#include "Recalculation.h"
#include "TBook.h"
#include "TFmPrior.h"
#include "TableLayout.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>

using namespace TableLayout;

void TfmKisTabl::buildCalcMenu(QMenu* calc) {
    calc->menuAction()->setObjectName(QStringLiteral("Calculations"));
    QAction* autoCalc = addAction(calc, QStringLiteral("AutoCalc"), QStringLiteral("Автопересчет"));
    autoCalc->setCheckable(true);
    autoCalc->setChecked(true);
    onCommand(autoCalc, [this, autoCalc] { Book->setAutoRecalc(autoCalc->isChecked()); });

    QMenu* recalc = calc->addMenu(QStringLiteral("Пересчет"));
    recalc->menuAction()->setObjectName(QStringLiteral("Recalculation"));
    onCommand(addAction(recalc, QStringLiteral("ThisPage"), QStringLiteral("Текущий лист")),
              [this] { cmRecalc(false); });
    onCommand(addAction(recalc, QStringLiteral("AllPages"), QStringLiteral("Все листы")),
              [this] { cmRecalc(true); });
    addAction(calc, QStringLiteral("MOperations"), QStringLiteral("Операции"), false);
    onCommand(addAction(calc, QStringLiteral("Prior"), QStringLiteral("Приоритет")),
              &TfmKisTabl::cmPrior);
    calc->addSeparator();

    QMenu* setFormula = calc->addMenu(QStringLiteral("Формула над..."));
    setFormula->menuAction()->setObjectName(QStringLiteral("SetFormula"));
    onCommand(addAction(setFormula, QStringLiteral("MformStr"), QStringLiteral("строкой")),
              [this] { cmSetFormula(true); });
    onCommand(addAction(setFormula, QStringLiteral("MformCol"), QStringLiteral("колонкой")),
              [this] { cmSetFormula(false); });
    QMenu* viewFormulas = calc->addMenu(QStringLiteral("Просмотр формул над..."));
    viewFormulas->menuAction()->setObjectName(QStringLiteral("FView"));
    addAction(viewFormulas, QStringLiteral("FViewSTR"), QStringLiteral("строками"));
    addAction(viewFormulas, QStringLiteral("FViewCOL"), QStringLiteral("колонками"));
    calc->addSeparator();

    struct Placement {
        const char* name;
        const char* caption;
        int value;
    };
    auto placements = [this](QMenu* menu, Setting setting, std::initializer_list<Placement> items) {
        auto* group = new QActionGroup(this);
        for (const Placement& p : items) {
            QAction* a = addAction(menu, QString::fromLatin1(p.name), QString::fromUtf8(p.caption));
            a->setCheckable(true);
            group->addAction(a);
            const int value = p.value;
            onCommand(a, [this, setting, value] { cmTotalsPlacement(int(setting), value); });
        }
    };
    QMenu* rowTotals = calc->addMenu(QStringLiteral("Итоги по строкам"));
    rowTotals->menuAction()->setObjectName(QStringLiteral("RowItog"));
    placements(rowTotals, Setting::RowTotals,
               {{"ItogUp", "Вверху", 1}, {"ItogDown", "Внизу", 2}, {"ItogNoRow", "Нет", 3}});
    QMenu* colTotals = calc->addMenu(QStringLiteral("Итоги по столбцам"));
    colTotals->menuAction()->setObjectName(QStringLiteral("ColItog"));
    placements(colTotals, Setting::ColTotals,
               {{"ItogRight", "Справа", 1}, {"ItogLeft", "Слева", 2}, {"ItogNoCol", "Нет", 3}});
}

void TfmKisTabl::cmRecalc(bool allPages) {
    // A long command: the control neither repaints nor reports selections meanwhile.
    const bool repaint = Book->repaint();
    const bool selChange = Book->doSelChange();
    Book->setRepaint(false);
    Book->setDoSelChange(false);
    Recalculation recalc(m_doc.model(), m_prompter, TFmPrior::FmPrior().collectLevels());
    if (allPages)
        recalc.AllPages();
    else
        recalc.ThisPage(m_book.activeSheetIndex());
    Book->setDoSelChange(selChange);
    Book->setRepaint(repaint);
    Book->viewport()->update();
}

void TfmKisTabl::cmPrior() {
    IdentModel& model = m_doc.model();
    const int order = TFmPrior::FmPrior().choose(Recalculation(model, m_prompter, false).order());
    if (order > 0)
        model.setSetting(Setting::RecalcOrder, order);
}

void TfmKisTabl::cmSetFormula(bool rows) {
    IdentModel& model = m_doc.model();
    const int sheet = m_book.activeSheetIndex();
    const int row = Book->activeRow();
    const int col = Book->activeCol();
    // The slot of a row or a column outside the body is service space of the layout.
    if (!model.isInstanceSheet(sheet) || row < model.firstBodyRow() || col < kFirstDataCol) {
        m_prompter.info(QStringLiteral("Формулу над строкой или колонкой задают в ячейке тела "
                                       "таблицы"));
        return;
    }
    LineFormulas formulas(model, m_prompter);
    if (rows)
        formulas.storeRowFormula(sheet, row, col);
    else
        formulas.storeColFormula(sheet, row, col);
}

void TfmKisTabl::cmTotalsPlacement(int setting, int value) {
    IdentModel& model = m_doc.model();
    if (model.setting(Setting(setting)) != value)
        model.setSetting(Setting(setting), value);
}
