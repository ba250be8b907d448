// zemrak-createdb: creates the fact and the table-materials databases from the
// built-in SQL scripts, optionally with demo data, and can point Zemrak.INI at them.

#include "DbCreator.h"
#include "DbError.h"
#include "ZemrakConfig.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTextStream>

namespace {

int usage(QTextStream& err) {
    err << "Usage: zemrak-createdb --fact FILE --tab FILE [--demo] [--user NAME]"
           " [--password TEXT] [--ini FILE]\n"
           "  FILE is a local path (embedded engine) or host:/path (Firebird server).\n"
           "  --ini writes the paths, the user and the password into that Zemrak.INI.\n";
    return 2;
}

// Local paths are written to Zemrak.INI in full, so the program finds them
// whatever its working folder.
QString configPath(const QString& path) {
    const qsizetype colon = path.indexOf(QLatin1Char(':'));
    if (colon > 1 && !path.startsWith(QLatin1Char('/')))
        return path;
    return QFileInfo(path).absoluteFilePath();
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    QString fact, tab, ini;
    DbCreator::Options options;
    bool demo = false;
    const QStringList args = app.arguments().mid(1);
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == QLatin1String("--demo"))
            demo = true;
        else if (a == QLatin1String("--fact") && hasValue)
            fact = args[++i];
        else if (a == QLatin1String("--tab") && hasValue)
            tab = args[++i];
        else if (a == QLatin1String("--user") && hasValue)
            options.user = args[++i];
        else if (a == QLatin1String("--password") && hasValue)
            options.password = args[++i];
        else if (a == QLatin1String("--ini") && hasValue)
            ini = args[++i];
        else
            return usage(err);
    }
    if (fact.isEmpty() || tab.isEmpty())
        return usage(err);
    try {
        DbCreator creator(options);
        creator.createFact(fact, demo);
        out << "created fact database " << fact << "\n";
        creator.createTab(tab, demo);
        out << "created table-materials database " << tab << "\n";
        if (!ini.isEmpty()) {
            ZemrakConfig config(ini);
            if (!config.save(DatabaseTag::Main, configPath(fact), options.user, options.password) ||
                !config.save(DatabaseTag::Tab, configPath(tab), options.user, options.password)) {
                err << "cannot write " << ini << "\n";
                return 1;
            }
            out << "wrote " << ini << "\n";
        }
    } catch (const DbError& e) {
        err << "zemrak-createdb: " << e.message() << "\n";
        return 1;
    }
    return 0;
}
