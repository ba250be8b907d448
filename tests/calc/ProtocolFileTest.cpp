#include "ProtocolFile.h"
#include "CodePages.h"
#include "ScriptedPrompter.h"
#include "TfmProtocol.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>

#include <gtest/gtest.h>

namespace {

QTextDocument* sampleDocument(QObject* parent) {
    auto* doc = new QTextDocument(parent);
    QTextCursor c(doc);
    c.insertText(QStringLiteral("Таблица \"Коечный фонд\" {скобки} \\ слэш"));
    QTextBlockFormat indented;
    indented.setLeftMargin(40);
    indented.setTextIndent(-20);
    indented.setAlignment(Qt::AlignRight);
    c.insertBlock(indented);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    c.insertText(QStringLiteral("Ячейка C101"), bold);
    QTextCharFormat italic;
    italic.setFontItalic(true);
    c.insertText(QStringLiteral(" — условие ≤ 5"), italic);
    return doc;
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

TEST(ProtocolFileTest, RtfWeWriteReadsBackWithItsTextAndEmphasis) {
    QObject owner;
    QTextDocument* doc = sampleDocument(&owner);
    const QByteArray rtf = ProtocolFile::toRtf(*doc);
    // Plain ASCII on disk: letters outside it are escaped.
    for (const char b : rtf)
        ASSERT_LT(static_cast<unsigned char>(b), 0x80);
    EXPECT_TRUE(rtf.contains("\\u1058?"));

    QTextDocument back;
    QString error;
    ASSERT_TRUE(ProtocolFile::fromRtf(rtf, back, &error)) << error.toStdString();
    EXPECT_EQ(back.toPlainText(), doc->toPlainText());
    const QTextBlock second = back.begin().next();
    EXPECT_EQ(second.blockFormat().leftMargin(), 40);
    EXPECT_EQ(second.blockFormat().textIndent(), -20);
    EXPECT_EQ(second.blockFormat().alignment() & Qt::AlignRight, Qt::AlignRight);
    EXPECT_EQ(back.begin().blockFormat().leftMargin(), 0);
    auto it = second.begin();
    EXPECT_TRUE(it.fragment().charFormat().font().bold());
    ++it;
    EXPECT_TRUE(it.fragment().charFormat().font().italic());
    EXPECT_FALSE(it.fragment().charFormat().font().bold());
}

TEST(ProtocolFileTest, ForeignRtfGivesItsParagraphsAndDamagedRtfIsRefused) {
    const QByteArray foreign = "{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}"
                               "{\\colortbl;\\red255\\green0\\blue0;}{\\*\\generator Writer;}"
                               "\\pard\\qc\\f0\\fs20 \\'cf\\'f0\\'ee\\'f2\\'ee\\'ea\\'ee\\'eb\\par "
                               "{\\b \\u1040\\'3f\\u1041\\'3f}\\tab x\\par}";
    QTextDocument doc;
    QString error;
    ASSERT_TRUE(ProtocolFile::fromRtf(foreign, doc, &error));
    EXPECT_EQ(doc.toPlainText(), QStringLiteral("Протокол\nАБ\tx"));
    EXPECT_EQ(doc.begin().blockFormat().alignment() & Qt::AlignHCenter, Qt::AlignHCenter);

    doc.setPlainText(QStringLiteral("прежний текст"));
    for (const QByteArray& damaged :
         {QByteArray("{\\rtf1\\ansi {\\b незакрытая группа\\par"), QByteArray("{\\rtf1 }}"),
          QByteArray("{\\rtf1 \\'zz}"), QByteArray("PK\x03\x04 zip bytes")}) {
        EXPECT_FALSE(ProtocolFile::fromRtf(damaged, doc, &error)) << damaged.constData();
        EXPECT_EQ(error, QStringLiteral("Файл поврежден или не является файлом RTF"));
        EXPECT_EQ(doc.toPlainText(), QStringLiteral("прежний текст"));
    }
}

TEST(ProtocolFileTest, PlainTextIsReadInItsEncoding) {
    const QString text = QStringLiteral("Ошибки в идентификации не обнаружены\r\nстрока 2");
    EXPECT_EQ(ProtocolFile::decodeText(text.toUtf8()), text);
    EXPECT_EQ(ProtocolFile::decodeText("\xEF\xBB\xBF" + text.toUtf8()), text);
    EXPECT_EQ(ProtocolFile::decodeText(EncodeText(CodePage::Win1251, text)), text);
    EXPECT_EQ(ProtocolFile::decodeText(EncodeText(CodePage::Cp866, text)), text);
}

TEST(ProtocolWindowTest, SavesOpensAndRefusesWhatItCannotRead) {
    QTemporaryDir dir;
    ScriptedPrompter prompter;
    TfmProtocol window(prompter);
    window.setProtocol({QStringLiteral("Протокол ошибок"),
                        QStringLiteral("Таблица \"Т\"\r\nЯчейка C101 со значением 0\r\n")});
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Протокол ошибок"));
    EXPECT_EQ(window.plainText(), QStringLiteral("Таблица \"Т\"\r\nЯчейка C101 со значением 0"));

    // "Сохранить" without a name asks for one; an existing file needs "Yes".
    const QString rtf = dir.filePath(QStringLiteral("p.rtf"));
    prompter.file(rtf);
    ASSERT_TRUE(window.fileSave());
    EXPECT_EQ(window.documentName(), rtf);
    prompter.file(rtf).answer(Answer::No);
    EXPECT_FALSE(window.fileSaveAs());
    EXPECT_EQ(prompter.lastText(), QStringLiteral("OK to overwrite %1").arg(rtf));

    const QString txt = dir.filePath(QStringLiteral("p.txt"));
    ASSERT_TRUE(window.saveFile(txt));
    QFile f(txt);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(f.readAll()), window.plainText());

    window.fileNew();
    window.openFile(rtf);
    EXPECT_EQ(window.plainText(), QStringLiteral("Таблица \"Т\"\r\nЯчейка C101 со значением 0"));

    const QString bad = dir.filePath(QStringLiteral("bad.rtf"));
    writeFile(bad, "{\\rtf1 {\\b обрыв");
    prompter.clear();
    window.openFile(bad);
    EXPECT_EQ(prompter.texts(),
              QStringList{QStringLiteral("Не удалось прочитать файл ") + bad +
                          QStringLiteral("\r\nФайл поврежден или не является файлом RTF")});
    EXPECT_EQ(window.plainText(), QStringLiteral("Таблица \"Т\"\r\nЯчейка C101 со значением 0"));
    EXPECT_EQ(window.documentName(), rtf);
}

TEST(ProtocolWindowTest, ClosingAModifiedTextAsksUnderTheDocumentName) {
    ScriptedPrompter prompter;
    TfmProtocol window(prompter);
    window.setProtocol({QStringLiteral("Условия контроля"), QStringLiteral("строка\r\n")});
    window.show();
    window.Editor->insertPlainText(QStringLiteral("правка "));
    prompter.answer(Answer::Cancel);
    EXPECT_FALSE(window.close());
    EXPECT_EQ(prompter.lastText(), QStringLiteral("Записать как Untitled?"));
    EXPECT_TRUE(window.isVisible());
    prompter.answer(Answer::No);
    EXPECT_TRUE(window.close());
}

TEST(ProtocolWindowTest, PrintsIntoAPdfFileWhenChosen) {
    QTemporaryDir dir;
    ScriptedPrompter prompter;
    TfmProtocol window(prompter);
    window.setProtocol({QStringLiteral("Протокол ошибок"), QStringLiteral("Ячейка C101\r\n")});
    const QString pdf = dir.filePath(QStringLiteral("protocol"));
    prompter.choice(1).file(pdf);
    window.filePrint();
    QFile f(pdf + QStringLiteral(".pdf"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.read(5) == "%PDF-");
    EXPECT_TRUE(prompter.allAnswersUsed());
}
