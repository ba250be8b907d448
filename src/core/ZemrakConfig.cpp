#include "ZemrakConfig.h"

#include "CodePages.h"
#include "IniFile.h"
#include "Scramble.h"

#include <QDir>
#include <QStringDecoder>

#include <algorithm>

namespace {

const QString kSectionDb = QStringLiteral("DB");
const QString kSectionUser = QStringLiteral("User");
const QString kSectionPassword = QStringLiteral("Password");

QString suffix(DatabaseTag tag) {
    return tag == DatabaseTag::Tab ? QStringLiteral("Tab") : QStringLiteral("Main");
}

const QString kTextKeys[][2] = {{kSectionDb, QStringLiteral("DBMain")},
                                {kSectionDb, QStringLiteral("DBTab")},
                                {kSectionUser, QStringLiteral("UserMain")},
                                {kSectionUser, QStringLiteral("UserTab")}};

bool validUtf8(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = utf8.decode(bytes); // it decodes only when converted
    Q_UNUSED(decoded);
    return !utf8.hasError();
}

// How the paths and user names of a file were written: a byte-order mark says
// UTF-8; without one, UTF-8 only when every text with 8-bit bytes is valid UTF-8
// (the program's own files are Windows-1251 unless a text needed more).
bool writtenInUtf8(const IniFile& ini) {
    if (ini.hasBom())
        return true;
    bool eightBit = false;
    for (const auto& key : kTextKeys) {
        const QByteArray v = ini.value(key[0], key[1]);
        if (std::any_of(v.begin(), v.end(), [](char c) { return uchar(c) >= 0x80; })) {
            eightBit = true;
            if (!validUtf8(v))
                return false;
        }
    }
    return eightBit;
}

QString readPassword(const IniFile& ini, const QString& key) {
    if (!ini.contains(kSectionPassword, key))
        return kDefaultPassword;
    return UnscramblePassword(UnescapeIniBytes(ini.value(kSectionPassword, key)));
}

} // namespace

QString ZemrakConfig::pathIn(const QString& folder) {
    const QDir dir(folder);
    const auto entries = dir.entryList(QDir::Files);
    for (const QString& entry : entries)
        if (entry.compare(fileName(), Qt::CaseInsensitive) == 0)
            return dir.filePath(entry);
    return dir.filePath(fileName());
}

ConnectionSettings ZemrakConfig::read() const {
    IniFile ini;
    ini.load(m_path);
    const bool utf8 = writtenInUtf8(ini);
    auto text = [&](const QString& section, const QString& key) {
        return DecodeIniText(ini.value(section, key), utf8).trimmed();
    };
    ConnectionSettings s;
    s.mainPath = text(kSectionDb, QStringLiteral("DBMain"));
    s.tabPath = text(kSectionDb, QStringLiteral("DBTab"));
    s.mainUser = ini.contains(kSectionUser, QStringLiteral("UserMain"))
                     ? text(kSectionUser, QStringLiteral("UserMain"))
                     : kDefaultUser;
    s.tabUser = ini.contains(kSectionUser, QStringLiteral("UserTab"))
                    ? text(kSectionUser, QStringLiteral("UserTab"))
                    : kDefaultUser;
    s.mainPassword = readPassword(ini, QStringLiteral("PasswordMAIN"));
    s.tabPassword = readPassword(ini, QStringLiteral("PasswordTAB"));
    return s;
}

bool ZemrakConfig::save(DatabaseTag tag, const QString& path, const QString& user,
                        const QString& password) const {
    // A password is kept as Windows-1251 bytes; anything else would come back changed.
    if (!CanStorePassword(password))
        return false;
    IniFile ini;
    ini.load(m_path);
    bool utf8 = writtenInUtf8(ini);
    if (!utf8 && !(CanEncode(CodePage::Win1251, path) && CanEncode(CodePage::Win1251, user))) {
        // The file becomes UTF-8 as a whole, marked so, rather than mixing encodings.
        for (const auto& key : kTextKeys)
            if (ini.contains(key[0], key[1]))
                ini.setValue(key[0], key[1],
                             DecodeIniText(ini.value(key[0], key[1]), false).toUtf8());
        utf8 = true;
    }
    if (utf8)
        ini.setBom(true);
    const QString sfx = suffix(tag);
    ini.setValue(kSectionDb, QStringLiteral("DB") + sfx, EncodeIniText(path, utf8));
    ini.setValue(kSectionUser, QStringLiteral("User") + sfx, EncodeIniText(user, utf8));
    ini.setValue(kSectionPassword, QStringLiteral("Password") + sfx,
                 EscapeIniBytes(ScramblePassword(password)));
    return ini.save(m_path);
}

bool ZemrakConfig::rewritePasswords(const std::optional<QString>& mainPassword,
                                    const std::optional<QString>& tabPassword) const {
    IniFile ini;
    ini.load(m_path);
    auto stored = [](const std::optional<QString>& p) {
        return p ? EscapeIniBytes(ScramblePassword(*p)) : QByteArray();
    };
    ini.setValue(kSectionPassword, QStringLiteral("PasswordMAIN"), stored(mainPassword));
    ini.setValue(kSectionPassword, QStringLiteral("PasswordTAB"), stored(tabPassword));
    return ini.save(m_path);
}

QByteArray EscapeIniBytes(const QByteArray& raw) {
    QByteArray out;
    out.reserve(raw.size() + 8);
    for (char c : raw) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\0':
            out += "\\0";
            break;
        default:
            out += c;
        }
    }
    return out;
}

QByteArray UnescapeIniBytes(const QByteArray& stored) {
    QByteArray out;
    out.reserve(stored.size());
    for (qsizetype i = 0; i < stored.size(); ++i) {
        const char c = stored[i];
        const char next = i + 1 < stored.size() ? stored[i + 1] : 0;
        // A backslash that starts no known escape stays as it is, as older files wrote it.
        if (c == '\\' && (next == '\\' || next == 'r' || next == 'n' || next == '0')) {
            out += next == 'r' ? '\r' : next == 'n' ? '\n' : next == '0' ? '\0' : '\\';
            ++i;
        } else {
            out += c;
        }
    }
    return out;
}

QString DecodeIniText(const QByteArray& bytes, bool utf8File) {
    if (utf8File && validUtf8(bytes))
        return QString::fromUtf8(bytes);
    return DecodeText(CodePage::Win1251, bytes);
}

QByteArray EncodeIniText(const QString& text, bool utf8File) {
    return utf8File ? text.toUtf8() : EncodeText(CodePage::Win1251, text);
}

bool CanStorePassword(const QString& password) {
    return CanEncode(CodePage::Win1251, password);
}
