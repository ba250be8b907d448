#include "DbTestHelpers.h"
#include "DbfTable.h"
#include "TestDatabases.h"

#include <QProcess>

#include <gtest/gtest.h>

namespace {

class ZemrakDbf : public ::testing::Test {
protected:
    ZemrakDbf() : m_dbs(true) {}
    void SetUp() override {
        m_fact = m_dbs.connect(0);
        m_ini = m_dbs.writeConfig();
    }
    int run(const QStringList& args) {
        QProcess p;
        p.start(QStringLiteral(ZEMRAK_DBF), args);
        EXPECT_TRUE(p.waitForFinished(120000));
        m_out = QString::fromUtf8(p.readAllStandardOutput());
        m_err = QString::fromUtf8(p.readAllStandardError());
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    }
    QString path(const char* name) const {
        return m_dbs.folder() + QLatin1Char('/') + QString::fromLatin1(name);
    }

    TestDatabases m_dbs;
    std::unique_ptr<DbConnection> m_fact;
    QString m_ini;
    QString m_out, m_err;
};

} // namespace

TEST_F(ZemrakDbf, ExportsShowsAndImportsARubric) {
    const QString file = path("R2.DBF");
    ASSERT_EQ(run({QStringLiteral("export-rubric"), QStringLiteral("--ini"), m_ini,
                   QStringLiteral("--rubric"), QStringLiteral("2"), file}),
              0)
        << m_err.toStdString();
    ASSERT_EQ(run({QStringLiteral("show"), file}), 0);
    const QStringList lines = m_out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 1 + 4 + 5);
    EXPECT_EQ(lines[0], QStringLiteral("records: 5 (deleted 0)"));
    EXPECT_EQ(lines[2], QStringLiteral("KodElmt;N;8;0"));
    EXPECT_EQ(lines[5], QStringLiteral("Коечный фонд по профилям |  |  | "));
    EXPECT_EQ(lines[6], QStringLiteral("Терапевтические койки | 6 | К11 | коек"));

    // Without --force an existing file stays.
    EXPECT_EQ(run({QStringLiteral("export-rubric"), QStringLiteral("--ini"), m_ini,
                   QStringLiteral("--rubric"), QStringLiteral("3"), file}),
              1);
    ASSERT_EQ(run({QStringLiteral("show"), file}), 0);
    EXPECT_TRUE(m_out.contains(QStringLiteral("Терапевтические койки")));

    const int before =
        dbtest::scalar(*m_fact, QStringLiteral("SELECT MAX(KODELMT) FROM POK")).toInt();
    ASSERT_EQ(run({QStringLiteral("import-rubric"), QStringLiteral("--ini"), m_ini, file}), 0)
        << m_err.toStdString();
    EXPECT_TRUE(m_out.startsWith(QStringLiteral("Протокол импорта показателей\n")));
    EXPECT_TRUE(m_out.contains(QStringLiteral("Терапевтические койки                       6") +
                               QString::number(before + 1).rightJustified(11)));
    EXPECT_TRUE(m_out.contains(QStringLiteral("Раздел 7: Коечный фонд по профилям")));
}

TEST_F(ZemrakDbf, ADamagedFileIsRefusedInWords) {
    const QString file = path("BAD.DBF");
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray("\x03\x7e\x0c\x09", 4));
    f.close();
    EXPECT_EQ(run({QStringLiteral("show"), file}), 1);
    EXPECT_TRUE(m_err.contains(QStringLiteral("повреждён: заголовок короче 32 байт")));
}
