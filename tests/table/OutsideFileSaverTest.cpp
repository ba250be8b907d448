#include "OutsideFileSaver.h"
#include "CodePages.h"
#include "InitialWorkbook.h"
#include "ScriptedPrompter.h"
#include "io/NativeFormat.h"
#include "model/Workbook.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using Format = OutsideFileSaver::Format;

namespace {

class OutsideFileSaverTest : public ::testing::Test {
protected:
    void SetUp() override {
        InitialWorkbook::build(m_book);
        m_book.insertSheet(1);
        m_book.setText(2, 1, 1, QStringLiteral("1     1"));
        m_book.setText(1, 100, 3, QStringLiteral("Графа 1"));
        m_book.setNumber(2, 101, 3, 42);
        m_book.setNumber(2, 104, 5, 7);
        m_book.sheet(2).setRowHeight(101, 600);
        m_book.sheet(2).setColWidth(5, 20 * 256);
        m_book.sheet(2).setColHidden(4, true);
        SheetOptions o = m_book.sheet(2).options();
        o.protection = true;
        m_book.sheet(2).setOptions(o);
        m_book.setActiveSheet(2);
    }
    QString path(const char* name) const {
        return QDir(m_dir.path()).filePath(QString::fromLatin1(name));
    }

    QTemporaryDir m_dir;
    Workbook m_book;
    ScriptedPrompter m_prompter;
    OutsideFileSaver m_saver{m_book, m_prompter};
};

} // namespace

TEST_F(OutsideFileSaverTest, OneSheetTakesItsUsedRangeSizesAndProtection) {
    ASSERT_TRUE(m_saver.write(Format::SheetNative, path("one.vts")));
    Workbook read;
    ASSERT_TRUE(NativeFormat::loadFile(read, path("one.vts")));
    ASSERT_EQ(read.sheetCount(), 1);
    const Sheet& s = read.sheet(1);
    EXPECT_EQ(s.number(101, 3), 42);
    EXPECT_EQ(s.number(104, 5), 7);
    EXPECT_EQ(s.text(1, 1), m_book.sheet(1).text(1, 1)) << "layout cell from sheet 1";
    EXPECT_EQ(s.rowHeight(101), 600);
    EXPECT_EQ(s.colWidth(5), 20 * 256);
    EXPECT_TRUE(s.colHidden(4));
    EXPECT_TRUE(s.rowHidden(50));
    EXPECT_TRUE(s.options().protection);
    EXPECT_EQ(m_book.activeSheetIndex(), 2);
}

TEST_F(OutsideFileSaverTest, WholeWorkbookFormatsRestoreTheActiveSheet) {
    m_prompter.choice(0).file(path("all.vts"));
    ASSERT_TRUE(m_saver.saveAs());
    EXPECT_EQ(m_prompter.shown()[0].caption, QStringLiteral("Сохранить как внешний файл"));
    Workbook read;
    ASSERT_TRUE(NativeFormat::loadFile(read, path("all.vts")));
    EXPECT_EQ(read.sheetCount(), 4);
    EXPECT_EQ(m_book.activeSheetIndex(), 2);

    ASSERT_TRUE(m_saver.write(Format::TextPlain, path("plain.txt")));
    QFile text(path("plain.txt"));
    ASSERT_TRUE(text.open(QIODevice::ReadOnly));
    EXPECT_TRUE(DecodeText(CodePage::Win1251, text.readAll()).contains(QStringLiteral("Графа 1")));
    EXPECT_EQ(m_book.activeSheetIndex(), 2);
}

