// Prepared point look-ups on the embedded database with the engine in the
// shared mode (the user's own Firebird root, Classic) beside the system's
// default exclusive mode. The mode is chosen before the client library starts,
// so each runs in a process of its own; in the shared run this process keeps
// the database open as well, as the program does beside zemrak-batch.
#include "BenchSupport.h"
#include "DbTestHelpers.h"
#include "FirebirdEnvironment.h"
#include "TestDatabases.h"

#include <QCoreApplication>
#include <QProcess>

#include <stdexcept>

namespace {

constexpr int kRows = 20000;
constexpr int kLookups = 20000;
constexpr int kRuns = 5;

// Best look-ups per second of kRuns runs over one connection.
double lookupsPerSecond(const QString& path) {
    DbConnection db(QStringLiteral("bench"), 0);
    db.setParams(path, TestDatabases::user(), TestDatabases::password());
    db.open();
    DbStatement& st = db.statement(QStringLiteral("benchLookup"));
    st.setSql(QStringLiteral("SELECT NAME, VAL FROM BENCH_LOOKUP WHERE ID = :ID"));
    double found = 0;
    const double ms = bestMs(kRuns, [&] {
        RunInTransaction(db, [&] {
            for (int i = 0; i < kLookups; ++i) {
                st.setParam(QStringLiteral("ID"), (i * 7919) % kRows);
                st.open();
                if (!st.eof())
                    found += st.value(1).toDouble() >= 0 ? 1 : 0;
            }
        });
    });
    if (found != double(kRuns) * kLookups)
        throw std::runtime_error("look-ups missed rows");
    return ms > 0 ? kLookups * 1000.0 / ms : 0;
}

double childRun(const QString& path, const QString& firebirdRoot) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("FIREBIRD"), firebirdRoot);
    QProcess child;
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child"), path});
    if (!child.waitForFinished(600000) || child.exitCode() != 0)
        throw std::runtime_error(child.readAllStandardError().toStdString());
    return child.readAllStandardOutput().trimmed().toDouble();
}

} // namespace

int main(int argc, char** argv) {
    PrepareFirebirdEnvironment();
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 3 && args[1] == QLatin1String("--child")) {
        std::printf("%.6g\n", lookupsPerSecond(args[2]));
        return 0;
    }
    const QString shared = qEnvironmentVariable("FIREBIRD");
    const QString system = SystemFirebirdRoot();
    if (shared.isEmpty() || system.isEmpty() || shared == system)
        throw std::runtime_error("no shared Firebird root beside the system's");
    TestDatabases dbs;
    {
        const auto db = dbs.connect(0);
        dbtest::exec(*db, QStringLiteral("CREATE TABLE BENCH_LOOKUP (ID INTEGER NOT NULL PRIMARY "
                                         "KEY, NAME VARCHAR(100), VAL DOUBLE PRECISION)"));
        DbStatement& insert = db->statement(QStringLiteral("benchInsert"));
        insert.setSql(QStringLiteral("INSERT INTO BENCH_LOOKUP VALUES (:ID, :NAME, :VAL)"));
        RunInTransaction(*db, [&] {
            for (int i = 0; i < kRows; ++i) {
                insert.setParam(QStringLiteral("ID"), i);
                insert.setParam(QStringLiteral("NAME"), QStringLiteral("Строка номер %1").arg(i));
                insert.setParam(QStringLiteral("VAL"), i * 0.5);
                insert.execute();
            }
        });
    }
    const double exclusive = childRun(dbs.factPath(), system);
    const auto beside = dbs.connect(0);
    const double sharedRate = childRun(dbs.factPath(), shared);
    report("db_point_lookups_shared_mode", sharedRate, "lookups/s", exclusive);
    return 0;
}
