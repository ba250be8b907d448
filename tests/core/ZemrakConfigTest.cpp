#include "ZemrakConfig.h"
#include "IniFile.h"
#include "Scramble.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return f.readAll();
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

TEST(Scramble, RoundTripAndKnownProperties) {
    EXPECT_TRUE(ScrambleText("").isEmpty());
    EXPECT_EQ(UnscrambleText(ScrambleText("quillbark")), "quillbark");
    // The first byte is XORed with the high byte of the start key 763 (= 0x02FB).
    EXPECT_EQ(quint8(ScrambleText("A")[0]), quint8('A' ^ 0x02));
    EXPECT_NE(ScrambleText("quillbark"), QByteArray("quillbark"));
    // Every string of up to 255 bytes comes back.
    auto* rng = QRandomGenerator::global();
    for (int n = 0; n < 2000; ++n) {
        QByteArray plain(int(rng->bounded(256)), Qt::Uninitialized);
        for (auto& c : plain)
            c = char(rng->bounded(256));
        ASSERT_EQ(UnscrambleText(ScrambleText(plain)), plain);
    }
    // Texts are processed modulo 256, as the stored files were.
    EXPECT_EQ(ScrambleText(QByteArray(256, 'x')).size(), 0);
}

TEST(ZemrakConfig, MissingFileOrKeysGiveDefaults) {
    QTemporaryDir dir;
    ZemrakConfig config(dir.filePath("Zemrak.INI"));
    ConnectionSettings s = config.read();
    EXPECT_EQ(s.mainPath, "");
    EXPECT_EQ(s.tabPath, "");
    EXPECT_EQ(s.mainUser, "SYSDBA");
    EXPECT_EQ(s.tabUser, "SYSDBA");
    EXPECT_EQ(s.mainPassword, "quillbark");
    EXPECT_EQ(s.tabPassword, "quillbark");

    // A file without the "Password" section: default passwords beside the stored paths.
    writeAll(config.path(), "[DB]\r\nDBMain=/srv/fact.fdb\r\n[User]\r\nUserTab=ANALYST\r\n");
    s = config.read();
    EXPECT_EQ(s.mainPath, "/srv/fact.fdb");
    EXPECT_EQ(s.tabUser, "ANALYST");
    EXPECT_EQ(s.mainUser, "SYSDBA");
    EXPECT_EQ(s.mainPassword, "quillbark");
    EXPECT_EQ(s.tabPassword, "quillbark");
}

TEST(ZemrakConfig, SaveWritesOneConnectionAndKeysIgnoreCase) {
    QTemporaryDir dir;
    ZemrakConfig config(dir.filePath("zemrak.ini"));
    writeAll(config.path(), "; наш комментарий\r\n[db]\r\ndbtab=/old/tab.fdb\r\n");
    ASSERT_TRUE(config.save(DatabaseTag::Main, QStringLiteral("/данные/факт.fdb"),
                            QStringLiteral("Аналитик"), QStringLiteral("пароль")));
    ASSERT_TRUE(config.save(DatabaseTag::Tab, "/new/tab.fdb", "SYSDBA", "x"));
    const ConnectionSettings s = config.read();
    EXPECT_EQ(s.mainPath, QStringLiteral("/данные/факт.fdb"));
    EXPECT_EQ(s.mainUser, QStringLiteral("Аналитик"));
    EXPECT_EQ(s.mainPassword, QStringLiteral("пароль"));
    EXPECT_EQ(s.tabPath, "/new/tab.fdb");
    EXPECT_EQ(s.tabPassword, "x");
    const QByteArray bytes = readAll(config.path());
    EXPECT_TRUE(bytes.startsWith("; наш комментарий\r\n[db]\r\n"));
    EXPECT_EQ(bytes.count("DBTab="), 0) << "the existing key keeps its spelling";
    EXPECT_EQ(bytes.count("dbtab="), 1);
    // Passwords are never in plain text; the file is the owner's only.
    EXPECT_FALSE(bytes.contains("PasswordTab=x\r"));
    EXPECT_EQ(QFile(config.path()).permissions() &
                  (QFileDevice::ReadOther | QFileDevice::ReadGroup),
              QFileDevice::Permissions());
}

