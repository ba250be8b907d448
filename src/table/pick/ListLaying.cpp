#include "ListLaying.h"

#include "ChangeFlags.h"
#include "DbError.h"
#include "DbStatement.h"
#include "DbTransaction.h"
#include "IdentModel.h"
#include "InstanceSheets.h"
#include "Placement.h"
#include "Prompter.h"
#include "ServerErrors.h"
#include "TableRef.h"
#include "TdmMSSQL.h"

#include "model/Workbook.h"

using namespace TableLayout;

ListLaying::ListLaying(TdmMSSQL& dm, IdentModel& model, Prompter& prompter, InstanceSheets& sheets,
                       TableRef& table)
    : m_dm(dm), m_model(model), m_prompter(prompter), m_sheets(sheets), m_table(table) {}

std::optional<QList<ListMember>> ListLaying::read(int kodSpis) {
    QList<ListMember> members;
    DbStatement& q = m_dm.query(QStringLiteral("quCommonMAIN"));
    try {
        q.close();
        q.setSql(QStringList{QStringLiteral("select * from spiselmt where kodspis = "),
                             QStringLiteral("(SELECT KODSPIS FROM SPIS where kodspis=:kodsp) "
                                            "order by npp")});
        q.clearParams();
        q.setParam(QStringLiteral("kodsp"), kodSpis);
        q.open();
        auto number = [&q](const QString& field) { return q.value(field).toDouble(); };
        for (q.first(); !q.eof(); q.next()) {
            ListMember m;
            m.npp = int(number(QStringLiteral("NPP")));
            m.kod = number(QStringLiteral("KOD"));
            m.tip = int(number(QStringLiteral("TIP")));
            for (int i = 0; i < 4; ++i) {
                m.kods[i] = number(QStringLiteral("KOD%1").arg(i + 1));
                m.tips[i] = int(number(QStringLiteral("TIP%1").arg(i + 1)));
            }
            m.ur = int(number(QStringLiteral("UR")));
            m.name = q.value(QStringLiteral("NAMEOBJ")).toString();
            members << m;
        }
        q.close();
    } catch (const DbError& e) {
        q.close();
        m_prompter.error(WithServerText(readFailed(), e.message()));
        return std::nullopt;
    }
    return members;
}

bool ListLaying::lay(IdentMode region, int kodSpis) {
    if (region != IdentMode::Side && region != IdentMode::Title)
        return false;
    const std::optional<QList<ListMember>> members = read(kodSpis);
    if (!members || members->isEmpty())
        return false;
    m_model.readGeometry();
    // The side is laid over the first body rows: asked first when they are identified.
    if (region == IdentMode::Side) {
        const int H = m_model.lastHeaderRow();
        for (int i = 0; i < members->size(); ++i)
            if (Placement::rowHasIdent(m_model, H + 1 + i)) {
                if (!m_prompter.confirm(Placement::overwriteRowsQuestion(), Answer::No))
                    return false;
                break;
            }
    }
    Workbook& b = m_model.book();
    b.undoStack().begin(QStringLiteral("Список объектов"));
    b.beginUpdate();
    bool laid = true;
    if (region == IdentMode::Side)
        laySide(*members);
    else
        laid = layTitle(*members);
    b.endUpdate();
    b.undoStack().end();
    // The link is the database's, not the workbook's: it follows once the sheets are laid.
    if (laid && region == IdentMode::Title)
        link(kodSpis);
    return laid;
}

