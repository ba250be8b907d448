#include "AggregationSchema.h"

#include "DbError.h"
#include "DbStatement.h"
#include "DbTransaction.h"
#include "ServerErrors.h"
#include "TdmMSSQL.h"

namespace {

// KOD1,KOD2,...,KODk, (each followed by a comma).
QString kodList(int k) {
    QString list;
    for (int i = 1; i <= k; ++i)
        list += QStringLiteral("KOD%1,").arg(i);
    return list;
}

// Every column of the key as one text: two keys are equal exactly when every
// column is (codes are written in full, '/' between them).
QString composedKey(int k, bool withYear) {
    QStringList parts;
    for (int i = 1; i <= k; ++i)
        parts << QStringLiteral("KOD%1").arg(i);
    parts << QStringLiteral("KODPOK") << QStringLiteral("KODPOK1") << QStringLiteral("KODPOK2");
    if (withYear)
        parts << QStringLiteral("GOD");
    return parts.join(QStringLiteral(" || '/' || "));
}

} // namespace

QString AggregationSchema::fundColumn(const QString& table, int n) {
    // A default lets the server add the column to a table holding rows, and lets
    // programs still working with the older layout insert.
    return QStringLiteral("ALTER TABLE %1 ADD KOD%2 DOUBLE PRECISION DEFAULT 0 NOT NULL")
        .arg(table)
        .arg(n);
}

QStringList AggregationSchema::createIndexes(int n) {
    if (n <= 0)
        return {};
    if (n <= kPlainKeyDirectories) {
        if (n == 1)
            return {QStringLiteral("CREATE UNIQUE INDEX INDFDOAGR ON FD_OPERAGR "
                                   "(KOD1,KODPOK,KODPOK1,KODPOK2,GOD)"),
                    QStringLiteral("CREATE UNIQUE INDEX INDFDDAGR ON FD_DOLGAGR "
                                   "(KOD1,KODPOK,KODPOK1,KODPOK2)")};
        return {QStringLiteral("CREATE UNIQUE INDEX INDFDDAGR ON FD_DOLGAGR (") + kodList(n) +
                    QStringLiteral("KODPOK,KODPOK1,KODPOK2)"),
                QStringLiteral("CREATE UNIQUE INDEX INDFDOAGR ON FD_OPERAGR (") + kodList(n) +
                    QStringLiteral("KODPOK,KODPOK1,KODPOK2,GOD)")};
    }
    // The first twelve codes still serve look-ups; uniqueness over all of them.
    const QString twelve = kodList(kPlainKeyDirectories);
    return {QStringLiteral("CREATE INDEX INDFDDAGR ON FD_DOLGAGR (") + twelve +
                QStringLiteral("KODPOK,KODPOK1,KODPOK2)"),
            QStringLiteral("CREATE INDEX INDFDOAGR ON FD_OPERAGR (") + twelve +
                QStringLiteral("KODPOK,KODPOK1,KODPOK2,GOD)"),
            QStringLiteral("CREATE UNIQUE INDEX INDFDDAGRK ON FD_DOLGAGR COMPUTED BY (") +
                composedKey(n, false) + QStringLiteral(")"),
            QStringLiteral("CREATE UNIQUE INDEX INDFDOAGRK ON FD_OPERAGR COMPUTED BY (") +
                composedKey(n, true) + QStringLiteral(")")};
}

QStringList AggregationSchema::dropIndexes(int n) {
    if (n <= 0)
        return {};
    QStringList drops{QStringLiteral("DROP INDEX INDFDDAGR"),
                      QStringLiteral("DROP INDEX INDFDOAGR")};
    if (n > kPlainKeyDirectories)
        drops << QStringLiteral("DROP INDEX INDFDDAGRK") << QStringLiteral("DROP INDEX INDFDOAGRK");
    return drops;
}

void AggregationSchema::run(const QString& sql) {
    DbStatement& st = m_dm.query(QStringLiteral("quCommonMAIN"));
    st.setSql(sql);
    st.clearParams();
    st.execute();
}

void AggregationSchema::undoGroup(const QStringList& statements) {
    try {
        RunInTransaction(m_dm.dbMain, [&] {
            for (const QString& sql : statements)
                run(sql);
        });
    } catch (const std::exception&) {
        // The user is told to restart; nothing more can be done here.
    }
}

