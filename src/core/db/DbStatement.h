#pragma once

#include <QStringList>
#include <QVariant>

#include <memory>
#include <vector>

class DbConnection;
class QSqlQuery;

// A named statement of a connection (a query component of the data module).
// Its text is kept line by line and prepared again only when a line changes.
// Parameters are bound by name (":NAME"). A SELECT is read whole when opened
// and its server query finished at once, so it never holds a transaction open.
class DbStatement {
public:
    DbStatement(DbConnection& connection, QString componentName);
    ~DbStatement();

    const QString& name() const { return m_name; }
    DbConnection& connection() { return m_connection; }

    // Replaces only the lines whose text changed.
    void setSql(const QStringList& lines);
    void setSql(const QString& text) { setSql(QStringList{text}); }
    void clearSql() { setSql(QStringList{}); }
    void appendSql(const QString& line);
    const QStringList& sql() const { return m_lines; }
    QString text() const { return m_lines.join(QLatin1Char('\n')); }

    void setParam(const QString& name, const QVariant& value);
    void clearParams() { m_params.clear(); }

    // Runs a SELECT and reads all its rows; positions on the first row.
    void open();
    // Runs a statement that returns no rows.
    void execute();
    void close();
    bool isOpen() const { return m_open; }
    int rowsAffected() const { return m_rowsAffected; }

    // Rows of the last open.
    int rowCount() const { return int(m_rows.size()); }
    bool eof() const { return m_pos >= int(m_rows.size()); }
    bool isEmpty() const { return m_rows.empty(); }
    void first() { m_pos = 0; }
    void next() { ++m_pos; }
    bool seek(int row);
    const QStringList& fieldNames() const { return m_fields; }
    int fieldIndex(const QString& field) const; // -1 when absent
    // The current row's value; field names compare without regard to case.
    QVariant value(const QString& field) const;
    QVariant value(int column) const;
    // Locates the first row whose field equals the value; false leaves the position.
    bool locate(const QString& field, const QVariant& value);

    // Forgets the prepared server statement (the connection was closed).
    void release();

private:
    void prepare();
    void bindAll();
    void dropOwnTransaction();

    DbConnection& m_connection;
    QString m_name;
    QStringList m_lines;
    QVariantMap m_params;
    std::unique_ptr<QSqlQuery> m_query;
    int m_preparedGeneration = -1;
    int m_preparedTransaction = -1;
    bool m_dirty = true;
    bool m_open = false;
    int m_rowsAffected = 0;
    QStringList m_fields;
    std::vector<QVariantList> m_rows;
    int m_pos = 0;
};

// The ":NAME" placeholders of a statement text, outside quotes and comments.
QStringList PlaceholderNames(const QString& sql);

// A text parameter must fit Windows-1251, the character set of every column.
// Throws DbError naming the characters that do not.
void CheckWin1251(const QVariant& value);
