#include "DbfHeader.h"

#include "DbfError.h"

namespace {

quint32 le32(const char* p) {
    return quint32(uchar(p[0])) | quint32(uchar(p[1])) << 8 | quint32(uchar(p[2])) << 16 |
           quint32(uchar(p[3])) << 24;
}

quint16 le16(const char* p) {
    return quint16(uchar(p[0]) | uchar(p[1]) << 8);
}

bool knownVersion(unsigned char v) {
    switch (v) {
    case 0x03: // dBase III, dBase IV without memo
    case 0x04: // dBase 7
    case 0x83: // dBase III with memo
    case 0x8B: // dBase IV with memo
    case 0x30: // Visual FoxPro
    case 0x31:
    case 0xF5: // FoxPro with memo
        return true;
    default:
        return false;
    }
}

bool knownType(char t) {
    static const QByteArray types = QByteArrayLiteral("CNFLDMIBTYG@+0");
    return types.contains(t);
}

} // namespace

bool IsWin1251Driver(unsigned char driver) {
    return driver == 0xC9 || driver == 0x57;
}

bool DbfHeader::hasMemo() const {
    for (const DbfField& f : fields)
        if (f.type == 'M')
            return true;
    return false;
}

DbfHeader DbfHeader::parse(const QByteArray& image, const QString& path) {
    const qint64 size = image.size();
    if (size < 32)
        ThrowDamaged(path, QStringLiteral("заголовок короче 32 байт"));
    const char* d = image.constData();
    DbfHeader h;
    h.version = uchar(d[0]);
    if (!knownVersion(h.version))
        ThrowDamaged(path, QStringLiteral("неизвестная версия файла"));
    h.updated = QDate(1900 + uchar(d[1]), qMax(1, int(uchar(d[2]))), qMax(1, int(uchar(d[3]))));
    h.recordCount = le32(d + 4);
    h.headerLength = le16(d + 8);
    h.recordLength = le16(d + 10);
    h.tableFlags = uchar(d[28]);
    h.languageDriver = uchar(d[29]);
    if (h.headerLength > size)
        ThrowDamaged(path, QStringLiteral("заголовок длиннее файла"));

    // Descriptors run from byte 32 in steps of 32 up to the terminator 0x0D.
    qint64 pos = 32;
    int offset = 1;
    while (true) {
        if (pos >= h.headerLength || pos >= size)
            ThrowDamaged(path, QStringLiteral("описание полей не завершено"));
        if (uchar(d[pos]) == 0x0D)
            break;
        if (pos + 32 > h.headerLength)
            ThrowDamaged(path, QStringLiteral("число полей не соответствует длине заголовка"));
        const char* fd = d + pos;
        DbfField f;
        const int nameLength = int(qstrnlen(fd, 11));
        f.name = QString::fromLatin1(fd, nameLength).trimmed();
        f.type = char(QChar(QLatin1Char(fd[11])).toUpper().toLatin1());
        f.length = uchar(fd[16]);
        f.decimals = uchar(fd[17]);
        // Character fields longer than 255 keep the high byte in the decimals.
        if (f.type == 'C' && h.version != 0x03 && h.version != 0x83 && f.decimals > 0) {
            f.length += f.decimals * 256;
            f.decimals = 0;
        }
        const int number = int((pos - 32) / 32) + 1;
        if (f.name.isEmpty() || !knownType(f.type) || f.length == 0)
            ThrowDamaged(path, QStringLiteral("недопустимое описание поля %1").arg(number));
        f.offset = offset;
        offset += f.length;
        h.fields << f;
        pos += 32;
    }
    if (h.fields.isEmpty())
        ThrowDamaged(path, QStringLiteral("в файле нет ни одного поля"));
    if (h.recordLength != offset)
        ThrowDamaged(path, QStringLiteral("длина записи %1 не соответствует полям (%2)")
                               .arg(h.recordLength)
                               .arg(offset));
    if (qint64(h.headerLength) + h.recordCount * h.recordLength > size)
        ThrowDamaged(path,
                     QStringLiteral("файл короче, чем указано в заголовке (записи обрезаны)"));
    return h;
}

DbfHeader DbfHeader::forFields(const QList<DbfField>& fields) {
    DbfHeader h;
    h.version = 0x03;
    h.languageDriver = 0x26; // code page 866
    h.fields = CheckFields(fields);
    h.headerLength = 32 + 32 * int(h.fields.size()) + 1;
    h.recordLength = 1;
    for (const DbfField& f : h.fields)
        h.recordLength += f.length;
    h.updated = QDate::currentDate();
    return h;
}

QByteArray DbfHeader::bytes() const {
    QByteArray b(headerLength, '\0');
    char* d = b.data();
    d[0] = char(version);
    const QDate date = updated.isValid() ? updated : QDate::currentDate();
    d[1] = char(qBound(0, date.year() - 1900, 255));
    d[2] = char(date.month());
    d[3] = char(date.day());
    const quint32 count = quint32(recordCount);
    for (int i = 0; i < 4; ++i)
        d[4 + i] = char((count >> (8 * i)) & 0xFF);
    d[8] = char(headerLength & 0xFF);
    d[9] = char(headerLength >> 8);
    d[10] = char(recordLength & 0xFF);
    d[11] = char(recordLength >> 8);
    d[28] = char(tableFlags);
    d[29] = char(languageDriver);
    int pos = 32;
    for (const DbfField& f : fields) {
        const QByteArray name = f.name.toLatin1().left(10);
        memcpy(d + pos, name.constData(), size_t(name.size()));
        d[pos + 11] = f.type;
        if (f.type == 'C' && f.length > 255) {
            d[pos + 16] = char(f.length & 0xFF);
            d[pos + 17] = char(f.length >> 8);
        } else {
            d[pos + 16] = char(f.length);
            d[pos + 17] = char(f.decimals);
        }
        pos += 32;
    }
    if (pos < headerLength)
        d[pos] = 0x0D;
    return b;
}
