#include "FbPrepared.h"

#include "DbError.h"
#include "FbClient.h"

#include <QRegularExpression>

#include <ibase.h>

#include <cstring>

namespace fb {

namespace {

constexpr unsigned kOctets = 1;
constexpr unsigned kUtf8 = 4;

void setNull(const Field& f, unsigned char* message, bool null) {
    const short flag = null ? -1 : 0;
    std::memcpy(message + f.nullOffset, &flag, sizeof flag);
}

} // namespace

Prepared::Prepared(Firebird::ThrowStatusWrapper* status, Firebird::IAttachment* attachment,
                   Firebird::ITransaction* transaction, const QString& sql, QStringList names)
    : m_names(std::move(names)) {
    static const QRegularExpression oneRow(
        QStringLiteral("^\\s*INSERT\\s+INTO\\s+[^(\\s]+\\s*(\\([^)]*\\))?\\s*VALUES\\b"),
        QRegularExpression::CaseInsensitiveOption);
    m_insertsOneRow = oneRow.match(sql).hasMatch() &&
                      !sql.contains(QLatin1String("RETURNING"), Qt::CaseInsensitive);
    const QByteArray text = sql.toUtf8();
    m_statement =
        attachment->prepare(status, transaction, unsigned(text.size()), text.constData(),
                            SQL_DIALECT_V6, Firebird::IStatement::PREPARE_PREFETCH_METADATA);
    try {
        m_type = m_statement->getType(status);
        m_in = m_statement->getInputMetadata(status);
        m_out = m_statement->getOutputMetadata(status);
        m_inFields = readFields(status, m_in);
        m_outFields = readFields(status, m_out);
        m_outLength = m_out->getMessageLength(status);
        m_inBuffer.assign(m_in->getMessageLength(status), 0);
    } catch (...) {
        cleanup();
        throw;
    }
    if (!m_names.isEmpty() && unsigned(m_names.size()) != m_inFields.size()) {
        cleanup();
        throw DbError(QStringLiteral("Число параметров запроса (%1) не совпадает с числом "
                                     "параметров, которые видит сервер (%2)")
                          .arg(m_names.size())
                          .arg(m_inFields.size()));
    }
}

Prepared::~Prepared() {
    cleanup();
}

void Prepared::cleanup() {
    for (Firebird::IMessageMetadata** m : {&m_in, &m_out, &m_converted})
        if (*m) {
            (*m)->release();
            *m = nullptr;
        }
    if (m_statement) {
        Status status;
        try {
            m_statement->free(status.get());
        } catch (const Firebird::FbException&) {
            m_statement->release();
        }
        m_statement = nullptr;
    }
}

bool Prepared::returnsRows() const {
    return m_type == isc_info_sql_stmt_select || m_type == isc_info_sql_stmt_select_for_upd;
}

bool Prepared::isDdl() const {
    return m_type == isc_info_sql_stmt_ddl || m_type == isc_info_sql_stmt_set_generator;
}

bool Prepared::changesData() const {
    return m_type == isc_info_sql_stmt_insert || m_type == isc_info_sql_stmt_update ||
           m_type == isc_info_sql_stmt_delete;
}

void Prepared::bind(Firebird::ThrowStatusWrapper* status, Firebird::IAttachment* attachment,
                    Firebird::ITransaction* transaction,
                    const std::vector<const QVariant*>& values) {
    if (m_converted) {
        m_converted->release();
        m_converted = nullptr;
    }
    if (m_blobIds.size() != m_inFields.size())
        m_blobIds.assign(m_inFields.size(), ISC_QUAD{});
    std::vector<bool> asText;
    unsigned char* message = m_inBuffer.data();
    for (size_t i = 0; i < m_inFields.size(); ++i) {
        const Field& f = m_inFields[i];
        const QVariant* v = i < values.size() ? values[i] : nullptr;
        if (!v || isNullValue(*v)) {
            setNull(f, message, true);
        } else if (f.type == SQL_BLOB) {
            m_blobIds[i] = writeBlob(status, attachment, transaction, bytesOf(*v));
            std::memcpy(message + f.offset, &m_blobIds[i], sizeof(ISC_QUAD));
            setNull(f, message, false);
        } else if (!encode(f, *v, message)) {
            asText.resize(m_inFields.size());
            asText[i] = true;
        }
    }
    if (!asText.empty())
        bindAsText(status, values, asText);
}

void Prepared::bindAsText(Firebird::ThrowStatusWrapper* status,
                          const std::vector<const QVariant*>& values,
                          const std::vector<bool>& asText) {
    std::vector<QByteArray> texts(m_inFields.size());
    Firebird::IMetadataBuilder* builder = m_in->getBuilder(status);
    try {
        for (size_t i = 0; i < m_inFields.size(); ++i) {
            if (!asText[i])
                continue;
            texts[i] = bytesOf(*values[i]);
            builder->setType(status, unsigned(i), SQL_VARYING);
            builder->setCharSet(status, unsigned(i),
                                values[i]->typeId() == QMetaType::QByteArray ? kOctets : kUtf8);
            builder->setLength(status, unsigned(i),
                               unsigned(std::max<qsizetype>(1, texts[i].size())));
        }
        m_converted = builder->getMetadata(status);
        builder->release();
    } catch (...) {
        builder->release();
        throw;
    }
    const std::vector<Field> fields = readFields(status, m_converted);
    m_convertedBuffer.assign(m_converted->getMessageLength(status), 0);
    unsigned char* message = m_convertedBuffer.data();
    for (size_t i = 0; i < fields.size(); ++i) {
        const Field& f = fields[i];
        const QVariant* v = i < values.size() ? values[i] : nullptr;
        if (asText[i]) {
            const auto size = static_cast<unsigned short>(texts[i].size());
            std::memcpy(message + f.offset, &size, sizeof size);
            std::memcpy(message + f.offset + 2, texts[i].constData(), size);
            setNull(f, message, false);
        } else if (!v || isNullValue(*v)) {
            setNull(f, message, true);
        } else if (f.type == SQL_BLOB) {
            std::memcpy(message + f.offset, &m_blobIds[i], sizeof(ISC_QUAD));
            setNull(f, message, false);
        } else {
            encode(f, *v, message);
        }
    }
}

Firebird::IResultSet* Prepared::openCursor(Firebird::ThrowStatusWrapper* status,
                                           Firebird::ITransaction* transaction) {
    if (m_converted)
        return m_statement->openCursor(status, transaction, m_converted, m_convertedBuffer.data(),
                                       m_out, 0);
    return m_statement->openCursor(status, transaction, m_in, m_inBuffer.data(), m_out, 0);
}

void Prepared::execute(Firebird::ThrowStatusWrapper* status, Firebird::ITransaction* transaction,
                       unsigned char* out) {
    Firebird::IMessageMetadata* outMeta = out ? m_out : nullptr;
    if (m_converted)
        m_statement->execute(status, transaction, m_converted, m_convertedBuffer.data(), outMeta,
                             out);
    else
        m_statement->execute(status, transaction, m_in, m_inBuffer.data(), outMeta, out);
}

quint64 Prepared::affectedRows(Firebird::ThrowStatusWrapper* status) {
    // An INSERT of one row of values needs no question to the server.
    if (m_insertsOneRow)
        return 1;
    return m_statement->getAffectedRecords(status);
}

} // namespace fb
