#include "TfmKisMain0.h"
#include "AppContext.h"
#include "DbTestHelpers.h"
#include "MedstatTemplates.h"
#include "MenuColumns.h"
#include "MenuItems.h"
#include "OutlineTreeWidget.h"
#include "ScriptedLoginLauncher.h"
#include "ScriptedPrompter.h"
#include "TMyDBGrid.h"
#include "TdmMSSQL.h"
#include "TestDatabases.h"
#include "TfmKisObj0.h"

#include <QAction>
#include <QApplication>
#include <QFocusEvent>
#include <QListWidget>
#include <QMenuBar>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace dbtest;

// The window on the demo databases: its menu, the two modes and their captions.
TEST(CollectionsWindow, MenuModesAndCaptionsOnTheDemoDatabases) {
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
        EXPECT_EQ(w.windowTitle(), QStringLiteral("Cборники таблиц"));
        EXPECT_EQ(w.windowTitle().at(0), QLatin1Char('C'));

        const QAction* add = FindItem(w, QStringLiteral("Операции"), QStringLiteral("Добавить"));
        ASSERT_TRUE(add);
        EXPECT_EQ(add->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_A));
        const QAction* kod = FindItem(w, QStringLiteral("Операции"), QStringLiteral("Код формы"));
        ASSERT_TRUE(kod);
        EXPECT_EQ(kod->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_K));
        EXPECT_TRUE(kod->isCheckable() && !kod->isChecked());
        const QAction* paste = FindItem(w, QStringLiteral("Операции"), QStringLiteral("Вставить"));
        ASSERT_TRUE(paste);
        EXPECT_FALSE(paste->isEnabled());
        const QAction* bar =
            FindItem(w, QStringLiteral("Настройка"), QStringLiteral("Панель инструментов"));
        ASSERT_TRUE(bar);
        EXPECT_TRUE(bar->isChecked());
        EXPECT_TRUE(FindItem(w, QStringLiteral("Настройка"),
                             QStringLiteral("Сменить пользователя фактографической БД")));
        EXPECT_TRUE(FindItem(w, QStringLiteral("Помощь"), QStringLiteral("О программе")));

        w.show();
        auto* tree = w.findChild<OutlineTreeWidget*>(QStringLiteral("trvMaster"));
        auto* grid = w.findChild<TMyDBGrid*>(QStringLiteral("dgSlave"));
        ASSERT_TRUE(tree && grid);
        QTreeWidgetItem* leaf = nullptr;
        for (int i = 0; i < tree->topLevelItemCount() && !leaf; ++i)
            if (tree->topLevelItem(i)->childCount() == 0)
                leaf = tree->topLevelItem(i);
        ASSERT_TRUE(leaf);
        // The report files the program writes at its first start: the MEDSTAT buttons show.
        MedstatTemplates::createOnFirstStart(AppContext::medstatFolder());
        tree->setFocus();
        tree->setCurrentItem(leaf);
        QTest::keyClick(tree, Qt::Key_Return);
        EXPECT_EQ(w.windowTitle(),
                  QStringLiteral("Таблицы сборника \"") + leaf->text(0) + QLatin1Char('"'));
        EXPECT_TRUE(w.findChild<QWidget*>(QStringLiteral("paMedstat"))->isVisible());
        EXPECT_EQ(w.controller().mode(), CollectionsController::Mode::Tables);
        if (!qEnvironmentVariableIsEmpty("ZEMRAK_SHOTS"))
            w.grab().save(qEnvironmentVariable("ZEMRAK_SHOTS") + QStringLiteral("/tables.png"));

        // Back in the tree (the off-screen platform has no active window to move focus in).
        QFocusEvent focusIn(QEvent::FocusIn, Qt::TabFocusReason);
        QApplication::sendEvent(tree, &focusIn);
        EXPECT_EQ(w.windowTitle(), QStringLiteral("Cборники таблиц"));
        EXPECT_EQ(w.controller().mode(), CollectionsController::Mode::Collections);
        if (!qEnvironmentVariableIsEmpty("ZEMRAK_SHOTS"))
            w.grab().save(qEnvironmentVariable("ZEMRAK_SHOTS") +
                          QStringLiteral("/collections.png"));
    }
    EXPECT_TRUE(prompter.shown().isEmpty()) << prompter.texts().join('|').toStdString();
}

