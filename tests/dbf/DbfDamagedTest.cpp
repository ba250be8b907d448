#include "DbfError.h"
#include "DbfTable.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// A valid two-record file of the indicator layout.
QByteArray validImage(const QString& folder) {
    const QString file = folder + QStringLiteral("/valid.dbf");
    DbfTable t = DbfTable::create(
        file, ParseFieldList({QStringLiteral("NameFolder;C;150;0"), QStringLiteral("KodElmt;N;8;0"),
                              QStringLiteral("KodAlt;C;20;0"), QStringLiteral("Eiz;C;12;0")}));
    for (int i = 0; i < 2; ++i) {
        t.append();
        t.setText(0, QStringLiteral("Показатель"));
        t.setValue(1, i + 1);
    }
    t.save();
    QFile f(file);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

class DamagedDbf : public ::testing::Test {
protected:
    void SetUp() override { m_valid = validImage(m_dir.path()); }

    // The outcome of opening an image and reading every field of every record:
    // empty when it opened, the refusal otherwise. Anything else fails the test.
    QString openImage(const QByteArray& image) {
        const QString file = m_dir.filePath(QStringLiteral("damaged.dbf"));
        QFile f(file);
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(image);
        f.close();
        try {
            DbfTable t = DbfTable::open(file);
            for (t.first(); !t.eof(); t.next())
                for (int i = 0; i < t.fieldCount(); ++i)
                    t.value(i);
            return {};
        } catch (const DbfError& e) {
            return e.message();
        }
    }

    int headerLength() const { return uchar(m_valid[8]) | uchar(m_valid[9]) << 8; }

    QTemporaryDir m_dir;
    QByteArray m_valid;
};

} // namespace

TEST_F(DamagedDbf, TruncatedAnywhereBeforeTheEndMarkIsRefused) {
    EXPECT_EQ(openImage(m_valid), QString());
    for (int size = 0; size < m_valid.size() - 1; ++size) {
        const QString refusal = openImage(m_valid.left(size));
        EXPECT_TRUE(refusal.contains(QStringLiteral("повреждён"))) << size;
    }
    // Without its end-of-file mark the file is complete.
    EXPECT_EQ(openImage(m_valid.chopped(1)), QString());
    EXPECT_TRUE(openImage(m_valid.left(10)).endsWith(QStringLiteral("заголовок короче 32 байт")));
    EXPECT_TRUE(
        openImage(m_valid.chopped(5))
            .endsWith(QStringLiteral("файл короче, чем указано в заголовке (записи обрезаны)")));
}

TEST_F(DamagedDbf, HeaderThatDisagreesWithItselfIsRefused) {
    QByteArray wrongLength = m_valid;
    wrongLength[10] = char(uchar(wrongLength[10]) + 1);
    EXPECT_TRUE(openImage(wrongLength).contains(QStringLiteral("длина записи")));

    // A header length that leaves the last descriptor half outside.
    QByteArray shortHeader = m_valid;
    shortHeader[8] = char(headerLength() - 20);
    EXPECT_TRUE(openImage(shortHeader).contains(QStringLiteral("повреждён")));

    // The terminator overwritten: the descriptors run into the records.
    QByteArray noTerminator = m_valid;
    noTerminator[headerLength() - 1] = 'X';
    EXPECT_TRUE(openImage(noTerminator).contains(QStringLiteral("повреждён")));

    QByteArray noFields = m_valid;
    noFields[32] = 0x0D;
    EXPECT_TRUE(openImage(noFields).contains(QStringLiteral("повреждён")));

    QByteArray badType = m_valid;
    badType[32 + 11] = 'Z';
    EXPECT_TRUE(openImage(badType).contains(QStringLiteral("недопустимое описание поля 1")));

    QByteArray huge = m_valid;
    huge[4] = huge[5] = huge[6] = huge[7] = char(0xFF);
    EXPECT_TRUE(openImage(huge).contains(QStringLiteral("записи обрезаны")));

    QByteArray version = m_valid;
    version[0] = 0x7F;
    EXPECT_TRUE(openImage(version).contains(QStringLiteral("неизвестная версия файла")));
}

TEST_F(DamagedDbf, RandomBytesAndFlippedBytesNeverCrash) {
    QRandomGenerator random(20261209);
    for (int round = 0; round < 300; ++round) {
        QByteArray noise(int(random.bounded(600)), '\0');
        for (char& c : noise)
            c = char(random.bounded(256));
        if (round % 2)
            noise[0] = 0x03; // past the version check
        openImage(noise);
        QByteArray flipped = m_valid;
        for (int i = 0; i < 3; ++i)
            flipped[int(random.bounded(headerLength()))] = char(random.bounded(256));
        openImage(flipped);
    }
}
