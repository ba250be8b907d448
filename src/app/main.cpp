#include "AppContext.h"
#include "Localization.h"
#include "QtPrompter.h"
#include "TfZastav.h"
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

    std::unique_ptr<TfmKisMain0> mainWindow;
    if (AppContext::continueStartup())
        mainWindow = std::make_unique<TfmKisMain0>();
    if (!AppContext::continueStartup()) {
        splash->hide();
        return 0;
    }
    splash->hide();
    splash.reset();
    mainWindow->show();
    Q_UNUSED(prompter);
    return app.exec();
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zemrak"));
    QApplication::setApplicationDisplayName(QStringLiteral("Земрак"));
    InstallRussianTranslation(app);
    QtPrompter prompter;
    SetAppPrompter(&prompter);
    try {
        return runZemrak(app, prompter);
    } catch (const std::bad_alloc&) {
        prompter.error(QStringLiteral("Мало памяти"));
        return 1;
    }
}
