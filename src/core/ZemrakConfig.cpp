#include "ZemrakConfig.h"

#include "CodePages.h"
#include "IniFile.h"
#include "Scramble.h"

#include <QDir>
#include <QStringDecoder>

namespace {

const QString kSectionDb = QStringLiteral("DB");
const QString kSectionUser = QStringLiteral("User");
const QString kSectionPassword = QStringLiteral("Password");

QString suffix(DatabaseTag tag) {
    return tag == DatabaseTag::Tab ? QStringLiteral("Tab") : QStringLiteral("Main");
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
    ConnectionSettings s;
    s.mainPath = DecodeIniText(ini.value(kSectionDb, QStringLiteral("DBMain")));
    s.tabPath = DecodeIniText(ini.value(kSectionDb, QStringLiteral("DBTab")));
    s.mainUser = ini.contains(kSectionUser, QStringLiteral("UserMain"))
                     ? DecodeIniText(ini.value(kSectionUser, QStringLiteral("UserMain")))
                     : kDefaultUser;
    s.tabUser = ini.contains(kSectionUser, QStringLiteral("UserTab"))
                    ? DecodeIniText(ini.value(kSectionUser, QStringLiteral("UserTab")))
                    : kDefaultUser;
    s.mainPassword = readPassword(ini, QStringLiteral("PasswordMAIN"));
    s.tabPassword = readPassword(ini, QStringLiteral("PasswordTAB"));
    return s;
}

bool ZemrakConfig::save(DatabaseTag tag, const QString& path, const QString& user,
                        const QString& password) const {
    IniFile ini;
    ini.load(m_path);
    const QString sfx = suffix(tag);
    ini.setValue(kSectionDb, QStringLiteral("DB") + sfx, EncodeIniText(path));
    ini.setValue(kSectionUser, QStringLiteral("User") + sfx, EncodeIniText(user));
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

QString DecodeIniText(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return DecodeText(CodePage::Win1251, bytes);
}

QByteArray EncodeIniText(const QString& text) {
    bool lossless = true;
    QByteArray bytes = EncodeText(CodePage::Win1251, text, &lossless);
    return lossless ? bytes : text.toUtf8();
}
