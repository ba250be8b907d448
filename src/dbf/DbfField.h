#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// One field of a dBase file as its descriptor gives it.
struct DbfField {
    QString name;    // as stored
    char type = 'C'; // C, N, F, L, D, M (others are read as raw text)
    int length = 1;  // bytes in a record
    int decimals = 0;
    int offset = 0; // from the start of the record, after the deletion flag

    bool isNumeric() const { return type == 'N' || type == 'F'; }
    bool operator==(const DbfField&) const = default;
};

// A creation field list: "NameFolder;C;150;0", "KodElmt;N;8;0". Throws DbfError
// for an empty list, a malformed entry, a repeated name or a width the type
// cannot have. Offsets are filled in.
QList<DbfField> ParseFieldList(const QStringList& list);
// Checks a list built by hand and fills in the offsets (throws DbfError).
QList<DbfField> CheckFields(QList<DbfField> fields);
// Whether the file's fields are the expected ones in the same order, names
// compared without regard to case (types and widths as the file has them).
bool SameFieldNames(const QList<DbfField>& fields, const QStringList& expected);
