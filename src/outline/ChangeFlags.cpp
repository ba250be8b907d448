#include "ChangeFlags.h"

#include "DbError.h"
#include "DbTransaction.h"
#include "Prompter.h"
#include "ServerErrors.h"
#include "TdmMSSQL.h"

QString WithServerText(const QString& text, const QString& server) {
    return text + QStringLiteral("\r\n\r\n") + server;
}

QVariant ChangeFlags::ownKey() const {
    const auto key = m_dm.instanceKey();
    return key ? QVariant(*key) : QVariant();
}

void ChangeFlags::FlagChangeForOthers(const QString& oneProc) {
    DbTransaction transaction(m_dm.dbMain);
    DbProcedure& count = m_dm.storedProc(QStringLiteral("spGetNumUsers"));
    count.clearParams();
    count.execute();
    ++m_statements;
    if (count.output(QStringLiteral("KOL_USERS")).toInt() > 1) {
        DbProcedure& one = m_dm.storedProc(oneProc);
        one.clearParams();
        one.setParam(QStringLiteral("KOD_USER"), ownKey());
        one.execute();
        ++m_statements;
    }
    transaction.commit();
}

void ChangeFlags::ClearOwnChangeFlag(const QString& zeroProc) {
    DbProcedure& zero = m_dm.storedProc(zeroProc);
    zero.clearParams();
    zero.setParam(QStringLiteral("KOD_USER"), ownKey());
    RunInTransaction(m_dm.dbMain, [&] { zero.execute(); });
    ++m_statements;
}

int ChangeFlags::CheckChangeFlag(const QString& keyField, const std::optional<QVariant>& key,
                                 DbStatement& dataset, const QString& flagColumn,
                                 const QString& zeroProc) {
    DbStatement& user = m_dm.query(QStringLiteral("quUser"));
    try {
        user.close();
        user.setParam(QStringLiteral("KOD_USER"), ownKey());
        user.open();
        ++m_statements;
        const bool raised = !user.isEmpty() && user.value(flagColumn).toInt() == 1;
        user.close();
        if (!raised)
            return Unchanged;
        dataset.close();
        dataset.open();
        ClearOwnChangeFlag(zeroProc);
        if (!key)
            return ChangedKeyFound;
        if (dataset.locate(keyField, *key))
            return ChangedKeyFound;
        dataset.first();
        return ChangedKeyLost;
    } catch (const DbError& e) {
        user.close();
        if (IsRightsError(e.message(), e.sqlCode()))
            m_prompter.error(WithServerText(
                QStringLiteral("Пользователь не имеет прав на данную операцию"), e.message()));
        RollbackQuietly(m_dm.dbMain);
        RollbackQuietly(m_dm.dbTab);
        return Failed;
    }
}
