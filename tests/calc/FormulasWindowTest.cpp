#include "CalcWindowFixture.h"

#include <QElapsedTimer>

namespace {

class FormulasWindowTest : public CalcWindowFixture {};

} // namespace

TEST_F(FormulasWindowTest, ARowFormulaGivesEveryDataColumnItsOwnSumAsConstants) {
    open();
    values(101, {1, 2, 3});
    values(102, {10, 20, 30});
    storeFormula("MformStr", 105, 3, QStringLiteral("=C101+C102"));
    EXPECT_EQ(rowSlot(105), QStringLiteral("=W101+W102"));
    values(105, {0}); // the typed formula itself is gone before the recalculation
    trigger("ThisPage");
    EXPECT_TRUE(m_prompter.texts().isEmpty()) << m_prompter.lastText().toStdString();
    for (int col = 3; col <= 5; ++col) {
        EXPECT_EQ(sheet(1).type(105, col), 1) << col;
        EXPECT_EQ(num(105, col), num(101, col) + num(102, col)) << col;
    }
}

TEST_F(FormulasWindowTest, AColumnFormulaMultipliesInEveryRowAndSkipsSpecialRows) {
    open();
    values(101, {2, 3});
    values(102, {4, 5});
    values(103, {6, 7});
    book().setNumber(colSheet(), 103, kSettingsCol, 1); // row 103 carries a special kind
    storeFormula("MformCol", 101, 5, QStringLiteral("=C101*D101"));
    EXPECT_EQ(sheet(colSheet()).formula(lastHeader() + int(Slot::Formula), 5),
              QStringLiteral("=C121*D121"));
    trigger("ThisPage");
    EXPECT_EQ(num(101, 5), 6);
    EXPECT_EQ(num(102, 5), 20);
    EXPECT_EQ(sheet(1).type(103, 5), 0);
}

TEST_F(FormulasWindowTest, DivisionByZeroLeavesEmptyAndSpecialColumnsKeepTheirValues) {
    open();
    values(101, {1, 0, 5});
    values(102, {2, 0, 5});
    values(103, {9, 9, 9});
    columnKind(5, 1);
    storeFormula("MformStr", 103, 3, QStringLiteral("=C101/C102"));
    trigger("ThisPage");
    EXPECT_EQ(num(103, 3), 0.5);
    EXPECT_EQ(sheet(1).type(103, 4), 0);
    EXPECT_EQ(num(103, 5), 9);
}

TEST_F(FormulasWindowTest, ARowFormulaCopiedDownTheSlotsAddressesTheSameRelativeRows) {
    open();
    values(101, {1, 2});
    values(102, {10, 20});
    values(103, {100, 200});
    storeFormula("MformStr", 103, 3, QStringLiteral("=C101+C102"));
    // Copied down one row among the slots, as the user copies in the formula view.
    const int slotCol = rowSlotColumn(Slot::Formula);
    book().copyRange(book(), rowSheet(), CellRange::cell(103, slotCol), rowSheet(), 104, slotCol);
    EXPECT_EQ(rowSlot(104), QStringLiteral("=W102+W103"));
    trigger("ThisPage");
    EXPECT_EQ(num(103, 3), 11);
    EXPECT_EQ(num(104, 3), 21); // 10 + the new 11
    EXPECT_EQ(num(104, 4), 42);
}

TEST_F(FormulasWindowTest, TheOrderDecidesWhetherTotalsAndFormulasSeeEachOther) {
    // Row 101 totals 102 and 103; row 103 is a formula over row 104; row 105, a share of
    // the total. Order 1 (rows first) gives the total the formula's value; order 5 (totals
    // first) gives the total the formula's old value and the share the new total.
    auto run = [this](int order) {
        open();
        rowLevel(101, 1);
        rowLevel(102, 2);
        rowLevel(103, 2);
        values(102, {30});
        values(103, {0});
        values(104, {70});
        values(101, {1});
        storeFormula("MformStr", 103, 3, QStringLiteral("=C104"));
        values(103, {0});
        storeFormula("MformStr", 105, 3, QStringLiteral("=C102/C101*100"));
        book().setNumber(rowSheet(), int(Setting::RecalcOrder), kSettingsCol, order);
        trigger("ThisPage");
    };
    run(1);
    EXPECT_EQ(num(101, 3), 100);
    EXPECT_EQ(num(105, 3), 3000); // the share saw the total's old 1
    run(5);
    EXPECT_EQ(num(101, 3), 30);
    EXPECT_EQ(num(103, 3), 70);
    EXPECT_EQ(num(105, 3), 100);
}

