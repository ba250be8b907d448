#pragma once

#include <QString>
#include <QStringList>

#include <cstddef>
#include <utility>

class IdentModel;
class Prompter;
class Sheet;
struct FormulaCode;

// Formulas over rows and columns. A row's formula lives in its slot on the row
// identification sheet (column 23), a column's in its slot on the column identification
// sheet (row H+21); each is written for the slot's own cell, so its relative references
// address the same relative cells wherever it is applied. Applying one leaves constants.
class LineFormulas {
public:
    LineFormulas(IdentModel& model, Prompter& prompter);

    // "Формула над строкой" / "колонкой": the formula of cell (row, col) of `sheet` goes
    // into the row's or the column's slot; an empty cell removes it. False when refused
    // (the user has been told why).
    bool storeRowFormula(int sheet, int row, int col);
    bool storeColFormula(int sheet, int row, int col);

    // Every formula over rows (columns) computed into the body of an instance sheet.
    void applyRows(int sheet);
    void applyCols(int sheet);

    // Cells written since the last call.
    size_t takeWritten() { return std::exchange(m_written, 0); }

    // What could not be computed while applying, one sentence each, in the order found.
    const QStringList& problems() const { return m_problems; }

    // Why a formula cannot serve as a formula over a line; empty when it can.
    static QString unsupported(const Sheet& sheet, int row, int col);

private:
    bool store(int sheet, int row, int col, int toSheet, int toRow, int toCol);
    void apply(int sheet, bool rows);
    void problem(const QString& text);

    IdentModel& m_model;
    Prompter& m_prompter;
    QStringList m_problems;
    size_t m_written = 0;
};
