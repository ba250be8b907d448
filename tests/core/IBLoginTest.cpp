#include "AppContext.h"
#include "IBLoginController.h"
#include "QtPrompter.h"
#include "ScriptedPrompter.h"
#include "TdmMSSQL.h"
#include "TestDatabases.h"
#include "TfmIBLogin.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

class IBLogin : public ::testing::Test {
protected:
    static void SetUpTestSuite() { s_dbs = std::make_unique<TestDatabases>(); }
    static void TearDownTestSuite() { s_dbs.reset(); }
    void SetUp() override {
        AppContext::setProgramFolder(s_dbs->folder());
        QFile::remove(AppContext::configPath());
        s_dbs->writeConfig();
        AppContext::settings() = ZemrakConfig(AppContext::configPath()).read();
    }
    void TearDown() override { AppContext::setProgramFolder({}); }

    static LoginRequest request(DatabaseTag which, LoginMode mode) {
        return {which, mode, QStringLiteral("Сменить БД"), LoginGroupCaption(which), {}};
    }
    static QByteArray configBytes() {
        QFile f(AppContext::configPath());
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }

    static inline std::unique_ptr<TestDatabases> s_dbs;
    ScriptedPrompter m_prompter;
};

} // namespace

TEST_F(IBLogin, ButtonRulesOfBothModes) {
    TdmMSSQL dm(m_prompter);
    IBLoginController choice(dm, request(DatabaseTag::Main, LoginMode::DatabaseChoice));
    choice.loadFromSettings();
    EXPECT_EQ(choice.path(), s_dbs->factPath());
    EXPECT_TRUE(choice.pathEditable());
    EXPECT_EQ(choice.initialFocus(), IBLoginController::Field::Path);
    choice.setPassword({});
    EXPECT_TRUE(choice.applyEnabled()); // the password may be empty
    choice.setPath(QStringLiteral("   "));
    EXPECT_FALSE(choice.applyEnabled());
    EXPECT_EQ(choice.defaultButton(), IBLoginController::Button::CancelWork);
    choice.setPath(s_dbs->factPath());
    choice.setUser(QStringLiteral(" "));
    EXPECT_FALSE(choice.applyEnabled());

    IBLoginController user(dm, request(DatabaseTag::Tab, LoginMode::UserChange));
    EXPECT_FALSE(user.pathEditable());
    EXPECT_EQ(user.initialFocus(), IBLoginController::Field::User);
    EXPECT_FALSE(user.applyEnabled());
    user.setUser(QStringLiteral("a"));
    EXPECT_TRUE(user.applyEnabled()); // no path needed in this mode
    EXPECT_EQ(user.defaultButton(), IBLoginController::Button::Apply);
}

TEST_F(IBLogin, BrowseReplacesThePathWithTheChosenFile) {
    TdmMSSQL dm(m_prompter);
    IBLoginController tab(dm, request(DatabaseTag::Tab, LoginMode::DatabaseChoice));
    tab.loadFromSettings();
    m_prompter.file({}).file(QStringLiteral("/data/ZEMRAK.GDB"));
    EXPECT_FALSE(tab.browse(m_prompter));
    EXPECT_EQ(tab.path(), s_dbs->tabPath());
    EXPECT_TRUE(tab.browse(m_prompter));
    EXPECT_EQ(tab.path(), QStringLiteral("/data/ZEMRAK.GDB"));
    EXPECT_EQ(m_prompter.shown()[0].caption,
              QStringLiteral("Поиск базы табличных материалов ЗЕМРАКа"));
    IBLoginController fact(dm, request(DatabaseTag::Main, LoginMode::DatabaseChoice));
    EXPECT_EQ(fact.browseCaption(), QStringLiteral("Поиск фактографической БД ЗЕМРАКа"));
}

TEST_F(IBLogin, ApplyReconnectsAndSavesOnlyThatDatabase) {
    // The table materials start on the fact database's file; apply moves them.
    ZemrakConfig(AppContext::configPath())
        .save(DatabaseTag::Tab, s_dbs->factPath(), QStringLiteral("SYSDBA"), QStringLiteral("x"));
    AppContext::settings() = ZemrakConfig(AppContext::configPath()).read();
    TdmMSSQL dm(m_prompter);
    dm.dbTab.setParams(s_dbs->factPath(), QStringLiteral("SYSDBA"), QStringLiteral("x"));
    dm.dbTab.open();
    IBLoginController c(dm, request(DatabaseTag::Tab, LoginMode::DatabaseChoice));
    c.loadFromSettings();
    c.setPath(s_dbs->tabPath());
    c.setUser(QStringLiteral("Аналитик"));
    c.setPassword(QStringLiteral("пароль"));
    ASSERT_TRUE(c.apply());
    EXPECT_TRUE(dm.dbTab.connected());
    EXPECT_EQ(dm.dbTab.database(), s_dbs->tabPath());
    const ConnectionSettings saved = ZemrakConfig(AppContext::configPath()).read();
    EXPECT_EQ(saved.tabPath, s_dbs->tabPath());
    EXPECT_EQ(saved.tabUser, QStringLiteral("Аналитик"));
    EXPECT_EQ(saved.tabPassword, QStringLiteral("пароль"));
    EXPECT_EQ(saved.mainPath, s_dbs->factPath());
    EXPECT_EQ(AppContext::settings().tabUser, QStringLiteral("Аналитик"));
    EXPECT_TRUE(m_prompter.shown().isEmpty());
}

