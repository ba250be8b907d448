#include "DbfMemo.h"

#include <QFile>
#include <QFileInfo>

namespace {

QString sibling(const QString& tablePath, const char* ext) {
    const QFileInfo info(tablePath);
    const QString base = info.path() + QLatin1Char('/') + info.completeBaseName();
    for (const QString& candidate : {base + QLatin1Char('.') + QString::fromLatin1(ext).toUpper(),
                                     base + QLatin1Char('.') + QString::fromLatin1(ext)})
        if (QFileInfo::exists(candidate))
            return candidate;
    return {};
}

quint32 le32(const char* p) {
    return quint32(uchar(p[0])) | quint32(uchar(p[1])) << 8 | quint32(uchar(p[2])) << 16 |
           quint32(uchar(p[3])) << 24;
}

quint32 be32(const char* p) {
    return quint32(uchar(p[3])) | quint32(uchar(p[2])) << 8 | quint32(uchar(p[1])) << 16 |
           quint32(uchar(p[0])) << 24;
}

} // namespace

DbfMemo DbfMemo::load(const QString& tablePath, unsigned char version) {
    DbfMemo memo;
    const bool fox = version == 0xF5 || version == 0x30 || version == 0x31;
    const QString path = sibling(tablePath, fox ? "fpt" : "dbt");
    if (path.isEmpty())
        return memo;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return memo;
    memo.m_image = file.readAll();
    if (memo.m_image.size() < 512) {
        memo.m_image.clear();
        return memo;
    }
    const char* d = memo.m_image.constData();
    if (fox) {
        memo.m_kind = Kind::FoxPro;
        memo.m_blockSize = int(uchar(d[6]) << 8 | uchar(d[7]));
    } else if (version == 0x8B) {
        memo.m_kind = Kind::DBase4;
        memo.m_blockSize = int(uchar(d[20]) | uchar(d[21]) << 8);
    }
    if (memo.m_blockSize <= 0)
        memo.m_blockSize = 512;
    return memo;
}

QByteArray DbfMemo::read(qint64 block) const {
    if (block <= 0 || m_image.isEmpty())
        return {};
    const qint64 start = block * m_blockSize;
    const qint64 size = m_image.size();
    if (start >= size)
        return {};
    const char* d = m_image.constData() + start;
    const qint64 left = size - start;
    switch (m_kind) {
    case Kind::FoxPro: {
        if (left < 8)
            return {};
        const qint64 length = be32(d + 4);
        return QByteArray(d + 8, int(qMin(length, left - 8)));
    }
    case Kind::DBase4: {
        if (left < 8 || uchar(d[0]) != 0xFF || uchar(d[1]) != 0xFF)
            return {};
        const qint64 length = qint64(le32(d + 4)) - 8;
        return QByteArray(d + 8, int(qBound<qint64>(0, length, left - 8)));
    }
    case Kind::DBase3:
        break;
    }
    qint64 end = 0;
    while (end < left && uchar(d[end]) != 0x1A)
        ++end;
    return QByteArray(d, int(end));
}
