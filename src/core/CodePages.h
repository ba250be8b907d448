#pragma once

#include <QByteArray>
#include <QString>

// The 8-bit code pages the system meets: Windows-1251 in the databases and the
// configuration file, code page 866 in dBase files. Tables are built once from iconv.

enum class CodePage { Win1251, Cp866 };

// The Unicode character of a byte; bytes the page leaves undefined map to U+FFFD.
QChar DecodeByte(CodePage page, unsigned char byte);
// The byte of a character; false when the page has no such character.
bool EncodeChar(CodePage page, QChar c, unsigned char& byte);

QString DecodeText(CodePage page, const QByteArray& bytes);
// Characters the page cannot hold become '?'; `lossless` tells whether any did.
QByteArray EncodeText(CodePage page, const QString& text, bool* lossless = nullptr);
bool CanEncode(CodePage page, const QString& text);
