#include "ElementOperations.h"

#include "ColumnWidth.h"
#include "DbError.h"
#include "DbStatement.h"
#include "DbTransaction.h"
#include "ElementRowSet.h"
#include "Prompter.h"
#include "ServerErrors.h"
#include "TdmMSSQL.h"

#include <climits>
#include <stdexcept>

namespace {

struct FolderDeleted : std::runtime_error {
    FolderDeleted() : std::runtime_error("folder deleted") {}
};

} // namespace

ElementOperations::ElementOperations(TdmMSSQL& dm, ElementDescriptor descriptor,
                                     ElementRowSet& rows, Prompter& prompter, OutlineState& state)
    : m_dm(dm), m_d(std::move(descriptor)), m_rows(rows), m_prompter(prompter), m_state(state),
      m_flags(dm, prompter) {}

DbConnection& ElementOperations::connection() {
    return m_dm.connection(m_d.tag);
}

DbProcedure& ElementOperations::proc(const QString& component) {
    DbProcedure& p = m_dm.storedProc(component);
    p.clearParams();
    return p;
}

int ElementOperations::npp(int row) const {
    return m_rows.value(row, QStringLiteral("NPP")).toInt();
}

QVariant ElementOperations::key(int row) const {
    return m_rows.value(row, m_d.keyField);
}

void ElementOperations::updateCommands() {
    ElementCommandState c;
    c.gridEnabled = m_rows.isOpen() && !m_rows.isEmpty();
    c.remove = c.gridEnabled;
    if (c == m_commands)
        return;
    m_commands = c;
    if (m_listener)
        m_listener();
}

void ElementOperations::openFolder(int folderKey) {
    // The grid limits typing to the columns' widths, read once.
    if (m_rows.fieldLength(QStringLiteral("NAMEFOLDER")) == 0) {
        QStringList fields{QStringLiteral("NAMEFOLDER"), QStringLiteral("KODALT")};
        if (m_d.indicators)
            fields << QStringLiteral("EIZ");
        for (const QString& field : fields)
            m_rows.setFieldLength(field, DeclaredColumnWidth(connection(), m_d.table, field));
    }
    m_folder = folderKey;
    m_rows.setParam(QStringLiteral("KODFOLDER"), folderKey);
    m_rows.open();
    ++m_statements;
    updateCommands();
}

int ElementOperations::CheckChange() {
    std::optional<QVariant> current;
    if (!m_rows.isEmpty())
        current = key(m_rows.currentRow());
    const int result = m_flags.CheckChangeFlag(QStringLiteral("KodElmt"), current, m_rows.query(),
                                               m_d.flagColumn, m_d.spZero);
    if (result == ChangeFlags::ChangedKeyFound || result == ChangeFlags::ChangedKeyLost) {
        try {
            reopenAt(current.value_or(QVariant()));
        } catch (const DbError& e) {
            m_prompter.error(e.message());
        }
        updateCommands();
    }
    return result;
}

void ElementOperations::setNpp(const QVariant& element, int value) {
    DbProcedure& p = proc(m_d.spUpdateNpp);
    p.setParam(QStringLiteral("KOD_ELMT"), element);
    p.setParam(QStringLiteral("NPP"), value);
    ++m_statements;
    p.execute();
}

void ElementOperations::renumberFolder() {
    DbProcedure& p = proc(m_d.spRenum);
    p.setParam(QStringLiteral("KOD_FOLDER"), m_folder);
    p.setParam(QStringLiteral("INTERVAL"), m_state.nppStep);
    ++m_statements;
    p.execute();
}

// Re-reads the rows (inside a running transaction it sees its own changes)
// and goes back to the element; the first row when it is gone.
void ElementOperations::reopenAt(const QVariant& element) {
    m_rows.open();
    ++m_statements;
    if (element.isValid())
        m_rows.locate(m_d.keyField, element);
}

void ElementOperations::lockFolder() {
    if (m_d.folderTable.isEmpty())
        return;
    DbStatement& st = connection().statement(QStringLiteral("quLockFolder"));
    // Only our own table name reaches the text.
    st.setSql(QStringLiteral("SELECT KODFOLDER FROM %1 WHERE KODFOLDER = :KOD_FOLDER WITH LOCK")
                  .arg(m_d.folderTable));
    st.setParam(QStringLiteral("KOD_FOLDER"), m_folder);
    st.open();
    ++m_statements;
    const bool gone = st.isEmpty();
    st.close();
    if (gone)
        throw FolderDeleted();
}

int ElementOperations::nppAfterLast() {
    const int last = npp(m_rows.count() - 1);
    if (qint64(last) + m_state.nppStep <= INT_MAX)
        return last + m_state.nppStep;
    renumberFolder();
    return (m_rows.count() + 1) * m_state.nppStep;
}

