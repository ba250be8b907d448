#pragma once

#include "IdentContext.h"

#include <QString>
#include <QStringList>

#include <optional>

class InstanceSheets;

// The line "Специальная идентификация" works on: a header row or a body column, and the
// kind stored for it on the column identification sheet.
struct SpecialLine {
    bool headerRow = false;
    int index = 0; // the row of a header row, the column of a body column
    int storedKind = 0;
};

// Special identification of a header row or a body column: its kind is stored on the
// column identification sheet and its cells on every instance sheet are filled with row
// numbers, units or codes taken from the identification sheets.
class SpecialIdentification {
public:
    // Choices of the dialog, in order; the index of a kind 1 … 10 is the kind itself,
    // index 0 is the numbering with a step.
    static QStringList kindCaptions();
    static constexpr int kNumbering = 0;
    static constexpr int kArbitrary = 10;
    static constexpr int kMaxStep = 1000;

    SpecialIdentification(IdentContext& ctx, InstanceSheets& sheets);

    // Msved: the line under the cursor, or a message and nothing outside the header rows
    // and the body columns.
    std::optional<SpecialLine> begin();
    static QString dialogCaption(const SpecialLine& line);
    // The dialog's choice for the stored kind (-1 none) and the step of a numbering.
    static int choiceOf(int kind);
    static int stepOf(int kind);

    // "Применить" with the chosen index (-1 none) and step; "Убрать" applies -1.
    void apply(const SpecialLine& line, int choice, int step);

    // The cells of the line: body rows of a column, side … last column of a header row.
    int firstCell(const SpecialLine& line) const;
    int lastCell(const SpecialLine& line) const;

private:
    void fill(const SpecialLine& line, int choice, int step);
    void clearLine(const SpecialLine& line);
    void storeKind(const SpecialLine& line, int kind);
    // The cell of the identification sheets a code or the unit is copied from.
    void copySource(const SpecialLine& line, int choice, int at, int& sheet, int& row,
                    int& col) const;

    IdentContext& m_ctx;
    InstanceSheets& m_sheets;
};
