#include "AppContext.h"
#include "FirebirdEnvironment.h"
#include "HelpKey.h"
#include "Localization.h"
#include "MedstatTemplates.h"
#include "QtPrompter.h"
#include "TdmMSSQL.h"
#include "TfZastav.h"
#include "TfmIBLogin.h"
#include "TfmKisMain0.h"

#include <QApplication>

#include <memory>
#include <new>

namespace {

// Start-up: splash, data module, main window, the long-lived windows, message loop.
int runZemrak(QApplication& app, QtPrompter& prompter) {
    AppContext::setContinueStartup(true);
    auto splash = std::make_unique<TfZastav>();
    splash->show();
    splash->repaint();
    QApplication::processEvents();

    TdmMSSQL dmMSSQL(prompter);
    QtLoginLauncher login(prompter);
    dmMSSQL.setLoginLauncher(&login);
    dmMSSQL.create();
    MedstatTemplates::createOnFirstStart(AppContext::medstatFolder());
    QuitOnTerminationSignals(app);

    // The collections window's creation: registration, the check of the fact
    // database and the tree; its destruction runs the exit steps.
    std::unique_ptr<TfmKisMain0> mainWindow;
    if (AppContext::continueStartup()) {
        mainWindow = std::make_unique<TfmKisMain0>(dmMSSQL, prompter);
        if (!mainWindow->connectDatabases())
            AppContext::setContinueStartup(false);
    }
    if (!AppContext::continueStartup()) {
        splash->hide();
        mainWindow.reset();
        // No window was made, so its exit steps never run: leave no USERS row behind.
        dmMSSQL.unregisterInstance();
        dmMSSQL.dbTab.close();
        dmMSSQL.dbMain.close();
        return 0;
    }
    splash->hide();
    splash.reset();
    mainWindow->show();
    const int code = app.exec();
    mainWindow.reset();
    return code;
}

} // namespace

int main(int argc, char* argv[]) {
    // Before the client library opens anything: the shared embedded engine and its lock folder.
    PrepareFirebirdEnvironment();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zemrak"));
    QApplication::setApplicationDisplayName(QStringLiteral("Земрак"));
    InstallRussianTranslation(app);
    QtPrompter prompter;
    SetAppPrompter(&prompter);
    HelpKey::install();
    try {
        return runZemrak(app, prompter);
    } catch (const std::bad_alloc&) {
        prompter.error(QStringLiteral("Мало памяти"));
        return 1;
    }
}
