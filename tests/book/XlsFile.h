#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QtEndian>

#include <variant>

// A small Excel 97–2003 workbook made byte by byte: one sheet of numbers and texts in
// BIFF8 records, in a compound file of 512-byte sectors (FAT, directory, the "Workbook"
// stream). Enough for the .xls reader to be checked on a file it succeeds with, without a
// file from elsewhere.
namespace XlsFile {

struct Cell {
    int row; // from 0, as the file counts
    int col;
    std::variant<double, QString> value;
};

namespace detail {

inline void u16(QByteArray& b, quint16 v) {
    b.append(char(v & 0xFF)).append(char(v >> 8));
}
inline void u32(QByteArray& b, quint32 v) {
    u16(b, quint16(v & 0xFFFF));
    u16(b, quint16(v >> 16));
}
inline void record(QByteArray& b, quint16 type, const QByteArray& body) {
    u16(b, type);
    u16(b, quint16(body.size()));
    b.append(body);
}
inline QByteArray utf16(const QString& s) {
    QByteArray out;
    for (const QChar ch : s)
        u16(out, ch.unicode());
    return out;
}
inline QByteArray bof(quint16 kind) {
    QByteArray b;
    u16(b, 0x0600); // BIFF8
    u16(b, kind);
    u16(b, 0x0DBB);
    u16(b, 0x07CC);
    u32(b, 0);
    u32(b, 0x0006);
    return b;
}

} // namespace detail

inline QByteArray workbookStream(const QString& sheetName, const QList<Cell>& cells) {
    using namespace detail;
    QList<QString> strings;
    for (const Cell& c : cells)
        if (const auto* s = std::get_if<QString>(&c.value); s && !strings.contains(*s))
            strings << *s;

    QByteArray globals;
    record(globals, 0x0809, bof(0x0005));
    QByteArray cp;
    u16(cp, 1200); // texts are UTF-16
    record(globals, 0x0042, cp);
    for (int i = 0; i < 16; ++i) { // 15 style formats and the one cell format, all "General"
        QByteArray xf(20, '\0');
        xf[4] = char(i < 15 ? 0xF5 : 0x01);
        xf[5] = char(i < 15 ? 0xFF : 0x00);
        record(globals, 0x00E0, xf);
    }
    QByteArray sheetEntry;
    u32(sheetEntry, 0); // the sheet's offset, set below
    sheetEntry.append('\0').append('\0');
    sheetEntry.append(char(sheetName.size())).append('\x01');
    sheetEntry.append(utf16(sheetName));
    const int entryAt = int(globals.size()) + 4;
    record(globals, 0x0085, sheetEntry);
    QByteArray sst;
    u32(sst, quint32(strings.size()));
    u32(sst, quint32(strings.size()));
    for (const QString& s : strings) {
        u16(sst, quint16(s.size()));
        sst.append('\x01');
        sst.append(utf16(s));
    }
    record(globals, 0x00FC, sst);
    record(globals, 0x000A, {});
    qToLittleEndian(quint32(globals.size()), globals.data() + entryAt);

    int lastRow = 0;
    int lastCol = 0;
    for (const Cell& c : cells) {
        lastRow = std::max(lastRow, c.row);
        lastCol = std::max(lastCol, c.col);
    }
    QByteArray sheet;
    record(sheet, 0x0809, bof(0x0010));
    QByteArray dim;
    u32(dim, 0);
    u32(dim, quint32(lastRow + 1));
    u16(dim, 0);
    u16(dim, quint16(lastCol + 1));
    u16(dim, 0);
    record(sheet, 0x0200, dim);
    for (const Cell& c : cells) {
        QByteArray body;
        u16(body, quint16(c.row));
        u16(body, quint16(c.col));
        u16(body, 15);
        if (const auto* s = std::get_if<QString>(&c.value)) {
            u32(body, quint32(strings.indexOf(*s)));
            record(sheet, 0x00FD, body);
        } else {
            QByteArray number(8, '\0');
            qToLittleEndian(std::get<double>(c.value), number.data());
            record(sheet, 0x0203, body + number);
        }
    }
    record(sheet, 0x000A, {});
    return globals + sheet;
}

// The compound file around the stream: sector 0 the FAT, sector 1 the directory, the
// stream from sector 2 on (at least 4096 bytes, so it needs no mini stream).
inline QByteArray compoundFile(QByteArray stream) {
    using namespace detail;
    constexpr quint32 kEnd = 0xFFFFFFFE, kFree = 0xFFFFFFFF, kFatSector = 0xFFFFFFFD;
    const int streamSize = std::max(int(stream.size()), 4096);
    stream.append(QByteArray(((streamSize + 511) / 512) * 512 - stream.size(), '\0'));
    const int sectors = int(stream.size()) / 512;

    QByteArray header;
    header.append("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8).append(QByteArray(16, '\0'));
    u16(header, 0x003E);
    u16(header, 0x0003);
    u16(header, 0xFFFE);
    u16(header, 9);
    u16(header, 6);
    header.append(QByteArray(6, '\0'));
    u32(header, 0);    // directory sectors (none counted in version 3)
    u32(header, 1);    // FAT sectors
    u32(header, 1);    // first directory sector
    u32(header, 0);    // transaction
    u32(header, 4096); // mini stream cutoff
    u32(header, kEnd); // mini FAT
    u32(header, 0);
    u32(header, kEnd); // DIFAT
    u32(header, 0);
    u32(header, 0); // the FAT is sector 0
    for (int i = 1; i < 109; ++i)
        u32(header, kFree);

    QByteArray fat;
    u32(fat, kFatSector);
    u32(fat, kEnd);
    for (int i = 0; i < sectors; ++i)
        u32(fat, i + 1 < sectors ? quint32(i + 3) : kEnd);
    while (fat.size() < 512)
        u32(fat, kFree);

    auto entry = [](const QString& name, quint8 type, quint32 child, quint32 start, quint32 size) {
        QByteArray e = utf16(name);
        e.append(QByteArray(64 - e.size(), '\0'));
        u16(e, name.isEmpty() ? 0 : quint16((name.size() + 1) * 2));
        e.append(char(type)).append(char(type == 0 ? 0 : 1));
        u32(e, kFree);
        u32(e, kFree);
        u32(e, child);
        e.append(QByteArray(16 + 4 + 16, '\0'));
        u32(e, start);
        u32(e, size);
        u32(e, 0);
        return e;
    };
    QByteArray dir = entry(QStringLiteral("Root Entry"), 5, 1, kEnd, 0) +
                     entry(QStringLiteral("Workbook"), 2, kFree, 2, quint32(streamSize)) +
                     entry({}, 0, kFree, 0, 0) + entry({}, 0, kFree, 0, 0);
    return header + fat + dir + stream;
}

inline QByteArray make(const QString& sheetName, const QList<Cell>& cells) {
    return compoundFile(workbookStream(sheetName, cells));
}

} // namespace XlsFile
