#include "OutlineEngine.h"

#include "ColumnWidth.h"
#include "DbError.h"
#include "DbStatement.h"
#include "DbTransaction.h"
#include "Prompter.h"
#include "ServerErrors.h"
#include "TdmMSSQL.h"

#include <climits>

template <class Key>
OutlineEngine<Key>::OutlineEngine(TdmMSSQL& dm, OutlineDescriptor descriptor, OutlineTree& tree,
                                  Prompter& prompter, OutlineState& state)
    : m_dm(dm), m_d(std::move(descriptor)), m_tree(tree), m_prompter(prompter), m_state(state),
      m_flags(dm, prompter) {}

template <class Key> DbConnection& OutlineEngine<Key>::connection() {
    return m_dm.connection(m_d.tag);
}

template <class Key> DbStatement& OutlineEngine<Key>::dataset() {
    DbStatement& ds = m_dm.query(m_d.dataset);
    if (!ds.isOpen()) {
        for (auto it = m_d.datasetParams.cbegin(); it != m_d.datasetParams.cend(); ++it)
            ds.setParam(it.key(), it.value());
        ds.open();
        ++m_statements;
    }
    return ds;
}

// A change closes the dataset; whoever reads it next reads it again, so a
// command touches only the rows it moves.
template <class Key> void OutlineEngine<Key>::closeDataset() {
    m_dm.query(m_d.dataset).close();
}

template <class Key> OutlineCommandState OutlineEngine<Key>::commands() const {
    OutlineCommandState c = m_commands;
    if (m_hold != CommandHold::None)
        c.moveUp = c.moveDown = c.levelUp = c.levelDown = false;
    if (m_hold == CommandHold::All)
        c.add = c.remove = false;
    return c;
}

template <class Key> void OutlineEngine<Key>::holdCommands(CommandHold hold) {
    m_hold = hold;
    if (m_listener)
        m_listener();
}

template <class Key> void OutlineEngine<Key>::setCommands(const OutlineCommandState& commands) {
    if (commands == m_commands)
        return;
    const OutlineCommandState before = this->commands();
    m_commands = commands;
    if (m_listener && this->commands() != before)
        m_listener();
}

template <class Key> void OutlineEngine<Key>::BuildOutline() {
    m_state.building = true;
    m_arrays.clear();
    m_tree.beginBuilding();
    try {
        closeDataset();
        DbStatement& ds = dataset();
        const int keyCol = ds.fieldIndex(m_d.keyField);
        const int nppCol = ds.fieldIndex(QStringLiteral("NPP"));
        const int levelCol = ds.fieldIndex(QStringLiteral("NLEVEL"));
        const int nameCol = ds.fieldIndex(QStringLiteral("NAMEFOLDER"));
        const int idCol = m_d.hasIdentifiers ? ds.fieldIndex(QStringLiteral("NAMEID")) : -1;
        // path[l] is the most recent node of tree level l. A level that jumps
        // more than one below the previous row is read as one level deeper, so
        // the tree's levels never skip one.
        std::vector<OutlineNode*> path;
        for (ds.first(); !ds.eof(); ds.next()) {
            const int stored = ds.value(levelCol).toInt();
            const int level = std::clamp(stored, 1, int(path.size()) + 1);
            OutlineNode* parent = level == 1 ? nullptr : path[size_t(level - 2)];
            OutlineNode* node = m_tree.append(parent, ds.value(nameCol).toString());
            path.resize(size_t(level - 1));
            path.push_back(node);
            m_arrays.append(qvariant_cast<Key>(ds.value(keyCol)), ds.value(nppCol).toInt(),
                            idCol >= 0 ? ds.value(idCol).toString() : QString());
        }
        for (OutlineNode* node : m_tree.preorder())
            m_tree.setIcon(node, node->hasChildren() ? IconClosed : IconLeaf);
    } catch (...) {
        m_tree.finishBuilding();
        m_state.building = false;
        throw;
    }
    m_tree.finishBuilding();
    m_state.building = false;
    OutlineCommandState commands;
    if (m_tree.isEmpty()) {
        m_tree.setCurrent(nullptr);
        setCommands(commands);
        return;
    }
    commands.remove = true;
    setCommands(commands);
    selectNode(m_tree.topLevel(0));
}

