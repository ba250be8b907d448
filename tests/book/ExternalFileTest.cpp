#include "io/ExternalFile.h"
#include "StoredZip.h"
#include "XlsFile.h"
#include "io/TextEncoding.h"
#include "io/TextSplitter.h"
#include "io/XlsxWriter.h"
#include "model/Workbook.h"

#include <xlsxwriter.h>

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using TextEncoding::Encoding;

namespace {

class ExternalFileTest : public ::testing::Test {
protected:
    QString path(const QString& name) const { return dir.filePath(name); }
    QString write(const QString& name, const QByteArray& bytes) const {
        QFile f(path(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path(name);
    }
    // A book that must survive a failed read untouched.
    void fillKept(Workbook& b) {
        b.setEntry(1, 1, "kept");
        b.setEntry(2, 2, "42");
    }
    void expectKept(const Workbook& b) {
        EXPECT_EQ(b.sheetCount(), 1);
        EXPECT_EQ(b.text(1, 1), "kept");
        EXPECT_EQ(b.number(2, 2), 42);
    }
    QString odsContent(const QString& cells) const {
        return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
                              "<office:document-content "
                              "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
                              "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
                              "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" "
                              "office:version=\"1.2\"><office:body><office:spreadsheet>%1"
                              "</office:spreadsheet></office:body></office:document-content>")
            .arg(cells);
    }
    QString writeOds(const QString& name, const QString& tables) const {
        return write(name,
                     storedZip({{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"},
                                {"content.xml", odsContent(tables).toUtf8()}}));
    }
    QTemporaryDir dir;
};

const QString kHeader = QStringLiteral("Показатель;\"Код; старый\";Значение\r\n");

} // namespace

TEST(TextSplitterTest, QualifiedFieldsKeepSeparatorsQuotesAndBreaks) {
    const auto rows = TextSplitter::splitDelimited(
        u"a;\"b\"\r\n\"x;y\";\"say \"\"hi\"\"\";\"two\nlines\"\n;;\nlast;", ';', '"');
    ASSERT_EQ(rows.size(), 4);
    EXPECT_EQ(rows[0], QStringList({"a", "b"}));
    EXPECT_EQ(rows[1], QStringList({"x;y", "say \"hi\"", "two\nlines"}));
    EXPECT_EQ(rows[2], QStringList({"", "", ""}));
    EXPECT_EQ(rows[3], QStringList({"last", ""}));
    // Without a qualifier the quotes are plain characters.
    EXPECT_EQ(TextSplitter::splitDelimited(u"\"a;b\"", ';', QChar())[0],
              QStringList({"\"a", "b\""}));
    EXPECT_TRUE(TextSplitter::splitDelimited(u"", ';', '"').isEmpty());
}

TEST(TextSplitterTest, FixedWidthCutsAtCharacterPositions) {
    const auto rows = TextSplitter::splitFixed(u"Итого  12   7\r\nab\nРайон  3    15 x", {7, 5});
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[0], QStringList({"Итого", "12", "7"}));
    EXPECT_EQ(rows[1], QStringList({"ab"}));
    EXPECT_EQ(rows[2], QStringList({"Район", "3", "15 x"}));
}

TEST(TextEncodingTest, DetectsTheThreeCyrillicEncodings) {
    const QString text = QStringLiteral("Показатель;Объём;Ёлки\r\nрайон;12\r\n");
    const QByteArray utf8Bom = "\xEF\xBB\xBF" + text.toUtf8();
    Encoding used = Encoding::Auto;
    EXPECT_EQ(TextEncoding::decode(utf8Bom, Encoding::Auto, &used), text);
    EXPECT_EQ(used, Encoding::Utf8);
    EXPECT_EQ(TextEncoding::decode(text.toUtf8(), Encoding::Auto, &used), text);
    for (const Encoding e : {Encoding::Windows1251, Encoding::Cp866}) {
        const QByteArray bytes = TextEncoding::encode(text, e);
        EXPECT_NE(bytes, text.toUtf8());
        EXPECT_EQ(TextEncoding::decode(bytes, Encoding::Auto, &used), text);
        EXPECT_EQ(used, e);
    }
    // A chosen encoding is applied as chosen.
    EXPECT_NE(
        TextEncoding::decode(TextEncoding::encode(text, Encoding::Cp866), Encoding::Windows1251),
        text);
}

TEST_F(ExternalFileTest, CsvInEveryEncodingGivesTheSameCells) {
    const QString text =
        kHeader + QStringLiteral("Район;\"1;2\";12,5\n\"ООО \"\"Ромашка\"\"\";;7\n");
    const QList<QPair<QString, QByteArray>> files = {
        {"utf8.csv", "\xEF\xBB\xBF" + text.toUtf8()},
        {"nobom.csv", text.toUtf8()},
        {"ansi.csv", TextEncoding::encode(text, Encoding::Windows1251)},
        {"dos.csv", TextEncoding::encode(text, Encoding::Cp866)}};
    for (const auto& [name, bytes] : files) {
        SCOPED_TRACE(name.toStdString());
        Workbook b;
        QString error;
        ASSERT_TRUE(ExternalFile::read(b, write(name, bytes), &error)) << error.toStdString();
        EXPECT_EQ(b.text(1, 1), "Показатель");
        EXPECT_EQ(b.text(1, 2), "Код; старый");
        EXPECT_EQ(b.text(2, 2), "1;2");
        EXPECT_EQ(b.number(2, 3), 12.5);
        EXPECT_EQ(b.text(3, 1), "ООО \"Ромашка\"");
        EXPECT_EQ(b.type(3, 2), 0);
        EXPECT_EQ(b.number(3, 3), 7);
        EXPECT_EQ(b.sheet(1).lastRow(), 3);
    }
}

TEST_F(ExternalFileTest, TextFixedWidthAndLinesOnly) {
    const QString p =
        write("report.txt",
              TextEncoding::encode(QStringLiteral("Район  12   =A1\r\nГород  3"), Encoding::Cp866));
    Workbook b;
    QString error;
    ExternalFile::TextOptions o;
    o.fixedWidth = true;
    o.widths = {7, 5};
    ExternalFile::Result result;
    ASSERT_TRUE(ExternalFile::read(b, p, &error, o, &result));
    EXPECT_EQ(result.encoding, Encoding::Cp866);
    EXPECT_EQ(b.text(1, 1), "Район");
    EXPECT_EQ(b.number(1, 2), 12);
    EXPECT_EQ(b.type(1, 3), 2); // a field starting with "=" stays text
    EXPECT_EQ(b.number(2, 2), 3);
    o = {};
    o.linesOnly = true;
    ASSERT_TRUE(ExternalFile::read(b, p, &error, o));
    EXPECT_EQ(b.text(1, 1), "Район  12   =A1");
    EXPECT_EQ(b.sheet(1).lastCol(), 1);
}

TEST_F(ExternalFileTest, XlsxFromLibxlsxwriterAndFromOurWriter) {
    const QByteArray file = QFile::encodeName(path("lxw.xlsx"));
    lxw_workbook* wb = workbook_new(file.constData());
    lxw_worksheet* ws1 = workbook_add_worksheet(wb, "Данные");
    worksheet_write_string(ws1, 0, 0, "Район", nullptr);
    worksheet_write_number(ws1, 0, 1, 12.5, nullptr);
    worksheet_write_formula_num(ws1, 1, 1, "=B1*2", nullptr, 25);
    worksheet_write_boolean(ws1, 2, 0, 1, nullptr);
    lxw_worksheet* ws2 = workbook_add_worksheet(wb, "Второй");
    worksheet_write_string(ws2, 3, 2, "Итого", nullptr);
    ASSERT_EQ(workbook_close(wb), LXW_NO_ERROR);

    Workbook b;
    QString error;
    ASSERT_TRUE(ExternalFile::read(b, path("lxw.xlsx"), &error)) << error.toStdString();
    ASSERT_EQ(b.sheetCount(), 2);
    EXPECT_EQ(b.sheet(1).name(), "Данные");
    EXPECT_EQ(b.text(1, 1), "Район");
    EXPECT_EQ(b.number(1, 2), 12.5);
    EXPECT_EQ(b.number(2, 2), 25); // the kept result of the formula
    EXPECT_EQ(b.number(3, 1), 1);
    EXPECT_EQ(b.sheet(2).text(4, 3), "Итого");

    Workbook ours(2);
    ours.setEntry(1, 1, "Объект");
    ours.setEntry(1, 2, "3,25");
    ours.setEntry(2, 2, "=B1+1");
    ours.setEntry(2, 5, 5, "x");
    ASSERT_TRUE(XlsxWriter::writeFile(ours, path("ours.xlsx"), &error));
    Workbook back;
    ASSERT_TRUE(ExternalFile::read(back, path("ours.xlsx"), &error)) << error.toStdString();
    ASSERT_EQ(back.sheetCount(), 2);
    EXPECT_EQ(back.text(1, 1), "Объект");
    EXPECT_EQ(back.number(1, 2), 3.25);
    EXPECT_EQ(back.number(2, 2), 4.25);
    EXPECT_EQ(back.sheet(2).text(5, 5), "x");
}

TEST_F(ExternalFileTest, OdsBuiltFromXml) {
    const QString p = writeOds(
        "book.ods",
        "<table:table table:name=\"Лист1\"><table:table-row>"
        "<table:table-cell office:value-type=\"string\"><text:p>Район</text:p></table:table-cell>"
        "<table:table-cell office:value-type=\"float\" office:value=\"17.5\"/>"
        "</table:table-row><table:table-row>"
        "<table:table-cell/><table:table-cell office:value-type=\"float\" office:value=\"3\"/>"
        "</table:table-row></table:table>"
        "<table:table table:name=\"Лист2\"><table:table-row>"
        "<table:table-cell office:value-type=\"string\"><text:p>x</text:p></table:table-cell>"
        "</table:table-row></table:table>");
    Workbook b;
    QString error;
    ASSERT_TRUE(ExternalFile::read(b, p, &error)) << error.toStdString();
    ASSERT_EQ(b.sheetCount(), 2);
    EXPECT_EQ(b.text(1, 1), "Район");
    EXPECT_EQ(b.number(1, 2), 17.5);
    EXPECT_EQ(b.number(2, 2), 3);
    EXPECT_EQ(b.sheet(2).text(1, 1), "x");
}

TEST_F(ExternalFileTest, DamagedFilesLeaveTheBookAsItWas) {
    // A truncated .xlsx.
    Workbook source;
    for (int r = 1; r <= 200; ++r)
        source.setEntry(r, 1, QStringLiteral("строка %1").arg(r));
    QString error;
    ASSERT_TRUE(XlsxWriter::writeFile(source, path("full.xlsx"), &error));
    QFile full(path("full.xlsx"));
    ASSERT_TRUE(full.open(QIODevice::ReadOnly));
    const QByteArray bytes = full.readAll();
    const QString truncated = write("cut.xlsx", bytes.left(bytes.size() / 2));

    // A cell of 100 000 characters, in a .csv and in an .ods.
    const QString longCsv = write("long.csv", "a;" + QByteArray(100000, 'x') + "\r\n");
    const QString longOds = writeOds(
        "long.ods", "<table:table table:name=\"Длинный\"><table:table-row><table:table-cell/>"
                    "<table:table-cell office:value-type=\"string\"><text:p>" +
                        QString(100000, 'y') +
                        "</text:p></table:table-cell>"
                        "</table:table-row></table:table>");
    // A binary file named .csv, and garbage named .xls and .ods.
    QByteArray binary;
    for (int i = 0; i < 4096; ++i)
        binary += char(i * 37 % 256);
    const QString binCsv = write("data.csv", binary);
    const QString binXls = write("old.xls", binary);
    const QString odsNoContent = write("empty.ods", storedZip({{"mimetype", "x"}}));

    const QList<QPair<QString, QString>> cases = {
        {truncated, "Файл \"cut.xlsx\" повреждён или не является книгой Excel (.xlsx): "},
        {longCsv, "Лист \"Лист1\", строка 1, столбец 2: текст ячейки длиной 100000 символов, а "
                  "ячейка вмещает не более 32767"},
        {longOds, "Лист \"Длинный\", строка 1, столбец 2: текст ячейки длиной 100000 символов, а "
                  "ячейка вмещает не более 32767"},
        {binCsv, "Файл \"data.csv\" не является текстовым"},
        {binXls, "Файл \"old.xls\" повреждён или не является книгой Excel 97–2003 (.xls)"},
        {odsNoContent, "Файл \"empty.ods\" повреждён или не является таблицей OpenDocument (.ods)"},
        {path("table.dbx"), "Файлы \"table.dbx\" не читаются: ожидается .xlsx, .ods, .xls, .csv, "
                            ".txt или .prn"},
        {path("missing.csv"), "Файл \"" + path("missing.csv") + "\" не найден"}};
    for (const auto& [file, message] : cases) {
        SCOPED_TRACE(file.toStdString());
        Workbook b;
        fillKept(b);
        QString e;
        EXPECT_FALSE(ExternalFile::read(b, file, &e));
        EXPECT_TRUE(e.startsWith(message)) << e.toStdString();
        expectKept(b);
    }
}

TEST_F(ExternalFileTest, XlsMadeByteByByteReadsNumbersAndCyrillicTexts) {
    const QByteArray xls = XlsFile::make(QStringLiteral("Свод"), {{0, 0, QStringLiteral("Район")},
                                                                  {0, 1, 12.5},
                                                                  {1, 0, QStringLiteral("Ёлкино")},
                                                                  {1, 1, -3.0},
                                                                  {3, 2, QStringLiteral("Район")}});
    Workbook b;
    QString e;
    ASSERT_TRUE(ExternalFile::read(b, write("old.xls", xls), &e)) << e.toStdString();
    const Sheet& s = b.sheet(1);
    EXPECT_EQ(s.name(), "Свод");
    EXPECT_EQ(s.text(1, 1), "Район");
    EXPECT_EQ(s.number(1, 2), 12.5);
    EXPECT_EQ(s.text(2, 1), "Ёлкино");
    EXPECT_EQ(s.number(2, 2), -3);
    EXPECT_EQ(s.type(3, 1), 0);
    EXPECT_EQ(s.text(4, 3), "Район"); // a shared string used twice
    EXPECT_EQ(s.lastRow(), 4);

    // The same file cut short is refused and the book kept.
    fillKept(b);
    EXPECT_FALSE(ExternalFile::read(b, write("cut.xls", xls.left(1536)), &e));
    EXPECT_TRUE(e.startsWith("Файл \"cut.xls\" повреждён")) << e.toStdString();
    expectKept(b);
}

TEST(ExternalFileTextTest, FieldsBecomeWhatTypedInputGives) {
    const QStringList fields = {"12",    "-12,5", "3.25",  "1.3", "007",   "1.3.2004",
                                "5%",    "Район", "1 234", "-",   ",5",    "12,",
                                "1,2,3", "=A1",   "a1",    "1e5", "0.000", "123456789012345678"};
    Workbook read;
    QString error;
    ASSERT_TRUE(ExternalFile::readText(read, fields.join(';'), {}, &error));
    Workbook typed;
    for (int c = 0; c < fields.size(); ++c) {
        SCOPED_TRACE(fields[c].toStdString());
        if (fields[c].startsWith('='))
            typed.setText(1, 1, c + 1, fields[c]);
        else
            typed.setEntry(1, 1, c + 1, fields[c]);
        EXPECT_EQ(read.type(1, c + 1), typed.type(1, c + 1));
        EXPECT_EQ(read.number(1, c + 1), typed.number(1, c + 1));
        EXPECT_EQ(read.text(1, c + 1), typed.text(1, c + 1));
    }
}

TEST(ExternalFileTextTest, ALineRefusedHalfWayLeavesTheSheetEmpty) {
    // Lines are written while the text is split: the first one must not stay behind.
    Workbook book;
    QString error;
    const QString text = "1;Район\r\n\"" + QString(40000, 'x') + "\";2\r\n";
    EXPECT_FALSE(ExternalFile::readText(book, text, {}, &error));
    EXPECT_TRUE(error.contains("строка 2, столбец 1")) << error.toStdString();
    EXPECT_EQ(book.sheet(1).lastRow(), 0);
    ASSERT_TRUE(ExternalFile::readText(book, QStringLiteral("\"a;\"\"b\"\"\";c\r\n"), {}, &error));
    EXPECT_EQ(book.text(1, 1), "a;\"b\""); // a built field outlives the ones after it
    EXPECT_EQ(book.text(1, 2), "c");
}
