#pragma once

#include "TableWindowFixture.h"

#include "TFmPrior.h"

#include <QCheckBox>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>

using namespace TableLayout;

// The table editor with the helpers the calculation tests share: levels, placements and
// formulas written where the identification keeps them.
class CalcWindowFixture : public TableWindowFixture {
protected:
    void TearDown() override { TFmPrior::FmPrior().SborUr->setChecked(false); }

    void rowLevel(int row, int level) {
        book().setNumber(rowSheet(), row, rowSlotColumn(Slot::Level), level);
    }
    void colLevel(int col, int level) {
        book().setNumber(colSheet(), lastHeader() + int(Slot::Level), col, level);
    }
    void columnKind(int col, int kind) { book().setNumber(colSheet(), 1, col, kind); }
    // Values typed into a body row from column C on, on sheet `s`.
    void values(int row, std::initializer_list<double> xs, int s = 1) {
        int col = kFirstDataCol;
        for (double x : xs)
            book().setNumber(s, row, col++, x);
    }
    double num(int row, int col, int s = 1) { return sheet(s).number(row, col); }
    int setting(Setting s) { return int(sheet(rowSheet()).number(int(s), kSettingsCol)); }
    // The user types a formula into a body cell and stores it over its row or column.
    void storeFormula(const char* command, int row, int col, const QString& formula) {
        book().setEntry(1, row, col, formula);
        w->Book->setActiveCell(row, col);
        trigger(command);
    }
    QString rowSlot(int row) {
        return sheet(rowSheet()).formula(row, rowSlotColumn(Slot::Formula));
    }
};
