#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <cstring>

// Little-endian writer for the native format.
class ByteWriter {
public:
    explicit ByteWriter(QByteArray& out) : m_out(out) {}
    void u8(uint8_t v) { m_out.append(char(v)); }
    void u32(uint32_t v) {
        char b[4] = {char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
        m_out.append(b, 4);
    }
    void i32(int32_t v) { u32(uint32_t(v)); }
    void f64(double v) {
        uint64_t bits;
        std::memcpy(&bits, &v, 8);
        u32(uint32_t(bits));
        u32(uint32_t(bits >> 32));
    }
    void varint(uint64_t v) {
        char b[10];
        int n = 0;
        while (v >= 0x80) {
            b[n++] = char((v & 0x7F) | 0x80);
            v >>= 7;
        }
        b[n++] = char(v);
        m_out.append(b, n);
    }
    void svarint(int64_t v) { varint((uint64_t(v) << 1) ^ uint64_t(v >> 63)); }
    void string(const QString& s);
    void boolean(bool b) { u8(b ? 1 : 0); }

private:
    QByteArray& m_out;
};

// Bounds-checked reader: any read past the end, or a value out of its range, puts the
// reader into the failed state; later reads give zeros. Callers check ok() at the end of
// each section.
class ByteReader {
public:
    ByteReader(const char* data, size_t size) : m_p(data), m_end(data + size) {}
    bool ok() const { return m_ok; }
    void fail() {
        m_ok = false;
        m_p = m_end;
    }
    size_t remaining() const { return size_t(m_end - m_p); }

    uint8_t u8() {
        if (m_p >= m_end) {
            fail();
            return 0;
        }
        return uint8_t(*m_p++);
    }
    uint32_t u32() {
        if (remaining() < 4) {
            fail();
            return 0;
        }
        const auto* b = reinterpret_cast<const uint8_t*>(m_p);
        m_p += 4;
        return uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
    }
    int32_t i32() { return int32_t(u32()); }
    double f64() {
        const uint64_t lo = u32();
        const uint64_t hi = u32();
        const uint64_t bits = lo | hi << 32;
        double v;
        std::memcpy(&v, &bits, 8);
        return v;
    }
    uint64_t varint() {
        uint64_t v = 0;
        for (int shift = 0; shift < 64; shift += 7) {
            if (m_p >= m_end) {
                fail();
                return 0;
            }
            const uint8_t b = uint8_t(*m_p++);
            v |= uint64_t(b & 0x7F) << shift;
            if (!(b & 0x80))
                return v;
        }
        fail();
        return 0;
    }
    int64_t svarint() {
        const uint64_t v = varint();
        return int64_t(v >> 1) ^ -int64_t(v & 1);
    }
    bool boolean() {
        const uint8_t v = u8();
        if (v > 1)
            fail();
        return v == 1;
    }
    // A value that must lie in lo..hi.
    int32_t ranged(int32_t lo, int32_t hi) {
        const int32_t v = i32();
        if (v < lo || v > hi)
            fail();
        return m_ok ? v : lo;
    }
    QString string(uint32_t maxLength = 1u << 20);

private:
    const char* m_p;
    const char* m_end;
    bool m_ok = true;
};
