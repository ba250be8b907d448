// zemrak-createdb: creates the fact and the table-materials databases from the
// built-in SQL scripts, optionally with demo data, and can point Zemrak.INI at them.

#include "DbCreator.h"
#include "DbError.h"
#include "FirebirdEnvironment.h"
#include "ZemrakConfig.h"

#include <QCoreApplication>
#include <QFile>
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

// Both connections or neither: a failure puts the file back as it was.
bool writeConfig(const QString& ini, const QString& fact, const QString& tab,
                 const DbCreator::Options& options) {
    QFile file(ini);
    const bool existed = file.exists();
    QByteArray before;
    if (existed && file.open(QIODevice::ReadOnly)) {
        before = file.readAll();
        file.close();
    }
    const ZemrakConfig config(ini);
    if (config.save(DatabaseTag::Main, fact, options.user, options.password) &&
        config.save(DatabaseTag::Tab, tab, options.user, options.password))
        return true;
    if (!existed) {
        QFile::remove(ini);
    } else if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        file.write(before);
        file.close();
    }
    return false;
}

} // namespace

int main(int argc, char* argv[]) {
    // Before the client library starts: the shared embedded engine.
    PrepareFirebirdEnvironment();
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
    if (!ini.isEmpty() && !CanStorePassword(options.password)) {
        err << "zemrak-createdb: the password has characters outside Windows-1251 and cannot be"
               " kept in "
            << ini << "\n";
        return 1;
    }
    const DbCreator creator(options);
    try {
        creator.createPair(fact, tab, demo);
    } catch (const DbError& e) {
        err << "zemrak-createdb: " << e.message() << "\n";
        return 1;
    }
    out << "created fact database " << fact << "\n";
    out << "created table-materials database " << tab << "\n";
    if (!ini.isEmpty()) {
        if (!writeConfig(ini, configPath(fact), configPath(tab), options)) {
            // Half a setup is worse than none: the databases go again.
            creator.dropDatabase(tab);
            creator.dropDatabase(fact);
            err << "cannot write " << ini << "; the databases were removed again\n";
            return 1;
        }
        out << "wrote " << ini << "\n";
    }
    return 0;
}
