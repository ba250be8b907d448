#include "ImportPlacement.h"
#include "IdentModel.h"
#include "InitialWorkbook.h"
#include "ScriptedPrompter.h"
#include "io/ExternalFile.h"
#include "model/UndoStack.h"
#include "model/Workbook.h"

#include <gtest/gtest.h>

namespace {

// A table of one instance sheet and one header row: the body starts at row 101.
class ImportPlacementTest : public ::testing::Test {
protected:
    void SetUp() override {
        InitialWorkbook::build(table);
        table.setActiveSheet(1);
        table.undoStack().setEnabled(true);
        QString error;
        ASSERT_TRUE(ExternalFile::readText(
            preview, QStringLiteral("заголовок файла\r\n\r\nРайон;12;\"1;2\"\r\nГород;3;4\r\n"), {},
            &error));
    }
    bool place(int startRow, ImportPlacement::Target target) {
        IdentModel ident(table, prompter);
        return ImportPlacement::place(ident, preview, startRow, target, prompter);
    }
    Workbook table;
    Workbook preview;
    ScriptedPrompter prompter;
};

} // namespace

TEST_F(ImportPlacementTest, StartRowLandsOnTheFirstBodyRowOfBodyOrSide) {
    ASSERT_TRUE(place(3, ImportPlacement::Target::Body));
    EXPECT_TRUE(prompter.texts().isEmpty()); // an empty body is not asked about
    const Sheet& s = table.sheet(1);
    EXPECT_EQ(s.text(101, 3), "Район");
    EXPECT_EQ(s.number(101, 4), 12);
    EXPECT_EQ(s.text(101, 5), "1;2");
    EXPECT_EQ(s.text(102, 3), "Город");
    EXPECT_EQ(s.type(100, 3), 0);
    EXPECT_EQ(s.type(103, 3), 0);

    Workbook side;
    InitialWorkbook::build(side);
    table.swapContents(side);
    table.setActiveSheet(1);
    ASSERT_TRUE(place(3, ImportPlacement::Target::Side));
    EXPECT_EQ(table.sheet(1).text(101, 2), "Район");
    EXPECT_EQ(table.sheet(1).number(102, 4), 4);
}

TEST_F(ImportPlacementTest, FilledBodyIsReplacedOnlyAfterYes) {
    table.setEntry(1, 101, 2, "Старый боковик");
    table.setEntry(1, 105, 7, "77");
    table.setEntry(1, 100, 3, "шапка");

    prompter.answer(Answer::No);
    EXPECT_FALSE(place(3, ImportPlacement::Target::Body));
    ASSERT_EQ(prompter.shown().size(), 1);
    EXPECT_EQ(prompter.shown()[0].text, "Тело таблицы на текущем листе уже содержит данные.\r\n"
                                        "Заменить их импортируемыми данными ?");
    EXPECT_EQ(prompter.shown()[0].caption, "Подтверждение");
    EXPECT_EQ(prompter.shown()[0].defaultButton, Answer::No);
    EXPECT_EQ(table.sheet(1).number(105, 7), 77);
    EXPECT_EQ(table.sheet(1).type(101, 3), 0);

    prompter.clear();
    prompter.answer(Answer::Yes);
    ASSERT_TRUE(place(3, ImportPlacement::Target::Body));
    EXPECT_EQ(table.sheet(1).type(105, 7), 0);                // the old body is gone
    EXPECT_EQ(table.sheet(1).text(101, 2), "Старый боковик"); // the side stays
    EXPECT_EQ(table.sheet(1).text(100, 3), "шапка");          // and the header
    EXPECT_EQ(table.sheet(1).text(101, 3), "Район");
    // One undo step brings the old body back.
    table.undoStack().undo();
    EXPECT_EQ(table.sheet(1).number(105, 7), 77);
    EXPECT_EQ(table.sheet(1).type(101, 3), 0);
}

TEST_F(ImportPlacementTest, SideImportAsksAboutTheSideAndFailuresChangeNothing) {
    table.setEntry(1, 103, 2, "Старый боковик");
    prompter.answer(Answer::No);
    EXPECT_FALSE(place(1, ImportPlacement::Target::Side));
    EXPECT_EQ(prompter.lastText(), "Тело или боковик таблицы на текущем листе уже содержат "
                                   "данные.\r\nЗаменить их импортируемыми данными ?");
    // The body alone is empty: a body import does not ask and keeps the side.
    prompter.clear();
    ASSERT_TRUE(place(3, ImportPlacement::Target::Body));
    EXPECT_TRUE(prompter.texts().isEmpty());
    EXPECT_EQ(table.sheet(1).text(103, 2), "Старый боковик");

    // More rows than the sheet holds below the header.
    Workbook big;
    big.setEntry(1, kMaxRows, 1, "x");
    preview.swapContents(big);
    IdentModel ident(table, prompter);
    prompter.clear();
    prompter.answer(Answer::Yes);
    EXPECT_FALSE(
        ImportPlacement::place(ident, preview, 1, ImportPlacement::Target::Body, prompter));
    EXPECT_EQ(prompter.lastText(), "Ошибка при импорте: данные не помещаются в лист таблицы "
                                   "(16384 строк, 1 столбцов)");
    EXPECT_EQ(table.sheet(1).text(101, 3), "Район");

    // An identification sheet never receives data.
    table.setActiveSheet(table.sheetCount());
    prompter.clear();
    EXPECT_FALSE(place(1, ImportPlacement::Target::Body));
    EXPECT_EQ(prompter.lastText(),
              "Данные импортируются только в лист таблицы, а не в лист идентификации");
}
