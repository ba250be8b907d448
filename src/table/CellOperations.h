#pragma once

#include "model/CellAddress.h"

#include <QString>

#include <vector>

class Prompter;
class Workbook;

// "Операции": the numbers of the selection multiplied, divided, added to or lessened by a
// number, or turned into their share of the largest of them ("Удельный вес"). The numbers
// are taken when the window opens; the change is one undo step.
class CellOperations {
public:
    enum Op { Multiply, Divide, Add, Subtract, Share };

    CellOperations(Workbook& book, int sheet, const CellRange& selection);

    double base() const { return m_base; }
    // False with a message when the number is refused; the cells are then unchanged.
    bool apply(Op op, const QString& number, Prompter& prompter);

    static QString needNumber() { return QStringLiteral("Необходимо ввести число"); }
    static QString notNumber() { return QStringLiteral("Веедено не число"); }
    static QString divisionByZero() { return QStringLiteral("Делить на ноль нельзя"); }

private:
    struct Taken {
        int row, col;
        double value;
    };
    Workbook& m_book;
    int m_sheet;
    std::vector<Taken> m_numbers;
    double m_base = 0;
};
