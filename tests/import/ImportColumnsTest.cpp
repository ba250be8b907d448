#include "../table/TableDbFixture.h"

#include "IdentModel.h"
#include "ImportColumns.h"
#include "InitialWorkbook.h"
#include "io/ExternalFile.h"
#include "model/Workbook.h"

namespace {

// Directories numbered 1, 2 and 5: a pop-up position is not a directory number.
class ImportColumnsTest : public TableDbFixture {
protected:
    static void SetUpTestSuite() {
        TableDbFixture::SetUpTestSuite();
        seedSmallDirectory();
        for (const char* sql : {"INSERT INTO SPISAGR (NUMAGR, NAMEAGR, NAMEAGRZAG, ISINELM) "
                                "VALUES (5, 'Округа', ' ', 'F')",
                                "INSERT INTO AGR (KODFOLDER, NUMAGR, NAMEFOLDER, NPP, NLEVEL) "
                                "VALUES (50, 5, 'Западный', 1, 1)"})
            dbtest::exec(fact(), QString::fromUtf8(sql));
    }
    void SetUp() override {
        QString error;
        ASSERT_TRUE(ExternalFile::readText(preview,
                                           QStringLiteral("Код;Округ;Значение\n"
                                                          "В-1;50;12\n"
                                                          ";;7\n"
                                                          "В-1;41;3\n"),
                                           {}, &error));
        for (int c = 1; c <= 3; ++c)
            preview.sheet(1).setColHeading(c, QStringLiteral("F%1").arg(c));
    }
    Workbook preview;
};

} // namespace

TEST_F(ImportColumnsTest, DirectoryChoiceKeepsTheDirectoryNumber) {
    const auto dirs = ImportColumns::directories(dm(), true);
    ASSERT_EQ(dirs.size(), 4);
    EXPECT_EQ(dirs[0].name, "Районы");
    EXPECT_EQ(dirs[2].type, 5); // third in the pop-up, numbered 5
    EXPECT_EQ(dirs[3].type, 99);
    EXPECT_EQ(ImportColumns::directories(dm(), false).size(), 3);

    ImportColumns cols(preview);
    ASSERT_TRUE(cols.assign(1, 1, 0, {}, m_prompter));
    ASSERT_TRUE(cols.assign(2, 4, dirs[2].type, dirs[2].name, m_prompter));
    EXPECT_EQ(preview.sheet(1).colHeading(1), "Показатель");
    EXPECT_EQ(preview.sheet(1).colHeading(2), "Округа");
    // Start row 2: "41" is no node of directory 5 (it is one of directory 1).
    const QStringList protocol = cols.check(dm(), 2);
    EXPECT_EQ(protocol, QStringList{"СТОЛБЕЦ \"Округа\":  КОД  ОБЪЕКТА  41  не  найден  в  "
                                    "справочнике\r\n"});

    preview.setText(1, 4, 2, QStringLiteral("50"));
    ASSERT_TRUE(cols.check(dm(), 2).isEmpty());
    Workbook table;
    InitialWorkbook::build(table);
    IdentModel model(table, m_prompter);
    cols.write(model, 2);
    const Sheet& rows = table.sheet(model.rowIdentSheet());
    // Preview row 2 lands on the first body row 101.
    EXPECT_EQ(rows.number(101, rowSlotColumn(Slot::IndicatorCode)), 26);
    EXPECT_EQ(rows.text(101, rowSlotColumn(Slot::IndicatorShown)), "В-1");
    EXPECT_EQ(rows.number(101, rowSlotColumn(Slot::Object)), 50);
    EXPECT_EQ(rows.number(101, rowSlotColumn(Slot::ObjectType)), 5);
    EXPECT_EQ(rows.type(102, rowSlotColumn(Slot::Object)), 0); // a blank code writes nothing
    EXPECT_EQ(rows.number(103, rowSlotColumn(Slot::ObjectType)), 5);
    // The identification columns left the preview; the data column is now column 1.
    EXPECT_EQ(preview.sheet(1).number(2, 1), 12);
    EXPECT_EQ(preview.sheet(1).lastCol(), 1);
    EXPECT_FALSE(cols.any());
}

TEST_F(ImportColumnsTest, ProtocolLinesForUnknownAndNonNumericCodes) {
    preview.setText(1, 2, 1, QStringLiteral("Нет-такого"));
    preview.setText(1, 3, 2, QStringLiteral("сорок"));
    preview.setNumber(1, 4, 2, 777);
    ImportColumns cols(preview);
    ASSERT_TRUE(cols.assign(1, 2, 0, {}, m_prompter));
    ASSERT_TRUE(cols.assign(2, 4, 99, QStringLiteral("Объекты"), m_prompter));
    EXPECT_EQ(cols.check(dm(), 2),
              (QStringList{"СТОЛБЕЦ \"Признак 1\":  КОД  ПОКАЗАТЕЛЯ  Нет-такого  не  найден  в  "
                           "справочнике\r\n",
                           "СТОЛБЕЦ \"Объекты\":  КОД  ОБЪЕКТА  50  не  найден  в  справочнике\r\n",
                           "СТОЛБЕЦ \"Объекты\":  КОД  ОБЪЕКТА сорок -  не  число\r\n",
                           "СТОЛБЕЦ \"Объекты\":  КОД  ОБЪЕКТА  777  не  найден  в  "
                           "справочнике\r\n"}));
}

TEST_F(ImportColumnsTest, TakingAnElementOrADirectoryFromAnotherColumnAsksFirst) {
    ImportColumns cols(preview);
    ASSERT_TRUE(cols.assign(1, 1, 0, {}, m_prompter));
    m_prompter.answer(Answer::No);
    EXPECT_FALSE(cols.assign(3, 1, 0, {}, m_prompter));
    EXPECT_EQ(m_prompter.lastText(), "Требуемый тип идентификации\r\n уже задействован столбцом "
                                     "1\r\n              Заменить ?");
    EXPECT_EQ(cols.columnOf(1), 1);
    m_prompter.answer(Answer::Yes);
    ASSERT_TRUE(cols.assign(3, 1, 0, {}, m_prompter));
    EXPECT_EQ(cols.columnOf(1), 3);
    EXPECT_EQ(preview.sheet(1).colHeading(1), "F1"); // the first heading comes back

    ASSERT_TRUE(cols.assign(2, 5, 1, QStringLiteral("Районы"), m_prompter));
    m_prompter.answer(Answer::No);
    EXPECT_FALSE(cols.assign(1, 6, 1, QStringLiteral("Районы"), m_prompter));
    EXPECT_EQ(m_prompter.lastText(), "Разрез 1 уже использует выбранный справочник\r\n"
                                     "                            Заменить ?");
    m_prompter.answer(Answer::Yes);
    ASSERT_TRUE(cols.assign(1, 6, 1, QStringLiteral("Районы"), m_prompter));
    EXPECT_EQ(cols.carried(2).element, 0);
    EXPECT_EQ(cols.carried(1).element, 6);
    // The objects directory serves the object element only.
    EXPECT_FALSE(cols.assign(2, 5, 99, QStringLiteral("Объекты"), m_prompter));
    EXPECT_TRUE(m_prompter.allAnswersUsed());
}
