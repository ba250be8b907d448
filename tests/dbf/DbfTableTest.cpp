#include "DbfTable.h"
#include "DbfError.h"
#include "DbfFolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <shapefil.h>

#include <csignal>
#include <sys/resource.h>

namespace {

const QString kName = QStringLiteral("Число коек - всего, ёЁ №");

QList<DbfField> indicatorFields() {
    return ParseFieldList({QStringLiteral("NameFolder;C;150;0"), QStringLiteral("KodElmt;N;8;0"),
                           QStringLiteral("KodAlt;C;20;0"), QStringLiteral("Eiz;C;12;0")});
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

class Dbf : public ::testing::Test {
protected:
    QString path(const char* name) { return m_dir.filePath(QString::fromLatin1(name)); }
    QTemporaryDir m_dir;
};

} // namespace

TEST_F(Dbf, WrittenFileReadsBackInShapelibFieldForField) {
    const QString file = path("POK.DBF");
    {
        DbfTable t = DbfTable::create(
            file,
            ParseFieldList({QStringLiteral("NameFolder;C;150;0"), QStringLiteral("Value;N;10;2"),
                            QStringLiteral("Flag;L;1;0"), QStringLiteral("Day;D;8;0")}));
        t.append();
        t.setValue(QStringLiteral("namefolder"), kName);
        t.setValue(QStringLiteral("VALUE"), -12.345);
        t.setValue(QStringLiteral("Flag"), true);
        t.setValue(QStringLiteral("Day"), QDate(2026, 12, 9));
        t.append(); // a blank record posted by save
        t.save();
    }
    DBFHandle h = DBFOpen(file.toLocal8Bit().constData(), "rb");
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(DBFGetRecordCount(h), 2);
    EXPECT_EQ(DBFGetFieldCount(h), 4);
    char name[12];
    int width = 0, decimals = 0;
    EXPECT_EQ(DBFGetFieldInfo(h, 1, name, &width, &decimals), FTDouble);
    EXPECT_STREQ(name, "Value");
    EXPECT_EQ(width, 10);
    EXPECT_EQ(decimals, 2);
    // The text is stored in code page 866.
    EXPECT_EQ(QByteArray(DBFReadStringAttribute(h, 0, 0)), EncodeText(CodePage::Cp866, kName));
    EXPECT_DOUBLE_EQ(DBFReadDoubleAttribute(h, 0, 1), -12.35);
    EXPECT_EQ(DBFReadLogicalAttribute(h, 0, 2)[0], 'T');
    EXPECT_STREQ(DBFReadStringAttribute(h, 0, 3), "20261209");
    EXPECT_TRUE(DBFIsAttributeNULL(h, 1, 1));
    DBFClose(h);

    const QByteArray bytes = readAll(file);
    EXPECT_EQ(bytes.at(0), 0x03);
    EXPECT_EQ(uchar(bytes.at(29)), 0x26);
    EXPECT_EQ(bytes.back(), 0x1A);
}

TEST_F(Dbf, ShapelibFileReadsWithItsNumbersTextsAndDeletions) {
    const QString file = path("shp.dbf");
    DBFHandle h = DBFCreateEx(file.toLocal8Bit().constData(), "LDID/38");
    ASSERT_NE(h, nullptr);
    DBFAddField(h, "KodFolder", FTDouble, 20, 4);
    DBFAddField(h, "NameFolder", FTString, 200, 0);
    DBFAddField(h, "nLevel", FTInteger, 10, 0);
    const QByteArray oem = EncodeText(CodePage::Cp866, kName);
    for (int r = 0; r < 3; ++r) {
        DBFWriteDoubleAttribute(h, r, 0, 1.5 + r);
        DBFWriteStringAttribute(h, r, 1, oem.constData());
        DBFWriteIntegerAttribute(h, r, 2, r + 1);
    }
    DBFMarkRecordDeleted(h, 1, 1);
    DBFClose(h);

    DbfTable t = DbfTable::open(file);
    EXPECT_EQ(t.fieldNames(),
              (QStringList{QStringLiteral("KodFolder"), QStringLiteral("NameFolder"),
                           QStringLiteral("nLevel")}));
    EXPECT_EQ(t.recordCount(), 2);
    EXPECT_EQ(t.physicalCount(), 3);
    QStringList seen;
    for (t.first(); !t.eof(); t.next())
        seen << QStringLiteral("%1 %2 %3").arg(t.number(0)).arg(t.text(1)).arg(t.integer(2));
    EXPECT_EQ(seen, (QStringList{QStringLiteral("1.5 ") + kName + QStringLiteral(" 1"),
                                 QStringLiteral("3.5 ") + kName + QStringLiteral(" 3")}));
    EXPECT_THROW(t.fieldByName(QStringLiteral("Kod1")), DbfError);
}

TEST_F(Dbf, AppendAndDeleteLeaveAFileOthersRead) {
    const QString file = path("A.DBF");
    {
        DbfTable t = DbfTable::create(file, indicatorFields());
        for (int i = 1; i <= 3; ++i) {
            t.append();
            t.setValue(1, i);
            t.setText(0, QStringLiteral("Показатель %1").arg(i));
        }
        t.save();
    }
    {
        DbfTable t = DbfTable::open(file);
        t.first();
        t.deleteCurrent();
        EXPECT_EQ(t.integer(1), 2); // the cursor moved on to the next live record
        t.append();
        t.setValue(1, 4);
        t.save();
    }
    DBFHandle h = DBFOpen(file.toLocal8Bit().constData(), "rb");
    ASSERT_NE(h, nullptr);
    ASSERT_EQ(DBFGetRecordCount(h), 4);
    EXPECT_TRUE(DBFIsRecordDeleted(h, 0));
    EXPECT_EQ(DBFReadIntegerAttribute(h, 3, 1), 4);
    DBFClose(h);
    EXPECT_EQ(DbfFolder::MaxOfField(file, QStringLiteral("KODELMT")), 4);

    DbfFolder::DeleteAll(file);
    DbfTable t = DbfTable::open(file);
    EXPECT_EQ(t.recordCount(), 0);
    EXPECT_TRUE(t.eof());
    EXPECT_TRUE(t.bof());
}

TEST_F(Dbf, TextFollowsTheFilesCodePage) {
    const QString file = path("W.DBF");
    {
        DbfTable t = DbfTable::create(file, indicatorFields());
        t.append();
        t.setText(0, kName);
        t.save();
    }
    // Raw access takes the bytes as Windows text, as USLOV.DBF is read.
    EXPECT_NE(DbfTable::open(file, DbfText::Raw).text(0), kName);
    QByteArray bytes = readAll(file);
    const int header = uchar(bytes[8]) | uchar(bytes[9]) << 8;
    const QByteArray win = EncodeText(CodePage::Win1251, kName);
    bytes.replace(header + 1, win.size(), win);
    bytes[29] = char(0xC9); // Russian Windows driver
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    f.close();
    EXPECT_EQ(DbfTable::open(file).text(0), kName);
}

TEST_F(Dbf, MemoFieldsReadFromTheirFile) {
    // dBase III with memo: a 10-byte block number pointing into the .DBT.
    const QString file = path("M.DBF");
    QByteArray header(32 + 32 * 2 + 1, '\0');
    header[0] = char(0x83);
    header[4] = 2;
    header[8] = char(header.size());
    header[10] = char(1 + 5 + 10);
    memcpy(header.data() + 32, "NAME", 4);
    header[32 + 11] = 'C';
    header[32 + 16] = 5;
    memcpy(header.data() + 64, "NOTE", 4);
    header[64 + 11] = 'M';
    header[64 + 16] = 10;
    header[96] = 0x0D;
    QByteArray records = QByteArray(" abc           1") + QByteArray(" def         999");
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(header + records + "\x1A");
    f.close();
    QByteArray memo(512, '\0');
    memo += EncodeText(CodePage::Cp866, QStringLiteral("Примечание")) + "\x1A\x1A";
    QFile m(path("M.DBT"));
    ASSERT_TRUE(m.open(QIODevice::WriteOnly));
    m.write(memo);
    m.close();

    DbfTable t = DbfTable::open(file);
    EXPECT_EQ(t.text(1), QStringLiteral("Примечание"));
    t.next();
    EXPECT_EQ(t.text(0), QStringLiteral("def"));
    EXPECT_EQ(t.text(1), QString()); // block beyond the memo file
    EXPECT_THROW(t.setText(1, QStringLiteral("x")), DbfError);
}

TEST_F(Dbf, BadValuesAndFieldListsAreRefused) {
    EXPECT_THROW(ParseFieldList({}), DbfError);
    EXPECT_THROW(ParseFieldList({QStringLiteral("A;C;5;0"), QStringLiteral("a;N;5;0")}), DbfError);
    EXPECT_THROW(ParseFieldList({QStringLiteral("A;C;0;0")}), DbfError);
    EXPECT_THROW(ParseFieldList({QStringLiteral("A;X;5;0")}), DbfError);
    EXPECT_THROW(ParseFieldList({QStringLiteral("A;C;five;0")}), DbfError);
    EXPECT_TRUE(
        SameFieldNames(indicatorFields(), {QStringLiteral("NAMEFOLDER"), QStringLiteral("kodelmt"),
                                           QStringLiteral("KodAlt"), QStringLiteral("EIZ")}));
    EXPECT_FALSE(
        SameFieldNames(indicatorFields(), {QStringLiteral("KodElmt"), QStringLiteral("NameFolder"),
                                           QStringLiteral("KodAlt"), QStringLiteral("Eiz")}));

    DbfTable t = DbfTable::create(path("N.DBF"), indicatorFields());
    t.append();
    EXPECT_THROW(t.setValue(1, 123456789), DbfError);
    EXPECT_THROW(t.setValue(1, QStringLiteral("двенадцать")), DbfError);
    t.setValue(1, QStringLiteral(" 12 "));
    EXPECT_EQ(t.raw(1), QByteArray("      12"));
    t.setText(3, QStringLiteral("очень длинная единица"));
    EXPECT_EQ(t.text(3), QStringLiteral("очень длинна"));
}

TEST_F(Dbf, AFailedWriteLeavesTheOriginalFile) {
    const QString file = path("KEEP.DBF");
    {
        DbfTable t = DbfTable::create(file, indicatorFields());
        t.append();
        t.setValue(1, 7);
        t.save();
    }
    const QByteArray before = readAll(file);
    DbfTable t = DbfTable::open(file);
    for (int i = 0; i < 200; ++i) {
        t.append();
        t.setText(0, kName);
    }
    // The file system refuses every byte past 4 KB (even root obeys this limit).
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 4096;
    setrlimit(RLIMIT_FSIZE, &small);
    bool refused = false;
    try {
        t.save();
    } catch (const DbfError& e) {
        refused = e.message().startsWith(QStringLiteral("Не удалось записать файл"));
    }
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_TRUE(refused);
    EXPECT_EQ(readAll(file), before);
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("KEEP.DBF")});
}
