#include "DbStatement.h"

#include "CodePages.h"
#include "DbConnection.h"
#include "DbError.h"
#include "FbClient.h"
#include "FbPrepared.h"
#include "FbRows.h"

#include <QRegularExpression>

namespace {

// Latin and Russian letters need no look-up in the code page.
bool plainlyWin1251(const QString& text) {
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u >= 0x80 && (u < 0x410 || u > 0x44F) && u != 0x401 && u != 0x451)
            return false;
    }
    return true;
}

} // namespace

void CheckWin1251(const QVariant& value) {
    if (value.typeId() != QMetaType::QString)
        return;
    const QString text = value.toString();
    if (plainlyWin1251(text) || CanEncode(CodePage::Win1251, text))
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

namespace {

// Calls found(start, end) for every ":NAME" outside quotes and comments.
template <class Found> void scanPlaceholders(const QString& sql, Found found) {
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
            found(i, j);
            i = j - 1;
        }
    }
}

} // namespace

QStringList PlaceholderNames(const QString& sql) {
    QStringList names;
    scanPlaceholders(sql, [&](qsizetype from, qsizetype to) {
        const QString name = sql.mid(from, to - from);
        if (!names.contains(name))
            names << name;
    });
    return names;
}

QString PositionalSql(const QString& sql, QStringList* names) {
    QString out;
    qsizetype copied = 0;
    scanPlaceholders(sql, [&](qsizetype from, qsizetype to) {
        out += QStringView(sql).mid(copied, from - copied);
        out += QLatin1Char('?');
        names->append(sql.mid(from + 1, to - from - 1).toUpper());
        copied = to;
    });
    if (copied == 0)
        return sql;
    out += QStringView(sql).mid(copied);
    return out;
}

DbStatement::DbStatement(DbConnection& connection, QString componentName)
    : m_connection(connection), m_name(std::move(componentName)),
      m_rows(std::make_unique<fb::Rows>()) {}

DbStatement::~DbStatement() = default;

void DbStatement::setSql(const QStringList& lines) {
    if (lines == m_lines)
        return;
    close();
    m_lines = lines;
    m_text = m_lines.join(QLatin1Char('\n'));
    m_prepared = nullptr;
}

void DbStatement::appendSql(const QString& line) {
    close();
    m_lines.append(line);
    m_text = m_lines.join(QLatin1Char('\n'));
    m_prepared = nullptr;
}

void DbStatement::setParam(const QString& name, const QVariant& value) {
    CheckWin1251(value);
    for (auto& [key, v] : m_params)
        if (key.compare(name, Qt::CaseInsensitive) == 0) {
            v = value;
            return;
        }
    m_params.emplace_back(name, value);
}

void DbStatement::setPositionalParams(std::vector<QVariant> values) {
    for (const QVariant& v : values)
        CheckWin1251(v);
    m_positional = std::move(values);
}

fb::Prepared& DbStatement::prepare() {
    if (!m_connection.connected())
        throw DbError(QStringLiteral("Нет соединения с БД ") + m_connection.database());
    if (!m_prepared || m_preparedEpoch != m_connection.cacheEpoch()) {
        m_prepared = nullptr;
        fb::Prepared& p = m_connection.prepared(m_text);
        m_prepared = &p;
        m_preparedEpoch = m_connection.cacheEpoch();
    }
    return *m_prepared;
}

std::vector<const QVariant*> DbStatement::boundValues(const fb::Prepared& prepared) const {
    std::vector<const QVariant*> values;
    if (!m_positional.empty()) {
        for (const QVariant& v : m_positional)
            values.push_back(&v);
        return values;
    }
    values.reserve(size_t(prepared.paramNames().size()));
    for (const QString& name : prepared.paramNames()) {
        const QVariant* value = nullptr;
        for (const auto& [key, v] : m_params)
            if (key.compare(name, Qt::CaseInsensitive) == 0) {
                value = &v;
                break;
            }
        values.push_back(value);
    }
    return values;
}