template <class Key> bool OutlineEngine<Key>::BeginCommand() {
    OutlineNode* current = m_tree.current();
    std::optional<QVariant> key;
    if (current)
        key = QVariant::fromValue(keyOf(current));
    DbStatement& ds = m_dm.query(m_d.dataset);
    for (auto it = m_d.datasetParams.cbegin(); it != m_d.datasetParams.cend(); ++it)
        ds.setParam(it.key(), it.value());
    const int result = m_flags.CheckChangeFlag(m_d.keyField, key, ds, m_d.flagColumn, m_d.spZero);
    if (result == ChangeFlags::Unchanged)
        return true;
    if (result == ChangeFlags::Failed)
        return false;
    closeDataset();
    try {
        BuildOutline();
    } catch (const DbError& e) {
        m_prompter.error(e.message());
        return false;
    }
    m_prompter.info(m_d.changedMessage);
    if (result == ChangeFlags::ChangedKeyFound && key)
        selectKey(qvariant_cast<Key>(*key));
    return false;
}

template <class Key> bool OutlineEngine<Key>::selectKey(Key key) {
    const int i = m_arrays.find(key);
    if (i < 0)
        return false;
    OutlineNode* node = m_tree.at(i);
    if (m_tree.parentOf(node))
        OpenAncestors(node);
    selectNode(node);
    return true;
}

template <class Key> void OutlineEngine<Key>::selectNode(OutlineNode* node) {
    if (m_state.building)
        return;
    if (m_tree.current() != node)
        m_tree.setCurrent(node);
    UpdateMoveButtons(node);
}

template <class Key> Key OutlineEngine<Key>::keyOf(const OutlineNode* node) const {
    return m_arrays.keys.at(size_t(m_tree.position(node)));
}

template <class Key> int OutlineEngine<Key>::nppOf(const OutlineNode* node) const {
    return m_arrays.positions.at(size_t(m_tree.position(node)));
}

template <class Key> QString OutlineEngine<Key>::identifierOf(const OutlineNode* node) const {
    return m_arrays.identifiers.at(size_t(m_tree.position(node)));
}

template <class Key>
void OutlineEngine<Key>::setIdentifier(const OutlineNode* node, const QString& id) {
    m_arrays.identifiers.at(size_t(m_tree.position(node))) = id;
}

template <class Key> DbProcedure& OutlineEngine<Key>::proc(const QString& component) {
    DbProcedure& p = m_dm.storedProc(component);
    p.clearParams();
    for (auto it = m_d.extraParams.cbegin(); it != m_d.extraParams.cend(); ++it)
        p.setParam(it.key(), it.value());
    return p;
}

template <class Key> void OutlineEngine<Key>::run(DbProcedure& procedure) {
    ++m_statements;
    procedure.execute();
}

template <class Key> void OutlineEngine<Key>::setNpp(int position, int npp) {
    DbProcedure& p = proc(m_d.spUpdateNpp);
    p.setParam(m_d.keyParam, QVariant::fromValue(m_arrays.keys[size_t(position)]));
    p.setParam(m_d.nppParam, npp);
    run(p);
}

template <class Key> void OutlineEngine<Key>::setLevel(int position, int level) {
    DbProcedure& p = proc(m_d.spUpdateLev);
    p.setParam(m_d.keyParam, QVariant::fromValue(m_arrays.keys[size_t(position)]));
    p.setParam(m_d.levelParam, level);
    run(p);
}

