#include "BookFiles.h"

#include "io/DelimitedText.h"
#include "io/ExternalFile.h"
#include "io/NativeFormat.h"
#include "io/XlsxWriter.h"
#include "model/Workbook.h"

#include <QFileInfo>

namespace BookFiles {

static QString extension(const QString& path) {
    return QFileInfo(path).suffix().toLower();
}

bool load(Workbook& book, const QString& path, QString* error) {
    const QString ext = extension(path);
    if (ext == "vts")
        return NativeFormat::loadFile(book, path, error);
    if (ext == "txt" || ext == "csv") {
        ExternalFile::TextOptions o;
        o.separator = ext == "csv" ? QChar(';') : QChar('\t');
        return ExternalFile::read(book, path, error, o);
    }
    if (ext == "xlsx" || ext == "ods" || ext == "xls")
        return ExternalFile::read(book, path, error);
    *error = QStringLiteral("unsupported file type \"%1\"").arg(ext);
    return false;
}

bool save(const Workbook& book, const QString& path, QString* error) {
    const QString ext = extension(path);
    if (ext == "vts")
        return NativeFormat::saveFile(book, path, error);
    if (ext == "txt" || ext == "csv")
        return DelimitedText::writeFile(book, book.activeSheetIndex(), true, path,
                                        ext == "csv" ? QChar(';') : QChar('\t'), error);
    if (ext == "xlsx")
        return XlsxWriter::writeFile(book, path, error);
    *error = QStringLiteral("unsupported file type \"%1\"").arg(ext);
    return false;
}

} // namespace BookFiles
