#pragma once

#include "DbfField.h"

#include <QByteArray>
#include <QDate>

// The header of a dBase file: what the first bytes and the field descriptors say.
struct DbfHeader {
    unsigned char version = 0x03;
    QDate updated;
    qint64 recordCount = 0; // physical records, deleted ones included
    int headerLength = 0;
    int recordLength = 0;
    unsigned char tableFlags = 0; // byte 28: 1 announces a production index
    unsigned char languageDriver = 0;
    QList<DbfField> fields;

    bool hasMemo() const;

    // Reads and checks the header of a file image; a damaged one is refused
    // (DbfError naming `path`) and nothing beyond the image is ever touched.
    static DbfHeader parse(const QByteArray& image, const QString& path);
    // A new dBase IV header for the fields (offsets filled in).
    static DbfHeader forFields(const QList<DbfField>& fields);
    // The header bytes, descriptors and terminator included.
    QByteArray bytes() const;
};

// Language drivers that announce Windows-1251 text.
bool IsWin1251Driver(unsigned char driver);