template <class Key> void OutlineEngine<Key>::setNppLevel(int position, int npp, int level) {
    DbProcedure& p = proc(m_d.spUpdateNppLev);
    p.setParam(m_d.keyParam, QVariant::fromValue(m_arrays.keys[size_t(position)]));
    p.setParam(m_d.nppLevNppParam, npp);
    p.setParam(m_d.nppLevLevelParam, level);
    run(p);
}

template <class Key> void OutlineEngine<Key>::renumber() {
    DbProcedure& p = proc(m_d.spRenum);
    p.setParam(QStringLiteral("INTERVAL"), m_state.nppStep);
    run(p);
    m_arrays.renumber(m_state.nppStep);
}

// Appending past the last row must not run positions beyond the integer
// range; when it would, the catalogue is renumbered first.
template <class Key> int OutlineEngine<Key>::nppAfterLast(int rowsToAppend) {
    const auto end = [&] {
        return qint64(m_arrays.positions.back()) + qint64(rowsToAppend) * m_state.nppStep;
    };
    if (end() > INT_MAX)
        renumber();
    return m_arrays.positions.back() + m_state.nppStep;
}

template <class Key> Key OutlineEngine<Key>::insertRow(int npp, int level) {
    DbProcedure& p = proc(m_d.spInsert);
    Key key{};
    if (!m_d.newKeyQuery.isEmpty()) {
        DbStatement& max = m_dm.query(m_d.newKeyQuery);
        for (auto it = m_d.extraParams.cbegin(); it != m_d.extraParams.cend(); ++it)
            max.setParam(it.key(), it.value());
        max.open();
        ++m_statements;
        const QVariant top = max.isEmpty() ? QVariant() : max.value(0);
        max.close();
        key = top.isNull() ? Key(1) : qvariant_cast<Key>(top) + Key(1);
        p.setParam(QStringLiteral("KODFOLDER"), QVariant::fromValue(key));
    }
    p.setParam(QStringLiteral("NPP"), npp);
    // Empty texts, not NULL: other code compares names and identifiers as texts.
    const QString empty = QStringLiteral("");
    p.setParam(QStringLiteral("NAMEFOLDER"), empty);
    p.setParam(QStringLiteral("NLEVEL"), level);
    if (m_d.hasIdentifiers) {
        p.setParam(QStringLiteral("NAMEID"), empty);
        p.setParam(QStringLiteral("KODSPIS"), 0);
        p.setParam(QStringLiteral("NGOD"), 0);
        p.setParam(QStringLiteral("NMES"), 0);
    }
    run(p);
    if (!m_d.insertKeyOutput.isEmpty())
        key = qvariant_cast<Key>(p.output(m_d.insertKeyOutput));
    return key;
}

template <class Key>
void OutlineEngine<Key>::reportFailure(OutlineOp op, const QString& server, bool rights,
                                       bool withServer) {
    const OutlineMessages& m = m_d.messages.at(op);
    const QString text = rights ? m.rights : m.other;
    m_prompter.error(withServer ? WithServerText(text, server) : text);
}

template <class Key>
template <class Work>
bool OutlineEngine<Key>::commitChange(OutlineOp op, Work&& work) {
    try {
        connection().startTransaction();
        work();
        m_flags.FlagChangeForOthers(m_d.spOne);
        if (m_dm.dbTab.inTransaction())
            m_dm.dbTab.commit();
        if (m_dm.dbMain.inTransaction())
            m_dm.dbMain.commit();
        // Every change leaves the dataset to be read again when next needed.
        closeDataset();
        return true;
    } catch (const DbError& e) {
        RollbackQuietly(m_dm.dbMain);
        RollbackQuietly(m_dm.dbTab);
        reportFailure(op, e.message(), IsRightsError(e.message(), e.sqlCode()),
                      m_d.serverTextInMessages);
    } catch (const std::exception& e) {
        RollbackQuietly(m_dm.dbMain);
        RollbackQuietly(m_dm.dbTab);
        reportFailure(op, QString::fromUtf8(e.what()), false, true);
    } catch (...) {
        RollbackQuietly(m_dm.dbMain);
        RollbackQuietly(m_dm.dbTab);
        reportFailure(op, {}, false, false);
    }
    if (op != OutlineOp::Delete) {
        closeDataset();
        try {
            BuildOutline();
        } catch (const DbError& e) {
            m_prompter.error(e.message());
        }
    }
    return false;
}

