#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The encodings text files arrive in: UTF-8 (with or without a byte-order mark), the
// Windows Cyrillic code page and the DOS one.
namespace TextEncoding {

enum class Encoding { Auto, Utf8, Windows1251, Cp866 };

bool isUtf8(QByteArrayView bytes);
// UTF-8 when the bytes are valid UTF-8; otherwise whichever Cyrillic code page makes
// the bytes read as letters rather than box drawing.
Encoding detect(QByteArrayView bytes);
// Auto detects; `used` receives the encoding applied. A UTF-8 byte-order mark is dropped.
QString decode(QByteArrayView bytes, Encoding encoding, Encoding* used = nullptr);
// Characters the code page lacks become "?".
QByteArray encode(const QString& text, Encoding encoding);
// NUL bytes, or control characters in more than one byte of twenty: not a text file.
bool looksBinary(QByteArrayView bytes);
QString name(Encoding encoding);

} // namespace TextEncoding
