#include "TableDbFixture.h"

#include "CodeResolver.h"

using dbtest::exec;

namespace {

class CodeResolverTest : public TableDbFixture {
protected:
    static void SetUpTestSuite() {
        TableDbFixture::SetUpTestSuite();
        seedSmallDirectory();
    }
    CodeResolver resolver{dm(), m_prompter};
};

} // namespace

TEST_F(CodeResolverTest, IndicatorByMinusInternalCodeKeepsItsDisplayedForm) {
    const IndicatorEntry e = resolver.ResolveIndicatorEntry(QStringLiteral("-25"));
    EXPECT_TRUE(e.ok);
    EXPECT_EQ(e.code, 25);
    EXPECT_EQ(e.name, QStringLiteral("Коек всего"));
    EXPECT_EQ(resolver.displayedCode(25), QStringLiteral("-25"));
    EXPECT_EQ(resolver.displayedCode(26), QStringLiteral("В-1"));
    EXPECT_TRUE(m_prompter.shown().isEmpty());
}

TEST_F(CodeResolverTest, IndicatorByAlternativeCodeAndTheRefusals) {
    const IndicatorEntry byAlt = resolver.ResolveIndicatorEntry(QStringLiteral("В-1"));
    EXPECT_TRUE(byAlt.ok);
    EXPECT_EQ(byAlt.code, 26);
    const IndicatorEntry cleared = resolver.ResolveIndicatorEntry(QStringLiteral(" 0 "));
    EXPECT_TRUE(cleared.ok);
    EXPECT_EQ(cleared.code, 0);

    EXPECT_FALSE(resolver.ResolveIndicatorEntry(QStringLiteral("-2x")).ok);
    EXPECT_FALSE(resolver.ResolveIndicatorEntry(QStringLiteral("-99999999999")).ok);
    EXPECT_FALSE(resolver.ResolveIndicatorEntry(QStringLiteral("-27")).ok);
    EXPECT_FALSE(resolver.ResolveIndicatorEntry(QStringLiteral("Нет-такого")).ok);
    EXPECT_EQ(m_prompter.texts(),
              (QStringList{QStringLiteral("Введено не число или слишком большое число"),
                           QStringLiteral("Введено не число или слишком большое число"),
                           QStringLiteral("Код не найден в справочнике"),
                           QStringLiteral("Код не найден в справочнике")}));
}

TEST_F(CodeResolverTest, ObjectCodesFoundOnceNeedNoChoice) {
    const ObjectEntry agr = resolver.ResolveObjectEntry(QStringLiteral("41"));
    EXPECT_TRUE(agr.ok);
    EXPECT_EQ(agr.type, 1);
    const ObjectEntry elm = resolver.ResolveObjectEntry(QStringLiteral("-77"));
    EXPECT_TRUE(elm.ok);
    EXPECT_EQ(elm.code, 77);
    EXPECT_EQ(elm.type, 99);
    const ObjectEntry none = resolver.ResolveObjectEntry(QString());
    EXPECT_TRUE(none.ok);
    EXPECT_EQ(none.type, 0);
    EXPECT_FALSE(resolver.ResolveObjectEntry(QStringLiteral("сорок")).ok);
    EXPECT_FALSE(resolver.ResolveObjectEntry(QStringLiteral("5")).ok);
    EXPECT_FALSE(resolver.ResolveObjectEntry(QStringLiteral("40.5")).ok);
    EXPECT_EQ(m_prompter.texts(), (QStringList{QStringLiteral("Код объекта должен быть числовым"),
                                               QStringLiteral("Код не найден в справочнике"),
                                               QStringLiteral("Код не найден в справочнике")}));
}

TEST_F(CodeResolverTest, AnAmbiguousObjectCodeOffersEveryDirectoryObjectsLast) {
    // Escape shows the menu again; the entry cannot be left without a choice.
    m_prompter.choice(-1).choice(2);
    const ObjectEntry objects = resolver.ResolveObjectEntry(QStringLiteral("40"));
    ASSERT_EQ(m_prompter.shown().size(), 2);
    const QStringList items = m_prompter.shown()[1].text.split('\n');
    ASSERT_EQ(items.size(), 3);
    EXPECT_EQ(items[2], QStringLiteral("Объекты"));
    EXPECT_TRUE(items.contains(QStringLiteral("Районы"))) << "names are trimmed";
    EXPECT_TRUE(items.contains(QStringLiteral("Ведомства")));
    EXPECT_TRUE(objects.ok);
    EXPECT_EQ(objects.type, 99);

    m_prompter.choice(int(items.indexOf(QStringLiteral("Районы"))));
    EXPECT_EQ(resolver.ResolveObjectEntry(QStringLiteral("40")).type, 1);
    m_prompter.choice(int(items.indexOf(QStringLiteral("Ведомства"))));
    EXPECT_EQ(resolver.ResolveObjectEntry(QStringLiteral("40")).type, 2);

    exec(fact(), QStringLiteral("UPDATE NAST SET NAMEELM = '  '"));
    m_prompter.clear();
    m_prompter.choice(2);
    resolver.ResolveObjectEntry(QStringLiteral("40"));
    EXPECT_TRUE(m_prompter.lastText().endsWith(QStringLiteral("Подчиненные объекты")));
    exec(fact(), QStringLiteral("UPDATE NAST SET NAMEELM = 'Объекты'"));
}