TEST_F(OutsideFileSaverTest, DelimitedTextIsWindows1251AndAnUnfitCellIsAskedAbout) {
    auto bytes = [&](const char* name) {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(none)");
    };
    m_book.setNumber(1, 101, 3, 12.5);
    ASSERT_TRUE(m_saver.write(Format::Text, path("cp.txt")));
    ASSERT_TRUE(m_saver.write(Format::TextPlain, path("plain.txt")));
    for (const char* name : {"cp.txt", "plain.txt"}) {
        const QByteArray b = bytes(name);
        EXPECT_TRUE(b.contains(EncodeText(CodePage::Win1251, QStringLiteral("\tГрафа 1")))) << name;
        EXPECT_TRUE(b.contains("\t12.5")) << name;
    }
    EXPECT_TRUE(m_prompter.shown().isEmpty());

    // A text Windows-1251 cannot hold: the user is asked, the file left as it was.
    m_book.setText(1, 100, 4, QStringLiteral("Ωмега"));
    const QString question = QStringLiteral("Текст ячейки D100 нельзя записать в кодировке "
                                            "Windows-1251.\r\nЗаписать файл в кодировке UTF-8 ?");
    const QByteArray before = bytes("cp.txt");
    m_prompter.answer(Answer::No);
    EXPECT_FALSE(m_saver.write(Format::Text, path("cp.txt")));
    EXPECT_FALSE(m_saver.write(Format::Html, path("x.htm")));
    ASSERT_EQ(m_prompter.shown().size(), 2);
    EXPECT_EQ(m_prompter.shown()[0].text, question);
    EXPECT_EQ(m_prompter.shown()[0].kind, ScriptedPrompter::Kind::Question);
    EXPECT_EQ(m_prompter.shown()[0].defaultButton, Answer::No);
    EXPECT_EQ(m_prompter.shown()[1].text, QStringLiteral("Невозможно создать файл"));
    EXPECT_EQ(bytes("cp.txt"), before);

    m_prompter.clear();
    m_prompter.answer(Answer::Yes);
    ASSERT_TRUE(m_saver.write(Format::TextPlain, path("utf.txt")));
    EXPECT_EQ(m_prompter.texts(), QStringList{question});
    const QByteArray utf = bytes("utf.txt");
    EXPECT_TRUE(utf.startsWith("\xEF\xBB\xBF"));
    EXPECT_TRUE(QString::fromUtf8(utf.mid(3)).contains(QStringLiteral("Графа 1\tΩмега")));
}

TEST_F(OutsideFileSaverTest, FailuresSayTheFileCannotBeCreated) {
    EXPECT_FALSE(m_saver.write(Format::Native, path("missing/dir/x.vts")));
    EXPECT_FALSE(m_saver.write(Format::Html, path("x.htm")));
    EXPECT_EQ(m_prompter.texts(), (QStringList{QStringLiteral("Невозможно создать файл"),
                                               QStringLiteral("Невозможно создать файл")}));
    m_prompter.clear();
    m_prompter.choice(-1);
    EXPECT_FALSE(m_saver.saveAs());
    EXPECT_EQ(m_prompter.shown().size(), 1);
}

TEST_F(OutsideFileSaverTest, ExcelFilesAreWrittenAsXlsx) {
    if (!OutsideFileSaver::excelAvailable())
        GTEST_SKIP() << "built without libxlsxwriter";
    m_book.setFormula(2, 105, 3, QStringLiteral("=C101+E104"));
    ASSERT_TRUE(m_saver.write(Format::Excel, path("all.xlsx")));
    ASSERT_TRUE(m_saver.write(Format::SheetExcel, path("one.xlsx")));
    for (const char* name : {"all.xlsx", "one.xlsx"}) {
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << name;
        EXPECT_EQ(f.read(4), QByteArray("PK\x03\x04", 4)) << name;
    }
    EXPECT_TRUE(m_prompter.shown().isEmpty());

    const QString unzip = QStandardPaths::findExecutable(QStringLiteral("unzip"));
    if (unzip.isEmpty())
        GTEST_SKIP() << "no unzip to look inside";
    auto part = [&](const char* file, const char* name) {
        QProcess p;
        p.start(unzip, {QStringLiteral("-p"), path(file), QString::fromLatin1(name)});
        p.waitForFinished();
        return QString::fromUtf8(p.readAllStandardOutput());
    };
    const QString sheet2 = part("all.xlsx", "xl/worksheets/sheet2.xml");
    EXPECT_TRUE(sheet2.contains(QStringLiteral("<f>C101+E104</f><v>49</v>")))
        << sheet2.toStdString();
    EXPECT_TRUE(sheet2.contains(QStringLiteral("hidden=\"1\"")));
    EXPECT_TRUE(sheet2.contains(QStringLiteral("<sheetProtection")));
    EXPECT_TRUE(part("all.xlsx", "xl/sharedStrings.xml").contains(QStringLiteral("Графа 1")));
    EXPECT_TRUE(part("one.xlsx", "xl/worksheets/sheet1.xml").contains(QStringLiteral("<v>42</v>")));
}
