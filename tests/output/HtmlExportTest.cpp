#include "HtmlExport.h"
#include "HtmlPageSet.h"
#include "HtmlTableExport.h"
#include "IdentModel.h"
#include "InitialWorkbook.h"
#include "InstanceSheets.h"
#include "ScriptedPrompter.h"
#include "TableLayout.h"

#include "model/Sheet.h"
#include "model/Workbook.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <unistd.h>

using namespace TableLayout;

namespace {

// A table of one title line, one header row and three body rows; the tests change it.
class HtmlExportTest : public ::testing::Test {
protected:
    void SetUp() override {
        InitialWorkbook::build(m_book);
        m_model.readGeometry();
        m_book.setText(1, 99, 2, QStringLiteral("Коечный фонд <итоги> & штаты"));
        m_book.setText(1, 100, 2, QStringLiteral("Показатель"));
        m_book.setText(1, 100, 3, QStringLiteral("2024"));
        m_book.setText(1, 100, 4, QStringLiteral("2025"));
        m_book.setText(1, 101, 2, QStringLiteral("Коек"));
        m_book.setNumber(1, 101, 3, 1234.5);
        m_book.setNumberFormat(1, CellRange::cell(101, 3), QStringLiteral("0.00"));
        m_book.setNumber(1, 101, 4, 0);
        m_book.setText(1, 102, 2, QStringLiteral("Врачей"));
        m_book.setText(1, 102, 3, QStringLiteral("<b>&"));
        m_book.setNumber(1, 102, 4, 7);
    }

    // Every element's text, in document order; fails the test on a parse error.
    static QStringList parse(const QString& xml, QStringList* hrefs = nullptr) {
        QXmlStreamReader r(xml);
        QStringList texts;
        while (!r.atEnd()) {
            r.readNext();
            if (r.isCharacters() && !r.isWhitespace())
                texts.append(r.text().toString());
            if (r.isStartElement() && hrefs && r.name() == QLatin1String("a"))
                hrefs->append(r.attributes().value(QStringLiteral("href")).toString());
        }
        EXPECT_FALSE(r.hasError()) << r.errorString().toStdString();
        return texts;
    }
    static QString readFile(const QString& path) {
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
        return QString::fromUtf8(f.readAll());
    }

    Workbook m_book;
    ScriptedPrompter m_prompter;
    IdentModel m_model{m_book, m_prompter};
};

} // namespace

TEST_F(HtmlExportTest, OneInstanceSheetGivesOneWellFormedPageWithEscapedCyrillicText) {
    QTemporaryDir dir;
    ASSERT_TRUE(HtmlExport::writeTablePages(
        m_model, m_prompter, 125, QStringLiteral("Таблица"),
        HtmlExport::tablePagePath(dir.filePath(QStringLiteral("report.htm")), 125)));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("T125.HTM")});
    const QString page = readFile(dir.filePath(QStringLiteral("T125.HTM")));
    EXPECT_TRUE(page.contains(QStringLiteral("<meta charset=\"utf-8\" />")));
    EXPECT_TRUE(page.endsWith(QStringLiteral("</table>\r\n</body>\r\n</html>\r\n")));
    const QStringList texts = parse(page);
    EXPECT_TRUE(texts.contains(QStringLiteral("Коечный фонд <итоги> & штаты")));
    EXPECT_TRUE(texts.contains(QStringLiteral("<b>&")));
    EXPECT_TRUE(texts.contains(QStringLiteral("1234.50")));
    EXPECT_TRUE(texts.contains(QStringLiteral("7")));
    EXPECT_FALSE(texts.contains(QStringLiteral("0"))) << "a zero is written empty";
    EXPECT_TRUE(page.contains(QStringLiteral("&lt;b&gt;&amp;")));
}