// Forty-five aggregation directories: three columns, breaking at the 20th and 40th.
TEST(CollectionsWindow, ALongDirectoryMenuShowsColumns) {
    TestDatabases dbs;
    AppContext::setProgramFolder(dbs.folder());
    dbs.writeConfig();
    {
        std::unique_ptr<DbConnection> fact = dbs.connect(0);
        exec(*fact, QStringLiteral("DELETE FROM SPISAGR"));
        for (int n = 1; n <= 45; ++n)
            exec(*fact,
                 QStringLiteral(
                     "INSERT INTO SPISAGR (NUMAGR, NAMEAGR, ISINELM) VALUES (:N, :A, 'F')"),
                 {{"N", n}, {"A", QStringLiteral("Справочник %1").arg(n)}});
    }
    ScriptedPrompter prompter;
    TdmMSSQL dm(prompter);
    ScriptedLoginLauncher login;
    dm.setLoginLauncher(&login);
    dm.create();
    TfmKisMain0 w(dm, prompter);
    ASSERT_TRUE(w.connectDatabases());
    auto* independent = w.findChild<QMenu*>(QStringLiteral("miIndependent"));
    ASSERT_TRUE(independent);
    EXPECT_EQ(independent->title(), QStringLiteral("Независимые объекты"));
    auto* columns = independent->findChild<MenuColumns*>();
    ASSERT_TRUE(columns);
    EXPECT_EQ(columns->count(), 45);
    EXPECT_EQ(columns->columnCount(), 3);
    EXPECT_EQ(columns->columnOf(18), 0);
    EXPECT_EQ(columns->columnOf(19), 1);
    EXPECT_EQ(columns->columnOf(39), 2);
    EXPECT_TRUE(prompter.shown().isEmpty()) << prompter.texts().join('|').toStdString();
}

// The administrator adds a directory: the program reconnects (the schema changed)
// and the "Справочники" menu shows the new directory, its items open windows.
TEST(CollectionsWindow, CompositionAddsADirectoryAndTheMenuFollows) {
    TestDatabases dbs(true);
    AppContext::setProgramFolder(dbs.folder());
    dbs.writeConfig();
    ScriptedPrompter prompter;
    TdmMSSQL dm(prompter);
    ScriptedLoginLauncher login;
    dm.setLoginLauncher(&login);
    dm.create();
    TfmKisMain0 w(dm, prompter);
    ASSERT_TRUE(w.connectDatabases());
    QAction* composition =
        FindItem(w, QStringLiteral("Настройка"), QStringLiteral("Состав  справочников  объектов"));
    ASSERT_TRUE(composition);
    EXPECT_TRUE(composition->isEnabled());
    EXPECT_TRUE(
        FindItem(w, QStringLiteral("Справочники"), QStringLiteral("Учреждения"))->isEnabled());
    EXPECT_TRUE(
        FindItem(w, QStringLiteral("Справочники"), QStringLiteral("Территории"))->isEnabled());
    bool shown = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<TfmKisObj0*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        shown = true;
        dialog->addDirectory();
        dialog->clbAgr->closePersistentEditor(dialog->clbAgr->item(2));
        dialog->clbAgr->item(2)->setText(QStringLiteral("Формы собственности"));
        dialog->accept();
    });
    composition->trigger();
    EXPECT_TRUE(shown);
    EXPECT_TRUE(FindItem(w, QStringLiteral("Справочники"), QStringLiteral("Формы собственности")));
    EXPECT_TRUE(dm.dbMain.connected());
    DbStatement& agr = dm.query(QStringLiteral("quSpisAgr"));
    agr.open();
    EXPECT_EQ(agr.rowCount(), 3);
    agr.close();
    EXPECT_TRUE(prompter.shown().isEmpty()) << prompter.texts().join('|').toStdString();
}
