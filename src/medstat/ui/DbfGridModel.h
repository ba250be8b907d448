#pragma once

#include <QAbstractTableModel>

#include <vector>

class DbfTable;
class Prompter;

// The live records of an open dBase table as an editable grid; each edit is posted to
// the table at once, a value the field cannot hold is refused with a message.
class DbfGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    DbfGridModel(DbfTable& table, Prompter& prompter, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

private:
    DbfTable& m_table;
    Prompter& m_prompter;
    std::vector<qint64> m_records; // physical numbers of the live records
};
