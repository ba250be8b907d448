#include "FbRows.h"

#include "FbPrepared.h"

#include <ibase.h>

#include <cstring>

namespace fb {

void Rows::reset(const Prepared* source, int epoch) {
    clear();
    if (source == m_source && epoch == m_epoch)
        return;
    m_source = source;
    m_epoch = epoch;
    m_fields = source->outputs();
    m_rowLength = source->outputLength();
    m_blobColumns.clear();
    m_names.clear();
    for (size_t i = 0; i < m_fields.size(); ++i) {
        if (m_fields[i].type == SQL_BLOB)
            m_blobColumns.push_back(i);
        m_names << m_fields[i].name;
    }
}

void Rows::clear() {
    m_data.clear();
    m_blobs.clear();
}

unsigned char* Rows::append() {
    const size_t at = m_data.size();
    // Zeroed: the server looks at what a blob field held before.
    m_data.resize(at + m_rowLength);
    return m_data.data() + at;
}

void Rows::dropLast() {
    m_data.resize(m_data.size() - m_rowLength);
}

void Rows::readBlobs(Firebird::ThrowStatusWrapper* status, Firebird::IAttachment* attachment,
                     Firebird::ITransaction* transaction) {
    unsigned char* row = m_data.data() + m_data.size() - m_rowLength;
    for (const size_t c : m_blobColumns) {
        const Field& f = m_fields[c];
        short null = 0;
        std::memcpy(&null, row + f.nullOffset, sizeof null);
        if (null)
            continue;
        ISC_QUAD id;
        std::memcpy(&id, row + f.offset, sizeof id);
        m_blobs.push_back(readBlob(status, attachment, transaction, id));
        const quint64 index = m_blobs.size() - 1;
        std::memcpy(row + f.offset, &index, sizeof index);
    }
}

QVariant Rows::value(int row, int column) const {
    return decode(m_fields[size_t(column)], m_data.data() + size_t(row) * m_rowLength, m_blobs);
}

} // namespace fb