void AggregationSchema::undo(const QStringList& statements) {
    for (const QString& sql : statements)
        undoGroup({sql});
}

bool AggregationSchema::addDirectory(int n) {
    m_failure = {};
    DbConnection& c = m_dm.dbMain;
    RollbackQuietly(c);
    const QString dolg = QStringLiteral("FD_DOLGAGR");
    const QString oper = QStringLiteral("FD_OPERAGR");

    bool dolgAdded = false;
    bool operAdded = false;
    try {
        RunInTransaction(c, [&] { run(fundColumn(dolg, n)); });
        dolgAdded = true;
        RunInTransaction(c, [&] { run(QStringLiteral("UPDATE FD_DOLGAGR SET KOD%1 = 0").arg(n)); });
        RunInTransaction(c, [&] { run(fundColumn(oper, n)); });
        operAdded = true;
        RunInTransaction(c, [&] { run(QStringLiteral("UPDATE FD_OPERAGR SET KOD%1 = 0").arg(n)); });
    } catch (const std::exception& e) {
        RollbackQuietly(c);
        m_failure = {Step::Funds, ExceptionMessage(e), IsOwnerOnlyError(ExceptionMessage(e))};
        // Only what this run added goes: a column that was there before stays.
        if (operAdded)
            undo({QStringLiteral("ALTER TABLE FD_OPERAGR DROP KOD%1").arg(n)});
        if (dolgAdded)
            undo({QStringLiteral("ALTER TABLE FD_DOLGAGR DROP KOD%1").arg(n)});
        return false;
    }
    const QStringList dropFunds{QStringLiteral("ALTER TABLE FD_DOLGAGR DROP KOD%1").arg(n),
                                QStringLiteral("ALTER TABLE FD_OPERAGR DROP KOD%1").arg(n)};

    try {
        RunInTransaction(c, [&] {
            for (const QString& sql : dropIndexes(n - 1) + createIndexes(n))
                run(sql);
        });
    } catch (const std::exception& e) {
        RollbackQuietly(c);
        m_failure = {Step::Indexes, ExceptionMessage(e), false};
        undo(dropFunds);
        return false;
    }

    bool elmAdded = false;
    try {
        RunInTransaction(c, [&] {
            DbProcedure& sp = m_dm.storedProc(QStringLiteral("spInsSpisAgr"));
            sp.clearParams();
            sp.setParam(QStringLiteral("NAMEAGR"), QStringLiteral(" "));
            sp.setParam(QStringLiteral("NAMEAGRZAG"), QStringLiteral(" "));
            sp.setParam(QStringLiteral("NUM_AGR"), n);
            sp.setParam(QStringLiteral("ISINELM"), QStringLiteral("F"));
            sp.execute();
            run(QStringLiteral("ALTER TABLE ELM ADD KOD%1 DOUBLE PRECISION").arg(n));
            run(QStringLiteral("ALTER TABLE ELM ADD AGR%1 INTEGER").arg(n));
        });
        elmAdded = true;
        RunInTransaction(c, [&] {
            DbStatement& st = m_dm.query(QStringLiteral("quCommonMAIN"));
            st.setSql(QStringLiteral("UPDATE ELM SET AGR%1 = :KolAgr").arg(n));
            st.clearParams();
            st.setParam(QStringLiteral("KolAgr"), n);
            st.execute();
        });
        // Memberships name nodes of their own directory; a node's new code carries over.
        RunInTransaction(c, [&] {
            run(QStringLiteral(
                    "ALTER TABLE ELM ADD CONSTRAINT INTEGELM_%1 FOREIGN KEY (KOD%1, AGR%1) "
                    "REFERENCES AGR (KODFOLDER, NUMAGR) ON UPDATE CASCADE")
                    .arg(n));
        });
    } catch (const std::exception& e) {
        RollbackQuietly(c);
        m_failure = {Step::Objects, ExceptionMessage(e), false};
        if (elmAdded) {
            undo({QStringLiteral("ALTER TABLE ELM DROP KOD%1").arg(n),
                  QStringLiteral("ALTER TABLE ELM DROP AGR%1").arg(n)});
            undoGroup({QStringLiteral("DELETE FROM SPISAGR WHERE NUMAGR = %1").arg(n)});
        }
        undo(dropIndexes(n));
        undo(dropFunds);
        if (n > 1)
            undoGroup(createIndexes(n - 1));
        return false;
    }
    return true;
}
