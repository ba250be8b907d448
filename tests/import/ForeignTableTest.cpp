#include "ForeignTable.h"
#include "DbfField.h"
#include "DbfPreview.h"
#include "DbfTable.h"
#include "IdentModel.h"
#include "InitialWorkbook.h"
#include "ScriptedPrompter.h"
#include "io/ExternalFile.h"
#include "model/Workbook.h"

#include <QDate>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

Workbook& fileOf(Workbook& book, const QString& csv) {
    QString error;
    EXPECT_TRUE(ExternalFile::readText(book, csv, {}, &error));
    return book;
}

} // namespace

TEST(ForeignTableTest, TitleHeaderAndBodyRowsLandBelowTheServiceRows) {
    Workbook file;
    fileOf(file, QStringLiteral("Заголовок 1\nЗаголовок 2\n;Графа 1;Графа 2\nРайон;12;13\n"
                                "Город;3;4\n"));
    Workbook table;
    InitialWorkbook::build(table);
    ScriptedPrompter prompter;
    ASSERT_TRUE(ForeignTable::build(table, file, 2, 1, prompter));
    EXPECT_TRUE(prompter.texts().isEmpty()); // one instance sheet: nothing to ask
    IdentModel model(table, prompter);
    model.readGeometry();
    EXPECT_EQ(model.titleRows(), 2);
    EXPECT_EQ(model.headerRows(), 1);
    const Sheet& s = table.sheet(1);
    // Title lines in 98 … 99, shown; the layout cell (1, 1) untouched by them.
    EXPECT_EQ(s.text(98, 2), "Заголовок 1");
    EXPECT_EQ(s.text(99, 2), "Заголовок 2");
    EXPECT_FALSE(s.rowHidden(98));
    EXPECT_TRUE(s.rowHidden(97));
    EXPECT_EQ(s.text(100, 3), "Графа 1");
    EXPECT_EQ(s.rowHeading(100), "---");
    EXPECT_EQ(s.text(101, 2), "Район");
    EXPECT_EQ(s.number(102, 4), 4);
    // The side and the header on the identification sheets, slot 5 blank in the body.
    const Sheet& rows = table.sheet(model.rowIdentSheet());
    EXPECT_EQ(rows.text(101, 2), "Район");
    EXPECT_EQ(rows.text(102, rowSlotColumn(Slot::IndicatorShown)), " ");
    EXPECT_EQ(table.sheet(model.colIdentSheet()).text(100, 4), "Графа 2");
}

TEST(ForeignTableTest, ZeroCountsGiveOneEmptyLineAndMoreHeaderRowsMoveTheSlots) {
    Workbook file;
    fileOf(file, QStringLiteral("Район;1\nГород;2\n"));
    Workbook table;
    InitialWorkbook::build(table);
    ScriptedPrompter prompter;
    ASSERT_TRUE(ForeignTable::build(table, file, 0, 0, prompter));
    IdentModel model(table, prompter);
    model.readGeometry();
    EXPECT_EQ(model.titleRows(), 1);
    EXPECT_EQ(model.headerRows(), 1);
    EXPECT_EQ(table.sheet(1).type(99, 2), 0);
    EXPECT_EQ(table.sheet(1).type(100, 2), 0);
    EXPECT_EQ(table.sheet(1).text(101, 2), "Район");
    EXPECT_EQ(table.sheet(1).number(102, 3), 2);

    // Three header rows: the column identification captions follow the header down.
    Workbook initial;
    InitialWorkbook::build(initial);
    IdentModel initialModel(initial, prompter);
    initialModel.readGeometry();
    const QString caption = initial.sheet(3).text(initialModel.colSlotRow(Slot::IndicatorCode), 2);
    ASSERT_FALSE(caption.isEmpty());
    ASSERT_TRUE(ForeignTable::build(table, file, 0, 3, prompter));
    model.readGeometry();
    EXPECT_EQ(model.headerRows(), 3);
    EXPECT_EQ(table.sheet(3).text(model.colSlotRow(Slot::IndicatorCode), 2), caption);
}

TEST(ForeignTableTest, SeveralInstanceSheetsAreDestroyedOnlyAfterYes) {
    Workbook file;
    fileOf(file, QStringLiteral("Новый\n"));
    Workbook table;
    InitialWorkbook::build(table);
    table.insertSheet(1, QStringLiteral("Второй"));
    table.setText(1, 101, 3, QStringLiteral("старое"));
    ScriptedPrompter prompter;
    prompter.answer(Answer::No);
    EXPECT_FALSE(ForeignTable::build(table, file, 1, 0, prompter));
    ASSERT_EQ(prompter.shown().size(), 1);
    EXPECT_EQ(prompter.shown()[0].text, "Все листы будут уничтожены. Продолжить ?");
    EXPECT_EQ(prompter.shown()[0].defaultButton, Answer::No);
    EXPECT_EQ(table.sheetCount(), 4);
    EXPECT_EQ(table.sheet(1).text(101, 3), "старое");
    prompter.answer(Answer::Yes);
    ASSERT_TRUE(ForeignTable::build(table, file, 1, 0, prompter));
    EXPECT_EQ(table.sheetCount(), 3);
    EXPECT_EQ(table.sheet(1).text(99, 2), "Новый");
}

TEST(DbfPreviewTest, RecordsFieldNamesAndTypes) {
    QTemporaryDir dir;
    const QString path = dir.filePath("fin.dbf");
    DbfTable t = DbfTable::create(
        path, ParseFieldList({"KBK;C;20;0", "P1;N;12;2", "OK;L;1;0", "DAT;D;8;0"}));
    t.append();
    t.setText(0, QStringLiteral("10102010"));
    t.setNumber(1, 1234.5);
    t.setText(2, QStringLiteral("T"));
    t.setValue(3, QDate(2004, 3, 1));
    t.append();
    t.setText(0, QStringLiteral("Район"));
    t.save();

    Workbook preview;
    QString error;
    ASSERT_TRUE(DbfPreview::read(path, preview, &error)) << error.toStdString();
    const Sheet& s = preview.sheet(1);
    EXPECT_EQ(s.colHeading(1), "KBK");
    EXPECT_EQ(s.colHeading(4), "DAT");
    EXPECT_EQ(s.text(1, 1), "10102010"); // a character field stays text
    EXPECT_EQ(s.number(1, 2), 1234.5);
    EXPECT_EQ(s.text(1, 3), "T");
    EXPECT_EQ(s.formattedText(1, 4), "01.03.2004");
    EXPECT_EQ(s.text(2, 1), "Район");
    EXPECT_EQ(s.type(2, 2), 0); // blank, not 0

    QFile bad(dir.filePath("bad.dbf"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("not a dbf");
    bad.close();
    preview.setText(1, 1, 1, QStringLiteral("kept"));
    EXPECT_FALSE(DbfPreview::read(bad.fileName(), preview, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(preview.sheet(1).text(1, 1), "kept");
}
