#pragma once

#include <QByteArray>
#include <QString>

class QTextDocument;

// Files of the protocol window: rich text (RTF, the subset we write and the plain
// paragraphs of other writers) and plain text (UTF-8 written; UTF-8, Windows-1251 and
// code page 866 recognised when read).
namespace ProtocolFile {

bool isRtfName(const QString& path);

// RTF of the document: fonts, sizes, bold, italic, underline, alignment; letters
// outside ASCII as \uN? escapes.
QByteArray toRtf(const QTextDocument& doc);
// Reads RTF into the document; false with the reason when the bytes are not RTF we
// can read (the document is then left as it was).
bool fromRtf(const QByteArray& bytes, QTextDocument& doc, QString* error);

// Plain text in whatever of the three encodings it is in.
QString decodeText(const QByteArray& bytes);

// Whole files; false with a message in the system's words.
bool load(const QString& path, QTextDocument& doc, QString* error);
bool save(const QString& path, const QTextDocument& doc, QString* error);

} // namespace ProtocolFile
