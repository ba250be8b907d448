#include "OutlineTestSupport.h"

#include "ElementOperations.h"
#include "ElementRowSet.h"
#include "OpenFolderElements.h"
#include "OutlineCommandSet.h"
#include "OutlineTreeBinding.h"
#include "OutlineTreeController.h"
#include "OutlineTreeWidget.h"
#include "TMyDBGrid.h"
#include "TableGridWidths.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace dbtest;

namespace {

// The item tree as text, with each item's icon in brackets.
QString Items(QTreeWidget& view) {
    QStringList out;
    std::function<void(QTreeWidgetItem*, int)> walk = [&](QTreeWidgetItem* item, int depth) {
        out << QString(depth, QLatin1Char('.')) + item->text(0);
        for (int i = 0; i < item->childCount(); ++i)
            walk(item->child(i), depth + 1);
    };
    for (int i = 0; i < view.topLevelItemCount(); ++i)
        walk(view.topLevelItem(i), 0);
    return out.join(QLatin1Char(' '));
}

// What a user's double click delivers: press, release, double click, release.
void DoubleClick(QWidget* widget, const QPoint& point) {
    QTest::mouseClick(widget, Qt::LeftButton, {}, point);
    QTest::mouseDClick(widget, Qt::LeftButton, {}, point);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, point);
}

class OutlineWidgets : public ::testing::Test {
protected:
    void SetUp() override {
        m_dbs = std::make_unique<TestDatabases>();
        m_tab = m_dbs->connect(1);
        SeedSbr(*m_tab, {"A:1", "a:2", "b:2", "B:1", "C:1"});
        m_a = std::make_unique<Instance>(*m_dbs, OutlineDescriptor::Collections());
        m_binding = std::make_unique<OutlineTreeBinding>(m_view, m_a->tree);
        OutlineEngine<int>& engine = m_a->engine;
        m_binding->onSelect = [&engine](OutlineNode* n) { engine.selectNode(n); };
        m_binding->onExpandedChanged = [&engine](OutlineNode* n) { engine.RefreshFolderIcons(n); };
        m_binding->onDrop = [&engine](OutlineNode* t, DropZone z) { engine.DropOutlineNode(t, z); };
        for (QAction** a : {&m_add, &m_del, &m_up, &m_down, &m_left, &m_right})
            *a = new QAction(&m_view);
        for (QToolButton** b : {&m_sbAdd, &m_sbUp})
            *b = new QToolButton(&m_view);
        m_commands = {{m_sbAdd, m_add},  {nullptr, m_del},  {m_sbUp, m_up},
                      {nullptr, m_down}, {nullptr, m_left}, {nullptr, m_right}};
        engine.setCommandsListener([this] { m_commands.apply(m_a->engine.commands()); });
        m_view.resize(300, 300);
        m_view.show();
        engine.BuildOutline();
    }
    void TearDown() override {
        m_binding.reset();
        m_a.reset();
        m_tab.reset();
        m_dbs.reset();
    }
    QTreeWidgetItem* item(const QString& name) {
        return m_binding->itemOf(FindNode(m_a->tree, name));
    }

    std::unique_ptr<TestDatabases> m_dbs;
    std::unique_ptr<DbConnection> m_tab;
    std::unique_ptr<Instance> m_a;
    OutlineTreeWidget m_view;
    std::unique_ptr<OutlineTreeBinding> m_binding;
    QAction *m_add, *m_del, *m_up, *m_down, *m_left, *m_right;
    QToolButton *m_sbAdd, *m_sbUp;
    OutlineCommandSet m_commands;
};

} // namespace

TEST_F(OutlineWidgets, TheViewFollowsBuildAndCommands) {
    EXPECT_EQ(Items(m_view), QStringLiteral("A .a .b B C"));
    EXPECT_EQ(m_view.currentItem(), item("A"));
    EXPECT_FALSE(m_up->isEnabled());
    EXPECT_FALSE(m_sbUp->isEnabled());
    EXPECT_TRUE(m_down->isEnabled());
    // The user picks C: the command buttons and menu items follow together.
    m_view.setCurrentItem(item("C"));
    EXPECT_EQ(m_a->tree.current(), FindNode(m_a->tree, "C"));
    EXPECT_TRUE(m_up->isEnabled() && m_sbUp->isEnabled());
    EXPECT_FALSE(m_down->isEnabled());
    ASSERT_TRUE(m_a->engine.MoveNodeUp());
    ASSERT_TRUE(m_a->engine.DemoteNode());
    EXPECT_EQ(Items(m_view), QStringLiteral("A .a .b .C B"));
    EXPECT_TRUE(item("A")->isExpanded());
    EXPECT_EQ(m_view.currentItem(), item("C"));
    ASSERT_TRUE(m_a->engine.AddOutlineNode());
    EXPECT_EQ(m_view.currentItem()->parent(), item("A"));
    EXPECT_EQ(m_view.currentItem()->text(0), QString());
    m_view.setCurrentItem(item("A"));
    ASSERT_TRUE(m_a->engine.DeleteOutlineSubtree());
    EXPECT_EQ(Items(m_view), QStringLiteral("B"));
    EXPECT_EQ(CompareWithStored(m_a->engine, m_a->tree, ReadRows(*m_tab, "SBR")), QString());
}

