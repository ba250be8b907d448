#include "ExternalFileOpener.h"
#include "IdentModel.h"
#include "ImportSession.h"
#include "InitialWorkbook.h"
#include "ScriptedPrompter.h"
#include "io/NativeFormat.h"
#include "io/XlsxWriter.h"
#include "model/Workbook.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class ExternalFileOpenerTest : public ::testing::Test {
protected:
    void SetUp() override {
        InitialWorkbook::build(table);
        table.setText(1, 101, 3, QStringLiteral("старое"));
    }
    QString write(const QString& name, const QByteArray& bytes) {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return f.fileName();
    }
    ExternalFileOpener::Result open(const QString& path) {
        prompter.file(path);
        return opener.run();
    }
    void expectOld() {
        EXPECT_EQ(table.sheetCount(), 3);
        EXPECT_EQ(table.sheet(1).text(101, 3), "старое");
    }
    QTemporaryDir dir;
    Workbook table;
    ScriptedPrompter prompter;
    IdentModel model{table, prompter};
    ExternalFileOpener opener{model, prompter};
};

} // namespace

TEST_F(ExternalFileOpenerTest, UnreadableFilesKeepTheTable) {
    // A damaged saved table: the open one is kept, not replaced by an empty one.
    EXPECT_EQ(open(write("bad.vts", "garbage")), ExternalFileOpener::Result::Nothing);
    EXPECT_TRUE(prompter.lastText().startsWith("Ошибка при открытии. Возможен неверный формат"));
    expectOld();

    EXPECT_EQ(open(write("cut.xlsx", "PK\x03\x04trunc")), ExternalFileOpener::Result::Nothing);
    EXPECT_TRUE(prompter.lastText().startsWith("Ошибка при открытии файла. Неверный формат\r\n"
                                               "Файл \"cut.xlsx\" повреждён"))
        << prompter.lastText().toStdString();
    expectOld();

    QByteArray binary(2048, '\0');
    EXPECT_EQ(open(write("data.csv", binary)), ExternalFileOpener::Result::Nothing);
    EXPECT_EQ(prompter.lastText(), "Ошибка при импорте - неизвестный формат\r\n"
                                   "Файл \"data.csv\" не является текстовым");
    expectOld();
}

TEST_F(ExternalFileOpenerTest, SavedTableReplacesAndForeignBookBecomesANewTable) {
    Workbook saved;
    InitialWorkbook::build(saved);
    saved.setText(1, 101, 3, QStringLiteral("из файла"));
    QString error;
    const QString vts = dir.filePath("t.vts");
    ASSERT_TRUE(NativeFormat::saveFile(saved, vts, &error));
    prompter.answer(Answer::Yes);
    EXPECT_EQ(open(vts), ExternalFileOpener::Result::Replaced);
    EXPECT_EQ(prompter.lastText(), ExternalFileOpener::replaceQuestion());
    EXPECT_EQ(table.sheet(1).text(101, 3), "из файла");
    EXPECT_EQ(table.sheet(1).rowHeading(100), "---");

    Workbook foreign;
    foreign.setText(1, 1, 1, QStringLiteral("Заголовок"));
    foreign.setText(1, 2, 2, QStringLiteral("Графа"));
    foreign.setText(1, 3, 1, QStringLiteral("Район"));
    foreign.setNumber(1, 3, 2, 7);
    const QString xlsx = dir.filePath("f.xlsx");
    ASSERT_TRUE(XlsxWriter::writeFile(foreign, xlsx, &error));
    prompter.input(QStringLiteral("1")).input(QStringLiteral("одна")).input(QStringLiteral("1"));
    prompter.answer(Answer::Yes);
    EXPECT_EQ(open(xlsx), ExternalFileOpener::Result::Replaced);
    EXPECT_TRUE(prompter.texts().contains("Должно быть введено число"));
    EXPECT_TRUE(prompter.allAnswersUsed());
    EXPECT_EQ(table.sheet(1).text(99, 2), "Заголовок");
    EXPECT_EQ(table.sheet(1).text(100, 3), "Графа");
    EXPECT_EQ(table.sheet(1).text(101, 2), "Район");
    EXPECT_EQ(table.sheet(1).number(101, 3), 7);

    EXPECT_EQ(open(write("r.csv", "a;\"b;c\"\r\n")), ExternalFileOpener::Result::ImportWindow);
    ASSERT_TRUE(opener.session());
    EXPECT_EQ(opener.session()->preview().sheet(1).text(1, 2), "b;c");
}

TEST_F(ExternalFileOpenerTest, ATableKeptByAnotherProgramReplacesTheTableOnlyAfterYes) {
    Workbook saved;
    InitialWorkbook::build(saved);
    saved.insertSheet(2, QStringLiteral("Второй"));
    saved.setText(1, 101, 3, QStringLiteral("из файла"));
    QString error;
    const QString xlsx = dir.filePath("t.xlsx");
    ASSERT_TRUE(XlsxWriter::writeFile(saved, xlsx, &error));
    constexpr int kTableBook = 1; // "Земрак 3.0 (*.xlsx *.ods *.xls)"

    prompter.typedFile(xlsx, kTableBook).answer(Answer::No);
    EXPECT_EQ(opener.run(), ExternalFileOpener::Result::Nothing);
    EXPECT_EQ(prompter.lastText(), ExternalFileOpener::replaceQuestion());
    EXPECT_EQ(prompter.shown().last().defaultButton, Answer::No);
    expectOld();

    prompter.typedFile(xlsx, kTableBook).answer(Answer::Yes);
    EXPECT_EQ(opener.run(), ExternalFileOpener::Result::Replaced);
    EXPECT_EQ(table.sheetCount(), 4);
    EXPECT_EQ(table.sheet(1).text(101, 3), "из файла");
    EXPECT_EQ(table.sheet(1).rowHeading(100), "---");

    // A workbook that is no table is refused, not taken for one.
    Workbook plain;
    plain.setText(1, 1, 1, QStringLiteral("Район"));
    ASSERT_TRUE(XlsxWriter::writeFile(plain, xlsx, &error));
    prompter.typedFile(xlsx, kTableBook);
    EXPECT_EQ(opener.run(), ExternalFileOpener::Result::Nothing);
    EXPECT_EQ(prompter.lastText(), "Ошибка при открытии. Возможен неверный формат");
    EXPECT_EQ(table.sheet(1).text(101, 3), "из файла");
}
