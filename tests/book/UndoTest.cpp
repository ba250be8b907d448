#include "model/Workbook.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <functional>
#include <random>

namespace {

// Everything a user could see of the workbook, as text: entries, values, formats, line
// properties, merged ranges and the sheet list.
QString dump(const Workbook& b) {
    QStringList out;
    for (int i = 1; i <= b.sheetCount(); ++i) {
        const Sheet& s = b.sheet(i);
        out << QStringLiteral("sheet %1").arg(s.name());
        s.cells().forEach([&](int r, int c, const Cell& cell) {
            if (!cell.hasContent() && cell.format == 0)
                return;
            out << QStringLiteral("%1,%2 [%3] {%4} %5")
                       .arg(r)
                       .arg(c)
                       .arg(s.entry(r, c), s.formattedText(r, c),
                            b.formats().at(cell.format).numberFormat);
        });
        for (int r = 1; r <= s.lastRowProps(); ++r)
            if (!s.rowProps(r).isDefault())
                out << QStringLiteral("row %1 %2 %3")
                           .arg(r)
                           .arg(s.rowProps(r).size)
                           .arg(s.rowProps(r).hidden);
        for (int c = 1; c <= s.lastColProps(); ++c)
            if (!s.colProps(c).isDefault())
                out << QStringLiteral("col %1 %2").arg(c).arg(s.colProps(c).size);
        for (const CellRange& m : s.mergedRanges())
            out << QStringLiteral("merged %1").arg(rangeName(m));
        out << QStringLiteral("frozen %1").arg(s.options().frozenRows);
    }
    return out.join('\n');
}

using Edit = std::function<void(Workbook&)>;

// A random edit, fixed by its parameters so that it can be replayed on another workbook.
Edit randomEdit(std::mt19937& rng) {
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const int sheet = pick(1, 3), row = pick(1, 8), col = pick(1, 5), n = pick(1, 2);
    const int value = pick(-50, 50);
    switch (pick(0, 13)) {
    case 0:
    case 1:
        return [=](Workbook& b) {
            b.setEntry(std::min(sheet, b.sheetCount()), row, col, QString::number(value));
        };
    case 2:
        return [=](Workbook& b) {
            b.setEntry(std::min(sheet, b.sheetCount()), row, col,
                       QStringLiteral("=SUM(A1:E8)+R%1C%2").arg(n).arg(n));
        };
    case 3:
        return [=](Workbook& b) { b.setEntry(std::min(sheet, b.sheetCount()), row, col, "текст"); };
    case 4:
        return [=](Workbook& b) {
            b.clearRange(std::min(sheet, b.sheetCount()), CellRange(row, 1, row + n, 3),
                         ClearWhat::All);
        };
    case 5:
        return [=](Workbook& b) {
            b.setNumberFormat(std::min(sheet, b.sheetCount()), CellRange(row, col, row + 2, col),
                              value > 0 ? "0.00" : "#,##0");
        };
    case 6:
        return [=](Workbook& b) {
            // A command over every sheet: one step.
            for (int i = 1; i <= b.sheetCount(); ++i)
                b.insertRows(i, row, n);
        };
    case 7:
        return [=](Workbook& b) { b.deleteRows(std::min(sheet, b.sheetCount()), row, n); };
    case 8:
        return [=](Workbook& b) { b.insertCols(std::min(sheet, b.sheetCount()), col, n); };
    case 9:
        return [=](Workbook& b) { b.deleteCols(std::min(sheet, b.sheetCount()), col, 1); };
    case 10:
        return [=](Workbook& b) {
            b.sortRange(std::min(sheet, b.sheetCount()), CellRange(1, 1, 8, 5),
                        {value > 0 ? col : -col});
        };
    case 11:
        return [=](Workbook& b) {
            b.sheet(std::min(sheet, b.sheetCount())).setRowHeight(row, 300 + value);
            b.sheet(std::min(sheet, b.sheetCount())).addMergedRange(CellRange(row, 1, row, 2));
        };
    case 12:
        return [=](Workbook& b) {
            if (value > 0 || b.sheetCount() < 2)
                b.insertSheet(sheet);
            else
                b.deleteSheet(std::min(sheet, b.sheetCount()));
        };
    default:
        return [=](Workbook& b) {
            b.copyRange(b, 1, CellRange(1, 1, 3, 3), std::min(sheet, b.sheetCount()), row, col);
            b.insertCells(1, CellRange(row, col, row, col + 1), value > 0);
        };
    }
}

void seed(Workbook& b) {
    b.setEntry(1, 1, 1, "1");
    b.setEntry(1, 2, 1, "=A1*2");
    b.setEntry(2, 3, 2, "=Лист1!A2+5");
    b.setEntry(3, 4, 3, "слово");
}

} // namespace