TEST_F(OutlineWidgets, ExpandingInTheViewRefreshesIcons) {
    QTreeWidgetItem* a = item("A");
    const qint64 closed = a->icon(0).cacheKey();
    a->setExpanded(true);
    EXPECT_TRUE(FindNode(m_a->tree, "A")->expanded());
    EXPECT_EQ(FindNode(m_a->tree, "A")->icon(), IconOpen);
    EXPECT_NE(a->icon(0).cacheKey(), closed);
    a->setExpanded(false);
    EXPECT_EQ(FindNode(m_a->tree, "A")->icon(), IconClosed);
    EXPECT_EQ(a->icon(0).cacheKey(), closed);
}

TEST_F(OutlineWidgets, ADoubleClickClosesAnOpenFolderOnlyWhenTheGuardAgrees) {
    QTreeWidgetItem* a = item("A");
    OutlineNode* node = FindNode(m_a->tree, "A");
    a->setExpanded(true);
    QApplication::processEvents();
    int asked = 0;
    bool agree = false;
    m_view.setCollapseGuard([&](QTreeWidgetItem* it) {
        ++asked;
        EXPECT_EQ(it, a);
        return agree;
    });
    const QPoint caption = m_view.visualItemRect(a).center();
    DoubleClick(m_view.viewport(), caption);
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(a->isExpanded());
    EXPECT_TRUE(node->expanded());
    agree = true;
    DoubleClick(m_view.viewport(), caption);
    EXPECT_EQ(asked, 2);
    EXPECT_FALSE(a->isExpanded());
    EXPECT_FALSE(node->expanded());
    EXPECT_EQ(node->icon(), IconClosed);
    // Opening is left to the view and asks nothing.
    DoubleClick(m_view.viewport(), caption);
    EXPECT_EQ(asked, 2);
    EXPECT_TRUE(a->isExpanded());
    EXPECT_EQ(node->icon(), IconOpen);
    // Without a guard the view closes it as usual.
    m_view.setCollapseGuard({});
    DoubleClick(m_view.viewport(), caption);
    EXPECT_FALSE(a->isExpanded());
    EXPECT_EQ(asked, 2);
}

TEST(TableGridWidthsTest, TheIdentifierKeepsTwentyDigitsTheNameTakesTheRest) {
    TableGridWidths w = TableGridWidths::forWidth(500, 140);
    EXPECT_EQ(w.identifier, 140);
    EXPECT_EQ(w.name, 500 - 140 - 22);
    // Narrower than the identifier: the name keeps a sliver instead of a negative width.
    w = TableGridWidths::forWidth(100, 140);
    EXPECT_EQ(w.name, TableGridWidths::kNarrowest);
    EXPECT_EQ(w.identifier, 140);
    w = TableGridWidths::forWidth(0, 0);
    EXPECT_EQ(w.name, TableGridWidths::kNarrowest);
    EXPECT_EQ(w.identifier, TableGridWidths::kNarrowest);
}

TEST_F(OutlineWidgets, TableColumnsFollowTheGridsWidth) {
    ElementRowSet set(m_a->dm.query(QStringLiteral("quCAT")));
    TMyDBGrid grid;
    grid.resize(400, 200);
    SetupElementColumns(set, grid, false);
    const int twenty = TableGridWidths::twentyDigits(grid.fontMetrics());
    EXPECT_EQ(grid.columnWidth(0), 400 - twenty - 22);
    grid.resize(700, 200);
    EXPECT_EQ(grid.columnWidth(0), 400 - twenty - 22);
    FitTableColumns(grid);
    EXPECT_EQ(grid.columnWidth(0), 700 - twenty - 22);
    EXPECT_EQ(grid.columnWidth(1), twenty);
    // A grid without its columns yet is left alone.
    TMyDBGrid empty;
    FitTableColumns(empty);
    EXPECT_EQ(empty.model(), nullptr);
}