TEST_F(HtmlExportTest, ThreeInstanceSheetsGiveAnIndexWithRelativeLinksToTheirPages) {
    // Two more instance sheets before the identification sheets, titled apart.
    for (int i = 2; i <= 3; ++i) {
        m_book.insertSheet(i, QStringLiteral("Лист %1").arg(i));
        m_book.copyRange(m_book, 1, CellRange(1, 1, 110, 10), i, 1, 1, {});
        m_book.setText(i, 99, 2, QStringLiteral("Район %1").arg(i));
    }
    m_book.sheet(2).setRowHidden(101, true);
    m_model.readGeometry();
    ASSERT_EQ(m_model.instanceCount(), 3);
    QTemporaryDir dir;
    ASSERT_TRUE(HtmlExport::writeTablePages(m_model, m_prompter, 7, QStringLiteral("Кадры"),
                                            dir.filePath(QStringLiteral("T7.HTM"))));
    QStringList hrefs;
    const QStringList index = parse(readFile(dir.filePath(QStringLiteral("T7.HTM"))), &hrefs);
    EXPECT_EQ(hrefs, (QStringList{QStringLiteral("T7_1.HTM"), QStringLiteral("T7_2.HTM"),
                                  QStringLiteral("T7_3.HTM")}));
    EXPECT_TRUE(index.contains(QStringLiteral("Район 2")));
    for (const QString& href : hrefs)
        EXPECT_TRUE(QFileInfo::exists(dir.filePath(href))) << href.toStdString();
    const QStringList second = parse(readFile(dir.filePath(QStringLiteral("T7_2.HTM"))));
    EXPECT_TRUE(second.contains(QStringLiteral("Район 2")));
    EXPECT_FALSE(second.contains(QStringLiteral("Коек"))) << "a hidden row is left out";
    EXPECT_TRUE(second.contains(QStringLiteral("Врачей")));
}

TEST_F(HtmlExportTest, AHeaderTextWiderThanItsColumnSpansTheBlankCellsItNeeds) {
    for (int c = 3; c <= 6; ++c)
        m_book.sheet(1).setColWidth(c, 6 * 256);
    for (int c = 3; c <= 6; ++c)
        m_book.setNumber(1, 101, c, c);
    m_book.clearCell(1, 100, 4);
    const HtmlTableExport table(m_model, 1, QStringLiteral("Т"));
    // Slightly wider than one column: two columns cover it.
    m_book.setText(1, 100, 3, QStringLiteral("Всего коек"));
    EXPECT_EQ(table.headerSpans(1, 100, 6), (QList<int>{1, 2, 0, 1, 1}));
    // Wider than two columns with two blanks after it, a text after them: three.
    m_book.setText(1, 100, 3, QStringLiteral("Всего коек на конец отчетного года"));
    m_book.setText(1, 100, 6, QStringLiteral("x"));
    EXPECT_EQ(table.headerSpans(1, 100, 6), (QList<int>{1, 3, 0, 0, 1}));
    // The covered cells are not written.
    const QString html = table.sheetTable(1);
    EXPECT_EQ(html.count(QStringLiteral("colspan=\"3\"")), 1);
    EXPECT_EQ(html.count(QStringLiteral("colspan=")), 3);
    // A neighbour that is not blank keeps it to one column.
    m_book.setText(1, 100, 4, QStringLiteral("x"));
    EXPECT_EQ(table.headerSpans(1, 100, 6), (QList<int>{1, 1, 1, 1, 1}));
}

TEST_F(HtmlExportTest, AFolderThatCannotBeWrittenIsToldAndKeepsTheOldPages) {
    if (geteuid() == 0)
        GTEST_SKIP() << "the superuser writes into any folder";
    QTemporaryDir dir;
    const QString old = dir.filePath(QStringLiteral("T9.HTM"));
    {
        QFile f(old);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("old page");
    }
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    EXPECT_FALSE(HtmlExport::writeTablePages(m_model, m_prompter, 9, QStringLiteral("Т"), old));
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    ASSERT_EQ(m_prompter.shown().size(), 1);
    EXPECT_TRUE(m_prompter.lastText().startsWith(
        QStringLiteral("Не удалось сохранить HTML-страницы\r\n\r\nНет права записи в папку")));
    EXPECT_EQ(readFile(old), QStringLiteral("old page"));
    EXPECT_EQ(QDir(dir.path())
                  .entryList(QDir::Files | QDir::Hidden | QDir::AllDirs | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("T9.HTM")});
}

TEST(HtmlPageSet, APageThatCannotBeWrittenLeavesEveryOldPage) {
    QTemporaryDir dir;
    QFile a(dir.filePath(QStringLiteral("A.HTM")));
    ASSERT_TRUE(a.open(QIODevice::WriteOnly));
    a.write("old");
    a.close();
    HtmlPageSet set;
    set.add(QStringLiteral("A.HTM"), QStringLiteral("new"));
    set.add(QStringLiteral("no-such-folder/B.HTM"), QStringLiteral("new"));
    QString error;
    EXPECT_FALSE(set.write(dir.path(), &error));
    EXPECT_TRUE(
        error.startsWith(QStringLiteral("Не удалось записать файл \"no-such-folder/B.HTM\"")));
    ASSERT_TRUE(a.open(QIODevice::ReadOnly));
    EXPECT_EQ(a.readAll(), QByteArray("old"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("A.HTM")});
}
