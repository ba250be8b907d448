// Pagination of a 10 000-row x 30-column sheet beside one walk over its row heights and
// column widths (ceiling: 3 walks), and a PDF of 100 pages beside drawing the same pages
// to an image (ceiling: 3 times the image drawing).
#include "BenchSupport.h"
#include "PageLayout.h"
#include "SheetLayout.h"

#include "model/Sheet.h"
#include "model/Workbook.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

int main(int argc, char** argv) {
    // Pages need fonts, not a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    Workbook book;
    Sheet& s = book.sheet(1);
    book.beginUpdate();
    for (int r = 1; r <= 10000; ++r)
        for (int c = 1; c <= 30; c += 7)
            book.setNumber(1, r, c, r * c);
    book.setNumber(1, 1, 30, 1);
    book.endUpdate();
    for (int r = 1; r <= 10000; r += 13)
        s.setRowHeight(r, 400);

    long sum = 0;
    const double walk = bestMs(15, [&] {
        for (int r = 1; r <= 10000; ++r)
            sum += s.rowHidden(r) ? 0 : SheetLayout::rowPixels(s.rowHeight(r), 100);
        for (int c = 1; c <= 30; ++c)
            sum += s.colHidden(c) ? 0 : SheetLayout::colPixels(s.colWidth(c), 100);
    });
    int pages = 0;
    const double paginate = bestMs(15, [&] { pages = PageLayout(s).pageCount(); });
    report("paginate_10000x30", paginate, "ms", 3 * walk);

    // The first 100 pages of a sheet of text and numbers.
    Workbook text;
    for (int r = 1; r <= 6000; ++r) {
        text.setEntry(r, 1, QStringLiteral("строка %1").arg(r));
        text.setNumber(r, 2, r * 1.5);
    }
    PrintSettings ps = text.sheet(1).printSettings();
    ps.printArea = CellRange(1, 1, 6000, 2);
    text.sheet(1).setPrintSettings(ps);
    const PageLayout layout(text.sheet(1));
    const int count = std::min(100, layout.pageCount());
    const double image = bestMs(3, [&] {
        QImage page(827, 1169, QImage::Format_RGB32);
        for (int i = 0; i < count; ++i) {
            QPainter p(&page);
            layout.drawPage(p, i, QRectF(page.rect()));
        }
    });
    const double pdf = bestMs(3, [&] {
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        QPdfWriter writer(&out);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        QPainter p(&writer);
        const QRectF target(0, 0, writer.width(), writer.height());
        for (int i = 0; i < count; ++i) {
            if (i > 0)
                writer.newPage();
            layout.drawPage(p, i, target);
        }
    });
    std::printf("pdf: %d pages, %.1f pages/s (image: %.1f pages/s); %ld\n", count,
                count * 1000.0 / pdf, count * 1000.0 / image, sum % 2 + pages % 2);
    report("pdf_100_pages", pdf, "ms", 3 * image);
    return 0;
}
