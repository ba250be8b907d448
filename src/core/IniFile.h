#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// A Windows-style INI file kept as its lines, so that rewriting one key leaves
// every other line, comment and section as the user wrote it. Section and key
// names compare without regard to case; values are raw bytes. As Windows reads
// such files, a value loses the blanks around it and one pair of enclosing double
// quotes; lines starting with ';' or '#' are comments, and a UTF-8 byte-order mark
// before the first line is kept aside.
class IniFile {
public:
    // A missing or unreadable file reads as an empty one.
    void load(const QString& path);
    // Writes through a temporary file readable by the owner only; false on failure.
    bool save(const QString& path) const;

    bool contains(const QString& section, const QString& key) const;
    QByteArray value(const QString& section, const QString& key,
                     const QByteArray& fallback = {}) const;
    void setValue(const QString& section, const QString& key, const QByteArray& value);

    QByteArray toBytes() const;
    void fromBytes(const QByteArray& bytes);

    // Whether the file starts with a UTF-8 byte-order mark (it is written back so).
    bool hasBom() const { return m_bom; }
    void setBom(bool bom) { m_bom = bom; }

private:
    struct Line {
        QByteArray raw;
        QString section; // for a section header: its name
        QString key;     // for a key line: its name; empty otherwise
        QByteArray value;
    };
    qsizetype findKey(const QString& section, const QString& key) const;
    qsizetype sectionEnd(const QString& section) const;

    QList<Line> m_lines;
    bool m_bom = false;
};
