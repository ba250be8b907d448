#pragma once

#include <QAbstractTableModel>
#include <QHash>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <vector>

class DbStatement;

// An editable cache of a query's rows with a current row, shown by a grid.
// Opening re-reads the query; edits stay in the cache until posted, and a
// post hands the row to the applier, which writes it to the database.
class ElementRowSet : public QAbstractTableModel {
    Q_OBJECT
public:
    using Row = QVariantList;
    // Writes one posted row; throws on failure (the row then keeps its stored values).
    using Applier = std::function<void(const ElementRowSet& set, const Row& stored,
                                       const Row& edited, const QStringList& changedFields)>;
    using FailureHandler = std::function<void(const std::exception& error)>;

    struct Column {
        QString field;
        QString title;
        int width = 64;
        bool readOnly = false; // shown, never typed into
    };

    explicit ElementRowSet(DbStatement& query, QObject* parent = nullptr);

    DbStatement& query() { return m_query; }
    void setParam(const QString& name, const QVariant& value);
    void open(); // throws DbError; the cursor goes to the first row
    void close();
    bool isOpen() const { return m_open; }

    // The grid's columns (the rest of the fields stay hidden).
    void setColumns(const QList<Column>& columns);
    const QList<Column>& columns() const { return m_columns; }
    void setReadOnly(bool readOnly) { m_readOnly = readOnly; }
    // Characters a field takes (its column's width); 0: no limit known.
    void setFieldLength(const QString& field, int length);
    int fieldLength(const QString& field) const;
    int columnLength(int column) const;
    bool readOnly() const { return m_readOnly; }

    int count() const { return int(m_rows.size()); }
    bool isEmpty() const { return m_rows.empty(); }
    int currentRow() const { return m_current; }
    void setCurrentRow(int row);
    bool first() { return moveTo(0); }
    bool last() { return moveTo(count() - 1); }
    bool next() { return moveTo(m_current + 1); }
    bool prior() { return moveTo(m_current - 1); }
    bool isLast() const { return m_current == count() - 1; }

    int fieldIndex(const QString& field) const;
    const QStringList& fieldNames() const { return m_fields; }
    QVariant value(const QString& field) const { return value(m_current, field); }
    QVariant value(int row, const QString& field) const;
    // Finds the first row whose field equals the value and makes it current.
    bool locate(const QString& field, const QVariant& value);

    // Editing the current row: values are kept until post or cancel.
    void edit(const QString& field, const QVariant& value);
    bool editing() const { return m_editing; }
    void post(); // throws what the applier throws
    void cancel();
    void setApplier(Applier applier) { m_applier = std::move(applier); }
    void setFailureHandler(FailureHandler handler) { m_onFailure = std::move(handler); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // A grid edit: edit and post at once; a failure cancels the edit.
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

signals:
    void currentRowChanged(int row);
    // A grid edit the database refused (the user has been told): what was typed,
    // so that the grid can offer it again for correction.
    void editRefused(const QModelIndex& index, const QVariant& typed);

private:
    bool moveTo(int row);

    DbStatement& m_query;
    QVariantMap m_params;
    bool m_open = false;
    bool m_readOnly = false;
    QStringList m_fields;
    std::vector<Row> m_rows;
    QList<Column> m_columns;
    QHash<QString, int> m_lengths; // by upper-case field name
    int m_current = -1;
    bool m_editing = false;
    Row m_editRow;
    QStringList m_changed;
    Applier m_applier;
    FailureHandler m_onFailure;
};

class DbConnection;
// An applier that updates the changed columns of table in the row whose key
// field had the stored value, in its own transaction.
ElementRowSet::Applier KeyedUpdateApplier(DbConnection& connection, const QString& table,
                                          const QString& keyField);