QString DbStatement::busyWhat() const {
    static const QRegularExpression target(
        QStringLiteral(
            "^\\s*(?:UPDATE\\s+OR\\s+INSERT\\s+INTO|UPDATE|DELETE\\s+FROM|INSERT\\s+INTO|"
            "MERGE\\s+INTO)\\s+\"?([\\w$]+)"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = target.match(m_text);
    if (m.hasMatch())
        return QStringLiteral("Записи таблицы %1").arg(m.captured(1).toUpper());
    return QStringLiteral("Данные запроса %1").arg(m_name);
}

void DbStatement::open() {
    open(RowFilter());
}

QVariant DbStatement::rowValue(int row, int column) const {
    if (row < 0 || row >= rowCount() || column < 0 || column >= m_rows->columnCount())
        return {};
    return m_rows->value(row, column);
}

void DbStatement::open(const RowFilter& keep) {
    close();
    fb::Prepared& p = prepare();
    const std::vector<const QVariant*> values = boundValues(p);
    fb::Rows& rows = *m_rows;
    rows.reset(&p, m_connection.cacheEpoch());
    m_connection.run(
        !p.returnsRows(), [this] { return busyWhat(); },
        [&](Firebird::ITransaction* transaction) {
            rows.clear();
            auto* status = m_connection.status().get();
            Firebird::IAttachment* attachment = m_connection.attachment();
            p.bind(status, attachment, transaction, values);
            if (!p.returnsRows()) {
                p.execute(status, transaction, rows.columnCount() > 0 ? rows.append() : nullptr);
                return;
            }
            Firebird::IResultSet* cursor = p.openCursor(status, transaction);
            try {
                while (cursor->fetchNext(status, rows.append()) == Firebird::IStatus::RESULT_OK) {
                    rows.readBlobs(status, attachment, transaction);
                    if (keep && !keep(rows.count() - 1))
                        rows.dropLast();
                }
                rows.dropLast();
                cursor->close(status);
            } catch (...) {
                cursor->release();
                throw;
            }
        });
    m_fields = rows.names();
    m_open = true;
    m_pos = 0;
}

void DbStatement::execute() {
    close();
    fb::Prepared& p = prepare();
    if (p.isDdl()) {
        runDdl();
        return;
    }
    const std::vector<const QVariant*> values = boundValues(p);
    m_connection.run(
        true, [this] { return busyWhat(); },
        [&](Firebird::ITransaction* transaction) {
            auto* status = m_connection.status().get();
            p.bind(status, m_connection.attachment(), transaction, values);
            if (p.returnsRows()) {
                p.openCursor(status, transaction)->close(status);
            } else if (!p.outputs().empty()) {
                std::vector<unsigned char> out(p.outputLength());
                p.execute(status, transaction, out.data());
            } else {
                p.execute(status, transaction, nullptr);
            }
            m_rowsAffected = p.changesData() ? int(p.affectedRows(status)) : 0;
        });
}

void DbStatement::runDdl() {
    // A kept statement holds the tables it reads; a change of metadata must not
    // find them in use, so every kept statement goes first.
    m_connection.dropPrepared();
    m_prepared = nullptr;
    std::unique_ptr<fb::Prepared> p = m_connection.prepareUncached(m_text);
    const std::vector<const QVariant*> values = boundValues(*p);
    m_connection.run(
        true, [this] { return busyWhat(); },
        [&](Firebird::ITransaction* transaction) {
            auto* status = m_connection.status().get();
            p->bind(status, m_connection.attachment(), transaction, values);
            p->execute(status, transaction, nullptr);
        });
    m_rowsAffected = 0;
}

void DbStatement::close() {
    m_open = false;
    m_rows->clear();
    m_fields.clear();
    m_pos = 0;
}

int DbStatement::rowCount() const {
    return m_rows->count();
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
    return m_rows->value(m_pos, column);
}

bool DbStatement::locate(const QString& field, const QVariant& value) {
    const int col = fieldIndex(field);
    if (col < 0)
        return false;
    const int n = rowCount();
    for (int r = 0; r < n; ++r) {
        const QVariant v = m_rows->value(r, col);
        const bool equal = (v.canConvert<double>() && value.canConvert<double>() && !v.isNull() &&
                            v.typeId() != QMetaType::QString)
                               ? v.toDouble() == value.toDouble()
                               : v == value;
        if (equal) {
            m_pos = r;
            return true;
        }
    }
    return false;
}

void DbStatement::release() {
    close();
    m_prepared = nullptr;
}
