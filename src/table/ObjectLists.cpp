#include "ObjectLists.h"

#include "ChangeFlags.h"
#include "DbError.h"
#include "DbProcedure.h"
#include "DbStatement.h"
#include "DbTransaction.h"
#include "Helpers.h"
#include "IdentModel.h"
#include "Prompter.h"
#include "ServerErrors.h"
#include "TdmMSSQL.h"

#include "model/Workbook.h"

using namespace TableLayout;

ObjectLists::ObjectLists(TdmMSSQL& dm, IdentModel& model, Prompter& prompter, int kodElmt)
    : m_dm(dm), m_model(model), m_prompter(prompter), m_kodElmt(kodElmt) {}

QList<ObjectLists::ListRow> ObjectLists::lists() {
    DbStatement& q = m_dm.query(QStringLiteral("quSPIS"));
    q.close();
    q.open();
    m_lists.clear();
    for (q.first(); !q.eof(); q.next())
        m_lists.append({q.value(QStringLiteral("KODSPIS")).toInt(),
                        q.value(QStringLiteral("NAME")).toString()});
    q.close();
    return m_lists;
}

bool ObjectLists::checkObjectsOnly(IdentMode mode) {
    m_model.readGeometry();
    const Workbook& b = m_model.book();
    bool objectsOnly = true;
    if (mode == IdentMode::Side) {
        const Sheet& s = b.sheet(m_model.rowIdentSheet());
        // Hidden rows count too: a list made from a table names objects only.
        for (int r = m_model.firstBodyRow(); r <= s.lastRow() && objectsOnly; ++r)
            for (Slot slot :
                 {Slot::IndicatorCode, Slot::IndicatorShown, Slot::PeriodStart, Slot::PeriodEnd})
                if (s.number(r, rowSlotColumn(slot)) != 0)
                    objectsOnly = false;
    } else if (mode == IdentMode::Title) {
        for (int sh = 1; sh <= m_model.instanceCount() && objectsOnly; ++sh)
            for (TitleRow t : {TitleRow::Indicator, TitleRow::PeriodStart, TitleRow::PeriodEnd})
                if (b.sheet(sh).number(int(t), kTitleValueCol) != 0)
                    objectsOnly = false;
    } else {
        objectsOnly = false;
    }
    if (!objectsOnly)
        m_prompter.info(cannotCreate());
    return objectsOnly;
}

QList<ListMember> ObjectLists::members(IdentMode mode) const {
    QList<ListMember> list;
    const Workbook& b = m_model.book();
    auto trunc = [this](double v) { return TruncToInt(v, m_prompter); };
    if (mode == IdentMode::Side) {
        const Sheet& s = b.sheet(m_model.rowIdentSheet());
        const int H = m_model.lastHeaderRow();
        int k = 0;
        for (int r = H + 1; r <= s.lastRow(); ++r) {
            if (s.rowHidden(r))
                continue;
            ListMember m;
            m.npp = H + ++k;
            m.name = s.text(r, kSideCol);
            m.kod = s.number(r, rowSlotColumn(Slot::Object));
            m.tip = trunc(s.number(r, rowSlotColumn(Slot::ObjectType)));
            for (int i = 0; i < 4; ++i) {
                m.kods[i] = s.number(r, rowSlotColumn(cutSlot(i)));
                m.tips[i] = trunc(s.number(r, rowSlotColumn(cutTypeSlot(i))));
            }
            m.ur = trunc(s.number(r, rowSlotColumn(Slot::Level)));
            list << m;
        }
        return list;
    }
    int k = 0;
    for (int sh = m_model.instanceCount(); sh >= 1; --sh) {
        const Sheet& s = b.sheet(sh);
        ListMember m;
        m.npp = ++k;
        for (int r = kFirstTitleRow; r <= kLastTitleRow; ++r)
            if (!s.rowHidden(r))
                m.name += QLatin1Char(' ') + s.text(r, kTitleValueCol);
        m.kod = s.number(int(TitleRow::Object), kTitleValueCol);
        m.tip = trunc(s.number(int(TitleRow::Object), kTitleExtraCol));
        for (int i = 0; i < 4; ++i) {
            m.kods[i] = s.number(int(titleCutRow(i)), kTitleValueCol);
            m.tips[i] = trunc(s.number(int(titleCutRow(i)), kTitleExtraCol));
        }
        m.ur = trunc(s.number(int(TitleRow::Level), kTitleValueCol));
        list << m;
    }
    return list;
}

QString ObjectLists::rightsText(const QString& what) const {
    return QStringLiteral("Пользователю ") + m_dm.dbMain.userName() + what;
}

void ObjectLists::unlinkTables(int kodSpis) {
    DbStatement& q = m_dm.query(QStringLiteral("quCommonTAB"));
    q.setSql(QStringLiteral("UPDATE CAT SET KODSPIS = 0 WHERE KODSPIS = ") +
             QString::number(kodSpis));
    q.clearParams();
    q.execute();
}

