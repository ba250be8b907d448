#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

#include <zlib.h>

// A zip archive of uncompressed entries: enough to build .ods and .xlsx files from XML.
inline QByteArray storedZip(const QList<QPair<QString, QByteArray>>& entries) {
    QByteArray out;
    QByteArray central;
    auto u16 = [](QByteArray& b, unsigned v) {
        b += char(v & 0xFF);
        b += char((v >> 8) & 0xFF);
    };
    auto u32 = [&](QByteArray& b, unsigned long v) {
        u16(b, unsigned(v & 0xFFFF));
        u16(b, unsigned((v >> 16) & 0xFFFF));
    };
    for (const auto& [name, data] : entries) {
        const QByteArray n = name.toUtf8();
        const unsigned long crc =
            crc32(0, reinterpret_cast<const Bytef*>(data.constData()), uInt(data.size()));
        const unsigned long offset = unsigned(out.size());
        u32(out, 0x04034b50);
        u16(out, 20), u16(out, 0), u16(out, 0), u16(out, 0), u16(out, 0x21);
        u32(out, crc), u32(out, data.size()), u32(out, data.size());
        u16(out, unsigned(n.size())), u16(out, 0);
        out += n + data;
        u32(central, 0x02014b50);
        u16(central, 20), u16(central, 20), u16(central, 0), u16(central, 0), u16(central, 0),
            u16(central, 0x21);
        u32(central, crc), u32(central, data.size()), u32(central, data.size());
        u16(central, unsigned(n.size())), u16(central, 0), u16(central, 0), u16(central, 0),
            u16(central, 0);
        u32(central, 0), u32(central, offset);
        central += n;
    }
    const unsigned long centralAt = unsigned(out.size());
    out += central;
    u32(out, 0x06054b50);
    u16(out, 0), u16(out, 0), u16(out, unsigned(entries.size())),
        u16(out, unsigned(entries.size()));
    u32(out, central.size()), u32(out, centralAt), u16(out, 0);
    return out;
}
