#include "Helpers.h"
#include "ScriptedPrompter.h"

#include <QVariant>

#include <gtest/gtest.h>

TEST(Helpers, TextTestsAndPadding) {
    EXPECT_TRUE(IsBlank(""));
    EXPECT_TRUE(IsBlank(" \t\r\n"));
    EXPECT_FALSE(IsBlank("  a "));
    EXPECT_FALSE(IsBlank(QStringLiteral(" я")));

    EXPECT_EQ(PadRight("ab", 5), "ab   ");
    EXPECT_EQ(PadRight("abcdef", 3), "abcdef");
    EXPECT_EQ(PadLeft("ab", 5), "   ab");
    EXPECT_EQ(PadLeft(QStringLiteral("код"), 4), QStringLiteral(" код"));
    EXPECT_EQ(Spaces(0), "");
    EXPECT_EQ(Spaces(-3), "");
    EXPECT_EQ(RepeatChar(u'-', 3), "---");

    EXPECT_EQ(LeftPart("abcdef", 2), "ab");
    EXPECT_EQ(LeftPart("ab", 9), "ab");
    EXPECT_EQ(RightPart("abcdef", 2), "ef");
    EXPECT_EQ(RightPart("ab", 9), "ab");
    EXPECT_EQ(RightPart("ab", 0), "");
}

TEST(Helpers, TruncToIntAtTheLimits) {
    ScriptedPrompter prompter;
    EXPECT_EQ(TruncToInt(2147483647.9, prompter), 2147483647);
    EXPECT_EQ(TruncToInt(-2147483647.9, prompter), -2147483647);
    EXPECT_EQ(TruncToInt(-7.9, prompter), -7);
    EXPECT_EQ(TruncToInt(7.9, prompter), 7);
    EXPECT_TRUE(prompter.shown().isEmpty());

    EXPECT_EQ(TruncToInt(2147483648.0, prompter), 0);
    EXPECT_EQ(TruncToInt(-2147483648.0, prompter), 0);
    EXPECT_EQ(TruncToInt(std::nan(""), prompter), 0);
    ASSERT_EQ(prompter.shown().size(), 3);
    for (const auto& shown : prompter.shown()) {
        EXPECT_EQ(shown.text, QStringLiteral("Слишком большое вещественное число"));
        EXPECT_EQ(shown.icon, PromptIcon::Error);
    }
}

TEST(Helpers, TruncToIntUsesTheProgramPrompter) {
    ScriptedPrompter prompter;
    AppPrompterScope scope(prompter);
    EXPECT_EQ(TruncToInt(1e12), 0);
    EXPECT_EQ(prompter.lastText(), QStringLiteral("Слишком большое вещественное число"));
}

TEST(Helpers, PathParts) {
    EXPECT_EQ(FolderPart("C:\\Data\\x.gdb"), "C:\\Data");
    EXPECT_EQ(FileNamePart("C:\\Data\\x.gdb"), "x.gdb");
    EXPECT_EQ(FolderPart("x.gdb"), "");
    EXPECT_EQ(FileNamePart("x.gdb"), "x.gdb");
    EXPECT_EQ(FolderPart("/srv/zemrak/fact.fdb"), "/srv/zemrak");
    EXPECT_EQ(FileNamePart("/srv/zemrak/fact.fdb"), "fact.fdb");
    EXPECT_EQ(FileNamePart("C:\\Data\\"), "");
}

TEST(Helpers, IndexInArrayFindsTheFirstMatch) {
    const QList<int> keys{5, 7, 7};
    EXPECT_EQ(IndexInArray(keys, 7), 1);
    EXPECT_EQ(IndexInArray(keys, 8), -1);
    const QList<double> objectKeys{1.5, 2.25};
    EXPECT_EQ(IndexInArray(objectKeys, 2.25), 1);
    const QVariantList variants{QVariant(5), QVariant("x"), QVariant(7)};
    EXPECT_EQ(IndexInArray(variants, QVariant(7)), 2);
    EXPECT_EQ(IndexInArray(variants, QVariant("x")), 1);
    EXPECT_EQ(IndexInArray(QList<int>{}, 1), -1);
}
