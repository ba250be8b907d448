#pragma once

#include <QByteArray>
#include <QString>

// The memo file beside a dBase table (.DBT of dBase III/IV, .FPT of FoxPro), read
// whole when the table is opened. A memo that points outside the file reads empty.
class DbfMemo {
public:
    // The memo file of a table path; absent when there is none.
    static DbfMemo load(const QString& tablePath, unsigned char version);

    bool present() const { return !m_image.isEmpty(); }
    // The bytes of the memo starting at block `block` (0: none).
    QByteArray read(qint64 block) const;

private:
    enum class Kind { DBase3, DBase4, FoxPro };
    QByteArray m_image;
    Kind m_kind = Kind::DBase3;
    int m_blockSize = 512;
};
