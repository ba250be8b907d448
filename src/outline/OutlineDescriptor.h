#pragma once

#include "ZemrakConfig.h"

#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <map>

// The changing commands of an outline tree, for their failure messages.
enum class OutlineOp { Add, Delete, Promote, Demote, MoveUp, MoveDown, Drop };

struct OutlineMessages {
    QString rights; // followed by two line breaks and the server's message
    QString other;
};

// Everything that tells one outline catalogue from another: where it lives,
// the dataset it is built from, its procedures with their parameter names, the
// change flag and the messages.
struct OutlineDescriptor {
    int catalogue = 1; // 1 = collections, 2 = rubrics, 0 = an aggregation directory
    DatabaseTag tag = DatabaseTag::Tab;
    QString table;   // SBR, RUB, AGR
    QString dataset; // query component read in NPP order
    QVariantMap datasetParams;
    QString keyField = QStringLiteral("KODFOLDER");
    bool hasIdentifiers = false; // NAMEID beside the name

    QString spInsert, spDelete, spUpdateNpp, spUpdateLev, spUpdateNppLev, spRenum, spRename;
    QString insertKeyOutput = QStringLiteral("KOD_FOLDER"); // empty: the key is given
    QString newKeyQuery;                                    // MAX(key) when the key is given
    QString keyParam = QStringLiteral("KOD_FOLDER");
    QString nppParam = QStringLiteral("NPP_NEW");     // of the set-NPP procedure
    QString levelParam = QStringLiteral("NEW_LEVEL"); // of the set-level procedure
    QString nppLevNppParam = QStringLiteral("NPPNEW");
    QString nppLevLevelParam = QStringLiteral("NLEVEL");
    // Bound to every procedure besides its own parameters (NUM_AGR).
    QVariantMap extraParams;

    QString flagColumn; // PSBR, PRUB, PAGR
    QString spOne, spZero;
    // Deleting: statements run for every deleted node before its procedure, with
    // the node's key bound as :p_KodFolder, and the flags raised besides spOne.
    QStringList deleteFirst;
    QStringList spOneOnDelete;
    QString changedMessage;
    // Counts the node's row by :p_KodFolder (and the directory number): a rename of a
    // node another program deleted changes no row, and the user is told so.
    QString existsSql;
    QString deletedMessage;
    std::map<OutlineOp, OutlineMessages> messages;
    // Whether a database failure's message ends with the server's own text.
    bool serverTextInMessages = true;

    static OutlineDescriptor Collections();
    static OutlineDescriptor Rubrics();
    // One aggregation directory; its rights messages name the fact-database user.
    static OutlineDescriptor Aggregation(int numAgr, const QString& userName);
    // By the current catalogue number.
    static OutlineDescriptor ForCatalogue(int catalogue);
};