TEST_F(IBLogin, AFailedApplyWritesNothingAndLeavesTheConnectionClosed) {
    TdmMSSQL dm(m_prompter);
    dm.dbMain.setParams(s_dbs->factPath(), QStringLiteral("SYSDBA"), QStringLiteral("x"));
    dm.dbMain.open();
    const QByteArray before = configBytes();
    IBLoginController c(dm, request(DatabaseTag::Main, LoginMode::DatabaseChoice));
    c.loadFromSettings();
    c.setPath(QDir(s_dbs->folder()).filePath(QStringLiteral("NO_SUCH.GDB")));
    EXPECT_FALSE(c.apply());
    EXPECT_FALSE(dm.dbMain.connected());
    EXPECT_EQ(configBytes(), before);
    ASSERT_EQ(m_prompter.shown().size(), 1);
    EXPECT_EQ(m_prompter.shown()[0].icon, PromptIcon::None);
    EXPECT_TRUE(m_prompter.shown()[0].text.startsWith(
        QStringLiteral("Не удалось соединиться с БД\r\n\r\n")));
    EXPECT_TRUE(m_prompter.shown()[0].text.contains(QLatin1String("NO_SUCH.GDB")))
        << m_prompter.shown()[0].text.toStdString();
}

TEST_F(IBLogin, APasswordTheFileCannotHoldIsRefusedBeforeReconnecting) {
    TdmMSSQL dm(m_prompter);
    dm.dbMain.setParams(s_dbs->factPath(), QStringLiteral("SYSDBA"), QStringLiteral("x"));
    dm.dbMain.open();
    const QByteArray before = configBytes();
    IBLoginController c(dm, request(DatabaseTag::Main, LoginMode::DatabaseChoice));
    c.loadFromSettings();
    c.setPassword(QStringLiteral("ключ✓"));
    EXPECT_FALSE(c.apply());
    EXPECT_TRUE(dm.dbMain.connected());
    EXPECT_EQ(dm.dbMain.password(), QStringLiteral("x"));
    EXPECT_EQ(configBytes(), before);
    ASSERT_EQ(m_prompter.shown().size(), 1);
    EXPECT_EQ(m_prompter.shown()[0].text,
              QStringLiteral("Пароль содержит знаки, которых нет в кодировке Windows-1251:\r\n"
                             "его нельзя сохранить в файле настроек. Задайте другой пароль."));
}

// After a failed start the dialog says why, under the fields; from the menu it does not.
// The browse offers both database file kinds and all files.
TEST_F(IBLogin, TheDialogShowsWhyTheConnectionFailed) {
    TdmMSSQL dm(m_prompter);
    LoginRequest failed = request(DatabaseTag::Main, LoginMode::DatabaseChoice);
    failed.reason = QStringLiteral("I/O error during \"open\" of /x/NONE.GDB ");
    TfmIBLogin dialog(dm, failed, m_prompter);
    ASSERT_TRUE(dialog.laReason);
    EXPECT_FALSE(dialog.laReason->isHidden());
    EXPECT_EQ(
        dialog.laReason->text(),
        QStringLiteral("Не удалось соединиться с БД: I/O error during \"open\" of /x/NONE.GDB"));
    TfmIBLogin fromMenu(dm, request(DatabaseTag::Main, LoginMode::DatabaseChoice), m_prompter);
    EXPECT_TRUE(fromMenu.laReason->isHidden());

    EXPECT_EQ(QtFileFilter(IBLoginController::fileFilter()),
              QStringLiteral("Базы данных (*.gdb *.fdb);;Все файлы (*)"));
}

TEST_F(IBLogin, EnterEndsTheWorkWhileApplyIsDisabled) {
    TdmMSSQL dm(m_prompter);
    TfmIBLogin dialog(dm, request(DatabaseTag::Main, LoginMode::DatabaseChoice), m_prompter);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Сменить БД"));
    EXPECT_EQ(dialog.edPasswordDB->echoMode(), QLineEdit::Password);
    dialog.edNameDB->clear();
    EXPECT_FALSE(dialog.bOK->isEnabled());
    EXPECT_TRUE(dialog.bCancelWork->isDefault());
    QTimer::singleShot(0, &dialog, [&] { QTest::keyClick(dialog.edLoginDB, Qt::Key_Return); });
    dialog.exec();
    EXPECT_EQ(dialog.loginResult(), LoginResult::EndWork);

    TfmIBLogin userChange(dm, request(DatabaseTag::Tab, LoginMode::UserChange), m_prompter);
    EXPECT_FALSE(userChange.edNameDB->isEnabled());
    EXPECT_FALSE(userChange.sbFindDB->isEnabled());
    userChange.edLoginDB->setText(QStringLiteral("SYSDBA"));
    EXPECT_TRUE(userChange.bOK->isDefault());
    QTimer::singleShot(0, &userChange,
                       [&] { QTest::keyClick(userChange.edLoginDB, Qt::Key_Return); });
    userChange.exec();
    EXPECT_EQ(userChange.loginResult(), LoginResult::Continue);
    EXPECT_TRUE(dm.dbTab.connected());
}