int ElementOperations::AllocateElementNpp() {
    const int step = m_state.nppStep;
    int r = m_rows.currentRow();
    const QVariant rKey = key(r);
    int q = npp(r);
    // A gap of one, or equal positions left by a damaged folder, leaves no room.
    if (r == 0) {
        if (q > 1)
            return q / 2;
        if (m_rows.count() == 1) {
            setNpp(rKey, 2 * step);
            reopenAt(rKey);
            return step;
        }
        if (npp(1) - q <= 1) {
            renumberFolder();
            reopenAt(rKey);
            return step / 2;
        }
        setNpp(rKey, q + (npp(1) - q) / 2);
        reopenAt(rKey);
        return npp(m_rows.currentRow()) / 2;
    }
    if (q - npp(r - 1) <= 1) {
        if (r == m_rows.count() - 1) {
            if (qint64(q) + step > INT_MAX)
                renumberFolder();
            else
                setNpp(rKey, q + step);
        } else if (q + (npp(r + 1) - q) / 2 - npp(r - 1) < 2) {
            renumberFolder();
        } else {
            setNpp(rKey, q + (npp(r + 1) - q) / 2);
        }
        reopenAt(rKey);
        r = m_rows.currentRow();
        q = npp(r);
    }
    return npp(r - 1) + (q - npp(r - 1)) / 2;
}

int ElementOperations::NppAfterCurrent() {
    if (m_rows.isEmpty())
        return m_state.nppStep;
    if (m_rows.isLast())
        return nppAfterLast();
    m_rows.next();
    return AllocateElementNpp();
}

template <class Work>
bool ElementOperations::commitChange(ElementOp op, const QVariant& returnTo, Work&& work) {
    const OutlineMessages& m = m_d.messages.at(op);
    try {
        connection().startTransaction();
        work();
        m_flags.FlagChangeForOthers(m_d.spOne);
        if (m_dm.dbTab.inTransaction())
            m_dm.dbTab.commit();
        if (m_dm.dbMain.inTransaction())
            m_dm.dbMain.commit();
        return true;
    } catch (const FolderDeleted&) {
        RollbackQuietly(m_dm.dbMain);
        RollbackQuietly(m_dm.dbTab);
        m_folderDeleted = true;
        m_prompter.info(m_d.folderDeleted);
    } catch (const DbError& e) {
        RollbackQuietly(m_dm.dbMain);
        RollbackQuietly(m_dm.dbTab);
        m_prompter.error(WithServerText(
            IsRightsError(e.message(), e.sqlCode()) ? m.rights : m.other, e.message()));
    } catch (const std::exception& e) {
        RollbackQuietly(m_dm.dbMain);
        RollbackQuietly(m_dm.dbTab);
        m_prompter.error(WithServerText(m.other, QString::fromUtf8(e.what())));
    } catch (...) {
        RollbackQuietly(m_dm.dbMain);
        RollbackQuietly(m_dm.dbTab);
        m_prompter.error(m.other);
    }
    try {
        reopenAt(returnTo);
    } catch (const DbError&) {
        m_rows.close();
    }
    updateCommands();
    return false;
}

bool ElementOperations::AddElement() {
    if (!m_rows.isOpen())
        return false;
    const QVariant current = m_rows.isEmpty() ? QVariant() : key(m_rows.currentRow());
    int value = 0;
    m_folderDeleted = false;
    const bool ok = commitChange(ElementOp::Add, current, [&] {
        lockFolder();
        value = NppAfterCurrent();
        DbProcedure& p = proc(m_d.spInsert);
        const QString empty = QStringLiteral("");
        p.setParam(QStringLiteral("NPP"), value);
        p.setParam(QStringLiteral("KODFOLDER"), m_folder);
        p.setParam(QStringLiteral("NAMEFOLDER"), empty);
        p.setParam(QStringLiteral("KODALT"), empty);
        if (m_d.indicators)
            p.setParam(QStringLiteral("EIZ"), empty);
        else
            p.setParam(QStringLiteral("KODSPIS"), 0);
        ++m_statements;
        p.execute();
        m_lastAdded = p.output(QStringLiteral("KOD_ELMT"));
    });
    if (!ok)
        return false;
    m_rows.open();
    ++m_statements;
    if (!current.isValid() || !m_rows.locate(m_d.keyField, current) || !m_rows.next())
        m_rows.locate(m_d.keyField, m_lastAdded);
    updateCommands();
    return true;
}

bool ElementOperations::DeleteElement() {
    if (m_rows.isEmpty() || m_rows.currentRow() < 0)
        return false;
    const int row = m_rows.currentRow();
    const QVariant element = key(row);
    const QVariant returnTo = !m_rows.isLast() ? key(row + 1) : row > 0 ? key(row - 1) : QVariant();
    const bool ok = commitChange(ElementOp::Delete, element, [&] {
        DbProcedure& p = proc(m_d.spDelete);
        p.setParam(QStringLiteral("KOD_ELMT"), element);
        ++m_statements;
        p.execute();
    });
    if (!ok)
        return false;
    reopenAt(returnTo);
    updateCommands();
    return true;
}

bool ElementOperations::MoveElementByDrag(int sourceRow, int targetRow) {
    const int current = m_rows.currentRow();
    if (m_rows.isEmpty() || current < 0 || (targetRow >= 0 && targetRow == sourceRow))
        return false;
    const int target = targetRow < 0 ? -1 : current + (targetRow - sourceRow);
    if (targetRow >= 0 && (target < 0 || target >= m_rows.count()))
        return false;
    const QVariant dragged = key(current);
    const bool ok = commitChange(ElementOp::Move, dragged, [&] {
        int value = 0;
        if (target < 0) {
            value = nppAfterLast();
        } else {
            m_rows.setCurrentRow(target);
            value = AllocateElementNpp();
        }
        setNpp(dragged, value);
    });
    if (!ok)
        return false;
    reopenAt(dragged);
    return true;
}
