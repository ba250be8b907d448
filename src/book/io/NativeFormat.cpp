#include "NativeFormat.h"

#include "NativeCodec.h"

#include <QFile>
#include <QSaveFile>

#include <zlib.h>

#include <cstring>

using namespace NativeCodec;

namespace NativeFormat {

QByteArray save(const Workbook& book) {
    const QByteArray body = encodeBody(book);
    uLongf bound = compressBound(uLong(body.size()));
    QByteArray out(qsizetype(kHeaderSize + bound), Qt::Uninitialized);
    auto* dest = reinterpret_cast<Bytef*>(out.data() + kHeaderSize);
    if (compress2(dest, &bound, reinterpret_cast<const Bytef*>(body.constData()),
                  uLong(body.size()), 1) != Z_OK)
        return {};
    out.resize(qsizetype(kHeaderSize + bound));
    const uint32_t crc =
        uint32_t(crc32(0, reinterpret_cast<const Bytef*>(body.constData()), uInt(body.size())));
    QByteArray header;
    ByteWriter w(header);
    for (char c : kMagic)
        w.u8(uint8_t(c));
    w.u8(kVersion & 0xFF);
    w.u8(kVersion >> 8);
    w.u8(0);
    w.u8(0);
    w.u32(uint32_t(body.size()));
    w.u32(uint32_t(bound));
    w.u32(crc);
    std::memcpy(out.data(), header.constData(), kHeaderSize);
    return out;
}

bool load(Workbook& target, const QByteArray& bytes, QString* error) {
    auto failWith = [error](const QString& m) {
        if (error)
            *error = m;
        return false;
    };
    if (bytes.size() < kHeaderSize || std::memcmp(bytes.constData(), kMagic, 8) != 0)
        return failWith(QStringLiteral("Файл не является книгой"));
    ByteReader r(bytes.constData() + 8, size_t(kHeaderSize - 8));
    const uint32_t version = r.u8() | uint32_t(r.u8()) << 8;
    r.u8();
    r.u8();
    const uint32_t bodySize = r.u32();
    const uint32_t packedSize = r.u32();
    const uint32_t crc = r.u32();
    if (version != kVersion)
        return failWith(QStringLiteral("Неподдерживаемая версия файла книги: %1").arg(version));
    // zlib never expands more than about 1:1032, so a larger claim is a lie.
    if (packedSize != uint32_t(bytes.size() - kHeaderSize) || bodySize > kMaxBody ||
        uint64_t(bodySize) > uint64_t(packedSize) * 1040 + 64)
        return failWith(badFile());
    QByteArray body(qsizetype(bodySize), Qt::Uninitialized);
    uLongf got = bodySize;
    if (uncompress(reinterpret_cast<Bytef*>(body.data()), &got,
                   reinterpret_cast<const Bytef*>(bytes.constData() + kHeaderSize),
                   packedSize) != Z_OK ||
        got != bodySize)
        return failWith(badFile());
    if (uint32_t(crc32(0, reinterpret_cast<const Bytef*>(body.constData()), uInt(got))) != crc)
        return failWith(badFile());
    return decodeBody(target, body, error);
}

bool saveFile(const Workbook& book, const QString& path, QString* error) {
    const QByteArray bytes = save(book);
    QSaveFile f(path);
    if (bytes.isEmpty() || !f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() ||
        !f.commit()) {
        if (error)
            *error = QStringLiteral("Невозможно создать файл");
        return false;
    }
    return true;
}

bool loadFile(Workbook& target, const QString& path, QString* error) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("Невозможно открыть файл %1").arg(path);
        return false;
    }
    return load(target, f.readAll(), error);
}

} // namespace NativeFormat
