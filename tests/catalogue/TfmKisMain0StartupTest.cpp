// The collections window as the program starts it, and after switching databases
// and users from its menu.
#include "AppContext.h"
#include "DbTestHelpers.h"
#include "MenuItems.h"
#include "OutlineTreeWidget.h"
#include "ScriptedLoginLauncher.h"
#include "ScriptedPrompter.h"
#include "TdmMSSQL.h"
#include "TestDatabases.h"
#include "TfmKisMain0.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenuBar>

#include <gtest/gtest.h>

using namespace dbtest;

namespace {

int CountItems(QTreeWidgetItem* item) {
    int n = 1;
    for (int i = 0; i < item->childCount(); ++i)
        n += CountItems(item->child(i));
    return n;
}

int CountItems(QTreeWidget& tree) {
    int n = 0;
    for (int i = 0; i < tree.topLevelItemCount(); ++i)
        n += CountItems(tree.topLevelItem(i));
    return n;
}

void WriteConfig(const QString& fact, const QString& tab) {
    const ZemrakConfig config(AppContext::configPath());
    config.save(DatabaseTag::Main, fact, TestDatabases::user(), TestDatabases::password());
    config.save(DatabaseTag::Tab, tab, TestDatabases::user(), TestDatabases::password());
}

class StartupWindow : public ::testing::Test {
protected:
    void SetUp() override {
        AppContext::setProgramFolder(m_dbs.folder());
        QFile::remove(AppContext::configPath());
        AppContext::settings() = {};
        AppContext::setContinueStartup(true);
        m_dm.setLoginLauncher(&m_login);
    }
    void TearDown() override { AppContext::setProgramFolder({}); }

    QString missing() const { return QDir(m_dbs.folder()).filePath(QStringLiteral("NONE.GDB")); }

    TestDatabases m_dbs{true};
    ScriptedPrompter m_prompter;
    ScriptedLoginLauncher m_login;
    TdmMSSQL m_dm{m_prompter};
};

} // namespace

// A fact database that did not open at start is given in the dialog after the
// question; the window then shows the whole catalogue and adds after it.
TEST_F(StartupWindow, ARecoveredStartBuildsTheCatalogue) {
    WriteConfig(missing(), m_dbs.tabPath());
    m_login.cancel(); // "Отменить" in the data module's dialog
    m_dm.create();
    ASSERT_FALSE(m_dm.dbMain.connected());
    m_prompter.answer(Answer::Yes);
    m_login.apply(m_dbs.factPath(), QStringLiteral("SYSDBA"), QStringLiteral("quillbark"));

    auto tab = m_dbs.connect(1);
    const int collections = scalar(*tab, QStringLiteral("SELECT COUNT(*) FROM SBR")).toInt();
    ASSERT_GT(collections, 1);
    {
        TfmKisMain0 w(m_dm, m_prompter);
        ASSERT_TRUE(w.connectDatabases());
        EXPECT_TRUE(m_login.allUsed());
        auto* tree = w.findChild<OutlineTreeWidget*>(QStringLiteral("trvMaster"));
        ASSERT_TRUE(tree);
        EXPECT_EQ(CountItems(*tree), collections);
        EXPECT_TRUE(FindItem(w, QStringLiteral("Справочники"), QStringLiteral("Территории")));

        tree->setCurrentItem(tree->topLevelItem(tree->topLevelItemCount() - 1));
        QAction* add = FindItem(w, QStringLiteral("Операции"), QStringLiteral("Добавить"));
        ASSERT_TRUE(add && add->isEnabled());
        add->trigger();
        const QList<int> npp =
            ints(column(*tab, QStringLiteral("SELECT NPP FROM SBR ORDER BY NPP")));
        ASSERT_EQ(npp.size(), collections + 1);
        for (qsizetype i = 1; i < npp.size(); ++i)
            EXPECT_LT(npp[i - 1], npp[i]) << "two collections share NPP " << npp[i];
    }
    EXPECT_EQ(m_prompter.shown().size(), 1) << m_prompter.texts().join('|').toStdString();
}

// Another fact database brings its own directories into the menu; another
// table-materials user decides the password views.
TEST_F(StartupWindow, SwitchingFromTheMenuRebuildsWhatDependsOnIt) {
    TestDatabases plain;
    WriteConfig(plain.factPath(), m_dbs.tabPath());
    m_dm.create();
    TfmKisMain0 w(m_dm, m_prompter);
    ASSERT_TRUE(w.connectDatabases());
    EXPECT_FALSE(FindItem(w, QStringLiteral("Справочники"), QStringLiteral("Территории")));

    m_login.apply(m_dbs.factPath(), QStringLiteral("SYSDBA"), QStringLiteral("quillbark"));
    FindItem(w, QStringLiteral("Настройка"), QStringLiteral("Сменить фактографическую  БД"))
        ->trigger();
    EXPECT_EQ(m_dm.dbMain.database(), m_dbs.factPath());
    EXPECT_TRUE(FindItem(w, QStringLiteral("Справочники"), QStringLiteral("Территории")));

    QAction* viewSbr = FindItem(w, QStringLiteral("Защита"), QStringLiteral("Посмотреть пароль"));
    ASSERT_TRUE(viewSbr && viewSbr->isEnabled());
    m_login.apply({}, QStringLiteral("ANALYST"), QStringLiteral("any"));
    FindItem(w, QStringLiteral("Настройка"), QStringLiteral("Сменить пользователя БТМ"))->trigger();
    ASSERT_EQ(m_dm.dbTab.userName(), QStringLiteral("ANALYST"));
    EXPECT_FALSE(viewSbr->isEnabled());
    m_login.apply({}, QStringLiteral("sysdba"), QStringLiteral("any"));
    FindItem(w, QStringLiteral("Настройка"), QStringLiteral("Сменить пользователя БТМ"))->trigger();
    EXPECT_TRUE(viewSbr->isEnabled());
    EXPECT_TRUE(m_prompter.shown().isEmpty()) << m_prompter.texts().join('|').toStdString();
}
