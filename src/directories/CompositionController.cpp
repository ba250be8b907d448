#include "CompositionController.h"

#include "AggregationSchema.h"
#include "ChangeFlags.h"
#include "DbError.h"
#include "DbStatement.h"
#include "DbTransaction.h"
#include "Prompter.h"
#include "TdmMSSQL.h"

namespace {

bool isTrue(const QVariant& v) {
    return v.toString().trimmed().toUpper() == QLatin1String("T");
}

} // namespace

CompositionController::CompositionController(TdmMSSQL& dm, Prompter& prompter)
    : m_dm(dm), m_prompter(prompter) {}

bool CompositionController::load() {
    try {
        DbStatement& agr = m_dm.query(QStringLiteral("quSpisAgr"));
        agr.close();
        agr.open();
        m_names.clear();
        m_attached.clear();
        m_attachedCount = 0;
        for (agr.first(); !agr.eof(); agr.next()) {
            m_names << agr.value(QStringLiteral("NAMEAGR")).toString();
            m_attached << isTrue(agr.value(QStringLiteral("ISINELM")));
            m_attachedCount += m_attached.last() ? 1 : 0;
        }
        agr.close();
        DbStatement& nast = m_dm.query(QStringLiteral("quNast"));
        nast.close();
        nast.open();
        m_objectsName =
            nast.isEmpty() ? QString() : nast.value(QStringLiteral("NAMEELM")).toString();
        nast.close();
        return true;
    } catch (const DbError& e) {
        m_prompter.error(WithServerText(QStringLiteral("Не удалось прочитать список справочников"),
                                        e.message()));
        return false;
    }
}

bool CompositionController::setAttached(int position, bool attached) {
    if (position < 0 || position >= m_names.size() || m_attached[position] == attached)
        return false;
    try {
        RunInTransaction(m_dm.dbMain, [&] {
            DbProcedure& sp = m_dm.storedProc(QStringLiteral("spUpdSpisAgrElm"));
            sp.clearParams();
            sp.setParam(QStringLiteral("NUM_AGR"), position + 1);
            sp.setParam(QStringLiteral("ISINELM"),
                        attached ? QStringLiteral("T") : QStringLiteral("F"));
            sp.execute();
        });
    } catch (const DbError& e) {
        m_prompter.error(WithServerText(
            QStringLiteral("Ошибка при изменении состава справочников. Повторите..."),
            e.message()));
        return false;
    }
    m_attached[position] = attached;
    m_attachedCount += attached ? 1 : -1;
    m_layoutChanged = true;
    return true;
}

QString CompositionController::storedName(const QString& text, int number) {
    const QString name = text.trimmed().left(50);
    return name.isEmpty() ? QStringLiteral("Независимые объекты - %1").arg(number) : name;
}

bool CompositionController::rename(int position, const QString& text) {
    if (position < 0 || position >= m_names.size())
        return false;
    const QString name = storedName(text, position + 1);
    try {
        RunInTransaction(m_dm.dbMain, [&] {
            DbProcedure& sp = m_dm.storedProc(QStringLiteral("spUpdSpisAgr"));
            sp.clearParams();
            sp.setParam(QStringLiteral("NAMEAGR"), name);
            sp.setParam(QStringLiteral("NUM_AGR"), position + 1);
            sp.execute();
        });
    } catch (const DbError& e) {
        m_prompter.error(
            WithServerText(QStringLiteral("Ошибка при корректировке наименования"), e.message()));
        return false;
    }
    m_names[position] = name;
    m_layoutChanged = true;
    return true;
}

int CompositionController::addDirectory() {
    if (!load())
        return -1;
    const int n = int(m_names.size()) + 1;
    AggregationSchema schema(m_dm);
    if (!schema.addDirectory(n)) {
        const AggregationSchema::Failure& f = schema.failure();
        if (f.step == AggregationSchema::Step::Funds && f.ownerOnly)
            m_prompter.error(QStringLiteral("Только пользователь SYSDBA\r\n"
                                            "имеет права на добавление справочников"));
        else
            m_prompter.error(WithServerText(
                QStringLiteral("Ошибка при добавлении справочника. Перезапустите ЗЕМРАК"),
                f.server));
        return -1;
    }
    m_added = true;
    m_layoutChanged = true;
    m_names << QStringLiteral(" ");
    m_attached << false;
    return n - 1;
}

void CompositionController::close(const QString& objectsName) {
    try {
        RunInTransaction(m_dm.dbMain, [&] {
            DbStatement& st = m_dm.query(QStringLiteral("quCommonMAIN"));
            st.setSql(QStringLiteral("UPDATE NAST SET NameElm = :NameE, IsElmEnabled = :ise"));
            st.clearParams();
            st.setParam(QStringLiteral("NameE"), objectsName.left(50));
            st.setParam(QStringLiteral("ise"),
                        objectsEnabled() ? QStringLiteral("T") : QStringLiteral("F"));
            st.execute();
        });
    } catch (const DbError&) {
        // Rolled back silently, as the dialog always did.
    }
}