TEST(UndoTest, RandomEditsUndoAndRedoMatchReplayingTheEdits) {
    std::mt19937 rng(20261209);
    for (int run = 0; run < 200; ++run) {
        Workbook book(3);
        seed(book);
        book.undoStack().setEnabled(true);
        std::vector<Edit> done, undone;
        std::vector<QString> states{dump(book)}; // states[k]: after k edits done
        std::vector<QString> redoStates;
        for (int step = 0; step < 25; ++step) {
            const int what = std::uniform_int_distribution<int>(0, 9)(rng);
            if (what < 6) {
                Edit e = randomEdit(rng);
                const int steps = book.undoStack().count();
                book.undoStack().begin("правка");
                e(book);
                book.undoStack().end();
                if (book.undoStack().count() == steps) {
                    // An edit that changed nothing is no step.
                    ASSERT_EQ(dump(book).toStdString(), states.back().toStdString());
                    continue;
                }
                done.push_back(e);
                undone.clear();
                redoStates.clear();
                states.push_back(dump(book));
            } else if (what < 8 && !done.empty()) {
                ASSERT_TRUE(book.undoStack().undo());
                undone.push_back(done.back());
                done.pop_back();
                redoStates.push_back(states.back());
                states.pop_back();
                ASSERT_EQ(dump(book).toStdString(), states.back().toStdString())
                    << "run " << run << " step " << step;
            } else if (!undone.empty()) {
                ASSERT_TRUE(book.undoStack().redo());
                done.push_back(undone.back());
                undone.pop_back();
                states.push_back(redoStates.back());
                redoStates.pop_back();
                ASSERT_EQ(dump(book).toStdString(), states.back().toStdString())
                    << "run " << run << " step " << step;
            }
        }
        Workbook replay(3);
        seed(replay);
        for (const Edit& e : done)
            e(replay);
        ASSERT_EQ(dump(book).toStdString(), dump(replay).toStdString()) << "run " << run;
        EXPECT_EQ(book.undoStack().canUndo(), !done.empty());
        EXPECT_EQ(book.undoStack().canRedo(), !undone.empty());
    }
}

TEST(UndoTest, EditsOutsideACommandAreStepsOfTheirOwn) {
    Workbook b;
    b.undoStack().setEnabled(true);
    b.setEntry(1, 1, 1, "5");
    b.setEntry(1, 1, 2, "=A1+1");
    b.sheet(1).setColWidth(3, 2000);
    EXPECT_EQ(b.undoStack().count(), 3);
    b.undoStack().undo();
    EXPECT_EQ(b.sheet(1).colProps(3).size, -1);
    b.undoStack().undo();
    EXPECT_EQ(b.sheet(1).entry(1, 2), "");
    b.setEntry(1, 1, 1, "7"); // a new edit drops what could be redone
    EXPECT_FALSE(b.undoStack().canRedo());
    b.undoStack().undo();
    EXPECT_EQ(b.sheet(1).number(1, 1), 5);
}

TEST(UndoTest, FormulasDependingOnRestoredCellsAreRecalculated) {
    Workbook b;
    b.setEntry(1, 1, 1, "2");
    b.setEntry(1, 1, 2, "=A1*10");
    b.undoStack().setEnabled(true);
    b.setEntry(1, 1, 1, "3");
    EXPECT_EQ(b.sheet(1).number(1, 2), 30);
    b.undoStack().undo();
    EXPECT_EQ(b.sheet(1).number(1, 2), 20);
    b.undoStack().redo();
    EXPECT_EQ(b.sheet(1).number(1, 2), 30);
}

TEST(UndoTest, SingleCellStepsStayWithinTwoHundredBytes) {
    Workbook b;
    b.undoStack().setEnabled(true);
    for (int i = 0; i < 1000; ++i)
        b.setEntry(1, 100 + i % 50, 3 + i % 7, QString::number(i));
    EXPECT_EQ(b.undoStack().count(), 1000);
    EXPECT_LE(b.undoStack().bytes() / 1000, 200u);
}

// A step of thousands of cells, each written several times on several sheets: undo
// must give back what each cell held before its first write, redo what its last.
TEST(UndoTest, LargeStepWritingCellsAgainRestoresFirstAndLastStates) {
    Workbook b;
    b.insertSheet(1);
    b.insertSheet(1);
    for (int s = 1; s <= 3; ++s)
        for (int r = 1; r <= 60; ++r)
            for (int c = 1; c <= 40; ++c)
                b.setNumber(s, r, c, s * 10000 + r * 100 + c);
    const QString before = dump(b);
    b.undoStack().setEnabled(true);
    b.undoStack().begin(QStringLiteral("Много"));
    for (int pass = 1; pass <= 3; ++pass)
        for (int s = 1; s <= 3; ++s)
            for (int r = 1 + pass; r <= 70; r += pass)
                for (int c = 1; c <= 45; ++c)
                    b.setNumber(s, r, c, -pass * 100000 - s * 1000 - r * 50 - c);
    b.undoStack().end();
    const QString after = dump(b);
    ASSERT_NE(before, after);
    b.undoStack().undo();
    EXPECT_EQ(dump(b), before);
    b.undoStack().redo();
    EXPECT_EQ(dump(b), after);
}
