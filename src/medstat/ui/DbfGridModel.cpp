#include "DbfGridModel.h"

#include "DbfError.h"
#include "DbfTable.h"
#include "Prompter.h"

DbfGridModel::DbfGridModel(DbfTable& table, Prompter& prompter, QObject* parent)
    : QAbstractTableModel(parent), m_table(table), m_prompter(prompter) {
    for (bool more = m_table.first(); more; more = m_table.next())
        m_records.push_back(m_table.physicalRecord());
}

int DbfGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_records.size());
}

int DbfGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_table.fieldCount();
}

QVariant DbfGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    auto& t = const_cast<DbfTable&>(m_table);
    t.goToPhysical(m_records[size_t(index.row())]);
    return t.text(index.column()).trimmed();
}

QVariant DbfGridModel::headerData(int section, Qt::Orientation o, int role) const {
    if (role != Qt::DisplayRole)
        return {};
    if (o == Qt::Horizontal)
        return m_table.field(section).name;
    return section + 1;
}

Qt::ItemFlags DbfGridModel::flags(const QModelIndex& index) const {
    return QAbstractTableModel::flags(index) | Qt::ItemIsEditable;
}

bool DbfGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    m_table.goToPhysical(m_records[size_t(index.row())]);
    try {
        QString text = value.toString().trimmed();
        if (m_table.field(index.column()).isNumeric())
            text.replace(u',', u'.');
        m_table.setValue(index.column(), text.isEmpty() ? QVariant() : QVariant(text));
        m_table.post();
    } catch (const DbfError& e) {
        m_table.cancel();
        m_prompter.error(e.message());
        return false;
    }
    emit dataChanged(index, index);
    return true;
}
