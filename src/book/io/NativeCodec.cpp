#include "NativeCodec.h"

namespace NativeCodec {

QString badFile() {
    return QStringLiteral("Файл поврежден или не является книгой");
}

void writeFont(ByteWriter& w, const CellFont& f) {
    w.string(f.name);
    w.f64(f.size);
    w.u8(uint8_t((f.bold ? 1 : 0) | (f.italic ? 2 : 0) | (f.underline ? 4 : 0) |
                 (f.strikeout ? 8 : 0)));
    w.u32(f.color);
    w.i32(f.charset);
}

CellFont readFont(ByteReader& r) {
    CellFont f;
    f.name = r.string(256);
    f.size = r.f64();
    if (!(f.size >= 0 && f.size <= 1000))
        r.fail();
    const uint8_t flags = r.u8();
    if (flags > 15)
        r.fail();
    f.bold = flags & 1;
    f.italic = flags & 2;
    f.underline = flags & 4;
    f.strikeout = flags & 8;
    f.color = r.u32();
    f.charset = r.ranged(0, 255);
    return f;
}

void writeRange(ByteWriter& w, const CellRange& c) {
    w.i32(c.row1);
    w.i32(c.col1);
    w.i32(c.row2);
    w.i32(c.col2);
}

CellRange readRange(ByteReader& r, bool allowInvalid) {
    CellRange c;
    c.row1 = r.ranged(0, kMaxRows);
    c.col1 = r.ranged(0, kMaxCols);
    c.row2 = r.ranged(0, kMaxRows);
    c.col2 = r.ranged(0, kMaxCols);
    if (!allowInvalid && !c.isValid())
        r.fail();
    return c;
}

} // namespace NativeCodec
