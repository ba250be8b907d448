#include "CellFormat.h"

#include "format/NumberFormat.h"

size_t qHash(const CellFont& f, size_t seed) {
    return qHashMulti(seed, f.name, f.size, f.bold, f.italic, f.underline, f.strikeout, f.color,
                      f.charset);
}

static size_t hashSide(const BorderSide& b, size_t seed) {
    return qHashMulti(seed, int(b.style), b.color);
}

size_t qHash(const CellFormat& f, size_t seed) {
    size_t h = qHashMulti(seed, f.numberFormat, f.font, int(f.hAlign), int(f.vAlign), f.wordWrap,
                          f.pattern, f.patternFg, f.patternBg, f.locked);
    h = hashSide(f.left, h);
    h = hashSide(f.top, h);
    h = hashSide(f.right, h);
    return hashSide(f.bottom, h);
}

FormatTable::FormatTable() {
    clear();
}

void FormatTable::clear() {
    m_formats.clear();
    m_index.clear();
    m_parsed.clear();
    intern(CellFormat());
}

uint32_t FormatTable::intern(const CellFormat& format) {
    auto it = m_index.constFind(format);
    if (it != m_index.constEnd())
        return it.value();
    const uint32_t index = uint32_t(m_formats.size());
    m_formats.push_back(format);
    m_index.insert(format, index);
    return index;
}

const CellFormat& FormatTable::at(uint32_t index) const {
    return index < m_formats.size() ? m_formats[index] : m_formats[0];
}

const NumberFormat& FormatTable::numberFormat(uint32_t index) const {
    if (index >= m_formats.size())
        index = 0;
    if (m_parsed.size() < m_formats.size())
        m_parsed.resize(m_formats.size());
    if (!m_parsed[index])
        m_parsed[index] = std::make_shared<NumberFormat>(m_formats[index].numberFormat);
    return *m_parsed[index];
}
