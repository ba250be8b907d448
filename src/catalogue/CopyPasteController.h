#pragma once

#include "OutlineEngine.h"

#include <QString>

class CollectionsController;
class ElementOperations;
class Prompter;
class TdmMSSQL;

// "Копировать" and "Вставить" of the collections window: a whole collection with
// its sub-collections and their tables, or one table, duplicated inside the
// table-materials database with new keys and byte-equal workbooks. "Копировать"
// only remembers what to copy; every paste runs in one transaction.
class CopyPasteController {
public:
    CopyPasteController(TdmMSSQL& dm, Prompter& prompter, OutlineEngine<int>& engine,
                        ElementOperations& elements, CollectionsController& collections);

    // By the window's mode; false when nothing is held now (cancelled password).
    bool copy();
    bool paste();
    // What "Вставить" may do in the current mode.
    bool mayPaste() const;

    int heldCollection() const { return m_heldCollection; }
    int heldTable() const { return m_heldTable; }
    // The held collection is forgotten once it is no longer in the tree (deleted,
    // or the tree emptied); the held table when the deleted table is it.
    void afterCollectionsDeleted();
    void afterTableDeleted(int key, int npp);
    void clear();

private:
    struct SourceRow {
        int key = 0;
        QString caption;
        QString identifier;
        int level = 0; // tree level, 0 at the top
        QVariant kodSpis, nGod, nMonth;
    };

    bool copyCollection();
    bool copyTable();
    bool pasteCollection();
    bool pasteTable();
    std::vector<SourceRow> readSubtree(int first, int last);
    void insertNodes(OutlineNode* target, const std::vector<SourceRow>& rows);
    // INSERT_CAT with ISINUSE 0 and the workbook; the new key.
    int insertTable(int folder, int npp, const QVariant& name, const QVariant& kodAlt,
                    const QVariant& kodSpis, int source);
    void copyTables(int sourceFolder, int newFolder);
    void copyWorkbook(int source, int target);
    void lockFolder(int folder);
    void reportFailure(const std::exception& error);

    TdmMSSQL& m_dm;
    Prompter& m_prompter;
    OutlineEngine<int>& m_engine;
    ElementOperations& m_elements;
    CollectionsController& m_collections;
    int m_heldCollection = 0;
    int m_heldTable = 0;
    int m_heldTableNpp = 0;
};