TEST_F(FormulasWindowTest, AllPagesRunsEachStepOverEverySheetBeforeTheNext) {
    open(3);
    const QStringList names = {sheet(1).name(), sheet(2).name(), sheet(3).name()};
    rowLevel(101, 1);
    rowLevel(102, 2);
    for (int s = 1; s <= 3; ++s) {
        values(101, {1}, s);
        values(102, {10.0 * s}, s);
    }
    // Row 103 of each sheet reads the total of sheet 1: with rows before totals every sheet
    // sees its old value, even the sheets computed after sheet 1's turn.
    storeFormula("MformStr", 103, 3, QStringLiteral("='%1'!C101").arg(names[0]));
    trigger("AllPages");
    EXPECT_EQ(m_prompter.texts(), QStringList());
    for (int s = 1; s <= 3; ++s) {
        EXPECT_EQ(num(101, 3, s), 10 * s);
        EXPECT_EQ(num(103, 3, s), 1) << s;
    }
}

TEST_F(FormulasWindowTest, CircularFormulasAreToldAndDoNotHang) {
    open();
    values(101, {1, 2});
    storeFormula("MformStr", 102, 3, QStringLiteral("=C101+C102"));
    // Row 104 reads row 105, whose ordinary formulas read row 104 back.
    storeFormula("MformStr", 104, 3, QStringLiteral("=C105"));
    book().setEntry(1, 105, 3, QStringLiteral("=C104*2"));
    book().setEntry(1, 105, 4, QStringLiteral("=D104*2"));
    values(104, {7, 7});
    // Two ordinary cells that read each other.
    book().setEntry(1, 110, 3, QStringLiteral("=C111+1"));
    book().setEntry(1, 111, 3, QStringLiteral("=C110+1"));
    QElapsedTimer timer;
    timer.start();
    trigger("ThisPage");
    EXPECT_LT(timer.elapsed(), 5000);
    for (int col : {3, 4}) {
        EXPECT_EQ(sheet(1).type(102, col), 0);
        EXPECT_EQ(sheet(1).type(104, col), 0); // not 14, its own old value doubled
        EXPECT_EQ(num(105, col), 0);
    }
    EXPECT_EQ(sheet(1).text(110, 3), QStringLiteral("#VALUE!"));
    EXPECT_EQ(
        m_prompter.texts(),
        QStringList(QStringLiteral("Формула над строкой 102 образует циклическую ссылку\r\n"
                                   "Формула над строкой 104 образует циклическую ссылку\r\n"
                                   "Циклические ссылки в формулах (#VALUE!): %1!C110, %1!C111")
                        .arg(sheet(1).name())));
}

TEST_F(FormulasWindowTest, FormulasTheEngineCannotComputeAreRefused) {
    open();
    storeFormula("MformStr", 105, 3, QStringLiteral("=SUMM(C101:C102)"));
    EXPECT_EQ(m_prompter.lastText(),
              QStringLiteral("Неизвестная функция в формуле =SUMM(C101:C102): SUMM"));
    EXPECT_EQ(rowSlot(105), QString());
    // Whole-column references do not compile: the cell keeps the text typed.
    storeFormula("MformStr", 105, 3, QStringLiteral("=SUM(C:C)"));
    EXPECT_EQ(m_prompter.lastText(), QStringLiteral("Формула не распознана: =SUM(C:C)"));
    storeFormula("MformCol", 105, 3, QStringLiteral("12"));
    EXPECT_EQ(m_prompter.lastText(), QStringLiteral("В ячейке нет формулы: 12"));
    // A reference that falls off the sheet when the formula moves into its slot.
    storeFormula("MformCol", 105, 3, QStringLiteral("=C16384"));
    EXPECT_TRUE(m_prompter.lastText().startsWith(
        QStringLiteral("Формула ссылается на несуществующую ячейку: ")))
        << m_prompter.lastText().toStdString();
    EXPECT_EQ(sheet(colSheet()).type(lastHeader() + int(Slot::Formula), 3), 0);
    // Outside the body.
    storeFormula("MformStr", 100, 3, QStringLiteral("=C101"));
    EXPECT_EQ(m_prompter.lastText(),
              QStringLiteral("Формулу над строкой или колонкой задают в ячейке тела таблицы"));

    // What is typed into a slot by hand is judged when it is applied.
    m_prompter.clear();
    values(106, {5, 5});
    book().setEntry(rowSheet(), 106, rowSlotColumn(Slot::Formula), QStringLiteral("=FOO(W101)"));
    trigger("ThisPage");
    EXPECT_EQ(m_prompter.texts(),
              QStringList(QStringLiteral("Формула над строкой 106 не вычислена. Неизвестная "
                                         "функция в формуле =FOO(W101): FOO")));
    EXPECT_EQ(num(106, 3), 5);
    // An empty cell stored over a row removes the row's formula.
    book().clearCell(1, 106, 3);
    w->Book->setActiveCell(106, 3);
    trigger("MformStr");
    EXPECT_EQ(sheet(rowSheet()).type(106, rowSlotColumn(Slot::Formula)), 0);
}

