#pragma once

#include "IdentMode.h"
#include "ObjectLists.h"

#include <QList>
#include <QString>

#include <optional>

class IdentModel;
class InstanceSheets;
class Prompter;
class TdmMSSQL;
struct TableRef;

// An object list chosen in the directory pop-up laid into the side (one body row per
// member, from the first body row) or into the instance sheets (one sheet per member,
// the table then linked to the list). Every slot a member does not set is cleared, so no
// row or sheet keeps part of an earlier identification.
class ListLaying {
public:
    ListLaying(TdmMSSQL& dm, IdentModel& model, Prompter& prompter, InstanceSheets& sheets,
               TableRef& table);

    // The members of the list in NPP order; nullopt (told) on a database error.
    std::optional<QList<ListMember>> read(int kodSpis);
    // False when nothing was laid (refused, failed or no members).
    bool lay(IdentMode region, int kodSpis);

    static QString readFailed() { return QStringLiteral("Не удалось прочитать список объектов"); }
    static QString linkRefused(const QString& user) {
        return QStringLiteral("Пользователю ") + user +
               QStringLiteral(" закрепление списка за таблицей запрещено");
    }
    static QString linkFailed() {
        return QStringLiteral("Не удалось закрепить список за таблицей");
    }

private:
    void laySide(const QList<ListMember>& members);
    bool layTitle(const QList<ListMember>& members);
    void link(int kodSpis);

    TdmMSSQL& m_dm;
    IdentModel& m_model;
    Prompter& m_prompter;
    InstanceSheets& m_sheets;
    TableRef& m_table;
};
