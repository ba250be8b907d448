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
    // Writes path, user and scrambled password of one connection; false (and
    // nothing written) when the password cannot be stored (CanStorePassword).
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

// Paths and user names are Windows-1251 as on the workstations that wrote them;
// a file that must hold a text Windows-1251 cannot is written wholly in UTF-8
// with a byte-order mark. A text that is not valid UTF-8 is Windows-1251 anyway.
QString DecodeIniText(const QByteArray& bytes, bool utf8File);
QByteArray EncodeIniText(const QString& text, bool utf8File);
// Passwords are scrambled as Windows-1251 bytes, so only such passwords are kept.
bool CanStorePassword(const QString& password);