TEST(ZemrakConfig, EveryPasswordSurvivesTheFile) {
    QTemporaryDir dir;
    ZemrakConfig config(dir.filePath("Zemrak.INI"));
    auto* rng = QRandomGenerator::global();
    const QString alphabet =
        QStringLiteral("abcXYZ019 !\\=;[]\t\"'абвгдеёжзийклмнопрстуфхцчшщъыьэюяАБВЁЯ№");
    int sawBreakingByte = 0;
    for (int n = 0; n < 600; ++n) {
        QString password;
        const int length = int(rng->bounded(256));
        for (int i = 0; i < length; ++i)
            password += alphabet[rng->bounded(int(alphabet.size()))];
        const QByteArray scrambled = ScramblePassword(password);
        if (scrambled.contains('\r') || scrambled.contains('\n') || scrambled.contains('\0'))
            ++sawBreakingByte;
        ASSERT_TRUE(config.save(DatabaseTag::Main, "/f.fdb", "u", password));
        ASSERT_TRUE(config.rewritePasswords(password, QStringLiteral("другой")));
        const ConnectionSettings s = config.read();
        ASSERT_EQ(s.mainPassword, password) << n;
        ASSERT_EQ(s.tabPassword, QStringLiteral("другой"));
    }
    EXPECT_GT(sawBreakingByte, 0) << "the test must meet bytes that would break a line";
}

TEST(ZemrakConfig, OlderFilesWithRawBytesStillRead) {
    // A file written before escaping: a raw backslash that starts no escape stays.
    QTemporaryDir dir;
    ZemrakConfig config(dir.filePath("Zemrak.INI"));
    QByteArray raw;
    for (const char* candidate : {"a\\b", "\\x\\y", "q\\"}) {
        raw = ScrambleText(candidate);
        if (!raw.contains('\r') && !raw.contains('\n') && !raw.contains('\0'))
            break;
    }
    QByteArray unescaped = UnescapeIniBytes(EscapeIniBytes(raw));
    EXPECT_EQ(unescaped, raw);
    EXPECT_EQ(UnescapeIniBytes("a\\b"), QByteArray("a\\b"));
    EXPECT_EQ(UnescapeIniBytes("a\\"), QByteArray("a\\"));
}

TEST(ZemrakConfig, ExitRewritesOnlyThePasswords) {
    QTemporaryDir dir;
    ZemrakConfig config(dir.filePath("Zemrak.INI"));
    ASSERT_TRUE(config.save(DatabaseTag::Main, "/f.fdb", "FACTUSER", "one"));
    ASSERT_TRUE(config.save(DatabaseTag::Tab, "/t.fdb", "TABUSER", "two"));

    // The table-materials connection is closed at exit: its password is written empty.
    ASSERT_TRUE(config.rewritePasswords(QStringLiteral("three"), std::nullopt));
    ConnectionSettings s = config.read();
    EXPECT_EQ(s.mainPassword, "three");
    EXPECT_EQ(s.tabPassword, "");
    EXPECT_EQ(s.mainPath, "/f.fdb");
    EXPECT_EQ(s.tabPath, "/t.fdb");
    EXPECT_EQ(s.mainUser, "FACTUSER");
    EXPECT_EQ(s.tabUser, "TABUSER");
    IniFile ini;
    ini.load(config.path());
    EXPECT_TRUE(ini.contains("Password", "PasswordTAB"));
    EXPECT_TRUE(ini.value("Password", "PasswordTAB").isEmpty());

    ASSERT_TRUE(config.rewritePasswords(std::nullopt, QStringLiteral("four")));
    s = config.read();
    EXPECT_EQ(s.mainPassword, "");
    EXPECT_EQ(s.tabPassword, "four");
}

