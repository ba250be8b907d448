#pragma once

#include "IdentMode.h"
#include "PickedEntry.h"

#include <QList>
#include <QStringList>

#include <optional>

class IdentModel;
class Prompter;
class TdmMSSQL;
struct PlacementRequest;

// "Развернуть" of the objects directory: a side row or an instance sheet identified by
// nodes of aggregation directories is followed by one row or sheet per object of the
// objects directory that belongs to all those nodes. This class finds the objects; the
// placement lays them in.
class ObjectExpansion {
public:
    // One (code, directory) pair of an independent-object key.
    struct KeyPair {
        double code = 0;
        int directory = 0;
    };

    ObjectExpansion(TdmMSSQL& dm, IdentModel& model, Prompter& prompter);

    // False with the message when the region cannot be expanded (the header).
    bool allowed(IdentMode region) const;
    // Sets the request's subordinates for the region of the request.
    void prepare(PlacementRequest& request);

    // The key of a side row or of an instance sheet; nullopt (told) when it has none or a
    // code without a directory type.
    std::optional<QList<KeyPair>> sideKey(int row) const;
    std::optional<QList<KeyPair>> titleKey(int sheet) const;
    // The members of every node of the key, in NPP order; nullopt (told) on a database
    // error.
    std::optional<QList<PickedEntry>> members(const QList<KeyPair>& key) const;
    static QStringList membersSql(const QList<KeyPair>& key);

    static QString notInHeader() {
        return QStringLiteral("В шапке режим \"Развернуть\" для подчиненных объектов\r\n"
                              "                      НЕ ПРИМЕНЯЕТСЯ!");
    }
    static QString noKey(int row) {
        return QStringLiteral("Нет идентификации независимыми объектами в строке ") +
               QString::number(row);
    }
    static QString untyped(int row, double code);
    static QString readFailed() {
        return QStringLiteral("Не удалось прочитать подчиненные объекты");
    }

private:
    // Object slot first, then the four cuts: (code, type, row to name in a message).
    struct Slots {
        double codes[5];
        int types[5];
    };
    std::optional<QList<KeyPair>> keyOf(const Slots& s, int row, const int* rows) const;

    TdmMSSQL& m_dm;
    IdentModel& m_model;
    Prompter& m_prompter;
};
