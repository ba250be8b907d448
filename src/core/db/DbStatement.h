#pragma once

#include <QStringList>
#include <QVariant>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

class DbConnection;
namespace fb {
class Prepared;
class Rows;
} // namespace fb

// A named statement of a connection (a query component of the data module).
// Its text is kept line by line; the server statement for a text comes from the
// connection's cache. Parameters are bound by name (":NAME"). A SELECT is read
// whole when opened and its cursor closed at once, so it never holds a
// transaction open; the rows stay in the server's form until a value is read.
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
    const QString& text() const { return m_text; }

    void setParam(const QString& name, const QVariant& value);
    void clearParams() {
        m_params.clear();
        m_positional.clear();
    }
    // The values of the statement's "?" marks in their order, for a statement run many
    // times over: no look-up by name.
    void setPositionalParams(std::vector<QVariant> values);

    // Runs a SELECT and reads all its rows; positions on the first row.
    void open();
    // The same keeping only the rows keep(row) accepts, as they come: keep reads the
    // row through rowValue. Memory holds the rows kept, however many the server sends.
    using RowFilter = std::function<bool(int row)>;
    void open(const RowFilter& keep);
    // A value of any row of the last open.
    QVariant rowValue(int row, int column) const;
    // Runs a statement that returns no rows.
    void execute();
    void close();
    bool isOpen() const { return m_open; }
    int rowsAffected() const { return m_rowsAffected; }

    // Rows of the last open.
    int rowCount() const;
    bool eof() const { return m_pos >= rowCount(); }
    bool isEmpty() const { return rowCount() == 0; }
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
    fb::Prepared& prepare();
    std::vector<const QVariant*> boundValues(const fb::Prepared& prepared) const;
    void runDdl();
    // What a lock timeout found busy, in the message's words.
    QString busyWhat() const;

    DbConnection& m_connection;
    QString m_name;
    QStringList m_lines;
    QString m_text;
    std::vector<std::pair<QString, QVariant>> m_params;
    std::vector<QVariant> m_positional;
    fb::Prepared* m_prepared = nullptr;
    int m_preparedEpoch = -1;
    bool m_open = false;
    int m_rowsAffected = 0;
    QStringList m_fields;
    std::unique_ptr<fb::Rows> m_rows;
    int m_pos = 0;
};

// The ":NAME" placeholders of a statement text, outside quotes and comments.
QStringList PlaceholderNames(const QString& sql);
// The text with every placeholder replaced by "?"; names gets the upper-case
// name of each mark in order.
QString PositionalSql(const QString& sql, QStringList* names);

// A text parameter must fit Windows-1251, the character set of every column.
// Throws DbError naming the characters that do not.
void CheckWin1251(const QVariant& value);
