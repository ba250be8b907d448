#include "AggregationController.h"

#include "DbError.h"
#include "DbStatement.h"
#include "DbTransaction.h"
#include "Prompter.h"
#include "ServerErrors.h"
#include "TdmMSSQL.h"

#include <QLocale>

#include <cmath>

AggregationController::AggregationController(TdmMSSQL& dm, Prompter& prompter,
                                             OutlineEngine<double>& engine, int numAgr)
    : m_dm(dm), m_prompter(prompter), m_engine(engine), m_numAgr(numAgr) {}

OutlineDescriptor AggregationController::Descriptor(int numAgr, const QString& userName) {
    OutlineDescriptor d = OutlineDescriptor::Aggregation(numAgr, userName);
    const QString kod = QStringLiteral("KOD%1").arg(numAgr);
    d.deleteFirst = {QStringLiteral("UPDATE ELM SET %1 = Null WHERE %1 = :p_KodFolder").arg(kod),
                     QStringLiteral("DELETE FROM FD_OPERAGR WHERE %1 = :p_KodFolder").arg(kod),
                     QStringLiteral("DELETE FROM FD_DOLGAGR WHERE %1 = :p_KodFolder").arg(kod)};
    d.spOneOnDelete = {QStringLiteral("spOneUELM")};
    return d;
}

QString AggregationController::userName() const {
    return m_dm.dbMain.userName();
}

bool AggregationController::deleteNode() {
    if (!m_engine.tree().current() || !m_engine.BeginCommand())
        return false;
    if (!m_prompter.confirm(QStringLiteral("Вы действительно хотите удалить объект ?"), Answer::No))
        return false;
    return m_engine.DeleteOutlineSubtree();
}

QString AggregationController::codeText(double code) {
    return QLocale::c().toString(code, 'g', 15);
}

QString AggregationController::codeText() const {
    const OutlineNode* node = m_engine.tree().current();
    return node ? codeText(m_engine.keyOf(node)) : QString();
}

AggregationController::CodeEdit AggregationController::changeCode(const QString& typed) {
    OutlineNode* node = m_engine.tree().current();
    if (!node)
        return CodeEdit::Unchanged;
    const double old = m_engine.keyOf(node);
    if (typed.trimmed() == codeText(old))
        return CodeEdit::Unchanged;
    if (!m_engine.BeginCommand())
        return CodeEdit::Reloaded;
    bool ok = false;
    QString text = typed.trimmed();
    text.replace(QLatin1Char(','), QLatin1Char('.'));
    const double code = QLocale::c().toDouble(text, &ok);
    if (!ok || !std::isfinite(code)) {
        m_prompter.error(QStringLiteral("Код объекта должен быть числовым"));
        return CodeEdit::Invalid;
    }
    if (code <= 0) {
        m_prompter.error(QStringLiteral("Код объекта должен быть больше нуля"));
        return CodeEdit::Invalid;
    }
    if (code == old)
        return CodeEdit::Unchanged;
    try {
        RunInTransaction(m_dm.dbMain, [&] {
            DbProcedure& sp = m_dm.storedProc(QStringLiteral("spUpdateKodAgr"));
            sp.clearParams();
            sp.setParam(QStringLiteral("KOD_FOLDER"), old);
            sp.setParam(QStringLiteral("NUM_AGR"), m_numAgr);
            sp.setParam(QStringLiteral("KOD_FOLDER_NEW"), code);
            sp.execute();
            // The reference from ELM carries memberships along; objects of a
            // database made without it are carried here, in the same transaction.
            DbStatement& st = m_dm.query(QStringLiteral("quCommonMAIN"));
            st.setSql(QStringLiteral("UPDATE ELM SET KOD%1 = :NEW_KOD WHERE KOD%1 = :OLD_KOD")
                          .arg(m_numAgr));
            st.clearParams();
            st.setParam(QStringLiteral("NEW_KOD"), code);
            st.setParam(QStringLiteral("OLD_KOD"), old);
            st.execute();
            m_engine.flags().FlagChangeForOthers(QStringLiteral("spOneUAGR"));
        });
    } catch (const DbError& e) {
        RollbackQuietly(m_dm.dbMain);
        if (IsRightsError(e.message(), e.sqlCode()))
            m_prompter.error(QStringLiteral("Пользователю ") + userName() +
                             QStringLiteral(" корректировка кода объекта запрещена"));
        else if (IsPrimaryKeyViolation(e.message()) ||
                 e.message().toUpper().contains(QLatin1String("UNIQUE")))
            m_prompter.error(QStringLiteral("Код %1 уже есть в справочнике").arg(codeText(code)));
        else
            m_prompter.error(WithServerText(
                QStringLiteral("Ошибка при корректировке кода объекта. Повторите..."),
                e.message()));
        return CodeEdit::Restored;
    }
    m_engine.closeDataset();
    m_engine.arrays().keys[size_t(m_engine.tree().position(node))] = code;
    m_engine.selectNode(node);
    return CodeEdit::Stored;
}

double AggregationController::maxCode() {
    DbStatement& st = m_dm.query(QStringLiteral("quGetAgrKod"));
    st.close();
    st.clearParams();
    st.setParam(QStringLiteral("NUM_AGR"), m_numAgr);
    st.open();
    const double max = st.isEmpty() ? 0 : st.value(0).toDouble();
    st.close();
    return max;
}

void AggregationController::progress(int done, int total) {
    if (m_progress)
        m_progress(done, total);
}
