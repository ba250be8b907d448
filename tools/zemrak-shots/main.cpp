// zemrak-shots OUTDIR: the guide's pictures, taken from the real windows on fresh demo
// databases (made in a temporary folder as ./scripts/run makes them).
#include "AppContext.h"
#include "BatchPrompter.h"
#include "FirebirdEnvironment.h"
#include "HelpViewer.h"
#include "LoginLauncher.h"
#include "OutlineTreeWidget.h"
#include "TBook.h"
#include "TableRef.h"
#include "TdmMSSQL.h"
#include "TfmKisMain0.h"
#include "TfmKisTabl.h"
#include "TfmPeriod.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QKeyEvent>
#include <QProcess>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <cstdio>

namespace {

// The demo databases open without a question; anything else is a failure of the run.
class NoLogin : public LoginLauncher {
public:
    LoginResult showLogin(TdmMSSQL&, const LoginRequest& request) override {
        std::fprintf(stderr, "cannot connect: %s\n", request.reason.toLocal8Bit().constData());
        return LoginResult::EndWork;
    }
};

bool runTool(const QString& name, const QStringList& args) {
    const QString path = QDir(QCoreApplication::applicationDirPath()).filePath(name);
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedChannels);
    p.start(path, args);
    return p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

void settle() {
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}

// A palette of 256 colours keeps window pictures small and sharp.
bool save(QWidget* w, const QString& folder, const QString& name) {
    settle();
    const QImage image = w->grab().toImage().convertToFormat(QImage::Format_Indexed8,
                                                             Qt::ThresholdDither | Qt::AvoidDither);
    const QString path = QDir(folder).filePath(name);
    if (!image.save(path, "PNG", 0)) {
        std::fprintf(stderr, "cannot write %s\n", path.toLocal8Bit().constData());
        return false;
    }
    std::printf("%s\n", path.toLocal8Bit().constData());
    return true;
}

void pressKey(QWidget* w, int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &press);
}

int takeShots(const QString& out, const QString& folder) {
    BatchPrompter prompter(true, false);
    SetAppPrompter(&prompter);
    AppContext::setProgramFolder(folder);
    TdmMSSQL dm(prompter);
    NoLogin login;
    dm.setLoginLauncher(&login);
    dm.create();
    bool ok = true;
    {
        TfmKisMain0 main(dm, prompter);
        if (!main.connectDatabases())
            return 1;
        main.resize(860, 520);
        main.show();
        auto* tree = main.findChild<OutlineTreeWidget*>(QStringLiteral("trvMaster"));
        const auto found = tree->findItems(QStringLiteral("Сеть и коечный фонд"),
                                           Qt::MatchExactly | Qt::MatchRecursive);
        if (!found.isEmpty()) {
            tree->setFocus();
            tree->setCurrentItem(found.first());
            pressKey(tree, Qt::Key_Return);
        }
        ok = save(&main, out, QStringLiteral("collections.png")) && ok;

        TfmKisTabl editor(dm, prompter);
        editor.openTable(TableRef::read(dm, 1).value_or(TableRef{}));
        editor.resize(980, 560);
        editor.show();
        editor.SBunloadClick();
        ok = save(&editor, out, QStringLiteral("editor.png")) && ok;
        editor.action(QStringLiteral("mIdBok"))->trigger();
        // The demo rows carry internal codes only: show them beside the typed ones.
        editor.action(QStringLiteral("imKodInternal"))->trigger();
        ok = save(&editor, out, QStringLiteral("side.png")) && ok;
        editor.action(QStringLiteral("imKodInternal"))->trigger();
        editor.action(QStringLiteral("mIdBok"))->trigger();
        editor.action(QStringLiteral("mIdShap"))->trigger();
        ok = save(&editor, out, QStringLiteral("header.png")) && ok;
        editor.action(QStringLiteral("mIdShap"))->trigger();

        TfmPeriod periods(dm, prompter);
        if (periods.prepare()) {
            periods.resize(440, 360);
            periods.show();
            ok = save(&periods, out, QStringLiteral("periods.png")) && ok;
        }
        periods.hide();

        HelpViewer help;
        help.open(QStringLiteral("identification.html#side"));
        help.resize(900, 560);
        help.show();
        ok = save(&help, out, QStringLiteral("help.png")) && ok;
        editor.hide();
    }
    return ok ? 0 : 1;
}

} // namespace

int main(int argc, char* argv[]) {
    PrepareFirebirdEnvironment();
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: zemrak-shots OUTDIR\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(out))
        return 1;
    QTemporaryDir folder;
    const QString ini = folder.filePath(QStringLiteral("Zemrak.INI"));
    if (!runTool(QStringLiteral("zemrak-createdb"),
                 {QStringLiteral("--demo"), QStringLiteral("--fact"),
                  folder.filePath(QStringLiteral("ZEMRAK.GDB")), QStringLiteral("--tab"),
                  folder.filePath(QStringLiteral("ZEMRAKTB.GDB")), QStringLiteral("--ini"), ini}) ||
        !runTool(QStringLiteral("zemrak-batch"),
                 {QStringLiteral("demo-tables"), QStringLiteral("--ini"), ini}))
        return 1;
    return takeShots(out, folder.path());
}
