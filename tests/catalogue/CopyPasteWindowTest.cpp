#include "DbTestHelpers.h"
#include "MenuItems.h"
#include "OutlineTestSupport.h"
#include "OutlineTreeWidget.h"
#include "ScriptedLoginLauncher.h"
#include "TMyDBGrid.h"
#include "TfmKisMain0.h"

#include "AppContext.h"

#include <QApplication>
#include <QDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace dbtest;

namespace {

class CollectionsWindowCopy : public ::testing::Test {
protected:
    void open(const QStringList& folders) {
        AppContext::setProgramFolder(m_dbs.folder());
        m_dbs.writeConfig();
        m_tab = m_dbs.connect(1);
        SeedSbr(*m_tab, folders);
        m_dm.setLoginLauncher(&m_login);
        m_dm.create();
        m_window = std::make_unique<TfmKisMain0>(m_dm, m_prompter);
        ASSERT_TRUE(m_window->connectDatabases());
        m_window->show();
        m_tree = m_window->findChild<OutlineTreeWidget*>(QStringLiteral("trvMaster"));
        m_grid = m_window->findChild<TMyDBGrid*>(QStringLiteral("dgSlave"));
        ASSERT_TRUE(m_tree && m_grid);
        m_copy = FindItem(*m_window, QStringLiteral("Операции"), QStringLiteral("Копировать"));
        m_paste = FindItem(*m_window, QStringLiteral("Операции"), QStringLiteral("Вставить"));
        ASSERT_TRUE(m_copy && m_paste);
        m_tree->setFocus();
    }
    void TearDown() override {
        m_window.reset();
        m_tab.reset();
        AppContext::setProgramFolder({});
    }
    void select(const QString& name) {
        for (int i = 0; i < m_tree->topLevelItemCount(); ++i)
            if (m_tree->topLevelItem(i)->text(0) == name)
                m_tree->setCurrentItem(m_tree->topLevelItem(i));
    }
    QString enabled() {
        return QString(QLatin1Char(m_copy->isEnabled() ? 'c' : '-')) +
               QLatin1Char(m_paste->isEnabled() ? 'v' : '-');
    }
    QStringList topLevel() {
        QStringList out;
        for (int i = 0; i < m_tree->topLevelItemCount(); ++i)
            out << m_tree->topLevelItem(i)->text(0);
        return out;
    }

    TestDatabases m_dbs;
    std::unique_ptr<DbConnection> m_tab;
    ScriptedPrompter m_prompter;
    TdmMSSQL m_dm{m_prompter};
    ScriptedLoginLauncher m_login;
    std::unique_ptr<TfmKisMain0> m_window;
    OutlineTreeWidget* m_tree = nullptr;
    TMyDBGrid* m_grid = nullptr;
    QAction* m_copy = nullptr;
    QAction* m_paste = nullptr;
};

} // namespace

TEST_F(CollectionsWindowCopy, AnEmptyTreeHasNothingToCopy) {
    open({});
    EXPECT_EQ(enabled(), QStringLiteral("--"));
}

TEST_F(CollectionsWindowCopy, CollectionsAndTablesArePastedFromTheMenu) {
    open({"A:1", "B:1"});
    call(*m_tab, "INSERT_CAT",
         {{"NPP", 100},
          {"KODFOLDER",
           scalar(*m_tab, QStringLiteral("SELECT KODFOLDER FROM SBR WHERE NAMEFOLDER = 'A'"))},
          {"NAMEFOLDER", "t"},
          {"KODALT", "x"}});
    EXPECT_EQ(enabled(), QStringLiteral("c-"));
    select(QStringLiteral("A"));
    m_copy->trigger();
    EXPECT_EQ(enabled(), QStringLiteral("cv"));
    select(QStringLiteral("B"));
    m_paste->trigger();
    EXPECT_EQ(topLevel(), (QStringList{"A", "A", "B"}));
    EXPECT_EQ(scalar(*m_tab, QStringLiteral("SELECT COUNT(*) FROM CAT")).toInt(), 2);

    // The tables grid has a buffer of its own: nothing held there yet.
    select(QStringLiteral("B"));
    QTest::keyClick(m_tree, Qt::Key_Return);
    EXPECT_EQ(enabled(), QStringLiteral("--"));
    m_tree->setFocus();
    select(QStringLiteral("A"));
    QTest::keyClick(m_tree, Qt::Key_Return);
    EXPECT_EQ(enabled(), QStringLiteral("c-"));
    m_copy->trigger();
    EXPECT_EQ(enabled(), QStringLiteral("cv"));
    m_paste->trigger();
    EXPECT_EQ(m_grid->model()->rowCount(), 2);
    EXPECT_TRUE(m_prompter.shown().isEmpty()) << m_prompter.lastText().toStdString();
    // Back in the tree the held collection counts again.
    m_tree->setFocus();
    EXPECT_EQ(enabled(), QStringLiteral("cv"));

    // Other table materials: what was held there is forgotten.
    TestDatabases other;
    {
        std::unique_ptr<DbConnection> tab = other.connect(1);
        SeedSbr(*tab, {"C:1"});
    }
    m_login.apply(other.tabPath(), TestDatabases::user(), TestDatabases::password());
    FindItem(*m_window, QStringLiteral("Настройка"), QStringLiteral("Сменить БТМ"))->trigger();
    EXPECT_EQ(topLevel(), QStringList{"C"});
    EXPECT_EQ(enabled(), QStringLiteral("c-"));
}

TEST_F(CollectionsWindowCopy, TheAdministratorGivesRightsInTheirWindow) {
    open({"A:1"});
    QAction* rights =
        FindItem(*m_window, QStringLiteral("Настройка"), QStringLiteral("Права пользователя"));
    ASSERT_TRUE(rights);
    ASSERT_TRUE(rights->isEnabled());
    QStringList states;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_TRUE(dialog);
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("edName"));
        auto* group = dialog->findChild<QGroupBox*>(QStringLiteral("rgRights"));
        auto* ok = dialog->findChild<QPushButton*>(QStringLiteral("bOK"));
        ASSERT_TRUE(name && group && ok);
        const auto state = [&] {
            states << QString(QLatin1Char(group->isEnabled() ? 'g' : '-')) +
                          QLatin1Char(ok->isEnabled() ? 'o' : '-');
        };
        state();
        QTest::keyClicks(name, QStringLiteral("sysdba"));
        state();
        name->clear();
        QTest::keyClicks(name, QStringLiteral("reader"));
        state();
        group->findChildren<QRadioButton*>().at(1)->setChecked(true);
        QTest::keyClick(name, Qt::Key_Return); // only offers the level
        EXPECT_TRUE(dialog->isVisible());
        ok->click();
    });
    rights->trigger();
    EXPECT_EQ(states, (QStringList{"--", "--", "go"}));
    EXPECT_TRUE(m_prompter.shown().isEmpty()) << m_prompter.lastText().toStdString();
    std::unique_ptr<DbConnection> fact = m_dbs.connect(0);
    const QStringList granted = [&] {
        QStringList out;
        for (const QVariant& v :
             column(*fact, QStringLiteral("SELECT TRIM(RDB$PRIVILEGE) || ' ' || "
                                          "TRIM(RDB$RELATION_NAME) FROM RDB$USER_PRIVILEGES "
                                          "WHERE RDB$USER = 'READER'")))
            out << v.toString();
        return out;
    }();
    EXPECT_TRUE(granted.contains(QStringLiteral("S POK")));
    EXPECT_FALSE(granted.contains(QStringLiteral("I POK")));
}
