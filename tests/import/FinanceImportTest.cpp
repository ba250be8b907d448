#include "../table/TableDbFixture.h"

#include "FinanceImport.h"
#include "IdentModel.h"
#include "InitialWorkbook.h"
#include "model/Workbook.h"

namespace {

const char* kNotIdentified = "       Текущий лист не идентифицирован\r\n     кодом территории из "
                             "входного файла.\r\nПроизвести нужную идентификацию сейчас ?";

// Territory 41 is a node of directory 1 (seeded); the report rows as a dBase preview.
class FinanceImportTest : public TableDbFixture {
protected:
    static void SetUpTestSuite() {
        TableDbFixture::SetUpTestSuite();
        seedSmallDirectory();
    }
    void SetUp() override {
        Sheet& p = preview.sheet(1);
        const QStringList heads = {"KBK", "ORG", "P1", "P2"};
        for (int c = 0; c < heads.size(); ++c)
            p.setColHeading(c + 1, heads[c]);
        addRow(1, "10102010", 41, 100, 90);
        addRow(2, "0901001002003000026", 41, 5, 6);
        addRow(3, "10102010", 41, 999, 999); // a later row of the same code is not used
        InitialWorkbook::build(table);
        table.setActiveSheet(1);
    }
    void addRow(int r, const char* kbk, double org, double p1, double p2) {
        preview.setText(1, r, 1, QString::fromUtf8(kbk));
        preview.setNumber(1, r, 2, org);
        preview.setNumber(1, r, 3, p1);
        preview.setNumber(1, r, 4, p2);
    }
    bool run(FinanceImport::Kind kind) {
        IdentModel model(table, m_prompter);
        return FinanceImport::run(dm(), model, preview, kind, m_prompter);
    }
    int rowSheet() const { return table.sheetCount() - 1; }
    Workbook preview;
    Workbook table;
};

} // namespace

TEST_F(FinanceImportTest, IncomeIdentifiesTheSheetAfterYesAndFillsColumnsFiveAndSix) {
    table.setText(rowSheet(), 101, rowSlotColumn(Slot::IndicatorShown), "10102010");
    table.setText(rowSheet(), 102, rowSlotColumn(Slot::IndicatorShown), "777");
    m_prompter.answer(Answer::No);
    EXPECT_FALSE(run(FinanceImport::Kind::Income));
    EXPECT_EQ(m_prompter.lastText(), kNotIdentified);
    EXPECT_EQ(table.sheet(1).type(101, 5), 0);

    m_prompter.answer(Answer::Yes);
    ASSERT_TRUE(run(FinanceImport::Kind::Income));
    const Sheet& s = table.sheet(1);
    EXPECT_EQ(s.text(int(TitleRow::Kind), kTitleValueCol), "Объект");
    EXPECT_EQ(s.number(int(TitleRow::Object), kTitleValueCol), 41);
    EXPECT_EQ(s.number(int(TitleRow::Object), kTitleExtraCol), 1);
    EXPECT_EQ(s.number(101, 5), 100);
    EXPECT_EQ(s.number(101, 6), 90);
    EXPECT_EQ(s.type(102, 5), 0);
    // Identified now: a second run asks nothing.
    m_prompter.clear();
    ASSERT_TRUE(run(FinanceImport::Kind::Income));
    EXPECT_TRUE(m_prompter.texts().isEmpty());
}

TEST_F(FinanceImportTest, ExpensesBuildTheCodeFromCutsAndIndicator) {
    const int r = 101;
    table.setNumber(rowSheet(), r, rowSlotColumn(Slot::Cut1), 901);
    table.setNumber(rowSheet(), r, rowSlotColumn(Slot::Cut2), 1);
    table.setNumber(rowSheet(), r, rowSlotColumn(Slot::Cut3), 2);
    table.setNumber(rowSheet(), r, rowSlotColumn(Slot::Cut4), 3);
    table.setText(rowSheet(), r, rowSlotColumn(Slot::IndicatorShown), "26");
    m_prompter.answer(Answer::Yes);
    ASSERT_TRUE(run(FinanceImport::Kind::Expenses));
    EXPECT_EQ(table.sheet(1).number(int(TitleRow::Level), kTitleValueCol), 1);
    EXPECT_EQ(table.sheet(1).number(r, 9), 5);
    EXPECT_EQ(table.sheet(1).number(r, 10), 6);
}

TEST_F(FinanceImportTest, WrongFilesAreRefusedWithTheirMessages) {
    preview.setNumber(1, 1, 2, 5); // no territory 5 in directory 1
    EXPECT_FALSE(run(FinanceImport::Kind::Income));
    EXPECT_EQ(m_prompter.lastText(),
              "Код территории из входного файла не найден в справочнике территорий");
    preview.sheet(1).setColHeading(4, "SUMMA");
    EXPECT_FALSE(run(FinanceImport::Kind::Expenses));
    EXPECT_EQ(m_prompter.lastText(), "DBF-файл не содержит отчет по доходам/расходам");
    EXPECT_EQ(table.sheet(1).type(int(TitleRow::Kind), kTitleValueCol), 0);
}