template <class Key> bool OutlineEngine<Key>::AddOutlineNode() {
    const int step = m_state.nppStep;
    OutlineNode* node = nullptr;
    if (m_tree.isEmpty()) {
        Key key{};
        if (!commitChange(OutlineOp::Add, [&] { key = insertRow(step, 1); }))
            return false;
        node = m_tree.append(nullptr, QString());
        m_arrays.append(key, step);
    } else {
        OutlineNode* x = m_tree.current() ? m_tree.current() : m_tree.topLevel(0);
        OutlineNode* next = x->nextSibling();
        int at = 0;
        int npp = 0;
        Key key{};
        const bool ok = commitChange(OutlineOp::Add, [&] {
            if (next) {
                at = m_tree.position(next);
                npp = AllocateNpp(at);
            } else {
                const int end = SubtreeEnd(m_tree.position(x));
                at = end + 1;
                npp = end == m_arrays.size() - 1 ? nppAfterLast() : AllocateNpp(at);
            }
            key = insertRow(npp, x->level() + 1);
        });
        if (!ok)
            return false;
        node = next ? m_tree.insertBefore(next, QString())
                    : m_tree.append(m_tree.parentOf(x), QString());
        m_arrays.insert(at, key, npp);
    }
    m_tree.setIcon(node, IconLeaf);
    UpdateMoveButtons(node);
    m_tree.setCurrent(node);
    OutlineCommandState commands = m_commands;
    commands.remove = true;
    setCommands(commands);
    m_tree.requestEdit(node);
    return true;
}

template <class Key> bool OutlineEngine<Key>::RenameNode(OutlineNode* node, const QString& typed) {
    if (!node)
        return false;
    DbConnection& c = connection();
    try {
        QString name = typed.trimmed();
        const int width = DeclaredColumnWidth(c, m_d.table, QStringLiteral("NAMEFOLDER"));
        if (width > 0)
            name.truncate(width);
        DbProcedure& p = proc(m_d.spRename);
        p.setParam(m_d.keyParam, QVariant::fromValue(keyOf(node)));
        p.setParam(QStringLiteral("NAME_FOLDER"), name);
        p.setParam(QStringLiteral("NAME_ID"), identifierOf(node));
        bool gone = false;
        RunInTransaction(c, [&] {
            run(p);
            gone = !nodeStored(node);
        });
        if (gone) {
            m_tree.setText(node, node->text());
            m_prompter.info(m_d.deletedMessage);
            return false;
        }
        m_tree.setText(node, name);
        closeDataset();
        return true;
    } catch (const DbError& e) {
        RollbackQuietly(c);
        m_tree.setText(node, node->text());
        m_prompter.error(IsRightsError(e.message(), e.sqlCode())
                             ? QStringLiteral("Пользователю ") + c.userName() +
                                   QStringLiteral(" корректировка запрещена")
                             : QStringLiteral("Ошибка при корректировке наименования"));
        return false;
    }
}

template <class Key> bool OutlineEngine<Key>::nodeStored(OutlineNode* node) {
    if (m_d.existsSql.isEmpty())
        return true;
    DbStatement& st = connection().statement(QStringLiteral("quNodeStored"));
    st.setSql(m_d.existsSql);
    st.clearParams();
    st.setParam(QStringLiteral("p_KodFolder"), QVariant::fromValue(keyOf(node)));
    ++m_statements;
    st.open();
    const bool stored = !st.eof() && st.value(0).toInt() > 0;
    st.close();
    return stored;
}

