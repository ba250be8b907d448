#include "MenuColumns.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QTest>
#include <QWidgetAction>

#include <gtest/gtest.h>

#include <memory>

namespace {

// Forty-five directory entries with the breaks of a long directory menu.
class MenuColumnsTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (int i = 1; i <= 45; ++i) {
            auto* a = new QAction(QStringLiteral("Справочник %1").arg(i), &m_owner);
            QObject::connect(a, &QAction::triggered, [this, i] { m_triggered << i; });
            m_actions << a;
        }
    }
    QObject m_owner;
    QList<QAction*> m_actions;
    QList<int> m_triggered;
};

} // namespace

TEST_F(MenuColumnsTest, BreaksStartColumnsSideBySide) {
    MenuColumns columns(m_actions, {39, 19, 0, 45, 100});
    EXPECT_EQ(columns.columnCount(), 3);
    EXPECT_EQ(columns.columnOf(18), 0);
    EXPECT_EQ(columns.columnOf(19), 1);
    EXPECT_EQ(columns.rowOf(19), 0);
    EXPECT_EQ(columns.columnOf(44), 2);
    EXPECT_EQ(columns.rowOf(44), 5);
    const QRect first = columns.itemRect(0);
    const QRect second = columns.itemRect(19);
    EXPECT_FALSE(first.isEmpty());
    EXPECT_EQ(second.top(), first.top());
    EXPECT_GT(second.left(), first.right());
    EXPECT_EQ(columns.itemRect(20).top(), second.bottom() + 1);
    // The tallest column decides the height, the columns together the width.
    EXPECT_EQ(columns.sizeHint().height(), columns.itemRect(38).bottom() + 1);
    EXPECT_EQ(columns.sizeHint().width(), columns.itemRect(44).right() + 1);
    EXPECT_TRUE(columns.itemRect(45).isNull());
}

TEST_F(MenuColumnsTest, KeysMoveLikeAMenuAndEnterTriggers) {
    MenuColumns columns(m_actions, {19, 39});
    columns.show();
    columns.setCurrent(0);
    QTest::keyClick(&columns, Qt::Key_Down);
    EXPECT_EQ(columns.current(), 1);
    QTest::keyClick(&columns, Qt::Key_Up);
    QTest::keyClick(&columns, Qt::Key_Up);
    EXPECT_EQ(columns.current(), 18); // round to the bottom of its own column
    QTest::keyClick(&columns, Qt::Key_Down);
    EXPECT_EQ(columns.current(), 0);
    columns.setCurrent(5);
    QTest::keyClick(&columns, Qt::Key_Right);
    EXPECT_EQ(columns.current(), 24);
    QTest::keyClick(&columns, Qt::Key_Right);
    EXPECT_EQ(columns.current(), 44);
    columns.setCurrent(30);
    QTest::keyClick(&columns, Qt::Key_Right);
    EXPECT_EQ(columns.current(), 44); // the short last column: its last entry
    QTest::keyClick(&columns, Qt::Key_Left);
    EXPECT_EQ(columns.current(), 24);
    QTest::keyClick(&columns, Qt::Key_End);
    EXPECT_EQ(columns.current(), 44);
    QTest::keyClick(&columns, Qt::Key_Home);
    EXPECT_EQ(columns.current(), 0);

    // Left of the first column and Escape belong to the menu around.
    QKeyEvent left(QEvent::KeyPress, Qt::Key_Left, Qt::NoModifier);
    QApplication::sendEvent(&columns, &left);
    EXPECT_FALSE(left.isAccepted());
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&columns, &escape);
    EXPECT_FALSE(escape.isAccepted());
    EXPECT_EQ(columns.current(), 0);

    columns.setCurrent(20);
    QTest::keyClick(&columns, Qt::Key_Return);
    EXPECT_EQ(m_triggered, QList<int>{21});
    // A disabled entry is shown but does nothing.
    m_actions[21]->setEnabled(false);
    columns.setCurrent(21);
    QTest::keyClick(&columns, Qt::Key_Space);
    EXPECT_EQ(m_triggered, QList<int>{21});
}

TEST_F(MenuColumnsTest, TheMouseHighlightsAndTriggers) {
    MenuColumns columns(m_actions, {19, 39});
    columns.resize(columns.sizeHint());
    columns.show();
    const QPoint onEntry = columns.itemRect(41).center();
    QTest::mouseMove(&columns, onEntry);
    QMouseEvent move(QEvent::MouseMove, onEntry, columns.mapToGlobal(onEntry), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&columns, &move);
    EXPECT_EQ(columns.current(), 41);
    QTest::mouseClick(&columns, Qt::LeftButton, {}, onEntry);
    EXPECT_EQ(m_triggered, QList<int>{42});
    QTest::mouseClick(&columns, Qt::RightButton, {}, onEntry);
    EXPECT_EQ(m_triggered, QList<int>{42});
}

TEST_F(MenuColumnsTest, AMenuGetsColumnsOnlyWhenThereIsABreak) {
    QMenu plain;
    MenuColumns::addTo(&plain, m_actions.mid(0, 20), {20});
    EXPECT_EQ(plain.actions(), m_actions.mid(0, 20));

    QMenu parent;
    QMenu* sub = parent.addMenu(QStringLiteral("Независимые объекты"));
    MenuColumns::addTo(sub, m_actions, {19, 39});
    ASSERT_EQ(sub->actions().size(), 1);
    auto* holder = qobject_cast<QWidgetAction*>(sub->actions()[0]);
    ASSERT_TRUE(holder);
    auto* columns = qobject_cast<MenuColumns*>(holder->defaultWidget());
    ASSERT_TRUE(columns);
    EXPECT_EQ(columns->count(), 45);

    // The keys the open menu gets move in the columns; choosing an entry closes
    // the menus before the entry's command runs.
    parent.popup(QPoint(0, 0));
    parent.setActiveAction(sub->menuAction());
    QTest::keyClick(&parent, Qt::Key_Right);
    QApplication::processEvents();
    ASSERT_TRUE(sub->isVisible() && parent.isVisible());
    ASSERT_EQ(sub->activeAction(), holder);
    bool menusOpen = true;
    QObject::connect(m_actions[21], &QAction::triggered,
                     [&] { menusOpen = sub->isVisible() || parent.isVisible(); });
    QTest::keyClick(sub, Qt::Key_Down);
    EXPECT_EQ(columns->current(), 0);
    QTest::keyClick(sub, Qt::Key_Down);
    QTest::keyClick(sub, Qt::Key_Down);
    QTest::keyClick(sub, Qt::Key_Right);
    EXPECT_EQ(columns->current(), 21);
    QTest::keyClick(sub, Qt::Key_Return);
    EXPECT_EQ(m_triggered, QList<int>{22});
    EXPECT_FALSE(menusOpen);
    EXPECT_FALSE(sub->isVisible() || parent.isVisible());

    // Left of the first column is the menu's: the sub-menu closes, nothing is chosen.
    parent.popup(QPoint(0, 0));
    parent.setActiveAction(sub->menuAction());
    QTest::keyClick(&parent, Qt::Key_Right);
    QApplication::processEvents();
    ASSERT_TRUE(sub->isVisible());
    sub->setActiveAction(holder);
    columns->setCurrent(3);
    QTest::keyClick(sub, Qt::Key_Left);
    EXPECT_FALSE(sub->isVisible());
    EXPECT_TRUE(parent.isVisible());
    EXPECT_EQ(m_triggered, QList<int>{22});
    parent.close();
}
