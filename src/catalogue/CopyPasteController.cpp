#include "CopyPasteController.h"

#include "CollectionsController.h"
#include "DbError.h"
#include "DbTransaction.h"
#include "ElementOperations.h"
#include "ElementRowSet.h"
#include "Prompter.h"
#include "ServerErrors.h"
#include "TdmMSSQL.h"

#include <stdexcept>

namespace {

const QString kKodElmt = QStringLiteral("KODELMT");

struct FolderGone : std::runtime_error {
    FolderGone() : std::runtime_error("collection deleted") {}
};

} // namespace

CopyPasteController::CopyPasteController(TdmMSSQL& dm, Prompter& prompter,
                                         OutlineEngine<int>& engine, ElementOperations& elements,
                                         CollectionsController& collections)
    : m_dm(dm), m_prompter(prompter), m_engine(engine), m_elements(elements),
      m_collections(collections) {}

bool CopyPasteController::copy() {
    return m_collections.mode() == CollectionsController::Mode::Collections ? copyCollection()
                                                                            : copyTable();
}

bool CopyPasteController::paste() {
    return m_collections.mode() == CollectionsController::Mode::Collections ? pasteCollection()
                                                                            : pasteTable();
}

bool CopyPasteController::mayPaste() const {
    return m_collections.mode() == CollectionsController::Mode::Collections ? m_heldCollection != 0
                                                                            : m_heldTable != 0;
}

void CopyPasteController::clear() {
    m_heldCollection = 0;
    m_heldTable = 0;
    m_heldTableNpp = 0;
}

void CopyPasteController::afterCollectionsDeleted() {
    if (m_heldCollection && m_engine.arrays().find(m_heldCollection) < 0)
        m_heldCollection = 0;
}

void CopyPasteController::afterTableDeleted(int key, int npp) {
    if (key == m_heldTable && npp == m_heldTableNpp) {
        m_heldTable = 0;
        m_heldTableNpp = 0;
    }
}

bool CopyPasteController::copyCollection() {
    OutlineNode* node = m_engine.tree().current();
    if (!node || !m_collections.askCollectionPassword(node))
        return false;
    m_heldCollection = m_engine.keyOf(node);
    return true;
}

bool CopyPasteController::copyTable() {
    ElementRowSet& rows = m_elements.rows();
    if (!rows.isOpen() || rows.isEmpty() || rows.currentRow() < 0)
        return false;
    if (!m_collections.askTablePassword())
        return false;
    m_heldTable = rows.value(kKodElmt).toInt();
    m_heldTableNpp = rows.value(QStringLiteral("NPP")).toInt();
    return true;
}

std::vector<CopyPasteController::SourceRow> CopyPasteController::readSubtree(int first, int last) {
    DbStatement& sbr = m_engine.dataset();
    std::vector<SourceRow> rows;
    for (int p = first; p <= last; ++p) {
        const OutlineNode* node = m_engine.tree().at(p);
        SourceRow row;
        row.key = m_engine.arrays().keys[size_t(p)];
        row.caption = node->text();
        row.identifier = m_engine.arrays().identifiers[size_t(p)];
        row.level = node->level();
        if (sbr.locate(QStringLiteral("KODFOLDER"), row.key)) {
            row.kodSpis = sbr.value(QStringLiteral("KODSPIS"));
            row.nGod = sbr.value(QStringLiteral("NGOD"));
            row.nMonth = sbr.value(QStringLiteral("NMONTH"));
        }
        rows.push_back(row);
    }
    return rows;
}

void CopyPasteController::copyWorkbook(int source, int target) {
    // The bytes go from row to row on the server, unchanged; an empty workbook
    // leaves the copy without one.
    DbStatement& st = m_dm.dbTab.statement(QStringLiteral("quCopyTABF1"));
    st.setSql(
        QStringList{QStringLiteral("UPDATE CAT SET TABF1 = (SELECT S.TABF1 FROM CAT S"),
                    QStringLiteral("  WHERE S.KODELMT = :SOURCE AND OCTET_LENGTH(S.TABF1) > 0)"),
                    QStringLiteral("WHERE KODELMT = :TARGET")});
    st.clearParams();
    st.setParam(QStringLiteral("SOURCE"), source);
    st.setParam(QStringLiteral("TARGET"), target);
    st.execute();
}

