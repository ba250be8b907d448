#pragma once

#include "IdentMode.h"

#include <QList>
#include <QString>

class IdentModel;
class Prompter;
class TdmMSSQL;

// One member of an object list (SPISELMT).
struct ListMember {
    int npp = 0;
    double kod = 0;
    double kods[4] = {0, 0, 0, 0};
    int tip = 0;
    int tips[4] = {0, 0, 0, 0};
    int ur = 0;
    QString name;
};

// Named object lists made from the identification of the open table: one member per
// shown body row (side) or per instance sheet (title). Lists live in the fact database;
// tables point to one through CAT.KODSPIS in the table-materials database.
class ObjectLists {
public:
    ObjectLists(TdmMSSQL& dm, IdentModel& model, Prompter& prompter, int kodElmt);

    struct ListRow {
        int kodSpis = 0;
        QString name;
    };
    // quSPIS reopened.
    QList<ListRow> lists();

    // "Создать из таблицы": false with "Невозможно создать список объектов" when the
    // identification names an indicator or a period.
    bool checkObjectsOnly(IdentMode mode);
    QList<ListMember> members(IdentMode mode) const;
    // "Создать" of fmCrtSpis: true when the dialog closes.
    bool create(IdentMode mode, const QString& name);
    // "Удалить" of fmDelSpis for the list at `index` of lists(): true when deleted.
    bool remove(int index);

    static constexpr int kMaxNameLength = 100;
    static QString cannotCreate() { return QStringLiteral("Невозможно создать список объектов"); }
    static QString replaceQuestion() {
        return QStringLiteral("Найден список с введенным именем\r\nЗаменить его ?");
    }
    static QString nameTooLong() {
        return QStringLiteral("Название списка не может быть длиннее 100 символов");
    }
    static QString noLists() { return QStringLiteral("Списки отсутствуют"); }
    static QString deleteQuestion(const QString& name) {
        return QStringLiteral("Список '") + name + QStringLiteral("' будет удален. Удалить?");
    }

private:
    void unlinkTables(int kodSpis);
    void writeMembers(int kodSpis, const QList<ListMember>& members);
    QString rightsText(const QString& what) const;

    TdmMSSQL& m_dm;
    IdentModel& m_model;
    Prompter& m_prompter;
    int m_kodElmt;
    QList<ListRow> m_lists;
};
