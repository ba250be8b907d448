#include "../table/TableDbFixture.h"

#include "IdentModel.h"
#include "ImportSession.h"
#include "InitialWorkbook.h"
#include "TfmImport.h"
#include "model/Workbook.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QRadioButton>
#include <QTemporaryDir>

namespace {

class TfmImportTest : public TableDbFixture {
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
        InitialWorkbook::build(table);
        table.setActiveSheet(1);
    }
    QString write(const QString& name, const QByteArray& bytes) {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return f.fileName();
    }
    QTemporaryDir dir;
    Workbook table;
    IdentModel model{table, m_prompter};
};

} // namespace

TEST_F(TfmImportTest, CsvOpensOnItsDataAndTheDirectoryPopUpGivesTheDirectoryNumber) {
    ImportSession session(write("r.csv", QStringLiteral("Район;Округ;Значение\r\n"
                                                        "Западный;50;12\r\n")
                                             .toUtf8()));
    QString error;
    ASSERT_TRUE(session.open(&error));
    TfmImport window(dm(), model, m_prompter, session, true);
    EXPECT_EQ(window.page(), 2);
    // "Объект", then the third directory of the pop-up: "Округа", numbered 5.
    m_prompter.choice(3).choice(2);
    window.identifyColumn(2);
    EXPECT_EQ(session.columns().carried(2).directory, 5);
    EXPECT_EQ(session.preview().sheet(1).colHeading(2), "Округа");

    window.edNStr->setText("-1");
    window.bReadyClick();
    EXPECT_EQ(m_prompter.lastText(), "Должно быть введено число > 0");
    window.edNStr->setText("2");
    window.bReadyClick();
    EXPECT_EQ(window.result(), QDialog::Accepted);
    const Sheet& rows = table.sheet(model.rowIdentSheet());
    EXPECT_EQ(rows.number(101, rowSlotColumn(Slot::Object)), 50);
    EXPECT_EQ(rows.number(101, rowSlotColumn(Slot::ObjectType)), 5);
    EXPECT_EQ(table.sheet(1).text(101, 3), "Западный");
    EXPECT_EQ(table.sheet(1).number(101, 4), 12);
}

TEST_F(TfmImportTest, TextWizardFromLinesToFieldsAndAProtocolKeepsTheWindowOpen) {
    ImportSession session(write("r.txt", "Code,Value\r\nX-9,\"1,5\"\r\n"));
    QString error;
    ASSERT_TRUE(session.open(&error));
    TfmImport window(dm(), model, m_prompter, session, true);
    EXPECT_EQ(window.page(), 0);
    EXPECT_EQ(session.preview().sheet(1).text(2, 1), "X-9,\"1,5\"");
    window.rgDelimited->setChecked(true);
    window.bMoreClick();
    EXPECT_EQ(window.page(), 1);
    window.cbOgr->setCurrentIndex(0);
    window.separatorChosen(1); // "Запятая"
    EXPECT_EQ(session.preview().sheet(1).text(2, 1), "X-9");
    EXPECT_EQ(session.preview().sheet(1).number(2, 2), 1.5);

    QStringList shown;
    window.showProtocol = [&](const QStringList& lines) { shown = lines; };
    m_prompter.choice(0);
    window.identifyColumn(1);
    window.edNStr->setText("2");
    window.bReadyClick();
    EXPECT_EQ(shown, QStringList{"СТОЛБЕЦ \"Показатель\":  КОД  ПОКАЗАТЕЛЯ  X-9  не  найден  в  "
                                 "справочнике\r\n"});
    EXPECT_NE(window.result(), QDialog::Accepted);
    EXPECT_EQ(table.sheet(1).type(101, 3), 0);

    window.bBackClick();
    EXPECT_EQ(window.page(), 0);
    EXPECT_FALSE(session.columns().any());
}
