// Importing a 100 000-cell .xlsx against liborcus loading the same file into its own
// document model, and a 100 000-cell CSV against a plain split of the same bytes; both
// ceilings are twice the baseline measured in this run.
#include "BenchSupport.h"

#include "io/ExternalFile.h"
#include "model/Workbook.h"

#include <orcus/orcus_xlsx.hpp>
#include <orcus/spreadsheet/document.hpp>
#include <orcus/spreadsheet/factory.hpp>

#include <xlsxwriter.h>

#include <QFile>
#include <QTemporaryDir>

namespace {

constexpr int kRows = 2000;
constexpr int kCols = 50; // 100 000 cells

void writeXlsx(const QString& path) {
    const QByteArray file = QFile::encodeName(path);
    lxw_workbook* wb = workbook_new(file.constData());
    lxw_worksheet* ws = workbook_add_worksheet(wb, "Data");
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kCols; ++c) {
            if (c % 5 == 0)
                worksheet_write_string(ws, lxw_row_t(r), lxw_col_t(c),
                                       QStringLiteral("Район %1").arg(r % 300).toUtf8().constData(),
                                       nullptr);
            else
                worksheet_write_number(ws, lxw_row_t(r), lxw_col_t(c), r * 1.5 + c, nullptr);
        }
    workbook_close(wb);
}

QByteArray csvBytes() {
    QString text;
    for (int r = 0; r < kRows; ++r) {
        for (int c = 0; c < kCols; ++c) {
            if (c > 0)
                text += ';';
            if (c % 5 == 0)
                text += QStringLiteral("\"Район; %1\"").arg(r % 300);
            else
                text += QString::number(r * 1.5 + c);
        }
        text += QLatin1String("\r\n");
    }
    return text.toUtf8();
}

} // namespace

int main() {
    QTemporaryDir dir;
    const QString xlsx = dir.filePath("big.xlsx");
    writeXlsx(xlsx);
    const std::string file = QFile::encodeName(xlsx).toStdString();

    const double orcusAlone = bestMs(3, [&] {
        orcus::spreadsheet::document doc({1048576, 16384});
        orcus::spreadsheet::import_factory factory(doc);
        orcus::orcus_xlsx filter(&factory);
        filter.read_file(file);
    });
    const double ours = bestMs(3, [&] {
        Workbook book;
        QString error;
        if (!ExternalFile::read(book, xlsx, &error))
            std::fprintf(stderr, "%s\n", qPrintable(error));
    });
    report("import_xlsx_100k_cells", ours, "ms", 2 * orcusAlone);

    const QByteArray bytes = csvBytes();
    const QString csv = dir.filePath("big.csv");
    QFile f(csv);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
    f.close();
    long fields = 0;
    const double plain = bestMs(5, [&] {
        QFile in(csv);
        in.open(QIODevice::ReadOnly);
        const QString text = QString::fromUtf8(in.readAll());
        for (const QString& line : text.split(QLatin1String("\r\n"), Qt::SkipEmptyParts))
            fields += line.split(';').size();
    });
    const double csvOurs = bestMs(5, [&] {
        Workbook book;
        QString error;
        if (!ExternalFile::read(book, csv, &error))
            std::fprintf(stderr, "%s\n", qPrintable(error));
    });
    report("import_csv_100k_cells", csvOurs, "ms", 2 * plain);
    return fields > 0 ? 0 : 1;
}