template <class Key> bool OutlineEngine<Key>::DeleteOutlineSubtree() {
    OutlineNode* x = m_tree.current();
    if (!x)
        return false;
    OutlineNode* parent = m_tree.parentOf(x);
    const int first = m_tree.position(x);
    const int last = first + x->descendantCount();
    const bool ok = commitChange(OutlineOp::Delete, [&] {
        // Deepest-last rows first, the folder itself last.
        for (int p = last; p >= first; --p) {
            for (int s = 0; s < m_d.deleteFirst.size(); ++s) {
                DbStatement& st = connection().statement(QStringLiteral("quDeleteFirst%1").arg(s));
                st.setSql(m_d.deleteFirst[s]);
                st.clearParams();
                st.setParam(QStringLiteral("p_KodFolder"),
                            QVariant::fromValue(m_arrays.keys[size_t(p)]));
                ++m_statements;
                st.execute();
            }
            DbProcedure& del = proc(m_d.spDelete);
            del.setParam(m_d.keyParam, QVariant::fromValue(m_arrays.keys[size_t(p)]));
            run(del);
        }
        for (const QString& one : m_d.spOneOnDelete)
            m_flags.FlagChangeForOthers(one);
    });
    if (!ok)
        return false;
    closeDataset();
    const bool wasLast = last == m_arrays.size() - 1;
    m_arrays.remove(first, last);
    m_tree.remove(x);
    if (parent && !parent->hasChildren()) {
        m_tree.setExpanded(parent, false);
        m_tree.setIcon(parent, IconLeaf);
    }
    if (m_tree.isEmpty()) {
        m_tree.setCurrent(nullptr);
        setCommands(OutlineCommandState{});
        return true;
    }
    OutlineNode* next = wasLast ? m_tree.lastNode() : m_tree.at(first);
    if (m_tree.parentOf(next))
        OpenAncestors(next);
    selectNode(next);
    return true;
}

template <class Key> int OutlineEngine<Key>::SubtreeEnd(int position) const {
    const OutlineNode* node = m_tree.at(position);
    return node ? position + node->descendantCount() : position;
}

template <class Key> void OutlineEngine<Key>::UpdateMoveButtons(OutlineNode* node) {
    OutlineCommandState commands = m_commands;
    const bool hasPrev = node && node->prevSibling();
    commands.moveUp = hasPrev;
    commands.moveDown = node && node->nextSibling();
    commands.levelUp = node && m_tree.parentOf(node);
    commands.levelDown = hasPrev;
    setCommands(commands);
}

template <class Key> void OutlineEngine<Key>::RefreshFolderIcons(OutlineNode* node) {
    if (!node->hasChildren()) {
        m_tree.setIcon(node, IconLeaf);
        return;
    }
    if (!node->expanded()) {
        for (OutlineNode* n : m_tree.subtree(node))
            if (n->hasChildren()) {
                m_tree.setExpanded(n, false);
                m_tree.setIcon(n, IconClosed);
            }
        return;
    }
    m_tree.setIcon(node, IconOpen);
    for (int i = 0; i < node->childCount(); ++i) {
        OutlineNode* c = node->child(i);
        if (c->hasChildren()) {
            m_tree.setExpanded(c, false);
            m_tree.setIcon(c, IconClosed);
        } else {
            m_tree.setIcon(c, IconLeaf);
        }
    }
}

template <class Key> void OutlineEngine<Key>::OpenAncestors(OutlineNode* node) {
    for (OutlineNode* p = m_tree.parentOf(node); p; p = m_tree.parentOf(p)) {
        m_tree.setExpanded(p, true);
        m_tree.setIcon(p, IconOpen);
    }
}

#include "OutlineMoves.inl"

template class OutlineEngine<int>;
template class OutlineEngine<double>;
