#include "DbError.h"
#include "PeriodController.h"
#include "PeriodTestFixture.h"
#include "ServerErrors.h"

using namespace dbtest;
using Fund = PeriodController::Fund;

namespace {

// ANALYST may read and write NAST and the funds but owns none of them; GUEST may
// only read NAST.
class PeriodRights : public PeriodTest {
protected:
    void SetUp() override {
        PeriodTest::SetUp();
        exec(*m_check, QStringLiteral("GRANT SELECT, UPDATE ON NAST TO ANALYST"));
        for (const char* table : {"FD_DOLGAGR", "FD_DOLGELM", "FD_OPERAGR", "FD_OPERELM"})
            exec(*m_check, QStringLiteral("GRANT ALL ON %1 TO ANALYST").arg(QLatin1String(table)));
        exec(*m_check, QStringLiteral("GRANT SELECT ON NAST TO GUEST"));
        // As user rights grant every user: the other programs are told of a change.
        exec(*m_check, QStringLiteral("GRANT ALL ON USERS TO ANALYST"));
        exec(*m_check, QStringLiteral("GRANT EXECUTE ON PROCEDURE ONE_UNAST TO ANALYST"));
        setNast(QStringLiteral("2003"), QStringLiteral("2003"));
        exec(*m_check, QStringLiteral("ALTER TABLE FD_DOLGAGR ADD D1 VARCHAR (250)"));
        exec(*m_check, QStringLiteral("ALTER TABLE FD_DOLGELM ADD D1 VARCHAR (250)"));
    }
    void add(PeriodController& c, Fund fund, const char* year) {
        const int node = c.add(fund);
        ASSERT_GE(node, 0);
        c.endEdit(fund, node, QString::fromLatin1(year));
    }
};

const QString kOnlyAdmin = QStringLiteral("Только пользователь SYSDBA\r\nимеет права на "
                                          "добавление периода");

} // namespace

TEST_F(PeriodRights, TheServerRefusesColumnsToANonOwner) {
    auto analyst = m_dbs->connect(0, QStringLiteral("ANALYST"), QStringLiteral("any"));
    try {
        exec(*analyst, QStringLiteral("ALTER TABLE FD_DOLGAGR ADD D9 VARCHAR (250)"));
        FAIL() << "a user who owns nothing altered FD_DOLGAGR";
    } catch (const DbError& e) {
        // Firebird's own wording, recorded for whoever reads the log.
        std::cout << "server: " << e.message().toStdString() << '\n';
        EXPECT_TRUE(IsOwnerOnlyError(e.message())) << e.message().toStdString();
        EXPECT_TRUE(e.message().contains(QStringLiteral("FD_DOLGAGR")));
    }
    EXPECT_FALSE(analyst->inTransaction());
    EXPECT_FALSE(columns("FD_DOLGAGR").contains(QStringLiteral("D9")));
}

TEST_F(PeriodRights, ANonAdministratorAddsNoLongTermYear) {
    connectAs(QStringLiteral("ANALYST"));
    PeriodController c(*m_dm, m_prompter, m_lists);
    ASSERT_TRUE(c.load());
    add(c, Fund::Dolg, "2004");
    EXPECT_EQ(m_prompter.texts(), QStringList{kOnlyAdmin});
    EXPECT_EQ(m_prompter.shown().last().icon, PromptIcon::Error);
    EXPECT_EQ(c.nodes(Fund::Dolg), QStringList{"2003"});
    EXPECT_EQ(m_lists.dolg.count(), 1);
    EXPECT_EQ(nast("GODDOLG"), QStringLiteral("2003"));
    EXPECT_EQ(columns("FD_DOLGAGR").mid(3), QStringList{"D1"});
    EXPECT_EQ(columns("FD_DOLGELM").mid(4), QStringList{"D1"});
    EXPECT_FALSE(m_dm->dbMain.inTransaction());

    // Renaming needs no definition change and stays within the grants.
    m_prompter.clear();
    m_prompter.answer(Answer::Yes);
    c.endEdit(Fund::Dolg, 0, QStringLiteral("2002"));
    EXPECT_EQ(nast("GODDOLG"), QStringLiteral("2002"));
    add(c, Fund::Oper, "2004");
    EXPECT_EQ(nast("GODOPER"), QStringLiteral("20032004"));
}

TEST_F(PeriodRights, AUserWithoutRightsChangesNoOperationalYear) {
    connectAs(QStringLiteral("GUEST"));
    PeriodController c(*m_dm, m_prompter, m_lists);
    ASSERT_TRUE(c.load());
    add(c, Fund::Oper, "2004");
    m_prompter.answer(Answer::No);
    c.endEdit(Fund::Oper, 0, QStringLiteral("2005"));
    const QString refused =
        QStringLiteral("Пользователь GUEST\r\nне имеет прав на добавление/корректировку периода");
    EXPECT_EQ(m_prompter.texts(),
              (QStringList{refused, QStringLiteral("Стереть данные скорректированного периода ?"),
                           refused}));
    EXPECT_EQ(c.nodes(Fund::Oper), QStringList{"2003"});
    EXPECT_EQ(m_lists.oper.years, QList<int>{2003});
    EXPECT_EQ(nast("GODOPER"), QStringLiteral("2003"));

    add(c, Fund::Dolg, "2004");
    EXPECT_EQ(m_prompter.lastText(), kOnlyAdmin);
    EXPECT_EQ(columns("FD_DOLGAGR").mid(3), QStringList{"D1"});
}

TEST(PeriodWindowAccess, OnlyTheAdministratorOpensTheWindow) {
    ScriptedPrompter prompter;
    EXPECT_TRUE(PeriodController::mayOpen(QStringLiteral("sysdba"), prompter));
    EXPECT_FALSE(PeriodController::mayOpen(QStringLiteral("ANALYST"), prompter));
    ASSERT_EQ(prompter.shown().size(), 1);
    EXPECT_EQ(prompter.lastText(), QStringLiteral("Изменить периоды хранения\r\nимеет право "
                                                  "только администратор БД (SYSDBA)"));
    EXPECT_EQ(prompter.shown().last().icon, PromptIcon::Information);
}