void ListLaying::laySide(const QList<ListMember>& members) {
    Workbook& b = m_model.book();
    const int sheet = m_model.rowIdentSheet();
    const int H = m_model.lastHeaderRow();
    auto put = [&](int row, Slot s, double v) {
        if (v != 0)
            b.setNumber(sheet, row, rowSlotColumn(s), v);
    };
    for (int i = 0; i < members.size(); ++i) {
        const ListMember& m = members[i];
        const int row = H + 1 + i;
        for (int s = 1; s <= b.sheetCount(); ++s)
            if (s != m_model.colIdentSheet())
                b.setText(s, row, kSideCol, m.name);
        b.clearRange(sheet,
                     CellRange(row, rowSlotColumn(Slot::Object), row, rowSlotColumn(Slot::Level)),
                     ClearWhat::All);
        b.clearRange(
            sheet,
            CellRange(row, rowSlotColumn(Slot::ObjectType), row, rowSlotColumn(Slot::Cut4Type)),
            ClearWhat::All);
        put(row, Slot::Object, m.kod);
        put(row, Slot::ObjectType, m.tip);
        for (int k = 0; k < 4; ++k) {
            put(row, cutSlot(k), m.kods[k]);
            put(row, cutTypeSlot(k), m.tips[k]);
        }
        put(row, Slot::Level, m.ur);
    }
}

bool ListLaying::layTitle(const QList<ListMember>& members) {
    Workbook& b = m_model.book();
    if (!Placement::keepActiveSheetOnly(m_model, m_prompter))
        return false;
    for (int i = 1; i < members.size(); ++i)
        m_sheets.insertSheet(); // in front of sheet 1, which stays active
    const int H = m_model.lastHeaderRow();
    const Sheet& rows = b.sheet(m_model.rowIdentSheet());
    const int lastBody = rows.lastRow();
    for (int i = 0; i < members.size(); ++i) {
        const ListMember& m = members[members.size() - 1 - i];
        const int sheet = 1 + i;
        b.clearRange(
            sheet,
            CellRange(int(TitleRow::Object), kTitleValueCol, int(TitleRow::Cut4), kTitleExtraCol),
            ClearWhat::All);
        b.clearCell(sheet, int(TitleRow::Level), kTitleValueCol);
        if (m.ur != 0)
            b.setNumber(sheet, int(TitleRow::Level), kTitleValueCol, m.ur);
        if (lastBody > H)
            b.copyRange(b, m_model.rowIdentSheet(), CellRange(H + 1, kSideCol, lastBody, kSideCol),
                        sheet, H + 1, kSideCol);
        Placement::setTitleName(b, sheet, m.name);
        auto put = [&](TitleRow row, int col, double v) {
            if (v != 0)
                b.setNumber(sheet, int(row), col, v);
        };
        put(TitleRow::Object, kTitleValueCol, m.kod);
        put(TitleRow::Object, kTitleExtraCol, m.tip);
        for (int k = 0; k < 4; ++k) {
            put(titleCutRow(k), kTitleValueCol, m.kods[k]);
            put(titleCutRow(k), kTitleExtraCol, m.tips[k]);
        }
    }
    b.setActiveSheet(1);
    return true;
}

void ListLaying::link(int kodSpis) {
    if (m_table.kodElmt == 0)
        return;
    try {
        DbStatement& q = m_dm.query(QStringLiteral("quCommonTAB"));
        q.setSql(QStringLiteral("Update CAT set KODSPIS = ") + QString::number(kodSpis) +
                 QStringLiteral(" where kodelmt=") + QString::number(m_table.kodElmt));
        q.clearParams();
        RunInTransaction(m_dm.dbTab, [&] { q.execute(); });
        m_table.kodSpis = kodSpis;
        DbStatement& cat = m_dm.query(QStringLiteral("quCAT"));
        if (cat.isOpen()) {
            cat.close();
            cat.open();
            cat.locate(QStringLiteral("KODELMT"), m_table.kodElmt);
        }
    } catch (const DbError& e) {
        RollbackQuietly(m_dm.dbTab);
        if (IsRightsError(e.message(), e.sqlCode()))
            m_prompter.message(linkRefused(m_dm.dbMain.userName()), {}, PromptIcon::Warning);
        else
            m_prompter.error(WithServerText(linkFailed(), e.message()));
    }
}
