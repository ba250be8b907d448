#include "IniFile.h"

#include <QFile>
#include <QSaveFile>

namespace {

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

const QByteArray kBom = QByteArrayLiteral("\xEF\xBB\xBF");

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

QByteArray trimBlanks(const QByteArray& bytes) {
    qsizetype from = 0, to = bytes.size();
    while (from < to && isBlank(bytes[from]))
        ++from;
    while (to > from && isBlank(bytes[to - 1]))
        --to;
    return bytes.mid(from, to - from);
}

bool quotedValue(const QByteArray& v) {
    return v.size() >= 2 && v.startsWith('"') && v.endsWith('"');
}

// What a value is read as: without the blanks around it and without one pair of
// enclosing quotes.
QByteArray readValue(const QByteArray& stored) {
    const QByteArray v = trimBlanks(stored);
    return quotedValue(v) ? v.mid(1, v.size() - 2) : v;
}

// Quotes a value that reading would otherwise change.
QByteArray storedValue(const QByteArray& value) {
    if (value.isEmpty())
        return value;
    if (isBlank(value.front()) || isBlank(value.back()) || quotedValue(value))
        return '"' + value + '"';
    return value;
}

} // namespace

void IniFile::load(const QString& path) {
    QFile file(path);
    if (file.open(QIODevice::ReadOnly))
        fromBytes(file.readAll());
    else
        m_lines.clear();
}

bool IniFile::save(const QString& path) const {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    if (file.write(toBytes()) < 0)
        return false;
    return file.commit();
}

void IniFile::fromBytes(const QByteArray& bytes) {
    m_lines.clear();
    m_bom = bytes.startsWith(kBom);
    QString section;
    for (QByteArray raw : bytes.mid(m_bom ? kBom.size() : 0).split('\n')) {
        if (raw.endsWith('\r'))
            raw.chop(1);
        Line line{raw, {}, {}, {}};
        const QByteArray trimmed = raw.trimmed();
        const bool comment = trimmed.startsWith(';') || trimmed.startsWith('#');
        if (trimmed.startsWith('[') && trimmed.contains(']')) {
            // Whatever follows the closing bracket is a comment.
            section = QString::fromUtf8(trimmed.mid(1, trimmed.indexOf(']') - 1)).trimmed();
            line.section = section;
        } else if (!comment && raw.contains('=')) {
            const qsizetype eq = raw.indexOf('=');
            line.section = section;
            line.key = QString::fromUtf8(raw.left(eq)).trimmed();
            line.value = readValue(raw.mid(eq + 1));
        } else {
            line.section = section;
        }
        m_lines.append(line);
    }
    // A file that ends with a line break leaves one empty piece behind.
    if (!m_lines.isEmpty() && m_lines.last().raw.isEmpty() && m_lines.last().key.isEmpty())
        m_lines.removeLast();
}

QByteArray IniFile::toBytes() const {
    QByteArray out = m_bom ? kBom : QByteArray();
    for (const Line& line : m_lines) {
        out += line.raw;
        out += "\r\n";
    }
    return out;
}

qsizetype IniFile::findKey(const QString& section, const QString& key) const {
    for (qsizetype i = 0; i < m_lines.size(); ++i)
        if (!m_lines[i].key.isEmpty() && sameName(m_lines[i].section, section) &&
            sameName(m_lines[i].key, key))
            return i;
    return -1;
}

qsizetype IniFile::sectionEnd(const QString& section) const {
    qsizetype end = -1;
    for (qsizetype i = 0; i < m_lines.size(); ++i)
        if (sameName(m_lines[i].section, section) && !m_lines[i].raw.trimmed().isEmpty())
            end = i + 1;
    return end;
}

bool IniFile::contains(const QString& section, const QString& key) const {
    return findKey(section, key) >= 0;
}

QByteArray IniFile::value(const QString& section, const QString& key,
                          const QByteArray& fallback) const {
    const qsizetype at = findKey(section, key);
    return at < 0 ? fallback : m_lines[at].value;
}

void IniFile::setValue(const QString& section, const QString& key, const QByteArray& value) {
    const qsizetype at = findKey(section, key);
    if (at >= 0) {
        // The key keeps the spelling the file already gives it.
        Line& existing = m_lines[at];
        const QByteArray raw = existing.raw;
        existing.raw = raw.left(raw.indexOf('=') + 1) + storedValue(value);
        existing.value = value;
        return;
    }
    Line line{key.toUtf8() + '=' + storedValue(value), section, key, value};
    qsizetype end = sectionEnd(section);
    if (end < 0) {
        if (!m_lines.isEmpty() && !m_lines.last().raw.trimmed().isEmpty())
            m_lines.append(Line{{}, {}, {}, {}});
        m_lines.append(Line{'[' + section.toUtf8() + ']', section, {}, {}});
        end = m_lines.size();
    }
    m_lines.insert(end, line);
}
