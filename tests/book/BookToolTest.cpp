#include "XlsFile.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct Result {
    int exitCode;
    QString out;
    QString err;
};

Result runTool(const QStringList& args, const QByteArray& input = {}) {
    QProcess p;
    p.start(QStringLiteral(ZEMRAK_BOOK_TOOL), args);
    p.write(input);
    p.closeWriteChannel();
    p.waitForFinished(30000);
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

} // namespace

TEST(BookToolTest, RunShowsAndSavesThenShowAndConvertReadBack) {
    QTemporaryDir dir;
    const QString vts = dir.filePath("t.vts");
    const QByteArray script = "set A1 1234.5\n"
                              "format A1 0.00\n"
                              "set A2 =A1*2\n"
                              "insert rows 1 1\n"
                              "show\n"
                              "save " +
                              vts.toUtf8() + "\n";
    const Result run = runTool({"run"}, script);
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, "A2\t1234.5\t1234.50\nA3\t=A2*2\t2469\n");

    const Result show = runTool({"show", vts, "A3:A3"});
    EXPECT_EQ(show.exitCode, 0);
    EXPECT_EQ(show.out, "A3\t=A2*2\t2469\n");

    const QString txt = dir.filePath("t.txt");
    EXPECT_EQ(runTool({"convert", vts, txt}).exitCode, 0);
    const Result fromText = runTool({"show", txt});
    EXPECT_EQ(fromText.out, "A2\t1234.5\t1234.5\nA3\t2469\t2469\n");

    const QString xlsx = dir.filePath("t.xlsx");
    const Result toExcel = runTool({"convert", vts, xlsx});
    EXPECT_EQ(toExcel.exitCode, 0) << toExcel.err.toStdString();
    QFile excel(xlsx);
    ASSERT_TRUE(excel.open(QIODevice::ReadOnly));
    EXPECT_TRUE(excel.read(2) == "PK") << "an .xlsx file is a zip archive";
    EXPECT_NE(runTool({"convert", vts, dir.filePath("t.doc")}).exitCode, 0);
}

TEST(BookToolTest, BadCommandReportsItsLineAndFails) {
    const Result r = runTool({"run"}, "set A1 1\n\nsort A1:B2 A sideways\nset A2 2\n");
    EXPECT_NE(r.exitCode, 0);
    EXPECT_TRUE(r.err.contains("line 3")) << r.err.toStdString();
    const Result unknown = runTool({"run"}, "frobnicate\n");
    EXPECT_NE(unknown.exitCode, 0);
    EXPECT_TRUE(unknown.err.contains("line 1: unknown command \"frobnicate\""));
    EXPECT_NE(runTool({"show", "/no/such/file.vts"}).exitCode, 0);
    EXPECT_NE(runTool({"convert", "a.vts"}).exitCode, 0);
}

TEST(BookToolTest, ConvertReadsOtherProgramsFiles) {
    QTemporaryDir dir;
    // A Windows-1251 CSV with a quoted separator: to .xlsx, back to .csv, then shown.
    const QString csv = dir.filePath("in.csv");
    QFile f(csv);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("\xD0\xE0\xE9\xEE\xED;\"1;2\";12,5\r\n"); // "Район" in Windows-1251
    f.close();
    const QString xlsx = dir.filePath("mid.xlsx");
    const Result toExcel = runTool({"convert", csv, xlsx});
    ASSERT_EQ(toExcel.exitCode, 0) << toExcel.err.toStdString();
    const QString back = dir.filePath("back.csv");
    const Result fromExcel = runTool({"convert", xlsx, back});
    ASSERT_EQ(fromExcel.exitCode, 0) << fromExcel.err.toStdString();
    EXPECT_EQ(runTool({"show", back}).out, "A1\tРайон\tРайон\nB1\t1;2\t1;2\nC1\t12.5\t12.5\n");

    // A legacy .xls comes through the same reader.
    const QString xls = dir.filePath("old.xls");
    QFile x(xls);
    ASSERT_TRUE(x.open(QIODevice::WriteOnly));
    x.write(
        XlsFile::make(QStringLiteral("Лист1"), {{0, 0, QStringLiteral("Койки")}, {0, 1, 240.0}}));
    x.close();
    const QString fromXls = dir.filePath("xls.csv");
    const Result convertedXls = runTool({"convert", xls, fromXls});
    ASSERT_EQ(convertedXls.exitCode, 0) << convertedXls.err.toStdString();
    EXPECT_EQ(runTool({"show", fromXls}).out, "A1\tКойки\tКойки\nB1\t240\t240\n");

    // A damaged .xlsx fails with the reader's words and writes nothing.
    const QString bad = dir.filePath("bad.xlsx");
    QFile b(bad);
    ASSERT_TRUE(b.open(QIODevice::WriteOnly));
    b.write("PK\x03\x04 not really a zip");
    b.close();
    const Result damaged = runTool({"convert", bad, dir.filePath("out.csv")});
    EXPECT_NE(damaged.exitCode, 0);
    EXPECT_TRUE(damaged.err.contains("Файл \"bad.xlsx\" повреждён")) << damaged.err.toStdString();
    EXPECT_FALSE(QFile::exists(dir.filePath("out.csv")));
}
