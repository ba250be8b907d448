#include "DbStatement.h"

#include "CodePages.h"
#include "DbConnection.h"
#include "DbError.h"

#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

void CheckWin1251(const QVariant& value) {
    if (value.typeId() != QMetaType::QString)
        return;
    const QString text = value.toString();
    if (CanEncode(CodePage::Win1251, text))
        return;
    QString bad;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char32_t c = text[i].isHighSurrogate() && i + 1 < text.size()
                               ? QChar::surrogateToUcs4(text[i], text[i + 1])
                               : char32_t(text[i].unicode());
        const QString one = QString::fromUcs4(&c, 1);
        if (c > 0xFFFF)
            ++i;
        if (!CanEncode(CodePage::Win1251, one) && !bad.contains(one))
            bad += one;
    }
    throw DbError(QStringLiteral("Текст \"%1\" содержит символы, которых нет в кодировке "
                                 "Windows-1251: %2")
                      .arg(text.left(60), bad));
}

DbStatement::DbStatement(DbConnection& connection, QString componentName)
    : m_connection(connection), m_name(std::move(componentName)) {}

DbStatement::~DbStatement() = default;

void DbStatement::setSql(const QStringList& lines) {
    if (lines == m_lines)
        return;
    close();
    m_lines = lines;
    m_dirty = true;
}

void DbStatement::appendSql(const QString& line) {
    close();
    m_lines.append(line);
    m_dirty = true;
}

void DbStatement::setParam(const QString& name, const QVariant& value) {
    CheckWin1251(value);
    m_params.insert(name.toUpper(), value);
}

void DbStatement::prepare() {
    if (!m_connection.connected())
        throw DbError(QStringLiteral("Нет соединения с БД ") + m_connection.database());
    if (!m_dirty && m_query && m_preparedGeneration == m_connection.generation() &&
        m_preparedTransaction == m_connection.transactionSerial())
        return;
    m_query = std::make_unique<QSqlQuery>(m_connection.sqlDatabase());
    m_query->setForwardOnly(true);
    if (!m_query->prepare(text())) {
        const QSqlError err = m_query->lastError();
        m_query.reset();
        throw DbError(ServerText(err), ServerCode(err));
    }
    m_preparedGeneration = m_connection.generation();
    m_preparedTransaction = m_connection.transactionSerial();
    m_dirty = false;
}

QStringList PlaceholderNames(const QString& sql) {
    QStringList names;
    const qsizetype n = sql.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = sql[i];
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            const qsizetype end = sql.indexOf(c, i + 1);
            i = end < 0 ? n : end;
        } else if (c == QLatin1Char('-') && i + 1 < n && sql[i + 1] == QLatin1Char('-')) {
            const qsizetype end = sql.indexOf(QLatin1Char('\n'), i);
            i = end < 0 ? n : end;
        } else if (c == QLatin1Char('/') && i + 1 < n && sql[i + 1] == QLatin1Char('*')) {
            const qsizetype end = sql.indexOf(QLatin1String("*/"), i + 2);
            i = end < 0 ? n : end + 1;
        } else if (c == QLatin1Char(':') && i + 1 < n &&
                   (sql[i + 1].isLetter() || sql[i + 1] == QLatin1Char('_'))) {
            qsizetype j = i + 1;
            while (j < n && (sql[j].isLetterOrNumber() || sql[j] == QLatin1Char('_')))
                ++j;
            const QString name = sql.mid(i, j - i);
            if (!names.contains(name))
                names << name;
            i = j - 1;
        }
    }
    return names;
}

void DbStatement::bindAll() {
    // Qt turns ":NAME" into positions itself; names match without regard to case.
    for (const QString& placeholder : PlaceholderNames(text()))
        m_query->bindValue(placeholder, m_params.value(placeholder.mid(1).toUpper()));
}

void DbStatement::open() {
    close();
    prepare();
    bindAll();
    if (!m_query->exec()) {
        const QSqlError err = m_query->lastError();
        m_query->finish();
        dropOwnTransaction();
        throw DbError(ServerText(err), ServerCode(err));
    }
    const QSqlRecord rec = m_query->record();
    m_fields.clear();
    for (int i = 0; i < rec.count(); ++i)
        m_fields << rec.fieldName(i);
    while (m_query->next()) {
        QVariantList row;
        row.reserve(rec.count());
        for (int i = 0; i < rec.count(); ++i)
            row << m_query->value(i);
        m_rows.push_back(std::move(row));
    }
    const QSqlError err = m_query->lastError();
    m_query->finish();
    dropOwnTransaction();
    if (err.isValid() && err.type() != QSqlError::NoError) {
        m_rows.clear();
        throw DbError(ServerText(err), ServerCode(err));
    }
    m_open = true;
    m_pos = 0;
}

void DbStatement::execute() {
    close();
    prepare();
    bindAll();
    const bool ok = m_query->exec();
    const QSqlError err = m_query->lastError();
    static const QRegularExpression dml(QStringLiteral("^\\s*(INSERT|UPDATE|DELETE)\\b"),
                                        QRegularExpression::CaseInsensitiveOption);
    m_rowsAffected = ok && dml.match(text()).hasMatch() ? m_query->numRowsAffected() : 0;
    m_query->finish();
    dropOwnTransaction();
    if (!ok)
        throw DbError(ServerText(err), ServerCode(err));
}

void DbStatement::close() {
    m_open = false;
    m_rows.clear();
    m_fields.clear();
    m_pos = 0;
}

bool DbStatement::seek(int row) {
    if (row < 0 || row >= rowCount())
        return false;
    m_pos = row;
    return true;
}

int DbStatement::fieldIndex(const QString& field) const {
    for (int i = 0; i < m_fields.size(); ++i)
        if (m_fields[i].compare(field, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QVariant DbStatement::value(const QString& field) const {
    const int i = fieldIndex(field);
    if (i < 0)
        throw DbError(QStringLiteral("Поле %1 не найдено").arg(field));
    return value(i);
}

QVariant DbStatement::value(int column) const {
    if (eof() || column < 0 || column >= m_fields.size())
        return {};
    return m_rows[size_t(m_pos)][column];
}

bool DbStatement::locate(const QString& field, const QVariant& value) {
    const int col = fieldIndex(field);
    if (col < 0)
        return false;
    for (size_t r = 0; r < m_rows.size(); ++r) {
        const QVariant& v = m_rows[r][col];
        const bool equal = (v.canConvert<double>() && value.canConvert<double>() && !v.isNull() &&
                            v.typeId() != QMetaType::QString)
                               ? v.toDouble() == value.toDouble()
                               : v == value;
        if (equal) {
            m_pos = int(r);
            return true;
        }
    }
    return false;
}

void DbStatement::dropOwnTransaction() {
    // Outside an explicit transaction the driver gives the statement a transaction
    // of its own and keeps it (and its snapshot) until the statement is freed.
    if (!m_connection.inTransaction())
        m_query.reset();
}

void DbStatement::release() {
    close();
    m_query.reset();
    m_preparedGeneration = -1;
}
