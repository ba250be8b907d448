#pragma once

#include "FbValues.h"

#include <QStringList>

#include <vector>

// The rows of a result kept as the server sent them, one message after the
// other in one buffer; values become Qt values only when asked for. Blobs are
// read while the transaction lasts and kept beside the rows.
namespace fb {

class Prepared;

class Rows {
public:
    // Takes the layout of a statement's result, unless it is the one already
    // taken (the same statement of the same cache epoch); drops the rows.
    void reset(const Prepared* source, int epoch);
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
    const QStringList& names() const { return m_names; }
    QVariant value(int row, int column) const;

private:
    const Prepared* m_source = nullptr;
    int m_epoch = -1;
    std::vector<Field> m_fields;
    QStringList m_names;
    std::vector<size_t> m_blobColumns;
    unsigned m_rowLength = 0;
    std::vector<unsigned char> m_data;
    std::vector<QByteArray> m_blobs;
};

} // namespace fb
