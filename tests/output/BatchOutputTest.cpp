#include "DbConnection.h"
#include "DbTestHelpers.h"
#include "TestDatabases.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

namespace {

// zemrak-batch pdf and html over the demo databases with their demo tables.
class BatchOutputTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_dbs = std::make_unique<TestDatabases>(true);
        s_ini = s_dbs->writeConfig();
        ASSERT_EQ(run({QStringLiteral("demo-tables")}), 0) << s_err.toStdString();
    }
    static void TearDownTestSuite() { s_dbs.reset(); }

    static int run(const QStringList& args) {
        QProcess p;
        p.start(QStringLiteral(ZEMRAK_BATCH), args + QStringList{QStringLiteral("--ini"), s_ini});
        EXPECT_TRUE(p.waitForFinished(120000));
        s_out = QString::fromLocal8Bit(p.readAllStandardOutput());
        s_err = QString::fromLocal8Bit(p.readAllStandardError());
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    }

    static inline std::unique_ptr<TestDatabases> s_dbs;
    static inline QString s_ini, s_out, s_err;
};

int pdfPages(const QByteArray& bytes) {
    return int(bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r") +
               bytes.count("/Type /Page "));
}

} // namespace

TEST_F(BatchOutputTest, PdfOfTheDemoTableHasThePagesItReports) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("demo.pdf"));
    ASSERT_EQ(run({QStringLiteral("pdf"), QStringLiteral("--table"), QStringLiteral("1"),
                   QStringLiteral("--sheet"), QStringLiteral("2"), QStringLiteral("--out"), path}),
              0)
        << s_err.toStdString();
    const int reported = s_out.trimmed().toInt();
    EXPECT_GE(reported, 1);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(pdfPages(f.readAll()), reported);
    // Rendered by an independent reader where one is installed.
    const QString pdftoppm = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
    if (!pdftoppm.isEmpty()) {
        QProcess render;
        render.start(pdftoppm, {QStringLiteral("-r"), QStringLiteral("20"), QStringLiteral("-png"),
                                path, dir.filePath(QStringLiteral("page"))});
        ASSERT_TRUE(render.waitForFinished(60000));
        EXPECT_EQ(render.exitCode(), 0);
        EXPECT_EQ(QDir(dir.path()).entryList({QStringLiteral("page*.png")}).size(), reported);
    }

    EXPECT_NE(run({QStringLiteral("pdf"), QStringLiteral("--table"), QStringLiteral("1"),
                   QStringLiteral("--sheet"), QStringLiteral("99"), QStringLiteral("--out"), path}),
              0);
    EXPECT_TRUE(s_err.contains(QStringLiteral("Нет листа 99")));
}

TEST_F(BatchOutputTest, HtmlOfTheDemoCollectionLinksPagesThatExistAndParse) {
    const int folder = dbtest::scalar(*s_dbs->connect(1),
                                      QStringLiteral("SELECT KODFOLDER FROM CAT WHERE KODELMT = 1"))
                           .toInt();
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("site"));
    ASSERT_EQ(run({QStringLiteral("html"), QStringLiteral("--collection"), QString::number(folder),
                   QStringLiteral("--out"), out}),
              0)
        << s_err.toStdString();
    // Follows every link from the index, page by page.
    QStringList queue{QStringLiteral("INDEX.HTM")}, seen;
    while (!queue.isEmpty()) {
        const QString name = queue.takeFirst();
        if (seen.contains(name))
            continue;
        seen.append(name);
        QFile f(QDir(out).filePath(name));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << name.toStdString();
        QXmlStreamReader r(QString::fromUtf8(f.readAll()));
        while (!r.atEnd()) {
            r.readNext();
            if (r.isStartElement() && r.name() == QLatin1String("a"))
                queue.append(r.attributes().value(QStringLiteral("href")).toString());
        }
        EXPECT_FALSE(r.hasError()) << name.toStdString() << ": " << r.errorString().toStdString();
    }
    EXPECT_GE(seen.size(), 4) << "the index and the demo tables' pages";
    EXPECT_TRUE(seen.contains(QStringLiteral("T1.HTM")));
    EXPECT_EQ(QDir(out).entryList(QDir::Files).size(), seen.size());
}
