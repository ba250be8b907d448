#include "DbError.h"
#include "DbTestHelpers.h"
#include "TestDatabases.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

using namespace dbtest;

namespace {

class DbValues : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_dbs = std::make_unique<TestDatabases>();
        s_tab = s_dbs->connect(1);
        s_table = call(*s_tab, "INSERT_CAT",
                       {{"NPP", 1},
                        {"KODFOLDER", 1},
                        {"NAMEFOLDER", QStringLiteral("Таблица")},
                        {"KODALT", QString()},
                        {"KODSPIS", 0}})
                      .output(QStringLiteral("KOD_ELMT"))
                      .toInt();
        exec(*s_tab, QStringLiteral("CREATE TABLE CYR (K INTEGER NOT NULL PRIMARY KEY, "
                                    "V VARCHAR(40), C CHAR(12), L CHAR(1), "
                                    "T BLOB SUB_TYPE TEXT, O BLOB SUB_TYPE 0)"));
    }
    static void TearDownTestSuite() {
        s_tab.reset();
        s_dbs.reset();
    }

    static QVariant roundTrip(const QVariant& blob) {
        exec(*s_tab, QStringLiteral("UPDATE CAT SET TABF1 = :B WHERE KODELMT = :K"),
             {{"B", blob}, {"K", s_table}});
        return scalar(*s_tab, QStringLiteral("SELECT TABF1 FROM CAT WHERE KODELMT = :K"),
                      {{"K", s_table}});
    }

    static inline std::unique_ptr<TestDatabases> s_dbs;
    static inline std::unique_ptr<DbConnection> s_tab;
    static inline int s_table = 0;
};

} // namespace

TEST_F(DbValues, BlobsOfAnySizeRoundTrip) {
    QByteArray big(10 * 1024 * 1024, Qt::Uninitialized);
    QRandomGenerator generator(16);
    generator.fillRange(reinterpret_cast<quint32*>(big.data()), big.size() / 4);
    for (const QByteArray& bytes : {QByteArray(""), QByteArray(1, '\0'), big}) {
        const QVariant back = roundTrip(bytes);
        EXPECT_FALSE(back.isNull()) << bytes.size();
        EXPECT_EQ(back.toByteArray().size(), bytes.size());
        EXPECT_TRUE(back.toByteArray() == bytes) << bytes.size();
    }
    EXPECT_EQ(scalar(*s_tab,
                     QStringLiteral("SELECT OCTET_LENGTH(TABF1) FROM CAT WHERE KODELMT = :K"),
                     {{"K", s_table}})
                  .toLongLong(),
              big.size());
    // A null array is NULL, not an empty blob.
    EXPECT_TRUE(roundTrip(QByteArray()).isNull());
}

TEST_F(DbValues, CyrillicInEveryColumnType) {
    const QString text = QStringLiteral("Коечный фонд «Ёж» №5");
    const QString letter = QStringLiteral("Ж");
    const QString longText = text.repeated(300);
    exec(*s_tab,
         QStringLiteral("INSERT INTO CYR (K, V, C, L, T, O) VALUES (1, :V, :C, :L, :T, :O)"),
         {{"V", text},
          {"C", QStringLiteral("Итог")},
          {"L", letter},
          {"T", longText},
          {"O", text.toUtf8()}});
    DbStatement& st = s_tab->statement(QStringLiteral("cyr"));
    st.setSql(QStringLiteral("SELECT V, C, L, T, O, OCTET_LENGTH(V), OCTET_LENGTH(T) FROM CYR "
                             "WHERE V = :V"));
    st.setParam(QStringLiteral("V"), text);
    st.open();
    ASSERT_EQ(st.rowCount(), 1);
    EXPECT_EQ(st.value(QStringLiteral("V")).toString(), text);
    // CHAR keeps its padding to the declared width, in characters.
    EXPECT_EQ(st.value(QStringLiteral("C")).toString(), QStringLiteral("Итог        "));
    EXPECT_EQ(st.value(QStringLiteral("L")).toString(), letter);
    EXPECT_EQ(st.value(QStringLiteral("T")).toString(), longText);
    EXPECT_EQ(QString::fromUtf8(st.value(QStringLiteral("O")).toByteArray()), text);
    // Stored as Windows-1251, one byte a character, text blob included.
    EXPECT_EQ(st.value(5).toInt(), text.size());
    EXPECT_EQ(st.value(6).toInt(), longText.size());
    st.close();

    // Too long for the column: the server's refusal, nothing stored.
    EXPECT_THROW(exec(*s_tab, QStringLiteral("INSERT INTO CYR (K, V) VALUES (2, :V)"),
                      {{"V", text.repeated(3)}}),
                 DbError);
    EXPECT_EQ(scalar(*s_tab, QStringLiteral("SELECT COUNT(*) FROM CYR")).toInt(), 1);
}

TEST_F(DbValues, TextForANumberIsConvertedByTheServer) {
    exec(*s_tab, QStringLiteral("INSERT INTO CYR (K, V) VALUES (:K, :V)"),
         {{"K", QStringLiteral("7")}, {"V", 12.5}});
    EXPECT_EQ(
        scalar(*s_tab, QStringLiteral("SELECT V FROM CYR WHERE K = :K"), {{"K", 7.0}}).toString(),
        QStringLiteral("12.5"));
    EXPECT_THROW(exec(*s_tab, QStringLiteral("INSERT INTO CYR (K) VALUES (:K)"),
                      {{"K", QStringLiteral("семь")}}),
                 DbError);
    // Typed NULLs, as the Qt classes gave them.
    const QVariant none = scalar(*s_tab, QStringLiteral("SELECT T FROM CYR WHERE K = 7"));
    EXPECT_TRUE(none.isNull());
    EXPECT_EQ(none.typeId(), QMetaType::QString);
}

TEST_F(DbValues, PreparedStatementsAreKeptAndAChangeOfMetadataLetsThemGo) {
    DbConnection& c = *s_tab;
    DbStatement& a = c.statement(QStringLiteral("cacheA"));
    DbStatement& b = c.statement(QStringLiteral("cacheB"));
    const QString one = QStringLiteral("SELECT COUNT(*) FROM SBR");
    const QString two = QStringLiteral("SELECT COUNT(*) FROM CAT");
    a.setSql(one);
    a.open();
    const int kept = c.preparedCount();
    // Texts going back and forth, in and out of transactions, and a second
    // statement with a text already seen: one more server statement, not four.
    a.setSql(two);
    a.open();
    a.setSql(one);
    RunInTransaction(c, [&] { a.open(); });
    b.setSql(two);
    b.open();
    EXPECT_EQ(c.preparedCount(), kept + 1);

    // A kept statement on a table neither stops a change of that table nor
    // reads the old columns afterwards.
    DbStatement& all = c.statement(QStringLiteral("cacheAll"));
    all.setSql(QStringLiteral("SELECT * FROM CYR"));
    all.open();
    EXPECT_LT(all.fieldIndex(QStringLiteral("EXTRA")), 0);
    exec(c, QStringLiteral("ALTER TABLE CYR ADD EXTRA INTEGER"));
    all.open();
    EXPECT_GE(all.fieldIndex(QStringLiteral("EXTRA")), 0);
    a.open();
    EXPECT_EQ(a.rowCount(), 1);
}
