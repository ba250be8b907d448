#pragma once

#include "FbValues.h"

#include <QStringList>

#include <vector>

// One statement prepared on the server, with its parameter and result layouts.
// Values are written straight into the parameter message; a value the layout
// cannot take as it is (text for a number, say) goes as text for the server to
// convert, through a layout made for that execution only.
namespace fb {

class Prepared {
public:
    // sql uses "?" marks; names gives the parameter name of each mark (may be empty).
    Prepared(Firebird::ThrowStatusWrapper* status, Firebird::IAttachment* attachment,
             Firebird::ITransaction* transaction, const QString& sql, QStringList names);
    ~Prepared();
    Prepared(const Prepared&) = delete;
    Prepared& operator=(const Prepared&) = delete;

    bool returnsRows() const; // a SELECT
    bool isDdl() const;
    bool changesData() const; // INSERT, UPDATE, DELETE
    const QStringList& paramNames() const { return m_names; }
    unsigned paramCount() const { return unsigned(m_inFields.size()); }
    const std::vector<Field>& outputs() const { return m_outFields; }
    unsigned outputLength() const { return m_outLength; }

    // values[i] is the value of parameter i (nullptr: NULL).
    void bind(Firebird::ThrowStatusWrapper* status, Firebird::IAttachment* attachment,
              Firebird::ITransaction* transaction, const std::vector<const QVariant*>& values);
    Firebird::IResultSet* openCursor(Firebird::ThrowStatusWrapper* status,
                                     Firebird::ITransaction* transaction);
    // out receives the one output row of an EXECUTE PROCEDURE (may be null otherwise).
    void execute(Firebird::ThrowStatusWrapper* status, Firebird::ITransaction* transaction,
                 unsigned char* out);
    quint64 affectedRows(Firebird::ThrowStatusWrapper* status);

private:
    void cleanup();
    void bindAsText(Firebird::ThrowStatusWrapper* status,
                    const std::vector<const QVariant*>& values, const std::vector<bool>& asText);

    Firebird::IStatement* m_statement = nullptr;
    Firebird::IMessageMetadata* m_in = nullptr;
    Firebird::IMessageMetadata* m_out = nullptr;
    Firebird::IMessageMetadata* m_converted = nullptr; // this execution's own layout
    unsigned m_type = 0;
    bool m_insertsOneRow = false;
    QStringList m_names;
    std::vector<Field> m_inFields;
    std::vector<Field> m_outFields;
    unsigned m_outLength = 0;
    std::vector<unsigned char> m_inBuffer;
    std::vector<unsigned char> m_convertedBuffer;
    std::vector<ISC_QUAD> m_blobIds;
};

} // namespace fb
