#include "HtmlPageSet.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

QString HtmlPageSet::escape(const QString& text) {
    return text.toHtmlEscaped();
}

// Well-formed XHTML, one tag group a line, CR LF as the pages always had.
QString HtmlPageSet::head(const QString& title) {
    return QStringLiteral("<!DOCTYPE html>\r\n"
                          "<html xmlns=\"http://www.w3.org/1999/xhtml\">\r\n"
                          "<head>\r\n"
                          "<meta charset=\"utf-8\" />\r\n"
                          "<title>%1</title>\r\n"
                          "</head>\r\n"
                          "<body>\r\n")
        .arg(escape(title));
}

QString HtmlPageSet::tail() {
    return QStringLiteral("</body>\r\n</html>\r\n");
}

bool HtmlPageSet::write(const QString& folder, QString* error) const {
    auto failed = [&](const QString& what) {
        if (error)
            *error = what;
        return false;
    };
    const QDir target(folder);
    if (!target.exists())
        return failed(
            QStringLiteral("Папка \"%1\" не существует").arg(QDir::toNativeSeparators(folder)));
    QTemporaryDir temp(target.filePath(QStringLiteral(".html-XXXXXX")));
    if (!temp.isValid())
        return failed(QStringLiteral("Нет права записи в папку \"%1\"")
                          .arg(QDir::toNativeSeparators(folder)));
    for (const auto& [name, html] : m_files) {
        QFile file(temp.filePath(name));
        const QByteArray bytes = html.toUtf8();
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush())
            return failed(QStringLiteral("Не удалось записать файл \"%1\": %2")
                              .arg(name, file.errorString()));
    }
    // Every page is written; now they replace the old ones. A move that fails puts the
    // pages already moved back as they were.
    QList<QPair<QString, QString>> moved; // target, its previous copy (may be empty)
    auto undo = [&] {
        for (const auto& [path, backup] : moved) {
            QFile::remove(path);
            if (!backup.isEmpty())
                QFile::rename(backup, path);
        }
    };
    for (const auto& entry : m_files) {
        const QString path = target.filePath(entry.first);
        QString backup;
        if (QFileInfo::exists(path)) {
            backup = temp.filePath(entry.first + QStringLiteral(".old"));
            if (!QFile::rename(path, backup)) {
                undo();
                return failed(QStringLiteral("Не удалось заменить файл \"%1\"")
                                  .arg(QDir::toNativeSeparators(path)));
            }
        }
        moved.append({path, backup});
        if (!QFile::rename(temp.filePath(entry.first), path)) {
            undo();
            return failed(QStringLiteral("Не удалось записать файл \"%1\"")
                              .arg(QDir::toNativeSeparators(path)));
        }
    }
    return true;
}
