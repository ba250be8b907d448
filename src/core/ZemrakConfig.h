#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The six connection settings held for the whole run.
struct ConnectionSettings {
    QString mainPath;
    QString mainUser;
    QString mainPassword;
    QString tabPath;
    QString tabUser;
    QString tabPassword;
};

inline const QString kDefaultUser = QStringLiteral("SYSDBA");
inline const QString kDefaultPassword = QStringLiteral("quillbark");

// Which database a setting belongs to; the numbers are the connections' tags.
enum class DatabaseTag { Main = 0, Tab = 1 };

// Zemrak.INI beside the executable: sections "DB", "User", "Password".
class ZemrakConfig {
public:
    explicit ZemrakConfig(QString path) : m_path(std::move(path)) {}

    static QString fileName() { return QStringLiteral("Zemrak.INI"); }
    // The file in the given folder, found without regard to case.
    static QString pathIn(const QString& folder);

    // Missing keys (or a missing file) give the defaults.
    ConnectionSettings read() const;
    // Writes path, user and scrambled password of one connection.
    bool save(DatabaseTag tag, const QString& path, const QString& user,
              const QString& password) const;
    // At exit only the passwords are rewritten: an absent one (connection closed)
    // is written empty.
    bool rewritePasswords(const std::optional<QString>& mainPassword,
                          const std::optional<QString>& tabPassword) const;

    const QString& path() const { return m_path; }

private:
    QString m_path;
};

// Scrambled bytes may be CR, LF or NUL, which would break the file's lines.
// Those (and the backslash that introduces an escape) are written as \r, \n, \0, \\;
// every other byte is written as it is.
QByteArray EscapeIniBytes(const QByteArray& raw);
QByteArray UnescapeIniBytes(const QByteArray& stored);

// Texts in the file are Windows-1251 as on the workstations that wrote them;
// a text that Windows-1251 cannot hold is written as UTF-8 and read back as such.
QString DecodeIniText(const QByteArray& bytes);
QByteArray EncodeIniText(const QString& text);