TEST_F(OutlineWidgets, DropZonesOfTheView) {
    QApplication::processEvents();
    const QRect r = m_view.visualItemRect(item("B"));
    QTreeWidgetItem* hit = nullptr;
    EXPECT_EQ(m_view.zoneAt(QPoint(r.left() + 2, r.center().y()), &hit), DropZone::Before);
    EXPECT_EQ(hit, item("B"));
    EXPECT_EQ(m_view.zoneAt(QPoint(r.left() + m_view.iconSize().width() + 8, r.center().y()), &hit),
              DropZone::LastChild);
    EXPECT_EQ(m_view.zoneAt(QPoint(r.right() - 2, r.center().y()), &hit), DropZone::Elsewhere);
    EXPECT_EQ(m_view.zoneAt(QPoint(10, 290), &hit), DropZone::Below);
    EXPECT_EQ(hit, nullptr);
    // A drop reported by the view runs the engine's move.
    m_view.setCurrentItem(item("C"));
    emit m_view.itemDropped(item("A"), DropZone::LastChild);
    EXPECT_EQ(Items(m_view), QStringLiteral("A .a .b .C B"));
}

TEST_F(OutlineWidgets, AFinishedCaptionEditGoesToTheWindow) {
    OutlineNode* edited = nullptr;
    QString text;
    m_binding->onEdited = [&](OutlineNode* n, const QString& t) {
        edited = n;
        text = t;
    };
    item("B")->setText(0, QStringLiteral("Новый"));
    EXPECT_EQ(edited, FindNode(m_a->tree, "B"));
    EXPECT_EQ(text, QStringLiteral("Новый"));
    // Until the window stores it the caption shows the stored name.
    EXPECT_EQ(item("B")->text(0), QStringLiteral("B"));
}

namespace {

class RecordingGrid : public TMyDBGrid {
public:
    int drags = 0;

protected:
    void beginDrag() override { ++drags; }
};

} // namespace

TEST_F(OutlineWidgets, OpeningAFolderAndTheGridsDragStart) {
    const int folder = m_a->engine.keyOf(FindNode(m_a->tree, "B"));
    for (const char* name : {"t1", "t2", "t3"})
        call(*m_tab, "INSERT_CAT",
             {{"NPP", 100}, {"KODFOLDER", folder}, {"NAMEFOLDER", name}, {"KODALT", "x"}});
    exec(*m_tab, QStringLiteral("UPDATE CAT SET NPP = KODELMT * 100"));
    ElementRowSet set(m_a->dm.query(QStringLiteral("quCAT")));
    ElementOperations ops(m_a->dm, ElementDescriptor::Tables(), set, m_a->prompter, m_a->state);
    RecordingGrid grid;
    grid.resize(400, 200);
    QToolButton adds, deletes;
    QAction deleteItem, protection;
    ElementCommandSet elementCommands{{&adds, nullptr}, {&deletes, &deleteItem}};
    m_view.setCurrentItem(item("B"));
    const CurrentFolder current =
        OpenFolderElements(m_a->engine, ops, grid, m_commands, elementCommands, &protection);
    ASSERT_TRUE(current.valid);
    EXPECT_EQ(current.key.toInt(), folder);
    EXPECT_EQ(current.npp, 400);
    EXPECT_TRUE(grid.isEnabled() && deleteItem.isEnabled() && protection.isEnabled());
    EXPECT_TRUE(m_sbUp->isHidden());
    EXPECT_FALSE(adds.isHidden());
    EXPECT_FALSE(m_up->isEnabled());
    EXPECT_EQ(set.columnCount(), 2);
    EXPECT_EQ(set.headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(),
              QStringLiteral("Наименование"));
    const int twenty = grid.fontMetrics().horizontalAdvance(QStringLiteral("22222222222222222222"));
    EXPECT_EQ(grid.columnWidth(1), twenty);
    EXPECT_EQ(grid.columnWidth(0), 400 - twenty - 22);
    grid.show();
    QApplication::processEvents();

    EXPECT_EQ(grid.dragStartX(), -1);
    const QPoint onRow1 = grid.visualRect(set.index(1, 0)).center();
    QTest::mousePress(grid.viewport(), Qt::LeftButton, {}, onRow1);
    EXPECT_EQ(grid.dragStartY(), onRow1.y());
    EXPECT_EQ(set.currentRow(), 1);
    QTest::mouseMove(grid.viewport(), onRow1 + QPoint(QApplication::startDragDistance() + 2, 0));
    EXPECT_EQ(grid.drags, 1);
    QTest::mouseRelease(grid.viewport(), Qt::LeftButton, {}, onRow1);
    // A double click never starts a drag.
    QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, onRow1);
    QMouseEvent move(QEvent::MouseMove, onRow1 + QPoint(30, 0),
                     grid.viewport()->mapToGlobal(onRow1), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(grid.viewport(), &move);
    EXPECT_EQ(grid.drags, 1);
    // A read-only grid only reports the press.
    grid.setReadOnly(true);
    int downs = 0;
    QObject::connect(&grid, &TMyDBGrid::mouseDown, [&] { ++downs; });
    const QPoint onRow2 = grid.visualRect(set.index(2, 0)).center();
    QTest::mousePress(grid.viewport(), Qt::LeftButton, {}, onRow2);
    EXPECT_EQ(downs, 1);
    EXPECT_EQ(set.currentRow(), 1);
    EXPECT_EQ(grid.rowAtPoint(QPoint(5, 190)), -1);
    grid.setDragStart(0, 0);
    EXPECT_EQ(grid.dragStartX(), -1);
    EXPECT_EQ(grid.dragStartY(), -1);
}

