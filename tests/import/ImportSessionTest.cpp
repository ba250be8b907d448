#include "../table/TableDbFixture.h"

#include "IdentModel.h"
#include "ImportSession.h"
#include "InitialWorkbook.h"
#include "io/TextEncoding.h"
#include "model/Workbook.h"

#include <QFile>
#include <QTemporaryDir>

namespace {

class ImportSessionTest : public TableDbFixture {
protected:
    static void SetUpTestSuite() {
        TableDbFixture::SetUpTestSuite();
        seedSmallDirectory();
    }
    void SetUp() override {
        InitialWorkbook::build(table);
        table.setActiveSheet(1);
    }
    QString write(const QString& name, const QByteArray& bytes) {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return f.fileName();
    }
    int rowSheet() const { return table.sheetCount() - 1; }
    QTemporaryDir dir;
    Workbook table;
};

const QString kReport = QStringLiteral("Отчёт за год\r\nКод;Район;Значение\r\n"
                                       "В-1;\"Северный; сельский\";12\r\n-;Город;3\r\n");

} // namespace

TEST_F(ImportSessionTest, CsvWithIdentificationFromTheStartRowOnLandsOnTheSameRows) {
    ImportSession session(
        write("report.csv", TextEncoding::encode(kReport, TextEncoding::Encoding::Cp866)));
    QString error;
    ASSERT_TRUE(session.open(&error)) << error.toStdString();
    EXPECT_EQ(session.source(), ImportSession::Source::Csv);
    EXPECT_EQ(session.encoding(), TextEncoding::Encoding::Cp866);
    EXPECT_EQ(session.preview().sheet(1).text(3, 2), "Северный; сельский");
    ASSERT_TRUE(session.columns().assign(1, 1, 0, {}, m_prompter));
    session.startRow = 3;
    session.target = ImportSession::Target::Side;

    // "-" is no alternative code: the protocol, and the table untouched.
    QStringList protocol;
    IdentModel model(table, m_prompter);
    EXPECT_EQ(session.finish(dm(), model, m_prompter, &protocol), ImportSession::Outcome::Protocol);
    EXPECT_EQ(protocol, QStringList{"СТОЛБЕЦ \"Показатель\":  КОД  ПОКАЗАТЕЛЯ  -  не  найден  в  "
                                    "справочнике\r\n"});
    EXPECT_EQ(table.sheet(rowSheet()).type(101, rowSlotColumn(Slot::IndicatorCode)), 0);

    session.deleteRow(4);
    EXPECT_EQ(session.finish(dm(), model, m_prompter, &protocol), ImportSession::Outcome::Done);
    // Preview row 3 is the first body row, its identification on the same row; the
    // identification column left the preview, so "Район" became the side.
    EXPECT_EQ(table.sheet(1).text(101, 2), "Северный; сельский");
    EXPECT_EQ(table.sheet(1).number(101, 3), 12);
    EXPECT_EQ(table.sheet(rowSheet()).number(101, rowSlotColumn(Slot::IndicatorCode)), 26);
    EXPECT_EQ(table.sheet(rowSheet()).text(101, rowSlotColumn(Slot::IndicatorShown)), "В-1");
    EXPECT_EQ(table.sheet(1).type(102, 2), 0);
}

TEST_F(ImportSessionTest, DecliningTheClearQuestionWritesNoIdentificationEither) {
    table.setText(1, 101, 3, QStringLiteral("старое"));
    ImportSession session(write("report.csv", kReport.toUtf8()));
    QString error;
    ASSERT_TRUE(session.open(&error));
    ASSERT_TRUE(session.columns().assign(1, 1, 0, {}, m_prompter));
    session.deleteRow(4);
    session.startRow = 3;
    IdentModel model(table, m_prompter);
    m_prompter.answer(Answer::No);
    EXPECT_EQ(session.finish(dm(), model, m_prompter, nullptr), ImportSession::Outcome::Stopped);
    EXPECT_EQ(table.sheet(1).text(101, 3), "старое");
    EXPECT_EQ(table.sheet(rowSheet()).type(101, rowSlotColumn(Slot::IndicatorCode)), 0);
    EXPECT_TRUE(session.columns().any());
}

TEST_F(ImportSessionTest, TextWizardLinesThenDelimitedThenFixedWidthByCharacters) {
    ImportSession session(
        write("report.txt", TextEncoding::encode(QStringLiteral("Район   12  7\r\n"
                                                                "Город   3   15\r\n"),
                                                 TextEncoding::Encoding::Windows1251)));
    QString error;
    ASSERT_TRUE(session.open(&error));
    EXPECT_EQ(session.preview().sheet(1).text(1, 1), "Район   12  7");
    EXPECT_EQ(session.encoding(), TextEncoding::Encoding::Windows1251);

    session.options() = {};
    session.options().separator = ' ';
    session.options().qualifier = QChar();
    ASSERT_TRUE(session.reread(&error));
    EXPECT_EQ(session.preview().sheet(1).text(1, 1), "Район");
    EXPECT_EQ(session.preview().sheet(1).type(1, 2), 0); // blanks in a row give empty fields

    session.preview().sheet(1).setColWidth(1, 8 * 256);
    session.preview().sheet(1).setColWidth(2, 4 * 256);
    session.options() = {};
    session.options().fixedWidth = true;
    session.options().widths = session.columnWidthsInCharacters();
    ASSERT_TRUE(session.reread(&error));
    const Sheet& s = session.preview().sheet(1);
    EXPECT_EQ(s.text(2, 1), "Город");
    EXPECT_EQ(s.number(2, 2), 3);
    EXPECT_EQ(s.number(2, 3), 15);
    EXPECT_EQ(s.colWidth(1), 8 * 256); // the widths outlive the re-reading

    int row = 0;
    QString message;
    EXPECT_TRUE(ImportSession::parseStartRow(" ", &row, &message));
    EXPECT_EQ(row, 1);
    EXPECT_TRUE(ImportSession::parseStartRow("0", &row, &message));
    EXPECT_EQ(row, 1);
    EXPECT_FALSE(ImportSession::parseStartRow("-2", &row, &message));
    EXPECT_EQ(message, "Должно быть введено число > 0");
    EXPECT_FALSE(ImportSession::parseStartRow("abc", &row, &message));
    EXPECT_EQ(message, "Должно быть введено число");
}
