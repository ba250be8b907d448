#pragma once

#include <QString>

#include <optional>

class DbStatement;
class TdmMSSQL;

// The catalogue row of the table being edited (CAT), as the collections window has it.
struct TableRef {
    int kodElmt = 0;
    QString name;
    QString kodAlt;
    int kodSpis = 0;
    QString parol;
    std::optional<int> typeUse;

    // The password guards saving: scope 0 (opening and saving) or 2 (saving only).
    bool passwordGuardsSaving() const;
    // The tender menu belongs to purchase tables only.
    bool tenderVisible() const;

    // From the current row of quCAT.
    static TableRef fromCatRow(const DbStatement& quCAT);
    // Reads the row by its key; nullopt when the table is gone.
    static std::optional<TableRef> read(TdmMSSQL& dm, int kodElmt);
};
