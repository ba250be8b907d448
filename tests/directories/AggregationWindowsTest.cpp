#include "AggregationFixture.h"
#include "TMyDBGrid.h"
#include "TfmKisAgr0.h"
#include "TfmKisElm0.h"
#include "TfmKisFilterAgr.h"
#include "TfmKisObj0.h"

#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

TEST_F(FactTest, CompositionWindowChecksNamesAndTheObjectsName) {
    {
        TfmKisObj0 fm(m_a->dm, m_a->prompter);
        fm.show();
        ASSERT_EQ(fm.clbAgr->count(), 2);
        EXPECT_EQ(fm.clbAgr->item(1)->text(), QStringLiteral("Виды учреждений"));
        EXPECT_EQ(fm.clbAgr->item(0)->checkState(), Qt::Checked);
        EXPECT_EQ(fm.edNameElm->text(), QStringLiteral("Учреждения"));
        EXPECT_TRUE(fm.edNameElm->isEnabled());
        fm.clbAgr->item(0)->setCheckState(Qt::Unchecked);
        fm.clbAgr->item(1)->setCheckState(Qt::Unchecked);
        EXPECT_FALSE(fm.edNameElm->isEnabled());
        fm.clbAgr->item(1)->setText(QString());
        EXPECT_EQ(fm.clbAgr->item(1)->text(), QStringLiteral("Независимые объекты - 2"));
        fm.reject();
    }
    EXPECT_EQ(scalar(QStringLiteral("SELECT ISELMENABLED FROM NAST")).toString(),
              QStringLiteral("F"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT LIST(ISINELM, '') FROM SPISAGR")).toString(),
              QStringLiteral("FF"));
    EXPECT_TRUE(m_a->messages().isEmpty()) << m_a->messages().join('|').toStdString();
}

TEST_F(FactTest, TreeWindowCodeBoxRefusesAndStores) {
    TfmKisAgr0 fm(m_a->dm, m_a->prompter, 2, QStringLiteral("Виды учреждений"));
    fm.show();
    EXPECT_EQ(fm.windowTitle(), QStringLiteral("Виды учреждений"));
    EXPECT_EQ(fm.edKod->text(), QStringLiteral("1"));
    ASSERT_TRUE(fm.tree().engine().selectKey(3.0));
    EXPECT_EQ(fm.edKod->text(), QStringLiteral("3"));
    QFocusEvent focusIn(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(fm.edKod, &focusIn);
    EXPECT_FALSE(fm.sbAdd->isEnabled());
    fm.edKod->selectAll();
    QTest::keyClicks(fm.edKod, QStringLiteral("abc"));
    QTest::keyClick(fm.edKod, Qt::Key_Return);
    EXPECT_EQ(m_a->messages(), QStringList{QStringLiteral("Код объекта должен быть числовым")});
    EXPECT_EQ(fm.edKod->text(), QStringLiteral("abc"));
    QTest::keyClick(fm.edKod, Qt::Key_Escape);
    EXPECT_EQ(fm.edKod->text(), QStringLiteral("3"));
    EXPECT_TRUE(fm.sbAdd->isEnabled());

    QApplication::sendEvent(fm.edKod, &focusIn);
    fm.edKod->selectAll();
    QTest::keyClicks(fm.edKod, QStringLiteral("30"));
    QTest::keyClick(fm.edKod, Qt::Key_Tab);
    EXPECT_EQ(fm.edKod->text(), QStringLiteral("30"));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM AGR WHERE NUMAGR = 2 AND KODFOLDER = 30")),
              1);
    EXPECT_EQ(m_a->messages().size(), 1);
}

TEST_F(FactTest, ObjectsWindowShowsAttachedDirectoriesAndAddsOnDown) {
    TfmKisElm0 fm(m_a->dm, m_a->prompter, QStringLiteral(" Учреждения "));
    fm.show();
    EXPECT_EQ(fm.windowTitle(), QStringLiteral("Учреждения"));
    ASSERT_EQ(fm.rows().columnCount(), 4);
    EXPECT_EQ(fm.rows().headerData(3, Qt::Horizontal, Qt::DisplayRole).toString(),
              QStringLiteral("Виды учреждений"));
    EXPECT_EQ(fm.hintAt(0, 2), QStringLiteral("Город Заречный"));
    EXPECT_EQ(fm.hintAt(0, 1), QString());
    fm.rows().last();
    fm.dgElm->setCurrentIndex(fm.rows().index(7, 2));
    fm.dgElm->setFocus();
    QTest::keyClick(fm.dgElm, Qt::Key_Down);
    EXPECT_EQ(fm.rows().count(), 9);
    EXPECT_EQ(fm.rows().value(QStringLiteral("KODFOLDER")).toDouble(), 9.0);
    EXPECT_TRUE(m_a->messages().isEmpty()) << m_a->messages().join('|').toStdString();
}

TEST(FilterDialog, RootRemovesTheConditionNodesFollowTheirLevels) {
    const QList<AgrNode> nodes{{1, QStringLiteral("Все"), 1},
                               {2, QStringLiteral("Больницы"), 2},
                               {3, QStringLiteral("ЦРБ"), 3},
                               {4, QStringLiteral("Поликлиники"), 2}};
    TfmKisFilterAgr filter(QStringLiteral("Виды учреждений"), nodes);
    EXPECT_EQ(filter.windowTitle(), QStringLiteral("Задание фильтра"));
    EXPECT_EQ(filter.chosenKey(), ObjectFilter::kNone);
    QTreeWidgetItem* all = filter.trvAgr->topLevelItem(0)->child(0);
    ASSERT_EQ(all->childCount(), 2);
    EXPECT_EQ(all->child(0)->child(0)->text(0), QStringLiteral("ЦРБ"));
    filter.trvAgr->setCurrentItem(all->child(1));
    EXPECT_EQ(filter.chosenKey(), 4.0);
    EXPECT_EQ(filter.chosenName(), QStringLiteral("Поликлиники"));

    TfmKisSelectAgr select(QStringLiteral("Виды учреждений"), nodes);
    EXPECT_EQ(select.windowTitle(), QStringLiteral("Виды учреждений"));
    EXPECT_EQ(select.trvAgr->topLevelItemCount(), 1);
    EXPECT_EQ(select.chosenKey(), 1.0);
}