int CopyPasteController::insertTable(int folder, int npp, const QVariant& name,
                                     const QVariant& kodAlt, const QVariant& kodSpis, int source) {
    DbProcedure& insert = m_dm.storedProc(QStringLiteral("spInsertCAT"));
    insert.clearParams();
    insert.setParam(QStringLiteral("NAMEFOLDER"), name);
    insert.setParam(QStringLiteral("KODFOLDER"), folder);
    insert.setParam(QStringLiteral("NPP"), npp);
    insert.setParam(QStringLiteral("KODALT"), kodAlt);
    insert.setParam(QStringLiteral("KODSPIS"), kodSpis);
    insert.execute();
    const int key = insert.output(QStringLiteral("KOD_ELMT")).toInt();
    // A copy is never in use, whatever the source was.
    DbProcedure& use = m_dm.storedProc(QStringLiteral("spUpdateUSESlave"));
    use.clearParams();
    use.setParam(QStringLiteral("KOD_ELMT"), key);
    use.setParam(QStringLiteral("IS_INUSE"), 0);
    use.execute();
    copyWorkbook(source, key);
    return key;
}

void CopyPasteController::copyTables(int sourceFolder, int newFolder) {
    DbStatement& cat = m_dm.dbTab.statement(QStringLiteral("quCopyCAT"));
    cat.setSql(QStringList{QStringLiteral("SELECT KODELMT, NPP, NAMEFOLDER, KODALT, KODSPIS"),
                           QStringLiteral("FROM CAT WHERE KODFOLDER = :KODFOLDER ORDER BY NPP")});
    cat.setParam(QStringLiteral("KODFOLDER"), sourceFolder);
    cat.open();
    struct Table {
        int key;
        int npp;
        QVariant name, kodAlt, kodSpis;
    };
    std::vector<Table> tables;
    for (cat.first(); !cat.eof(); cat.next())
        tables.push_back(
            {cat.value(0).toInt(), cat.value(1).toInt(), cat.value(2), cat.value(3), cat.value(4)});
    cat.close();
    for (const Table& t : tables)
        insertTable(newFolder, t.npp, t.name, t.kodAlt, t.kodSpis, t.key);
}

void CopyPasteController::insertNodes(OutlineNode* target, const std::vector<SourceRow>& rows) {
    OutlineTree& tree = m_engine.tree();
    const int top = rows.front().level;
    // path[k]: the last copied node k levels below the first one.
    std::vector<OutlineNode*> path;
    for (const SourceRow& row : rows) {
        const int depth = row.level - top;
        OutlineNode* node = depth == 0 ? tree.insertBefore(target, row.caption)
                                       : tree.append(path[size_t(depth - 1)], row.caption);
        path.resize(size_t(depth));
        path.push_back(node);
    }
    for (OutlineNode* node : tree.subtree(path.front()))
        tree.setIcon(node, node->hasChildren() ? IconClosed : IconLeaf);
}

bool CopyPasteController::pasteCollection() {
    if (!m_heldCollection || !m_engine.BeginCommand())
        return false;
    OutlineTree& tree = m_engine.tree();
    OutlineNode* target = tree.current();
    const int l = m_engine.arrays().find(m_heldCollection);
    if (!target || l < 0)
        return false;
    const int e = m_engine.SubtreeEnd(l);
    int j = tree.position(target);
    // Not into itself; a top-level collection pasted onto itself gets its copy in front.
    if (l <= j && j <= e && tree.parentOf(target))
        return false;
    const int levelShift = target->level() - tree.at(l)->level();
    std::vector<SourceRow> rows;
    try {
        rows = readSubtree(l, e);
        if (!m_dm.dbTab.inTransaction())
            m_dm.dbTab.startTransaction();
        for (const SourceRow& row : rows) {
            const int npp = m_engine.AllocateNpp(j);
            DbProcedure& insert = m_dm.storedProc(QStringLiteral("spInsertSBR"));
            insert.clearParams();
            insert.setParam(QStringLiteral("NPP"), npp);
            insert.setParam(QStringLiteral("NAMEFOLDER"), row.caption);
            insert.setParam(QStringLiteral("NLEVEL"), row.level + levelShift + 1);
            insert.setParam(QStringLiteral("NAMEID"), row.identifier);
            insert.setParam(QStringLiteral("KODSPIS"), row.kodSpis);
            insert.setParam(QStringLiteral("NGOD"), row.nGod);
            insert.setParam(QStringLiteral("NMES"), row.nMonth);
            insert.execute();
            const int key = insert.output(QStringLiteral("KOD_FOLDER")).toInt();
            m_engine.arrays().insert(j, key, npp, row.identifier);
            copyTables(row.key, key);
            ++j;
        }
        m_engine.flags().FlagChangeForOthers(m_engine.descriptor().spOne);
        m_dm.dbTab.commit();
        if (m_dm.dbMain.inTransaction())
            m_dm.dbMain.commit();
    } catch (const std::exception& error) {
        reportFailure(error);
        m_engine.closeDataset();
        try {
            m_engine.BuildOutline();
        } catch (const DbError& e) {
            m_prompter.error(e.message());
        }
        return false;
    }
    m_engine.closeDataset();
    insertNodes(target, rows);
    m_engine.UpdateMoveButtons(target);
    return true;
}

