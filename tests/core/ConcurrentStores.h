#pragma once

#include "DbError.h"
#include "DbTestHelpers.h"

#include <QStringList>

#include <functional>
#include <latch>
#include <memory>
#include <mutex>
#include <thread>

// Two stores of a sheet stored before, at the same time, each on a connection of
// its own and in a thread of its own, the way two running instances store it: per
// cell an existence check, then an UPDATE or an INSERT, one transaction for the
// sheet. Returns the error texts (empty when both stores succeeded).
inline QStringList StoreTwiceAtOnce(const std::function<std::unique_ptr<DbConnection>()>& connect,
                                    int cells) {
    using namespace dbtest;
    auto setup = connect();
    exec(*setup, QStringLiteral("DELETE FROM FD_OPERAGR WHERE GOD = 1999"));
    for (int p = 1; p <= cells; ++p)
        exec(*setup,
             QStringLiteral("INSERT INTO FD_OPERAGR (KODPOK, KODPOK1, KODPOK2, GOD, D1) "
                            "VALUES (:P, 0, 0, 1999, '0')"),
             {{"P", p}});
    std::latch started(2);
    QStringList errors;
    std::mutex errorsMutex;
    auto store = [&](int value) {
        std::unique_ptr<DbConnection> c = connect();
        DbStatement& check = c->statement(QStringLiteral("check"));
        check.setSql(QStringLiteral("SELECT COUNT(*) FROM FD_OPERAGR WHERE KODPOK = :P AND "
                                    "KODPOK1 = 0 AND KODPOK2 = 0 AND GOD = 1999"));
        DbStatement& update = c->statement(QStringLiteral("update"));
        update.setSql(QStringLiteral("UPDATE FD_OPERAGR SET D1 = :V WHERE KODPOK = :P AND "
                                     "KODPOK1 = 0 AND KODPOK2 = 0 AND GOD = 1999"));
        DbStatement& insert = c->statement(QStringLiteral("insert"));
        insert.setSql(QStringLiteral("INSERT INTO FD_OPERAGR (KODPOK, KODPOK1, KODPOK2, GOD, D1) "
                                     "VALUES (:P, 0, 0, 1999, :V)"));
        try {
            RunInTransaction(*c, [&] {
                started.arrive_and_wait();
                for (int p = 1; p <= cells; ++p) {
                    check.setParam(QStringLiteral("P"), p);
                    check.open();
                    DbStatement& write = check.value(0).toInt() > 0 ? update : insert;
                    write.setParam(QStringLiteral("P"), p);
                    write.setParam(QStringLiteral("V"), QString::number(value));
                    write.execute();
                }
            });
        } catch (const DbError& e) {
            const std::lock_guard lock(errorsMutex);
            errors << e.message();
        }
    };
    std::thread first(store, 1), second(store, 2);
    first.join();
    second.join();
    return errors;
}