void ObjectLists::writeMembers(int kodSpis, const QList<ListMember>& members) {
    DbProcedure& p = m_dm.storedProc(QStringLiteral("spInsertSpisElmt"));
    for (const ListMember& m : members) {
        p.clearParams();
        p.setParam(QStringLiteral("KODSPIS"), kodSpis);
        p.setParam(QStringLiteral("NPP"), m.npp);
        p.setParam(QStringLiteral("KOD"), m.kod);
        p.setParam(QStringLiteral("TIP"), m.tip);
        for (int i = 0; i < 4; ++i) {
            p.setParam(QStringLiteral("KOD%1").arg(i + 1), m.kods[i]);
            p.setParam(QStringLiteral("TIP%1").arg(i + 1), m.tips[i]);
        }
        p.setParam(QStringLiteral("UR"), m.ur);
        p.setParam(QStringLiteral("NAMEOBJ"), m.name);
        p.execute();
    }
}

// Both databases are written before either commits, and the unlinking of the tables
// commits first: a failure while the list is written unlinks nothing, and no table is
// left pointing at a list that was not written.
bool ObjectLists::create(IdentMode mode, const QString& name) {
    if (IsBlank(name))
        return false;
    if (name.size() > kMaxNameLength) {
        m_prompter.error(nameTooLong());
        return false;
    }
    int existing = 0;
    for (const ListRow& row : lists())
        if (row.name == name)
            existing = row.kodSpis;
    if (existing != 0 && !m_prompter.confirm(replaceQuestion()))
        return false;
    const QList<ListMember> list = members(mode);

    DbTransaction fact(m_dm.dbMain);
    DbTransaction tab(m_dm.dbTab);
    bool tablesStep = false;
    try {
        int kodSpis = existing;
        if (existing != 0) {
            DbProcedure& del = m_dm.storedProc(QStringLiteral("spDeleteSpis"));
            del.clearParams();
            del.setParam(QStringLiteral("KODSPIS"), existing);
            del.setParam(QStringLiteral("P_USL"), 0);
            del.execute();
        } else {
            DbProcedure& ins = m_dm.storedProc(QStringLiteral("spInsertSpis"));
            ins.clearParams();
            ins.setParam(QStringLiteral("NAME"), name);
            ins.execute();
            kodSpis = ins.output(QStringLiteral("KODSP")).toInt();
        }
        writeMembers(kodSpis, list);
        ChangeFlags flags(m_dm, m_prompter);
        flags.FlagChangeForOthers(QStringLiteral("spOneUSPIS"));
        if (existing != 0) {
            tablesStep = true;
            unlinkTables(existing);
            flags.FlagChangeForOthers(QStringLiteral("spOneUCAT"));
            tab.commit();
        }
        fact.commit();
    } catch (const DbError& e) {
        tab.rollback();
        fact.rollback();
        if (IsRightsError(e.message(), e.sqlCode()))
            m_prompter.error(
                rightsText(tablesStep ? QStringLiteral(" запрещено изменение списков объектов")
                                      : QStringLiteral(" запрещено изменение списков")));
        else
            m_prompter.error(WithServerText(
                tablesStep ? QStringLiteral("Ошибка при корректировке списка. Повторите...")
                           : QStringLiteral("Ошибка при записи списка. Повторите..."),
                e.message()));
        return false;
    }
    return true;
}

bool ObjectLists::remove(int index) {
    if (index < 0 || index >= m_lists.size())
        return false;
    const ListRow row = m_lists[index];
    if (!m_prompter.confirm(deleteQuestion(row.name)))
        return false;
    DbTransaction fact(m_dm.dbMain);
    DbTransaction tab(m_dm.dbTab);
    try {
        DbProcedure& del = m_dm.storedProc(QStringLiteral("spDeleteSpis"));
        del.clearParams();
        del.setParam(QStringLiteral("KODSPIS"), row.kodSpis);
        del.setParam(QStringLiteral("P_USL"), 1);
        del.execute();
        ChangeFlags flags(m_dm, m_prompter);
        flags.FlagChangeForOthers(QStringLiteral("spOneUSPIS"));
        unlinkTables(row.kodSpis);
        flags.FlagChangeForOthers(QStringLiteral("spOneUCAT"));
        tab.commit();
        fact.commit();
    } catch (const DbError& e) {
        tab.rollback();
        fact.rollback();
        if (IsRightsError(e.message(), e.sqlCode()))
            m_prompter.error(rightsText(QStringLiteral(" запрещено изменение списков объектов")));
        else
            m_prompter.error(WithServerText(
                QStringLiteral("Ошибка при удалении списка. Повторите..."), e.message()));
        return false;
    }
    lists();
    return true;
}
