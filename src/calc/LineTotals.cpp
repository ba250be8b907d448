#include "LineTotals.h"

#include "IdentModel.h"
#include "Prompter.h"
#include "model/CellAddress.h"
#include "model/Formula.h"
#include "model/Workbook.h"

#include <QStringList>

#include <algorithm>
#include <vector>

using namespace TableLayout;

namespace {

// A cell's number as totals see it: numbers and formula results, everything else 0.
double numberAt(const Sheet& s, int row, int col) {
    const Cell* c = s.cell(row, col);
    if (!c)
        return 0;
    if (c->kind == CellKind::Number)
        return c->number;
    if (c->kind == CellKind::Formula && c->formula->value.type == CellValue::Number)
        return c->formula->value.number;
    return 0;
}

// A level slot read as an integer; blank or text that is no number gives 0.
int levelAt(const Sheet& s, int row, int col) {
    const Cell* c = s.cell(row, col);
    if (!c)
        return 0;
    if (c->kind == CellKind::Text)
        return c->text->trimmed().toInt();
    const double v = numberAt(s, row, col);
    return v > -1e9 && v < 1e9 ? int(v) : 0;
}

} // namespace

// The lines being totalled (rows or columns) and the lines across them.
struct LineTotals::Axis {
    bool rows = true;
    Workbook* book = nullptr;
    int sheet = 0;
    std::vector<int> lines;         // workbook row or column numbers
    std::vector<int> levels;        // per line
    std::vector<bool> lineSpecial;  // per line
    std::vector<int> cross;         // the other direction
    std::vector<bool> crossSpecial; // per cross line

    std::vector<double> values; // line by line, read once in the sheet's row order

    void load() {
        const Sheet& s = book->sheet(sheet);
        const size_t width = cross.size();
        values.assign(lines.size() * width, 0.0);
        if (rows) {
            for (size_t i = 0; i < lines.size(); ++i)
                for (size_t x = 0; x < width; ++x)
                    values[i * width + x] = numberAt(s, lines[i], cross[x]);
        } else {
            for (size_t x = 0; x < width; ++x)
                for (size_t i = 0; i < lines.size(); ++i)
                    values[i * width + x] = numberAt(s, cross[x], lines[i]);
        }
    }
    double read(size_t line, size_t x) const { return values[line * cross.size() + x]; }
    void write(size_t line, size_t x, double v) {
        values[line * cross.size() + x] = v;
        if (rows)
            book->setNumber(sheet, lines[line], cross[x], v);
        else
            book->setNumber(sheet, cross[x], lines[line], v);
    }
    QString name(size_t line) const {
        return rows ? QString::number(lines[line]) : columnName(lines[line]);
    }
};

LineTotals::LineTotals(IdentModel& model, Prompter& prompter, bool collectLevels)
    : m_model(model), m_prompter(prompter), m_collect(collectLevels) {}

namespace {

int lastBodyRow(const IdentModel& m, int sheet) {
    const Workbook& b = m.book();
    return std::max(
        {b.sheet(sheet).lastRow(), b.sheet(m.rowIdentSheet()).lastRow(), m.firstBodyRow() - 1});
}

int lastDataCol(const IdentModel& m, int sheet) {
    const Workbook& b = m.book();
    return std::max(
        {b.sheet(sheet).lastCol(), b.sheet(m.colIdentSheet()).lastCol(), kFirstDataCol - 1});
}

} // namespace

void LineTotals::CalcItogUD(int sheet) {
    CalcItogLR(sheet);
    const int placement = m_model.setting(Setting::RowTotals);
    if (placement != 1 && placement != 2)
        return;
    Axis a;
    a.rows = true;
    a.book = &m_model.book();
    a.sheet = sheet;
    const Sheet& rowSheet = a.book->sheet(m_model.rowIdentSheet());
    const int levelCol = rowSlotColumn(Slot::Level);
    const int lastRow = lastBodyRow(m_model, sheet);
    const int lastCol = lastDataCol(m_model, sheet);
    for (int r = m_model.firstBodyRow(); r <= lastRow; ++r) {
        a.lines.push_back(r);
        a.levels.push_back(levelAt(rowSheet, r, levelCol));
        a.lineSpecial.push_back(m_model.headerRowSpecialKind(r) != 0);
    }
    for (int c = kFirstDataCol; c <= lastCol; ++c) {
        a.cross.push_back(c);
        a.crossSpecial.push_back(!m_model.isDataColumn(c));
    }
    run(a, placement == 1);
}

