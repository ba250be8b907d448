#pragma once

#include <QList>
#include <QString>

#include <cstddef>
#include <utility>

class IdentModel;
class Prompter;
class Sheet;

// Row and column totals of one instance sheet. Every body row and data column may carry a
// level (the "Уровень" slot); a total line receives the sum of the lines one level deeper
// that belong to it, from the deepest level up. Where a total stands is the table's setting
// (rows: 1 above, 2 below, 3 none; columns: 1 right, 2 left, 3 none).
class LineTotals {
public:
    LineTotals(IdentModel& model, Prompter& prompter, bool collectLevels);

    // Row totals; column totals are computed first.
    void CalcItogUD(int sheet);
    // Column totals.
    void CalcItogLR(int sheet);

    // Cells written since the last call.
    size_t takeWritten() { return std::exchange(m_written, 0); }

private:
    struct Axis;
    void run(Axis& axis, bool totalFirst);
    bool checkLevels(const Axis& axis, bool totalFirst);

    IdentModel& m_model;
    Prompter& m_prompter;
    bool m_collect;        // "Собрать уровни": a total's own value joins the sum
    QList<QString> m_told; // level messages already shown in this run
    size_t m_written = 0;
};