// A file written by hand: blanks around values, a byte-order mark, comments.
TEST(ZemrakConfig, HandWrittenFilesReadAsWindowsReadsThem) {
    QTemporaryDir dir;
    ZemrakConfig config(dir.filePath("Zemrak.INI"));
    writeAll(config.path(), "\xEF\xBB\xBF[DB]\r\n"
                            "DBMain = /srv/fact.fdb \r\n"
                            "# an old one: DBTab=/old.fdb\r\n"
                            "DBTab=\t\"/srv/tab two.fdb\"\r\n"
                            "[User] ; who works\r\n"
                            "; UserMain=NOBODY\r\n"
                            "UserMain= SYSDBA\r\n"
                            "UserTab =Аналитик  \r\n");
    ConnectionSettings s = config.read();
    EXPECT_EQ(s.mainPath, "/srv/fact.fdb");
    EXPECT_EQ(s.tabPath, "/srv/tab two.fdb");
    EXPECT_EQ(s.mainUser, "SYSDBA");
    EXPECT_EQ(s.tabUser, QStringLiteral("Аналитик"));

    // Saving keeps the mark and the comments and writes UTF-8 into such a file.
    ASSERT_TRUE(config.save(DatabaseTag::Tab, "/srv/t.fdb", QStringLiteral("Оператор"), "x"));
    const QByteArray bytes = readAll(config.path());
    EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF[DB]\r\n"));
    EXPECT_TRUE(bytes.contains("# an old one"));
    EXPECT_TRUE(bytes.contains(QStringLiteral("Оператор").toUtf8()));
    s = config.read();
    EXPECT_EQ(s.tabUser, QStringLiteral("Оператор"));
    EXPECT_EQ(s.mainUser, "SYSDBA");
    EXPECT_EQ(s.tabPassword, "x");
}

TEST(ZemrakConfig, TextsAreDecodedAsTheFileWasWritten) {
    QTemporaryDir dir;
    ZemrakConfig config(dir.filePath("Zemrak.INI"));
    // A Windows-1251 file whose user name happens to form valid UTF-8 (Л, Ё).
    const QByteArray path = QByteArray("/\xE4\xE0\xED\xED\xFB\xE5/f.fdb"); // /данные/f.fdb
    writeAll(config.path(), "[DB]\r\nDBMain=" + path +
                                "\r\n[User]\r\nUserMain=\xCB\xA8\r\nUserTab=\xC8\xE2\xE0\xED\r\n");
    ConnectionSettings s = config.read();
    EXPECT_EQ(s.mainPath, QStringLiteral("/данные/f.fdb"));
    EXPECT_EQ(s.mainUser, QStringLiteral("ЛЁ"));
    EXPECT_EQ(s.tabUser, QStringLiteral("Иван"));

    // A path Windows-1251 cannot hold turns the whole file into marked UTF-8.
    ASSERT_TRUE(config.save(DatabaseTag::Tab, QStringLiteral("/data/東京.fdb"),
                            QStringLiteral("Иван"), "y"));
    const QByteArray bytes = readAll(config.path());
    EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
    EXPECT_TRUE(bytes.contains(QStringLiteral("UserMain=ЛЁ").toUtf8()));
    s = config.read();
    EXPECT_EQ(s.tabPath, QStringLiteral("/data/東京.fdb"));
    EXPECT_EQ(s.mainPath, QStringLiteral("/данные/f.fdb"));
    EXPECT_EQ(s.mainUser, QStringLiteral("ЛЁ"));
    EXPECT_EQ(s.tabUser, QStringLiteral("Иван"));
}

TEST(ZemrakConfig, APasswordOutsideWindows1251IsNotStored) {
    QTemporaryDir dir;
    ZemrakConfig config(dir.filePath("Zemrak.INI"));
    ASSERT_TRUE(config.save(DatabaseTag::Main, "/f.fdb", "SYSDBA", "old"));
    const QByteArray before = readAll(config.path());
    EXPECT_FALSE(CanStorePassword(QStringLiteral("ключ✓")));
    EXPECT_TRUE(CanStorePassword(QStringLiteral("ключ№1")));
    EXPECT_FALSE(config.save(DatabaseTag::Main, "/g.fdb", "SYSDBA", QStringLiteral("ключ✓")));
    EXPECT_EQ(readAll(config.path()), before);
}
