#include "DbTestHelpers.h"
#include "OutlineTestSupport.h"
#include "OutlineTreeWidget.h"
#include "ScriptedLoginLauncher.h"
#include "TMyDBGrid.h"
#include "TableGridWidths.h"
#include "TfmKisMain0.h"

#include "AppContext.h"

#include <QApplication>
#include <QFocusEvent>
#include <QSplitter>
#include <QTest>

#include <gtest/gtest.h>

using namespace dbtest;

namespace {

QTreeWidgetItem* TopItem(QTreeWidget& tree, const QString& text) {
    for (int i = 0; i < tree.topLevelItemCount(); ++i)
        if (tree.topLevelItem(i)->text(0) == text)
            return tree.topLevelItem(i);
    return nullptr;
}

void DoubleClick(QWidget* widget, const QPoint& point) {
    QTest::mouseClick(widget, Qt::LeftButton, {}, point);
    QTest::mouseDClick(widget, Qt::LeftButton, {}, point);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, point);
}

// The collections window over a protected collection A (with A1 inside) and B
// holding one table.
class CollectionsWindowFolders : public ::testing::Test {
protected:
    void SetUp() override {
        AppContext::setProgramFolder(m_dbs.folder());
        m_dbs.writeConfig();
        {
            std::unique_ptr<DbConnection> tab = m_dbs.connect(1);
            SeedSbr(*tab, {"A:1", "A1:2", "B:1"});
            exec(*tab, QStringLiteral("UPDATE SBR SET PAROL = 'Pa' WHERE NAMEFOLDER = 'A'"));
            const int b =
                scalar(*tab, QStringLiteral("SELECT KODFOLDER FROM SBR WHERE NAMEFOLDER = 'B'"))
                    .toInt();
            call(*tab, "INSERT_CAT",
                 {{"NPP", 100}, {"KODFOLDER", b}, {"NAMEFOLDER", "t"}, {"KODALT", "x"}});
        }
        m_dm.setLoginLauncher(&m_login);
        m_dm.create();
        m_window = std::make_unique<TfmKisMain0>(m_dm, m_prompter);
        ASSERT_TRUE(m_window->connectDatabases());
        // Passwords are read through the prompter, not a masked dialog.
        m_window->controller().setPasswordReader({});
        m_window->show();
        m_tree = m_window->findChild<OutlineTreeWidget*>(QStringLiteral("trvMaster"));
        ASSERT_TRUE(m_tree);
        m_tree->setFocus();
    }
    void TearDown() override { m_window.reset(); }
    QTreeWidgetItem* select(const QString& name) {
        QTreeWidgetItem* item = TopItem(*m_tree, name);
        m_tree->setCurrentItem(item);
        return item;
    }

    TestDatabases m_dbs;
    ScriptedPrompter m_prompter;
    TdmMSSQL m_dm{m_prompter};
    ScriptedLoginLauncher m_login;
    std::unique_ptr<TfmKisMain0> m_window;
    OutlineTreeWidget* m_tree = nullptr;
};

} // namespace

TEST_F(CollectionsWindowFolders, EnterAndArrowsOpenAndCloseCollections) {
    QTreeWidgetItem* a = select(QStringLiteral("A"));
    ASSERT_TRUE(a && !a->isExpanded());
    QTest::keyClick(m_tree, Qt::Key_Return);
    EXPECT_TRUE(a->isExpanded());
    EXPECT_TRUE(m_prompter.shown().isEmpty());

    m_prompter.input(std::nullopt);
    QTest::keyClick(m_tree, Qt::Key_Return);
    EXPECT_TRUE(a->isExpanded());
    ASSERT_EQ(m_prompter.shown().size(), 1);
    EXPECT_EQ(m_prompter.shown()[0].caption, QStringLiteral("Пароль сборника"));
    m_prompter.input(QStringLiteral("Pa"));
    QTest::keyClick(m_tree, Qt::Key_Return);
    EXPECT_FALSE(a->isExpanded());
    EXPECT_EQ(m_window->controller().mode(), CollectionsController::Mode::Collections);

    // The arrows ask nothing.
    QTest::keyClick(m_tree, Qt::Key_Right);
    EXPECT_TRUE(a->isExpanded());
    QTest::keyClick(m_tree, Qt::Key_Left);
    EXPECT_FALSE(a->isExpanded());
    EXPECT_EQ(m_tree->currentItem(), a);
    EXPECT_EQ(m_prompter.shown().size(), 2);
    EXPECT_TRUE(m_prompter.allAnswersUsed());
}

TEST_F(CollectionsWindowFolders, ADoubleClickClosesAProtectedCollectionOnlyWithItsPassword) {
    QTreeWidgetItem* a = select(QStringLiteral("A"));
    QApplication::processEvents();
    const QPoint caption = m_tree->visualItemRect(a).center();
    DoubleClick(m_tree->viewport(), caption);
    EXPECT_TRUE(a->isExpanded());
    EXPECT_TRUE(m_prompter.shown().isEmpty());

    m_prompter.input(std::nullopt);
    DoubleClick(m_tree->viewport(), caption);
    EXPECT_TRUE(a->isExpanded());
    m_prompter.input(QStringLiteral("Pa"));
    DoubleClick(m_tree->viewport(), caption);
    EXPECT_FALSE(a->isExpanded());
    EXPECT_EQ(m_prompter.shown().size(), 2);
    EXPECT_TRUE(m_prompter.allAnswersUsed());
    EXPECT_EQ(m_window->controller().mode(), CollectionsController::Mode::Collections);
}

TEST_F(CollectionsWindowFolders, MovingTheSplitterFitsTheTableColumnsWhileTheGridIsOn) {
    auto* splitter = m_window->findChild<QSplitter*>();
    auto* grid = m_window->findChild<TMyDBGrid*>(QStringLiteral("dgSlave"));
    ASSERT_TRUE(splitter && grid);
    select(QStringLiteral("B"));
    QTest::keyClick(m_tree, Qt::Key_Return);
    ASSERT_EQ(m_window->controller().mode(), CollectionsController::Mode::Tables);
    ASSERT_TRUE(grid->isEnabled());
    const int twenty = TableGridWidths::twentyDigits(grid->fontMetrics());
    const auto fitted = [&] { return grid->width() - twenty - 22; };

    const int total = splitter->sizes()[0] + splitter->sizes()[1];
    splitter->setSizes({total / 4, total - total / 4});
    ASSERT_NE(grid->columnWidth(0), fitted());
    emit splitter->splitterMoved(total / 4, 1);
    EXPECT_EQ(grid->columnWidth(0), fitted());
    EXPECT_EQ(grid->columnWidth(1), twenty);

    // Back in the tree the grid is off and keeps its columns.
    QFocusEvent focusIn(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(m_tree, &focusIn);
    ASSERT_FALSE(grid->isEnabled());
    const int before = grid->columnWidth(0);
    splitter->setSizes({total / 2, total - total / 2});
    emit splitter->splitterMoved(total / 2, 1);
    EXPECT_EQ(grid->columnWidth(0), before);
    EXPECT_TRUE(m_prompter.shown().isEmpty()) << m_prompter.texts().join('|').toStdString();
}
