#include "../table/TableWindowFixture.h"

#include "OutsideFileSaver.h"
#include "SheetMerge.h"

#include <QTemporaryDir>

using namespace TableLayout;

namespace {

constexpr int kSheetType = 5;     // "Лист Земрак (*.vts)" in the file-type list
constexpr int kSheetBookType = 6; // "Лист Земрак (*.xlsx *.ods *.xls)"

// Two instance sheets: sheet 1 of object 40, sheet 2 of object 41 (directory 1).
class SheetMergeWindowTest : public TableWindowFixture {
protected:
    void SetUp() override {
        open(2);
        for (int s : {1, 2}) {
            book().setText(s, int(TitleRow::Kind), kTitleValueCol, QStringLiteral("Объект"));
            book().setNumber(s, int(TitleRow::Object), kTitleValueCol, 39 + s);
            book().setNumber(s, int(TitleRow::Object), kTitleExtraCol, 1);
        }
    }
    // Sheet `s` saved on its own, as "Сохранить как .." saves it, then the table put back.
    QString saveSheet(int s, const QString& name, OutsideFileSaver::Format format) {
        const int active = book().activeSheetIndex();
        book().setActiveSheet(s);
        const QString path = dir.filePath(name);
        EXPECT_TRUE(OutsideFileSaver(book(), m_prompter).write(format, path));
        book().setActiveSheet(active);
        return path;
    }
    void openAs(const QString& path, int type) {
        m_prompter.typedFile(path, type);
        trigger("Mopen");
    }
    QTemporaryDir dir;
};

} // namespace

TEST_F(SheetMergeWindowTest, TheSheetOfTheFilesObjectTakesItsBodyOnceAskedAndUndoesInOneStep) {
    book().setNumber(2, 101, 3, 5);
    book().setNumber(2, 102, 4, 6);
    const QString file = saveSheet(2, "s41.vts", OutsideFileSaver::Format::SheetNative);
    book().setNumber(2, 101, 3, 7);
    book().clearCell(2, 102, 4);

    m_prompter.answer(Answer::No);
    openAs(file, kSheetType);
    ASSERT_EQ(m_prompter.shown().last().text,
              QString::fromUtf8(SheetMerge::overwriteQuestion()).arg(sheet(2).name()));
    EXPECT_EQ(m_prompter.shown().last().defaultButton, Answer::No);
    EXPECT_EQ(sheet(2).number(101, 3), 7);
    EXPECT_EQ(sheet(2).type(102, 4), 0);

    m_prompter.answer(Answer::Yes);
    openAs(file, kSheetType);
    EXPECT_EQ(sheet(2).number(101, 3), 5);
    EXPECT_EQ(sheet(2).number(102, 4), 6);
    EXPECT_EQ(sheet(1).type(101, 3), 0); // object 40 keeps its sheet as it was
    EXPECT_EQ(book().activeSheetIndex(), 2);
    EXPECT_TRUE(m_prompter.allAnswersUsed());

    trigger("Mundo");
    EXPECT_EQ(sheet(2).number(101, 3), 7);
    EXPECT_EQ(sheet(2).type(102, 4), 0);
}

// Two sheets of one object told apart by a cut: the file goes to the sheet of its cut.
TEST_F(SheetMergeWindowTest, SheetsOfOneObjectAreToldApartByTheirCuts) {
    book().setNumber(2, int(TitleRow::Object), kTitleValueCol, 40);
    book().setNumber(2, int(TitleRow::Cut1), kTitleValueCol, 3);
    book().setNumber(2, int(TitleRow::Cut1), kTitleExtraCol, 2);
    book().setNumber(2, 101, 3, 5);
    const QString file = saveSheet(2, "s40c3.vts", OutsideFileSaver::Format::SheetNative);
    book().clearCell(2, 101, 3);
    openAs(file, kSheetType);
    EXPECT_EQ(sheet(2).number(101, 3), 5);
    EXPECT_EQ(sheet(1).type(101, 3), 0);
}

TEST_F(SheetMergeWindowTest,
       AnUnknownObjectGetsANewFirstSheetOnYesWithTitleRowsBelowTheServiceRows) {
    // An institution's sheet of object 77, saved as a workbook of another program.
    book().setNumber(2, int(TitleRow::Object), kTitleValueCol, 77);
    book().setText(2, 99, 3, QStringLiteral("Больница №7"));
    book().setText(2, 50, 2, QStringLiteral("сопроводительный текст учреждения"));
    book().setText(2, 101, 2, QStringLiteral("Койки"));
    book().setNumber(2, 101, 3, 240);
    const QString file = saveSheet(2, "s77.xlsx", OutsideFileSaver::Format::SheetExcel);
    book().setNumber(2, int(TitleRow::Object), kTitleValueCol, 41);
    for (int r : {50, 99, 101})
        for (int c : {2, 3})
            book().clearCell(2, r, c);

    for (const Answer no : {Answer::No, Answer::Cancel}) {
        m_prompter.answer(no);
        openAs(file, kSheetBookType);
        EXPECT_EQ(m_prompter.lastText(), QString::fromUtf8(SheetMerge::notFoundQuestion()));
        EXPECT_EQ(m_prompter.shown().last().buttons, QuestionButtons::YesNoCancel);
        EXPECT_EQ(book().sheetCount(), 4);
    }

    m_prompter.answer(Answer::Yes);
    openAs(file, kSheetBookType);
    ASSERT_EQ(book().sheetCount(), 5);
    EXPECT_EQ(book().activeSheetIndex(), 1);
    EXPECT_EQ(sheet(1).number(int(TitleRow::Object), kTitleValueCol), 77);
    EXPECT_EQ(sheet(1).text(int(TitleRow::Kind), kTitleValueCol), "Объект");
    EXPECT_EQ(sheet(1).text(99, 3), "Больница №7");
    EXPECT_EQ(sheet(1).type(50, 2), 0); // the rows above the title lines stay the table's
    // The neighbour had no side, so the file's side came along with the body.
    EXPECT_EQ(sheet(1).text(101, 2), "Койки");
    EXPECT_EQ(sheet(1).number(101, 3), 240);
    EXPECT_EQ(sheet(2).number(int(TitleRow::Object), kTitleValueCol), 40);
}

TEST_F(SheetMergeWindowTest, AnUnidentifiedSheetGoesIntoTheCurrentSheetOnYesFromColumnThree) {
    book().setText(2, int(TitleRow::Kind), kTitleValueCol, QString());
    book().setText(2, 101, 2, QStringLiteral("Район"));
    book().setNumber(2, 101, 3, 12);
    const QString file = saveSheet(2, "plain.vts", OutsideFileSaver::Format::SheetNative);
    book().setActiveSheet(1);
    w->Book->setSheet(1);
    book().setText(1, 101, 2, QStringLiteral("Свой боковик"));

    m_prompter.answer(Answer::Cancel);
    openAs(file, kSheetType);
    EXPECT_EQ(m_prompter.lastText(), QString::fromUtf8(SheetMerge::unidentifiedQuestion()));
    EXPECT_EQ(sheet(1).type(101, 3), 0);

    m_prompter.answer(Answer::Yes);
    openAs(file, kSheetType);
    EXPECT_EQ(sheet(1).number(101, 3), 12);
    EXPECT_EQ(sheet(1).text(101, 2), "Свой боковик");
}
