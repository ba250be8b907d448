#include "TfmPeriod.h"
#include "PeriodTestFixture.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

namespace {

QStringList treeTexts(QTreeWidget* tree) {
    QStringList texts;
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        texts << tree->topLevelItem(i)->text(0);
    return texts;
}

// Types into the tree's open editor and presses Enter.
void typeIntoEditor(QTreeWidget* tree, const QString& text) {
    auto* editor = tree->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    QTest::keyClicks(editor, text);
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

class PeriodWindow : public PeriodTest {
protected:
    void SetUp() override {
        PeriodTest::SetUp();
        connectAs();
    }
};

} // namespace

TEST_F(PeriodWindow, PagesShowTheListsAndAddTakesANewYear) {
    setNast(QString(), QStringLiteral("20032004"));
    TfmPeriod fm(*m_dm, m_prompter);
    EXPECT_EQ(fm.windowTitle(), QStringLiteral("Настройка периодов хранения данных"));
    EXPECT_EQ(fm.pcFund->tabText(0), QStringLiteral("Долговременный ФД"));
    EXPECT_EQ(fm.pcFund->tabText(1), QStringLiteral("    Оперативный ФД    "));
    EXPECT_EQ(fm.sbAddS->text(), QStringLiteral("Добавить"));
    ASSERT_TRUE(fm.prepare());
    fm.show();
    EXPECT_EQ(fm.activeFund(), PeriodController::Fund::Dolg);
    EXPECT_FALSE(fm.trvDolg->isEnabled());
    EXPECT_EQ(treeTexts(fm.trvOper), (QStringList{"2003", "2004"}));

    fm.pcFund->setCurrentIndex(1);
    EXPECT_TRUE(fm.trvOper->isEnabled());
    // Someone else added a year meanwhile: "Добавить" shows it too.
    setNast(QString(), QStringLiteral("200320042005"));
    fm.sbAddSClick();
    EXPECT_EQ(treeTexts(fm.trvOper), (QStringList{"2003", "2004", "2005", ""}));
    typeIntoEditor(fm.trvOper, QStringLiteral("2006"));
    EXPECT_EQ(treeTexts(fm.trvOper), (QStringList{"2003", "2004", "2005", "2006"}));
    EXPECT_EQ(nast("GODOPER"), QStringLiteral("2003200420052006"));

    // F2 edits the selected year; the question about its data is asked.
    m_prompter.answer(Answer::No);
    fm.trvOper->setCurrentItem(fm.trvOper->topLevelItem(0));
    QTest::keyClick(fm.trvOper, Qt::Key_F2);
    typeIntoEditor(fm.trvOper, QStringLiteral("2002"));
    EXPECT_EQ(m_prompter.texts(),
              QStringList{QStringLiteral("Стереть данные скорректированного периода ?")});
    EXPECT_EQ(nast("GODOPER"), QStringLiteral("2002200420052006"));
    fm.close();
}

TEST_F(PeriodWindow, ACancelledNewNodeDisappears) {
    TfmPeriod fm(*m_dm, m_prompter);
    ASSERT_TRUE(fm.prepare());
    fm.show();
    fm.sbAddSClick();
    EXPECT_EQ(treeTexts(fm.trvDolg), QStringList{""});
    auto* editor = fm.trvDolg->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_Escape);
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_EQ(fm.trvDolg->topLevelItemCount(), 0);
    EXPECT_FALSE(fm.trvDolg->isEnabled());
    EXPECT_EQ(columns("FD_DOLGAGR").size(), 3);
    EXPECT_TRUE(m_prompter.texts().isEmpty());
}

TEST_F(PeriodWindow, ClickingAddWhileEditingStoresTheTypedYearFirst) {
    TfmPeriod fm(*m_dm, m_prompter);
    ASSERT_TRUE(fm.prepare());
    fm.show();
    fm.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&fm));
    QTest::mouseClick(fm.sbAddS, Qt::LeftButton);
    auto* editor = fm.trvDolg->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, QStringLiteral("2004"));
    QTest::mouseClick(fm.sbAddS, Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_EQ(nast("GODDOLG"), QStringLiteral("2004"));
    EXPECT_EQ(treeTexts(fm.trvDolg), (QStringList{"2004", ""}));
    typeIntoEditor(fm.trvDolg, QStringLiteral("2005"));
    EXPECT_EQ(nast("GODDOLG"), QStringLiteral("20042005"));
    EXPECT_EQ(columns("FD_DOLGELM").mid(4), (QStringList{"D1", "D2"}));
    EXPECT_TRUE(m_prompter.texts().isEmpty()) << m_prompter.texts().join('|').toStdString();
}

TEST_F(PeriodWindow, TheCommandOpensNothingForOtherUsers) {
    connectAs(QStringLiteral("ANALYST"));
    TfmPeriod::run(*m_dm, m_prompter);
    EXPECT_EQ(m_prompter.texts(), QStringList{QStringLiteral("Изменить периоды хранения\r\nимеет "
                                                             "право только администратор БД "
                                                             "(SYSDBA)")});
}
