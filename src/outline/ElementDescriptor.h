#pragma once

#include "OutlineDescriptor.h"
#include "ZemrakConfig.h"

#include <QString>

#include <map>

enum class ElementOp { Add, Delete, Move };

// What tells the tables of a collection from the indicators of a rubric.
struct ElementDescriptor {
    DatabaseTag tag = DatabaseTag::Tab;
    QString dataset; // quCAT, quPOK
    QString table;   // CAT, POK: where grid edits are written
    QString keyField = QStringLiteral("KODELMT");
    bool indicators = false; // EIZ instead of KODSPIS
    QString spInsert, spDelete, spUpdateNpp, spRenum;
    QString flagColumn, spOne, spZero;
    QString folderTable;   // SBR, RUB: the folder must still be there when an element is added
    QString folderDeleted; // what the user is told when another program deleted it
    std::map<ElementOp, OutlineMessages> messages;

    static ElementDescriptor Tables();
    static ElementDescriptor Indicators();
    static ElementDescriptor ForCatalogue(int catalogue);
};
