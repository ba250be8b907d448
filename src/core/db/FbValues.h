#pragma once

#include <QByteArray>
#include <QVariant>

#include <firebird/Interface.h>

#include <vector>

// The fields of a message (parameters or a result row) and the conversions
// between their native form in the message buffer and Qt values.
namespace fb {

struct Field {
    unsigned type = 0; // SQL_xxx without the nullable bit
    int subType = 0;
    int scale = 0;
    unsigned length = 0;
    unsigned charSet = 0;
    unsigned offset = 0;
    unsigned nullOffset = 0;
    QString name;
};

std::vector<Field> readFields(Firebird::ThrowStatusWrapper* status,
                              Firebird::IMessageMetadata* metadata);

// NULL as the Qt SQL classes took it: no value, or a null string, array or date.
bool isNullValue(const QVariant& value);

// The value of a field; a blob field holds an index into blobs.
QVariant decode(const Field& field, const unsigned char* message,
                const std::vector<QByteArray>& blobs);

// Writes a value the field's type takes as it is; false when the server must
// convert it (text for a number, text longer than the field), the message then
// unchanged. Blobs are written by the caller.
bool encode(const Field& field, const QVariant& value, unsigned char* message);

// The server turns a text blob into the connection's UTF8 and back by itself.
QByteArray readBlob(Firebird::ThrowStatusWrapper* status, Firebird::IAttachment* attachment,
                    Firebird::ITransaction* transaction, ISC_QUAD id);
ISC_QUAD writeBlob(Firebird::ThrowStatusWrapper* status, Firebird::IAttachment* attachment,
                   Firebird::ITransaction* transaction, const QByteArray& bytes);

// The bytes a value stands for in a text or blob field.
QByteArray bytesOf(const QVariant& value);

} // namespace fb