void LineTotals::CalcItogLR(int sheet) {
    const int placement = m_model.setting(Setting::ColTotals);
    if (placement != 1 && placement != 2)
        return;
    Axis a;
    a.rows = false;
    a.book = &m_model.book();
    a.sheet = sheet;
    const Sheet& colSheet = a.book->sheet(m_model.colIdentSheet());
    const int levelRow = m_model.colSlotRow(Slot::Level);
    const int lastRow = lastBodyRow(m_model, sheet);
    const int lastCol = lastDataCol(m_model, sheet);
    for (int c = kFirstDataCol; c <= lastCol; ++c) {
        a.lines.push_back(c);
        a.levels.push_back(levelAt(colSheet, levelRow, c));
        a.lineSpecial.push_back(!m_model.isDataColumn(c));
    }
    for (int r = m_model.firstBodyRow(); r <= lastRow; ++r) {
        a.cross.push_back(r);
        a.crossSpecial.push_back(m_model.headerRowSpecialKind(r) != 0);
    }
    // "Слева" puts the total before its components.
    run(a, placement == 2);
}

bool LineTotals::checkLevels(const Axis& a, bool totalFirst) {
    QStringList wrong;
    const size_t n = a.lines.size();
    if (totalFirst) {
        for (size_t i = 0; i + 1 < n; ++i)
            if (a.levels[i] > 0 && a.levels[i + 1] > 0 && a.levels[i + 1] - a.levels[i] > 1)
                wrong << a.name(i + 1);
    } else {
        for (size_t i = n; i-- > 1;)
            if (a.levels[i] > 0 && a.levels[i - 1] > 0 && a.levels[i - 1] - a.levels[i] > 1)
                wrong << a.name(i - 1);
    }
    if (wrong.isEmpty())
        return true;
    const QString text = (a.rows ? QStringLiteral("Неправильный номер уровня в строке ")
                                 : QStringLiteral("Неправильный номер уровня в столбце ")) +
                         wrong.join(QLatin1Char(','));
    // The levels are the table's, the same on every sheet: one message per run is enough.
    if (!m_told.contains(text)) {
        m_told << text;
        m_prompter.info(text);
    }
    return false;
}

void LineTotals::run(Axis& a, bool totalFirst) {
    // A wrong level is reported; the totals are computed all the same.
    checkLevels(a, totalFirst);
    int deepest = 1;
    for (int level : a.levels)
        deepest = std::max(deepest, level);
    if (deepest <= 1)
        return;

    const size_t n = a.lines.size();
    const size_t width = a.cross.size();
    // Formulas of the sheet are not recomputed while totals are written, so the values read
    // once serve the whole run.
    a.load();
    std::vector<double> acc(width, 0.0);
    auto add = [&](size_t line) {
        for (size_t x = 0; x < width; ++x)
            acc[x] += a.read(line, x);
    };
    auto enter = [&](size_t line) {
        for (size_t x = 0; x < width; ++x) {
            if (!a.lineSpecial[line] && !a.crossSpecial[x] && acc[x] != 0) {
                if (m_collect)
                    acc[x] += a.read(line, x);
                a.write(line, x, acc[x]);
                ++m_written;
            }
            acc[x] = 0;
        }
    };

    Workbook& book = *a.book;
    book.beginUpdate();
    for (int r = deepest; r >= 2; --r) {
        if (totalFirst) {
            for (size_t i = n; i-- > 0;) {
                if (a.levels[i] == r)
                    add(i);
                else if (a.levels[i] == r - 1 && i + 1 < n && a.levels[i + 1] == a.levels[i] + 1)
                    enter(i);
            }
        } else {
            for (size_t i = 0; i + 1 < n; ++i) {
                if (a.levels[i] == r)
                    add(i);
                if (a.levels[i + 1] == r - 1 && a.levels[i] == a.levels[i + 1] + 1)
                    enter(i + 1);
            }
        }
    }
    book.endUpdate();
}