void CopyPasteController::lockFolder(int folder) {
    DbStatement& st = m_dm.dbTab.statement(QStringLiteral("quLockSBR"));
    st.setSql(QStringLiteral("SELECT KODFOLDER FROM SBR WHERE KODFOLDER = :KOD_FOLDER WITH LOCK"));
    st.setParam(QStringLiteral("KOD_FOLDER"), folder);
    st.open();
    const bool gone = st.isEmpty();
    st.close();
    if (gone)
        throw FolderGone();
}

bool CopyPasteController::pasteTable() {
    ElementRowSet& rows = m_elements.rows();
    if (!m_heldTable || !rows.isOpen())
        return false;
    if (m_elements.CheckChange() != 0) {
        m_prompter.info(
            QStringLiteral("Каталог таблиц изменен другим пользователем. Повторите..."));
        return false;
    }
    const QVariant remembered = rows.isEmpty() ? QVariant() : rows.value(kKodElmt);
    const auto returnToRemembered = [&] {
        try {
            rows.open();
            if (!remembered.isValid() || !rows.locate(kKodElmt, remembered))
                rows.first();
        } catch (const DbError& e) {
            m_prompter.error(e.message());
        }
    };
    try {
        DbStatement& held = m_dm.query(QStringLiteral("quCommonTAB"));
        held.close();
        held.clearParams();
        held.setSql(QStringLiteral("SELECT NAMEFOLDER, KODALT, KODSPIS FROM CAT WHERE KodElmt = ") +
                    QString::number(m_heldTable));
        held.open();
        if (held.isEmpty()) {
            held.close();
            m_prompter.error(QStringLiteral("Копируемая таблица удалена"));
            return false;
        }
        const QVariant name = held.value(0), kodAlt = held.value(1), kodSpis = held.value(2);
        held.close();
        const int folder = m_elements.currentFolder();
        if (!m_dm.dbTab.inTransaction())
            m_dm.dbTab.startTransaction();
        lockFolder(folder);
        const int npp = m_elements.NppAfterCurrent();
        insertTable(folder, npp, name, kodAlt, kodSpis, m_heldTable);
        m_elements.flags().FlagChangeForOthers(m_elements.descriptor().spOne);
        m_dm.dbTab.commit();
        if (m_dm.dbMain.inTransaction())
            m_dm.dbMain.commit();
    } catch (const FolderGone&) {
        RollbackQuietly(m_dm.dbMain);
        RollbackQuietly(m_dm.dbTab);
        m_prompter.info(m_elements.descriptor().folderDeleted);
        returnToRemembered();
        return false;
    } catch (const std::exception& error) {
        reportFailure(error);
        returnToRemembered();
        return false;
    }
    returnToRemembered();
    return true;
}

void CopyPasteController::reportFailure(const std::exception& error) {
    RollbackQuietly(m_dm.dbMain);
    RollbackQuietly(m_dm.dbTab);
    const auto* db = dynamic_cast<const DbError*>(&error);
    if (db && IsRightsError(db->message(), db->sqlCode()))
        m_prompter.error(WithServerText(QStringLiteral("Пользователю ") + m_dm.dbTab.userName() +
                                            QStringLiteral(" не разрешено копирование"),
                                        db->message()));
    else if (db)
        m_prompter.error(
            WithServerText(QStringLiteral("Ошибка при копировании. Повторите..."), db->message()));
    else
        m_prompter.error(WithServerText(QStringLiteral("Ошибка при копировании"),
                                        QString::fromUtf8(error.what())));
}
