// F1 in the real windows opens the page of the window or mode; "Помощь" in the
// collections window opens the contents and tells which databases are in use.
#include "TableWindowFixture.h"

#include "AboutText.h"
#include "AppContext.h"
#include "HelpContexts.h"
#include "HelpKey.h"
#include "HelpViewer.h"
#include "MenuItems.h"
#include "ScriptedLoginLauncher.h"
#include "TfmKisMain0.h"

#include <QDialog>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>

namespace {

class HelpKeyTest : public TableWindowFixture {
protected:
    void SetUp() override {
        TableWindowFixture::SetUp();
        HelpKey::install();
        delete HelpViewer::current();
    }
    void TearDown() override {
        delete HelpViewer::current();
        TableWindowFixture::TearDown();
    }
    QString f1() {
        QTest::keyClick(w->Book, Qt::Key_F1);
        return HelpViewer::current() ? HelpViewer::current()->currentTarget() : QString();
    }
};

TEST_F(HelpKeyTest, F1FollowsTheIdentificationModeOfTheTableEditor) {
    open(2);
    w->show();
    EXPECT_EQ(f1(), QStringLiteral("editor.html#window"));

    trigger("mIdBok");
    ASSERT_TRUE(act("mIdBok")->isChecked());
    EXPECT_EQ(f1(), QStringLiteral("identification.html#side"));
    ASSERT_TRUE(HelpViewer::current()->isVisible());
    EXPECT_TRUE(HelpViewer::current()->browser()->toPlainText().contains(
        QStringLiteral("Идентификация боковика")));
    // One help window serves every F1.
    HelpViewer* viewer = HelpViewer::current();

    trigger("mIdBok");
    trigger("mIdShap");
    ASSERT_TRUE(act("mIdShap")->isChecked());
    EXPECT_EQ(f1(), QStringLiteral("identification.html#header"));
    trigger("mIdShap");
    trigger("mIdZag");
    ASSERT_TRUE(act("mIdZag")->isChecked());
    EXPECT_EQ(f1(), QStringLiteral("identification.html#title"));
    key(Qt::Key_Escape);
    EXPECT_EQ(f1(), QStringLiteral("editor.html#window"));
    EXPECT_EQ(HelpViewer::current(), viewer);
}

TEST_F(HelpKeyTest, ShiftF1IsNotHelp) {
    open();
    QTest::keyClick(w->Book, Qt::Key_F1, Qt::ShiftModifier);
    EXPECT_EQ(HelpViewer::current(), nullptr);
}

// The collections window on the demo databases: the menu items and F1.
TEST(HelpMenu, ContentsAboutAndF1InTheCollectionsWindow) {
    HelpKey::install();
    TestDatabases dbs(true);
    AppContext::setProgramFolder(dbs.folder());
    dbs.writeConfig();
    ScriptedPrompter prompter;
    TdmMSSQL dm(prompter);
    ScriptedLoginLauncher login;
    dm.setLoginLauncher(&login);
    dm.create();
    {
        TfmKisMain0 w(dm, prompter);
        ASSERT_TRUE(w.connectDatabases());
        w.show();
        QAction* contents = FindItem(w, QStringLiteral("Помощь"), QStringLiteral("Содержание"));
        ASSERT_TRUE(contents && contents->isEnabled());
        contents->trigger();
        ASSERT_TRUE(HelpViewer::current());
        EXPECT_EQ(HelpViewer::current()->currentTarget(), QStringLiteral("index.html"));

        QTest::keyClick(w.focusWidget() ? w.focusWidget() : &w, Qt::Key_F1);
        EXPECT_EQ(HelpViewer::current()->currentTarget(),
                  QStringLiteral("collections.html#window"));

        FindItem(w, QStringLiteral("Помощь"), QStringLiteral("О программе"))->trigger();
        const QString about = prompter.lastText();
        EXPECT_TRUE(about.startsWith(
            QStringLiteral("Земрак\r\nСборники статистических таблиц\r\nВерсия ")));
        EXPECT_TRUE(about.endsWith(
            QStringLiteral("\r\n\r\nФактографическая БД: ") + dbs.factPath() +
            QStringLiteral("\r\n    (встроенный Firebird, без сервера)\r\n"
                           "БД табличных материалов: ") +
            dbs.tabPath() + QStringLiteral("\r\n    (встроенный Firebird, без сервера)")))
            << about.toStdString();
        delete HelpViewer::current();
    }
}

} // namespace

namespace {

// A modal window blocks every other window but its own, so the help opened from it
// belongs to it.
TEST(HelpMenu, HelpFromAModalWindowIsNotBlockedByIt) {
    HelpKey::install();
    delete HelpViewer::current();
    QWidget main;
    SetHelpContext(&main, HelpContexts::Collections);
    main.show();
    QTest::keyClick(&main, Qt::Key_F1);
    ASSERT_TRUE(HelpViewer::current());
    EXPECT_EQ(HelpViewer::current()->currentTarget(), QStringLiteral("collections.html#window"));

    QDialog dialog(&main);
    SetHelpContext(&dialog, HelpContexts::Periods);
    QWidget* owner = nullptr;
    QString target;
    QTimer::singleShot(0, &dialog, [&] {
        QTest::keyClick(&dialog, Qt::Key_F1);
        owner = HelpViewer::current()->parentWidget();
        target = HelpViewer::current()->currentTarget();
        dialog.reject();
    });
    dialog.exec();
    EXPECT_EQ(owner, &dialog);
    EXPECT_EQ(target, QStringLiteral("periods.html#window"));
    delete HelpViewer::current();
}

TEST(HelpMenu, AboutTellsTheEngineOfEachDatabase) {
    EXPECT_EQ(DatabaseLine(QStringLiteral("БТМ"), QStringLiteral("srv:/data/Z.GDB"), true),
              QStringLiteral("БТМ: srv:/data/Z.GDB\r\n    (сервер Firebird srv)"));
    EXPECT_EQ(DatabaseLine(QStringLiteral("БТМ"), QStringLiteral("/data/Z.GDB"), true),
              QStringLiteral("БТМ: /data/Z.GDB\r\n    (встроенный Firebird, без сервера)"));
    EXPECT_EQ(DatabaseLine(QStringLiteral("БТМ"), QStringLiteral("srv:/data/Z.GDB"), false),
              QStringLiteral("БТМ: не подключена"));
}

} // namespace
