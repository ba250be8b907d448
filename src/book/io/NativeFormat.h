#pragma once

#include <QByteArray>
#include <QString>

class Workbook;

// Our own workbook file (.vts): a fixed header (magic, version, sizes, checksum) and a
// zlib-compressed body holding everything of the model. Loading builds a separate
// workbook and swaps it in only when every byte checked out, so a bad file leaves the
// target untouched.
namespace NativeFormat {

constexpr quint16 kVersion = 1;

QByteArray save(const Workbook& book);
bool load(Workbook& target, const QByteArray& bytes, QString* error = nullptr);
bool saveFile(const Workbook& book, const QString& path, QString* error = nullptr);
bool loadFile(Workbook& target, const QString& path, QString* error = nullptr);

// The uncompressed body alone (tests feed damaged bodies past the checksum).
QByteArray encodeBody(const Workbook& book);
bool decodeBody(Workbook& target, const QByteArray& body, QString* error = nullptr);

} // namespace NativeFormat