TEST_F(OutlineWidgets, IndicatorColumns) {
    ElementRowSet set(m_a->dm.query(QStringLiteral("quPOK")));
    TMyDBGrid grid;
    grid.resize(500, 200);
    SetupElementColumns(set, grid, true);
    QStringList titles;
    for (const auto& c : set.columns())
        titles << c.title + QLatin1Char('=') + c.field;
    EXPECT_EQ(titles, (QStringList{"Наименование=NameFolder", "Альт.код=KodAlt", "Ед.изм.=Eiz",
                                   "Внутр.код=KodElmt"}));
    const QFontMetrics fm(grid.font());
    EXPECT_EQ(grid.columnWidth(3), fm.horizontalAdvance(QStringLiteral("Внутр.код")) + 22);
    EXPECT_EQ(grid.columnWidth(0),
              500 - fm.horizontalAdvance(QStringLiteral("22222222222222222222")) -
                  fm.horizontalAdvance(QStringLiteral("Ед.измер.")) -
                  fm.horizontalAdvance(QStringLiteral("2222222222")) - 44);
}

TEST(OutlineTreeControllerTest, WiresTheViewTheCommandsAndTheEngine) {
    TestDatabases dbs;
    auto tab = dbs.connect(1);
    SeedSbr(*tab, {"A:1", "B:1", "C:1"});
    ScriptedPrompter prompter;
    TdmMSSQL dm(prompter);
    dm.dbMain.setParams(dbs.factPath(), TestDatabases::user(), TestDatabases::password());
    dm.dbTab.setParams(dbs.tabPath(), TestDatabases::user(), TestDatabases::password());
    dm.dbMain.open();
    dm.dbTab.open();
    dm.registerInstance();
    OutlineTreeWidget view;
    QAction up, down;
    OutlineCommandSet commands;
    commands.moveUp.action = &up;
    commands.moveDown.action = &down;
    OutlineState state;
    OutlineTreeController<int> controller(dm, OutlineDescriptor::Collections(), view, commands,
                                          prompter, state);
    controller.engine().BuildOutline();
    EXPECT_FALSE(up.isEnabled());
    EXPECT_TRUE(down.isEnabled());
    view.setCurrentItem(view.topLevelItem(2));
    EXPECT_TRUE(up.isEnabled());
    EXPECT_FALSE(down.isEnabled());
    // A drop runs the change check first, then the move.
    emit view.itemDropped(view.topLevelItem(0), DropZone::Before);
    EXPECT_EQ(Items(view), QStringLiteral("C A B"));
    // A finished caption edit is stored.
    view.topLevelItem(1)->setText(0, QStringLiteral(" Отчеты "));
    EXPECT_EQ(Items(view), QStringLiteral("C Отчеты B"));
    EXPECT_EQ(scalar(*tab, QStringLiteral("SELECT COUNT(*) FROM SBR WHERE NAMEFOLDER = 'Отчеты'"))
                  .toInt(),
              1);
    EXPECT_TRUE(prompter.shown().isEmpty());
    dm.unregisterInstance();
}
