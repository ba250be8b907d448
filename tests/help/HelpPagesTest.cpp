// The guide as shipped in the program: every context a window uses, every link between
// pages and every picture leads somewhere that exists.
#include "HelpContexts.h"
#include "HelpLibrary.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

void write(const QString& path, const QByteArray& text) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text);
}

TEST(HelpPages, EveryContextOfTheWindowsOpensAnExistingSection) {
    const HelpLibrary library;
    EXPECT_TRUE(library.problems().isEmpty()) << library.problems().join('\n').toStdString();
    for (int context : HelpContexts::used) {
        const QString target = library.target(context);
        EXPECT_FALSE(target.isEmpty()) << "context " << context << " is not in contexts.txt";
        EXPECT_TRUE(target.contains('#')) << "context " << context << " names no section";
        EXPECT_TRUE(library.resolves(target)) << context << " " << target.toStdString();
    }
    // A line of the table nobody uses yet must still lead somewhere.
    for (auto it = library.contexts().begin(); it != library.contexts().end(); ++it)
        EXPECT_TRUE(library.resolves(it.value())) << it.key() << " " << it.value().toStdString();
}

TEST(HelpPages, EveryLinkAndPictureResolves) {
    const HelpLibrary library;
    ASSERT_GE(library.files().size(), 9);
    for (const QString& file : library.files()) {
        const HelpPage* page = library.page(file);
        EXPECT_NE(page->title, file) << file.toStdString() << " has no <h1>";
        for (const HelpSection& s : page->sections) {
            if (s.title != page->title) {
                EXPECT_FALSE(s.anchor.isEmpty())
                    << file.toStdString() << ": section without id: " << s.title.toStdString();
            }
        }
        for (const QString& link : HelpLibrary::linksOf(page->html)) {
            if (link.startsWith(QLatin1String("http")))
                continue;
            if (link.startsWith('#')) {
                EXPECT_TRUE(library.resolves(file + link))
                    << file.toStdString() << " " << link.toStdString();
            } else if (link.endsWith(QLatin1String(".png"))) {
                EXPECT_TRUE(QFile::exists(library.root() + '/' + link))
                    << file.toStdString() << " " << link.toStdString();
            } else {
                EXPECT_TRUE(library.resolves(link))
                    << file.toStdString() << " " << link.toStdString();
            }
        }
    }
    // Every page is reachable from the contents.
    for (const QString& file : library.files())
        EXPECT_TRUE(library.contents().contains(file)) << file.toStdString();
}

// The checks above are only as good as the reading of the two lists and the anchors.
TEST(HelpPages, ListsAndAnchorsAreReadStrictly) {
    QTemporaryDir dir;
    write(dir.filePath("a.html"), "<h1>Страница А</h1><p>вступление</p>"
                                  "<h2 id=\"one\">Первый</h2><p>текст один</p>"
                                  "<h2>Без якоря</h2><p>текст два</p>");
    write(dir.filePath("contents.txt"), "# порядок\na.html\nnone.html\n");
    write(dir.filePath("contexts.txt"), "# контексты\n5 a.html#one  пояснение\n6 a.html#two\n"
                                        "5 a.html\nбез номера a.html\n");
    const HelpLibrary library(dir.path());
    EXPECT_EQ(library.contents(), QStringList{"a.html"});
    EXPECT_EQ(library.target(5), "a.html#one");
    EXPECT_TRUE(library.resolves("a.html#one"));
    EXPECT_FALSE(library.resolves(library.target(6)));
    EXPECT_FALSE(library.resolves("b.html"));
    // The missing page, the repeated number and the line without one are told.
    EXPECT_EQ(library.problems().size(), 3);
    const HelpPage* page = library.page("a.html");
    ASSERT_TRUE(page);
    EXPECT_EQ(page->title, "Страница А");
    ASSERT_EQ(page->sections.size(), 3);
    EXPECT_EQ(page->sections[0].text, "вступление");
    EXPECT_EQ(page->sections[1].anchor, "one");
    EXPECT_EQ(page->sections[1].text, "текст один");
    EXPECT_TRUE(page->sections[2].anchor.isEmpty());
}

TEST(HelpPages, SearchFindsSectionsHoldingEveryWordTitlesFirst) {
    QTemporaryDir dir;
    write(dir.filePath("a.html"),
          "<h1>Первая</h1><h2 id=\"x\">Про ключи</h2>"
          "<p>Период и ключ</p><h2 id=\"y\">Период ключей</h2><p>о другом</p>");
    write(dir.filePath("contents.txt"), "a.html\n");
    const HelpLibrary library(dir.path());
    const QList<HelpHit> hits = library.search("ПЕРИОД ключ");
    ASSERT_EQ(hits.size(), 2);
    EXPECT_EQ(hits[0].target, "a.html#y");
    EXPECT_EQ(hits[0].title, "Первая: Период ключей");
    EXPECT_EQ(hits[1].target, "a.html#x");
    EXPECT_TRUE(library.search("ключ отсутствует").isEmpty());
    EXPECT_TRUE(library.search("   ").isEmpty());
}

} // namespace
