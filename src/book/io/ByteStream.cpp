#include "ByteStream.h"

void ByteWriter::string(const QString& s) {
    u32(uint32_t(s.size()));
    m_out.append(reinterpret_cast<const char*>(s.utf16()), s.size() * 2);
}

QString ByteReader::string(uint32_t maxLength) {
    const uint32_t n = u32();
    if (!m_ok)
        return {};
    if (n > maxLength || size_t(n) * 2 > remaining()) {
        fail();
        return {};
    }
    QString s(qsizetype(n), Qt::Uninitialized);
    std::memcpy(s.data(), m_p, size_t(n) * 2);
    m_p += size_t(n) * 2;
    return s;
}
