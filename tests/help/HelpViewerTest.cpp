// The help window as the user works it: contents, search, back and forward.
#include "HelpViewer.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTextBrowser>
#include <QToolButton>
#include <QTreeWidget>

namespace {

TEST(HelpViewer, SearchFindsFillingOnTheFillingPage) {
    HelpViewer viewer;
    viewer.show();
    auto* edit = viewer.findChild<QLineEdit*>("edSearch");
    ASSERT_TRUE(edit);
    edit->setText(QStringLiteral("Заполнить"));
    QTest::keyClick(edit, Qt::Key_Return);
    bool onFillingPage = false;
    for (const HelpHit& hit : viewer.results())
        onFillingPage = onFillingPage || hit.target.startsWith("filling.html");
    EXPECT_TRUE(onFillingPage);
    auto* list = viewer.findChild<QListWidget*>("lbResults");
    EXPECT_EQ(list->count(), viewer.results().size());
    // The first hit is shown at once.
    EXPECT_EQ(viewer.currentTarget(), viewer.results().first().target);
    EXPECT_TRUE(viewer.browser()->toPlainText().contains(QStringLiteral("Заполнить")));

    viewer.search(QStringLiteral("жираф"));
    EXPECT_TRUE(viewer.results().isEmpty());
    EXPECT_EQ(list->item(0)->text(), QStringLiteral("Ничего не найдено"));
}

TEST(HelpViewer, ContentsListPagesInOrderAndOpenTheirSections) {
    HelpViewer viewer;
    viewer.resize(900, 300);
    viewer.show();
    auto* tree = viewer.findChild<QTreeWidget*>("tvContents");
    ASSERT_EQ(tree->topLevelItemCount(), viewer.library().contents().size());
    EXPECT_EQ(tree->topLevelItem(0)->text(0),
              viewer.library().page(viewer.library().contents().first())->title);

    viewer.open(QStringLiteral("identification.html"));
    const int top = viewer.browser()->verticalScrollBar()->value();
    viewer.open(QStringLiteral("identification.html#side"));
    EXPECT_EQ(viewer.currentTarget(), QStringLiteral("identification.html#side"));
    // The section is scrolled into view and marked in the contents.
    EXPECT_GT(viewer.browser()->verticalScrollBar()->value(), top);
    ASSERT_TRUE(tree->currentItem());
    EXPECT_EQ(tree->currentItem()->text(0), QStringLiteral("Идентификация боковика"));
}

TEST(HelpViewer, BackAndForwardReturnToPagesRead) {
    HelpViewer viewer;
    viewer.show();
    auto* back = viewer.findChild<QToolButton*>("SBback");
    auto* forward = viewer.findChild<QToolButton*>("SBforward");
    viewer.open(QStringLiteral("start.html"));
    EXPECT_FALSE(back->isEnabled());
    viewer.open(QStringLiteral("filling.html#store"));
    ASSERT_TRUE(back->isEnabled());
    back->click();
    EXPECT_EQ(viewer.currentTarget(), QStringLiteral("start.html"));
    ASSERT_TRUE(forward->isEnabled());
    forward->click();
    EXPECT_EQ(viewer.currentTarget(), QStringLiteral("filling.html#store"));
    // A link followed inside a page goes to its target.
    viewer.browser()->setSource(
        viewer.browser()->source().resolved(QUrl(QStringLiteral("periods.html#window"))));
    EXPECT_EQ(viewer.currentTarget(), QStringLiteral("periods.html#window"));
    EXPECT_TRUE(viewer.windowTitle().contains(QStringLiteral("Периоды хранения")));
}

} // namespace
