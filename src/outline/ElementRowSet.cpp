#include "ElementRowSet.h"

#include "DbConnection.h"
#include "DbStatement.h"
#include "DbTransaction.h"

ElementRowSet::ElementRowSet(DbStatement& query, QObject* parent)
    : QAbstractTableModel(parent), m_query(query) {}

void ElementRowSet::setParam(const QString& name, const QVariant& value) {
    m_params.insert(name, value);
}

void ElementRowSet::open() {
    for (auto it = m_params.cbegin(); it != m_params.cend(); ++it)
        m_query.setParam(it.key(), it.value());
    m_query.close();
    m_query.open();
    beginResetModel();
    m_editing = false;
    m_fields = m_query.fieldNames();
    m_rows.clear();
    m_rows.reserve(size_t(m_query.rowCount()));
    for (m_query.first(); !m_query.eof(); m_query.next()) {
        Row row;
        for (int c = 0; c < m_fields.size(); ++c)
            row << m_query.value(c);
        m_rows.push_back(std::move(row));
    }
    m_query.close();
    m_open = true;
    m_current = m_rows.empty() ? -1 : 0;
    endResetModel();
    emit currentRowChanged(m_current);
}

void ElementRowSet::close() {
    beginResetModel();
    m_open = false;
    m_editing = false;
    m_rows.clear();
    m_current = -1;
    endResetModel();
    emit currentRowChanged(m_current);
}

void ElementRowSet::setColumns(const QList<Column>& columns) {
    beginResetModel();
    m_columns = columns;
    endResetModel();
}

void ElementRowSet::setCurrentRow(int row) {
    moveTo(row);
}

bool ElementRowSet::moveTo(int row) {
    if (row < 0 || row >= count())
        return false;
    if (row != m_current) {
        cancel();
        m_current = row;
        emit currentRowChanged(row);
    }
    return true;
}

void ElementRowSet::setFieldLength(const QString& field, int length) {
    m_lengths.insert(field.toUpper(), length);
}

int ElementRowSet::fieldLength(const QString& field) const {
    return m_lengths.value(field.toUpper(), 0);
}

int ElementRowSet::columnLength(int column) const {
    return column >= 0 && column < m_columns.size() ? fieldLength(m_columns[column].field) : 0;
}

int ElementRowSet::fieldIndex(const QString& field) const {
    for (int i = 0; i < m_fields.size(); ++i)
        if (m_fields[i].compare(field, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QVariant ElementRowSet::value(int row, const QString& field) const {
    const int c = fieldIndex(field);
    if (row < 0 || row >= count() || c < 0)
        return {};
    if (m_editing && row == m_current)
        return m_editRow[c];
    return m_rows[size_t(row)][c];
}

bool ElementRowSet::locate(const QString& field, const QVariant& value) {
    const int c = fieldIndex(field);
    if (c < 0 || value.isNull())
        return false;
    for (int r = 0; r < count(); ++r) {
        const QVariant& v = m_rows[size_t(r)][c];
        const bool numeric =
            v.typeId() != QMetaType::QString && value.typeId() != QMetaType::QString;
        if (numeric ? v.toDouble() == value.toDouble() : v.toString() == value.toString())
            return moveTo(r);
    }
    return false;
}

void ElementRowSet::edit(const QString& field, const QVariant& value) {
    const int c = fieldIndex(field);
    if (c < 0 || m_current < 0)
        return;
    if (!m_editing) {
        m_editRow = m_rows[size_t(m_current)];
        m_changed.clear();
        m_editing = true;
    }
    m_editRow[c] = value;
    if (!m_changed.contains(m_fields[c]))
        m_changed << m_fields[c];
}

void ElementRowSet::post() {
    if (!m_editing)
        return;
    if (m_applier && !m_changed.isEmpty())
        m_applier(*this, m_rows[size_t(m_current)], m_editRow, m_changed);
    m_rows[size_t(m_current)] = m_editRow;
    m_editing = false;
    emit dataChanged(index(m_current, 0), index(m_current, columnCount() - 1));
}

void ElementRowSet::cancel() {
    if (!m_editing)
        return;
    m_editing = false;
    emit dataChanged(index(m_current, 0), index(m_current, columnCount() - 1));
}

int ElementRowSet::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : count();
}

int ElementRowSet::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant ElementRowSet::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.column() >= m_columns.size())
        return {};
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    const QVariant v = value(index.row(), m_columns[index.column()].field);
    return v.isNull() ? QVariant(QString()) : v;
}

QVariant ElementRowSet::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < m_columns.size())
        return m_columns[section].title;
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags ElementRowSet::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (index.isValid() && !m_readOnly && index.column() < m_columns.size() &&
        !m_columns[index.column()].readOnly)
        f |= Qt::ItemIsEditable;
    return f;
}

bool ElementRowSet::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole || m_readOnly ||
        index.column() >= m_columns.size() || m_columns[index.column()].readOnly)
        return false;
    moveTo(index.row());
    edit(m_columns[index.column()].field, value);
    try {
        post();
        return true;
    } catch (const std::exception& e) {
        cancel();
        if (m_onFailure)
            m_onFailure(e);
        emit editRefused(index, value);
        return false;
    }
}

ElementRowSet::Applier KeyedUpdateApplier(DbConnection& connection, const QString& table,
                                          const QString& keyField) {
    return [&connection, table,
            keyField](const ElementRowSet& set, const ElementRowSet::Row& stored,
                      const ElementRowSet::Row& edited, const QStringList& changed) {
        // Only our own field names reach the text; values are bound.
        QStringList assignments;
        for (int i = 0; i < changed.size(); ++i)
            assignments << QStringLiteral("%1 = :V%2").arg(changed[i]).arg(i);
        DbStatement& st = connection.statement(QStringLiteral("apply_") + table);
        st.setSql(QStringLiteral("UPDATE %1 SET %2 WHERE %3 = :OLD_KEY")
                      .arg(table, assignments.join(QStringLiteral(", ")), keyField));
        st.clearParams();
        for (int i = 0; i < changed.size(); ++i)
            st.setParam(QStringLiteral("V%1").arg(i), edited[set.fieldIndex(changed[i])]);
        st.setParam(QStringLiteral("OLD_KEY"), stored[set.fieldIndex(keyField)]);
        RunInTransaction(connection, [&] { st.execute(); });
    };
}
