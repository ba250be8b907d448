#include "ObjectExpansion.h"

#include "DbError.h"
#include "DbStatement.h"
#include "IdentModel.h"
#include "Placement.h"
#include "Prompter.h"
#include "TdmMSSQL.h"

#include "ChangeFlags.h"
#include "model/Workbook.h"

using namespace TableLayout;

ObjectExpansion::ObjectExpansion(TdmMSSQL& dm, IdentModel& model, Prompter& prompter)
    : m_dm(dm), m_model(model), m_prompter(prompter) {}

QString ObjectExpansion::untyped(int row, double code) {
    return QStringLiteral("Код ") + QString::number(code, 'f', 0) + QStringLiteral(" в строке ") +
           QString::number(row) +
           QStringLiteral(" без типа справочника: подчиненные объекты не определены");
}

bool ObjectExpansion::allowed(IdentMode region) const {
    if (region == IdentMode::Side || region == IdentMode::Title)
        return true;
    m_prompter.error(notInHeader());
    return false;
}

void ObjectExpansion::prepare(PlacementRequest& request) {
    const bool title = request.region == IdentMode::Title;
    request.subordinates = [this, title](int line) -> std::optional<QList<PickedEntry>> {
        const std::optional<QList<KeyPair>> key = title ? titleKey(line) : sideKey(line);
        if (!key)
            return std::nullopt;
        return members(*key);
    };
}

std::optional<QList<ObjectExpansion::KeyPair>> ObjectExpansion::keyOf(const Slots& s, int row,
                                                                      const int* rows) const {
    QList<KeyPair> key;
    if (s.types[0] != kObjectsDirectoryType) {
        for (int i = 0; i < 5; ++i) {
            if (s.codes[i] <= 0)
                continue;
            if (slotDirectory(s.types[i]) == SlotDirectory::Untyped) {
                m_prompter.error(untyped(rows ? rows[i] : row, s.codes[i]));
                return std::nullopt;
            }
            key.append({s.codes[i], s.types[i]});
        }
    }
    if (key.isEmpty()) {
        m_prompter.error(noKey(row));
        return std::nullopt;
    }
    return key;
}

std::optional<QList<ObjectExpansion::KeyPair>> ObjectExpansion::sideKey(int row) const {
    const Sheet& sh = m_model.book().sheet(m_model.rowIdentSheet());
    Slots s;
    for (int i = 0; i < 5; ++i) {
        const Slot code = i == 0 ? Slot::Object : cutSlot(i - 1);
        const Slot type = i == 0 ? Slot::ObjectType : cutTypeSlot(i - 1);
        s.codes[i] = sh.number(row, rowSlotColumn(code));
        s.types[i] = int(sh.number(row, rowSlotColumn(type)));
    }
    return keyOf(s, row, nullptr);
}

std::optional<QList<ObjectExpansion::KeyPair>> ObjectExpansion::titleKey(int sheet) const {
    const Sheet& sh = m_model.book().sheet(sheet);
    Slots s;
    int rows[5];
    for (int i = 0; i < 5; ++i) {
        rows[i] = int(TitleRow::Object) + i;
        s.codes[i] = sh.number(rows[i], kTitleValueCol);
        s.types[i] = int(sh.number(rows[i], kTitleExtraCol));
    }
    return keyOf(s, int(TitleRow::Object), rows);
}

QStringList ObjectExpansion::membersSql(const QList<KeyPair>& key) {
    QStringList conditions;
    for (int i = 0; i < key.size(); ++i)
        conditions << QStringLiteral("KOD%1=:KOD%2").arg(key[i].directory).arg(i + 1);
    return {QStringLiteral("SELECT KODFOLDER, NAMEFOLDER FROM ELM WHERE"),
            conditions.join(QStringLiteral(" and ")), QStringLiteral("ORDER BY NPP")};
}

std::optional<QList<PickedEntry>> ObjectExpansion::members(const QList<KeyPair>& key) const {
    QList<PickedEntry> found;
    DbStatement& q = m_dm.query(QStringLiteral("quCommonMAIN"));
    try {
        q.close();
        q.setSql(membersSql(key));
        q.clearParams();
        for (int i = 0; i < key.size(); ++i)
            q.setParam(QStringLiteral("KOD%1").arg(i + 1), key[i].code);
        q.open();
        for (q.first(); !q.eof(); q.next()) {
            PickedEntry e;
            e.code = int(q.value(0).toDouble());
            e.directory = kObjectsDirectoryType;
            e.name = q.value(1).toString().trimmed();
            found << e;
        }
        q.close();
    } catch (const DbError& e) {
        q.close();
        m_prompter.error(WithServerText(readFailed(), e.message()));
        return std::nullopt;
    }
    return found;
}
