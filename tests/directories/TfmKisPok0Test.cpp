#include "TfmKisPok0.h"

#include "DbTestHelpers.h"
#include "ScriptedPrompter.h"
#include "TMyDBGrid.h"
#include "TdmMSSQL.h"
#include "TestDatabases.h"

#include <QMenu>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class PokWindow : public ::testing::Test {
protected:
    PokWindow() : m_dbs(true) {}
    void SetUp() override {
        m_dm.dbMain.setParams(m_dbs.factPath(), TestDatabases::user(), TestDatabases::password());
        m_dm.dbTab.setParams(m_dbs.tabPath(), TestDatabases::user(), TestDatabases::password());
        m_dm.dbMain.open();
        m_dm.dbTab.open();
        m_dm.registerInstance();
    }
    void TearDown() override { m_dm.unregisterInstance(); }

    TestDatabases m_dbs;
    ScriptedPrompter m_prompter;
    TdmMSSQL m_dm{m_prompter};
};

} // namespace

TEST_F(PokWindow, EnterOpensARubricAndTabReturnsToTheTree) {
    const int catalogue = ProcessOutlineState().currentCatalogue;
    {
        TfmKisPok0 fm(m_dm, m_prompter);
        EXPECT_EQ(ProcessOutlineState().currentCatalogue, 2);
        fm.show();
        EXPECT_EQ(fm.windowTitle(), QStringLiteral("Разделы показателей"));
        ASSERT_TRUE(fm.tree().engine().selectKey(3));
        QTest::keyClick(fm.trvMaster, Qt::Key_Return);
        EXPECT_EQ(fm.windowTitle(), QStringLiteral("Показатели раздела \"Медицинские кадры\""));
        EXPECT_TRUE(fm.dgSlave->isEnabled());
        EXPECT_EQ(fm.rows().count(), 5);

        // Export and import belong to the tree; copy to a grid with a row.
        QMenu* ops = qobject_cast<QMenu*>(fm.action(QStringLiteral("Экспорт"))->parent());
        ASSERT_NE(ops, nullptr);
        emit ops->aboutToShow();
        EXPECT_FALSE(fm.action(QStringLiteral("Экспорт"))->isEnabled());
        EXPECT_FALSE(fm.action(QStringLiteral("Импорт"))->isEnabled());
        EXPECT_TRUE(fm.action(QStringLiteral("Копировать"))->isEnabled());
        EXPECT_FALSE(fm.action(QStringLiteral("Вставить"))->isEnabled());
        fm.action(QStringLiteral("Копировать"))->trigger();
        emit ops->aboutToShow();
        EXPECT_TRUE(fm.action(QStringLiteral("Вставить"))->isEnabled());

        // Down on the last indicator adds one after it.
        fm.dgSlave->setFocus();
        fm.rows().last();
        QTest::keyClick(fm.dgSlave, Qt::Key_Down);
        EXPECT_EQ(fm.rows().count(), 6);
        // Insert adds before the current indicator; on the first row nothing happens.
        fm.rows().setCurrentRow(1);
        const QVariant second = fm.rows().value(QStringLiteral("KODELMT"));
        QTest::keyClick(fm.dgSlave, Qt::Key_Insert);
        ASSERT_EQ(fm.rows().count(), 7);
        EXPECT_EQ(fm.rows().value(2, QStringLiteral("KODELMT")), second);
        fm.rows().first();
        QTest::keyClick(fm.dgSlave, Qt::Key_Insert);
        EXPECT_EQ(fm.rows().count(), 7);
        EXPECT_TRUE(m_prompter.texts().isEmpty()) << m_prompter.texts().join('|').toStdString();

        QTest::keyClick(fm.dgSlave, Qt::Key_Tab);
        EXPECT_EQ(fm.windowTitle(), QStringLiteral("Разделы показателей"));
        EXPECT_FALSE(fm.rows().isOpen());
        emit ops->aboutToShow();
        EXPECT_TRUE(fm.action(QStringLiteral("Импорт"))->isEnabled());
        // Down on the last visible rubric adds one.
        const int rubrics = int(fm.tree().engine().arrays().size());
        fm.tree().engine().selectNode(fm.tree().tree().lastVisibleNode());
        QTest::keyClick(fm.trvMaster, Qt::Key_Down);
        EXPECT_EQ(int(fm.tree().engine().arrays().size()), rubrics + 1);
    }
    EXPECT_EQ(ProcessOutlineState().currentCatalogue, catalogue);
}