TEST_F(FormulasWindowTest, PriorityWindowMovesAnItemOnePlacePerClickAndStoresTheOrder) {
    open();
    TFmPrior& prior = TFmPrior::FmPrior();
    QTimer::singleShot(0, &prior, [&prior] {
        EXPECT_EQ(prior.windowTitle(), QStringLiteral("Установка порядка пересчета"));
        EXPECT_EQ(prior.ListBox1->item(0)->text(), QStringLiteral("Строки"));
        prior.ListBox1->setCurrentRow(2); // "Итоги"
        EXPECT_EQ(prior.UpDown1->value(), 2);
        prior.UpDown1->stepDown();
        EXPECT_EQ(prior.ListBox1->item(1)->text(), QStringLiteral("Итоги"));
        prior.UpDown1->stepDown();
        EXPECT_EQ(prior.ListBox1->item(0)->text(), QStringLiteral("Итоги"));
        EXPECT_EQ(prior.ListBox1->currentRow(), 0);
        prior.bApply->click();
    });
    trigger("Prior");
    EXPECT_EQ(setting(Setting::RecalcOrder), 5); // totals, rows, columns

    QTimer::singleShot(0, &prior, [&prior] {
        EXPECT_EQ(prior.ListBox1->item(0)->text(), QStringLiteral("Итоги"));
        EXPECT_EQ(prior.ListBox1->item(1)->text(), QStringLiteral("Строки"));
        prior.UpDown1->stepUp(); // "Строки" and "Итоги" trade places, then "Отменить"
        prior.bCancel->click();
    });
    trigger("Prior");
    EXPECT_EQ(setting(Setting::RecalcOrder), 5);
}

TEST_F(FormulasWindowTest, BodyFormulasAreCurrentBeforeTheNextLineAndTheNextStepReadThem) {
    open();
    values(101, {1, 2});
    storeFormula("MformStr", 102, 3, QStringLiteral("=C101*2"));
    // An ordinary formula of the body between two formulas over rows.
    book().setEntry(1, 103, 3, QStringLiteral("=C102+1"));
    book().setEntry(1, 103, 4, QStringLiteral("=D102+1"));
    storeFormula("MformStr", 104, 3, QStringLiteral("=C103*10"));
    book().setEntry(1, 103, 3, QStringLiteral("=C102+1")); // storing took the cell's formula
    // Row 105 totals 102 and 103 after the formulas (order 1).
    rowLevel(105, 1);
    rowLevel(106, 2);
    values(106, {0.5});
    book().setEntry(1, 106, 4, QStringLiteral("=D103"));
    trigger("ThisPage");
    EXPECT_EQ(num(102, 3), 2);
    EXPECT_EQ(num(103, 3), 3);
    EXPECT_EQ(num(104, 3), 30);
    EXPECT_EQ(num(104, 4), 50);
    // Totals below nothing: the placement is "Вверху", so 105 totals 106 alone, which reads
    // row 103 as the row formulas left it.
    EXPECT_EQ(num(105, 3), 0.5);
    EXPECT_EQ(num(105, 4), 5);
}

TEST_F(FormulasWindowTest, AutomaticRecalculationFollowsItsMenuItem) {
    open();
    book().setNumber(1, 101, 3, 1);
    book().setEntry(1, 102, 3, QStringLiteral("=C101*2"));
    EXPECT_TRUE(act("AutoCalc")->isChecked());
    trigger("AutoCalc");
    EXPECT_FALSE(w->Book->autoRecalc());
    book().setNumber(1, 101, 3, 5);
    EXPECT_EQ(num(102, 3), 2);
    trigger("AutoCalc");
    EXPECT_TRUE(w->Book->autoRecalc());
    EXPECT_EQ(num(102, 3), 10);
}

TEST_F(FormulasWindowTest, ARowFormulaFollowsRowsInsertedAboveAndBetweenItsRows) {
    open();
    values(101, {1});
    values(102, {10});
    storeFormula("MformStr", 105, 3, QStringLiteral("=C101+C102"));
    // A row between the two it adds, on the instance sheet and the row identification sheet.
    for (int s : {1, rowSheet()})
        book().insertRows(s, 102, 1);
    values(102, {500});
    EXPECT_EQ(rowSlot(106), QStringLiteral("=W101+W103"));
    trigger("ThisPage");
    EXPECT_EQ(num(106, 3), 11);
    EXPECT_EQ(sheet(1).type(105, 3), 0);
}
