#pragma once

#include "ControlConditions.h"

class Prompter;

// "Контроль": checks the body of one instance sheet against every row and column
// condition and writes each violation into the protocol. The conditions are given to
// the spreadsheet as validation rules over their lines, so relative references move
// with the tested cell; no rule is left behind.
class ControlRun {
public:
    ControlRun(ControlConditions& conditions, Prompter& prompter, ProtocolText& protocol);

    // The number of violations; with none, "Ошибки не обнаружены" has been shown.
    int run(int sheet, const QString& tableCaption);

private:
    QString pageTitle(int sheet) const;
    void fillEmptyCells(int sheet, int lastCol);
    void testCell(int sheet, int row, int col);

    ControlConditions& m_conditions;
    Prompter& m_prompter;
    ProtocolText& m_protocol;
    QString m_header;
    int m_violations = 0;
};
