#pragma once

#include "FbValues.h"

#include <vector>

// The rows of a result kept as the server sent them, one message after the
// other in one buffer; values become Qt values only when asked for. Blobs are
// read while the transaction lasts and kept beside the rows.
namespace fb {

class Rows {
public:
    void reset(const std::vector<Field>& fields, unsigned rowLength);
    void clear();
    // Space for one more row at the end; drop it again with dropLast().
    unsigned char* append();
    void dropLast();
    // Reads the blobs of the last row.
    void readBlobs(Firebird::ThrowStatusWrapper* status, Firebird::IAttachment* attachment,
                   Firebird::ITransaction* transaction);

    int count() const { return m_rowLength ? int(m_data.size() / m_rowLength) : 0; }
    int columnCount() const { return int(m_fields.size()); }
    const Field& field(int column) const { return m_fields[size_t(column)]; }
    QVariant value(int row, int column) const;

private:
    std::vector<Field> m_fields;
    std::vector<size_t> m_blobColumns;
    unsigned m_rowLength = 0;
    std::vector<unsigned char> m_data;
    std::vector<QByteArray> m_blobs;
};

} // namespace fb
