// Edits typed in the indicator grid: the checks of a typed code and the messages
// of a refused edit.
#include "IndicatorsController.h"

#include "DbError.h"
#include "DbStatement.h"
#include "DbTransaction.h"
#include "ElementOperations.h"
#include "ElementRowSet.h"
#include "Prompter.h"
#include "ServerErrors.h"
#include "TdmMSSQL.h"

#include <climits>

void IndicatorsController::attachGridEditing() {
    auto codeEdited = std::make_shared<bool>(false);
    m_rows.setApplier([this, codeEdited](const ElementRowSet& set, const ElementRowSet::Row& stored,
                                         const ElementRowSet::Row& edited,
                                         const QStringList& changed) {
        const int keyColumn = set.fieldIndex(QStringLiteral("KODELMT"));
        const int oldCode = stored[keyColumn].toInt();
        *codeEdited = changed.contains(QStringLiteral("KODELMT"), Qt::CaseInsensitive);
        ElementRowSet::Row row = edited;
        if (*codeEdited) {
            bool ok = false;
            const qlonglong code = edited[keyColumn].toString().trimmed().toLongLong(&ok);
            if (ok && code == 0) {
                m_prompter.error(QStringLiteral("Код показателя не может быть равен 0"));
                throw IndicatorEditRefused();
            }
            if (!ok || code < 0 || code > INT_MAX) {
                m_prompter.error(QStringLiteral("Код показателя должен быть целым положительным "
                                                "числом"));
                throw IndicatorEditRefused();
            }
            row[keyColumn] = int(code);
            if (code != oldCode) {
                DbStatement& dup = m_dm.dbMain.statement(QStringLiteral("quDupPOK"));
                dup.setSql(QStringLiteral("SELECT KODELMT FROM POK WHERE KODELMT=:P_KOD"));
                dup.setParam(QStringLiteral("P_KOD"), int(code));
                dup.open();
                const bool taken = !dup.isEmpty();
                dup.close();
                if (taken) {
                    m_prompter.error(QStringLiteral("Показатель с кодом = ") +
                                     QString::number(code) +
                                     QStringLiteral(" уже есть в базе данных!"));
                    throw IndicatorEditRefused();
                }
                // Fund rows keep the code they were stored under: a new code would
                // orphan them.
                if (codeUsedByFunds(oldCode)) {
                    m_prompter.error(QStringLiteral("Показатель с кодом = ") +
                                     QString::number(oldCode) +
                                     QStringLiteral(" используется в фондах данных. Изменить его "
                                                    "код нельзя"));
                    throw IndicatorEditRefused();
                }
            }
        }
        QStringList assignments;
        for (int i = 0; i < changed.size(); ++i)
            assignments << QStringLiteral("%1 = :V%2").arg(changed[i]).arg(i);
        DbStatement& st = m_dm.dbMain.statement(QStringLiteral("apply_POK"));
        // Only our own field names reach the text; values are bound.
        st.setSql(QStringLiteral("UPDATE POK SET %1 WHERE KODELMT = :OLD_KEY")
                      .arg(assignments.join(QStringLiteral(", "))));
        st.clearParams();
        for (int i = 0; i < changed.size(); ++i)
            st.setParam(QStringLiteral("V%1").arg(i), row[set.fieldIndex(changed[i])]);
        st.setParam(QStringLiteral("OLD_KEY"), oldCode);
        RunInTransaction(m_dm.dbMain, [&] { st.execute(); });
        if (!*codeEdited)
            return;
        const int code = row[keyColumn].toInt();
        try {
            RunInTransaction(m_dm.dbMain, [&] {
                if (code >= maxCode())
                    setGenerator(code);
            });
        } catch (const DbError& e) {
            m_prompter.error(QStringLiteral("Ошибка при сохранении показателя: \r\r") + e.message(),
                             QStringLiteral("Ошибка"));
        }
    });
    m_rows.setFailureHandler([this, codeEdited](const std::exception& error) {
        RollbackQuietly(m_dm.dbMain);
        if (dynamic_cast<const IndicatorEditRefused*>(&error))
            return;
        const auto* db = dynamic_cast<const DbError*>(&error);
        const QString server = db ? db->message() : QString::fromUtf8(error.what());
        if (db && IsRightsError(db->message(), db->sqlCode()))
            m_prompter.info(QStringLiteral("Пользователю ") + userName() +
                            (*codeEdited ? QStringLiteral(" корректировка справочника запрещена")
                                         : QStringLiteral(" корректировка запрещена")));
        else if (*codeEdited && IsPrimaryKeyViolation(server))
            m_prompter.error(QStringLiteral("Показатель с таким кодом уже есть в справочнике"));
        else
            m_prompter.error(
                WithServerText(QStringLiteral("Ошибка при сохранении показателя"), server));
    });
}
