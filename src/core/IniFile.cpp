#include "IniFile.h"

#include <QFile>
#include <QSaveFile>

namespace {

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
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
    QString section;
    for (QByteArray raw : bytes.split('\n')) {
        if (raw.endsWith('\r'))
            raw.chop(1);
        Line line{raw, {}, {}, {}};
        const QByteArray trimmed = raw.trimmed();
        if (trimmed.startsWith('[') && trimmed.endsWith(']')) {
            section = QString::fromUtf8(trimmed.mid(1, trimmed.size() - 2)).trimmed();
            line.section = section;
        } else if (!trimmed.startsWith(';') && raw.contains('=')) {
            const qsizetype eq = raw.indexOf('=');
            line.section = section;
            line.key = QString::fromUtf8(raw.left(eq)).trimmed();
            line.value = raw.mid(eq + 1);
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
    QByteArray out;
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
        existing.raw = raw.left(raw.indexOf('=') + 1) + value;
        existing.value = value;
        return;
    }
    Line line{key.toUtf8() + '=' + value, section, key, value};
    qsizetype end = sectionEnd(section);
    if (end < 0) {
        if (!m_lines.isEmpty() && !m_lines.last().raw.trimmed().isEmpty())
            m_lines.append(Line{{}, {}, {}, {}});
        m_lines.append(Line{'[' + section.toUtf8() + ']', section, {}, {}});
        end = m_lines.size();
    }
    m_lines.insert(end, line);
}
