#include "PdfExport.h"

#include "PageLayout.h"

#include "model/Sheet.h"

#include <QDir>
#include <QPageSize>
#include <QPdfWriter>
#include <QSaveFile>

namespace PdfExport {

int write(const Sheet& sheet, const QString& path, QString* error) {
    auto failed = [&](const QString& why) {
        if (error)
            *error = QStringLiteral("Не удалось записать файл \"%1\": %2")
                         .arg(QDir::toNativeSeparators(path), why);
        return 0;
    };
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return failed(file.errorString());
    int pages = 0;
    {
        QPdfWriter pdf(&file);
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setTitle(sheet.name());
        pdf.setCreator(QStringLiteral("Zemrak"));
        pages = PageLayout::print(sheet, pdf);
    }
    if (pages == 0) {
        file.cancelWriting();
        return failed(QStringLiteral("нет страниц"));
    }
    if (!file.commit())
        return failed(file.errorString());
    return pages;
}

} // namespace PdfExport
