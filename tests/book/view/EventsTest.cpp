#include "BookViewTestUtil.h"
#include "EditBar.h"
#include "SheetTabBar.h"

#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

TEST(TBookEvents, ClicksKeysAndMouseUpReachTheProgram) {
    BookFixture f;
    QList<QPoint> clicks, rightClicks;
    int mouseUps = 0;
    QObject::connect(&f.book, &TBook::OnClick, [&](int r, int c) { clicks << QPoint(c, r); });
    QObject::connect(&f.book, &TBook::OnRClick, [&](int r, int c) { rightClicks << QPoint(c, r); });
    QObject::connect(&f.book, &TBook::OnMouseUp,
                     [&](Qt::MouseButton, Qt::KeyboardModifiers, int, int) { ++mouseUps; });
    f.click(3, 4);
    QTest::mouseClick(f.book.viewport(), Qt::RightButton, {}, f.cellCenter(6, 2));
    EXPECT_EQ(clicks, QList<QPoint>{QPoint(4, 3)});
    EXPECT_EQ(rightClicks, QList<QPoint>{QPoint(2, 6)});
    EXPECT_EQ(f.book.selectionText(), QStringLiteral("B6")); // a right click moves the cursor
    EXPECT_EQ(mouseUps, 2);

    // A handler that takes the key stops the control from acting on it.
    QList<int> downs, ups;
    QObject::connect(&f.book, &TBook::OnKeyDown, [&](int* key, Qt::KeyboardModifiers) {
        downs << *key;
        if (*key == Qt::Key_Escape || *key == Qt::Key_Down)
            *key = 0;
    });
    QObject::connect(&f.book, &TBook::OnKeyUp, [&](int key, Qt::KeyboardModifiers) { ups << key; });
    f.key(Qt::Key_Down);
    EXPECT_EQ(f.book.activeRow(), 6);
    f.key(Qt::Key_Right);
    EXPECT_EQ(f.book.activeCol(), 3);
    EXPECT_EQ(downs, (QList<int>{Qt::Key_Down, Qt::Key_Right}));
    EXPECT_EQ(ups, (QList<int>{Qt::Key_Down, Qt::Key_Right}));
}

TEST(TBookEvents, SheetTabsSwitchSheetsAndBuildTheEditGroup) {
    BookFixture f;
    f.book.setNumSheets(4);
    auto* tabs = f.book.findChild<SheetTabBar*>();
    ASSERT_NE(tabs, nullptr);
    ASSERT_EQ(tabs->count(), 4);
    EXPECT_EQ(tabs->tabText(1), f.book.workbook().sheet(2).name());
    auto clickTab = [&](int i, Qt::KeyboardModifiers mods) {
        QTest::mouseClick(tabs, Qt::LeftButton, mods, tabs->tabRect(i).center());
    };
    clickTab(1, {});
    EXPECT_EQ(f.book.sheet(), 2);
    clickTab(3, Qt::ControlModifier);
    EXPECT_EQ(f.book.sheet(), 2);
    EXPECT_EQ(f.book.workbook().editGroup(), (QList<int>{2, 4}));
    clickTab(3, Qt::ControlModifier);
    EXPECT_EQ(f.book.workbook().editGroup(), (QList<int>{2}));
    clickTab(0, Qt::ShiftModifier);
    EXPECT_EQ(f.book.workbook().editGroup(), (QList<int>{1, 2}));
    clickTab(2, {});
    EXPECT_EQ(f.book.sheet(), 3);
    EXPECT_EQ(f.book.workbook().editGroup(), (QList<int>{3}));
    // The program switching sheets leaves the group to the new active sheet alone.
    f.book.setSheet(1);
    EXPECT_EQ(f.book.workbook().editGroup(), (QList<int>{1}));
    f.book.workbook().deleteSheet(1);
    EXPECT_EQ(f.book.sheet(), 1);
    EXPECT_EQ(tabs->count(), 3);
    f.book.setShowTabs(false);
    EXPECT_FALSE(tabs->isVisibleTo(&f.book));
}

TEST(TBookEvents, EditBarShowsTheEntryAndCommitsLikeTheCell) {
    BookFixture f;
    f.book.workbook().setFormula(2, 2, QStringLiteral("=3*4"));
    f.book.setShowEditBar(true);
    f.book.setActiveCell(2, 2);
    auto* bar = f.book.findChild<EditBar*>();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->line()->text(), QStringLiteral("=3*4"));
    EXPECT_EQ(f.book.formattedText(), QStringLiteral("12"));
    EXPECT_GT(f.book.layout().origin().y(), 0);

    QStringList edited;
    QObject::connect(&f.book, &TBook::OnEndEdit,
                     [&](const QString& text, bool*) { edited << text; });
    bar->line()->setText(QStringLiteral("=3*5"));
    QTest::keyClick(bar->line(), Qt::Key_Return);
    EXPECT_EQ(edited, QStringList{QStringLiteral("=3*5")});
    EXPECT_EQ(f.book.workbook().number(2, 2), 15);
}

TEST(TBookEvents, PropertiesByTheirControlNames) {
    BookFixture f;
    f.book.workbook().setNumber(7, 5, 0);
    EXPECT_EQ(f.book.property("LastRow").toInt(), 7);
    EXPECT_EQ(f.book.property("LastCol").toInt(), 5);
    EXPECT_EQ(f.book.property("MaxRow").toInt(), kMaxRows);
    EXPECT_EQ(f.book.property("MaxCol").toInt(), kMaxCols);
    f.book.setProperty("Selection", QStringLiteral("B3:D9"));
    EXPECT_EQ(f.book.property("SelStartRow").toInt(), 3);
    EXPECT_EQ(f.book.property("SelEndCol").toInt(), 4);
    f.book.setProperty("NumberFormat", QStringLiteral("0.00"));
    f.book.setProperty("WordWrap", true);
    f.book.setProperty("VAlign", 2);
    const CellFormat& last = f.book.workbook().activeSheet().format(9, 4);
    EXPECT_EQ(last.numberFormat, QStringLiteral("0.00"));
    EXPECT_TRUE(last.wordWrap);
    EXPECT_EQ(last.vAlign, VAlign::Center);
    EXPECT_EQ(f.book.property("VAlign").toInt(), 2);
    EXPECT_EQ(f.book.workbook().activeSheet().format(10, 4).numberFormat,
              QStringLiteral("General"));

    f.book.setActiveCell(7, 5);
    EXPECT_EQ(f.book.property("FormattedText").toString(), QStringLiteral("0"));
    f.book.setProperty("ShowZeroValues", false);
    EXPECT_EQ(f.book.property("FormattedText").toString(), QString());
    f.book.setProperty("FixedRows", 4);
    f.book.setProperty("TopRow", 2); // below the frozen rows at the least
    EXPECT_EQ(f.book.property("TopRow").toInt(), 5);
    f.book.setProperty("NumSheets", 3);
    f.book.setProperty("Sheet", 3);
    EXPECT_EQ(f.book.workbook().activeSheetIndex(), 3);
    EXPECT_EQ(f.book.property("FixedRows").toInt(), 0); // per sheet
}
