// zemrak-bookview [FILE.vts] [--png OUT.png] [--sheet N]
// Shows a workbook in a bare TBook window, so the control can be looked at alone.
// Without a file it shows a small sample table; --png renders the window to an image
// and exits (works with QT_QPA_PLATFORM=offscreen).
#include "TBook.h"
#include "io/NativeFormat.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QPixmap>

#include <cstdio>

namespace {

void buildSample(Workbook& book) {
    book.reset(3);
    Sheet& s = book.sheet(1);
    book.setEntry(1, 1, 2, QStringLiteral("Численность работников по отраслям"));
    book.setFormat(1, CellRange::cell(1, 2), [](CellFormat& f) {
        f.font.bold = true;
        f.font.size = 12;
    });
    const QStringList heads = {QStringLiteral("Отрасль"), QStringLiteral("2025"),
                               QStringLiteral("2026"), QStringLiteral("Рост, %")};
    for (int i = 0; i < heads.size(); ++i)
        book.setEntry(1, 3, 2 + i, heads[i]);
    s.setRowHeading(3, QStringLiteral("---"));
    book.setFormat(1, CellRange(3, 2, 3, 5), [](CellFormat& f) {
        f.pattern = 1;
        f.patternFg = 0xC6D9F1;
        f.font.bold = true;
        f.hAlign = HAlign::Center;
        f.wordWrap = true;
        f.bottom = {BorderStyle::Medium, 0};
    });
    const QStringList names = {
        QStringLiteral("Промышленность"), QStringLiteral("Сельское хозяйство"),
        QStringLiteral("Строительство"),  QStringLiteral("Транспорт"),
        QStringLiteral("Торговля"),       QStringLiteral("Образование")};
    for (int i = 0; i < names.size(); ++i) {
        const int r = 4 + i;
        book.setEntry(1, r, 2, names[i]);
        book.setNumber(1, r, 3, 1200 + 137 * i);
        book.setNumber(1, r, 4, 1250 + 121 * i);
        book.setFormula(1, r, 5, QStringLiteral("=D%1/C%1*100").arg(r));
    }
    book.setEntry(1, 10, 2, QStringLiteral("Итого"));
    book.setFormula(1, 10, 3, QStringLiteral("=SUM(C4:C9)"));
    book.setFormula(1, 10, 4, QStringLiteral("=SUM(D4:D9)"));
    book.setFormula(1, 10, 5, QStringLiteral("=D10/C10*100"));
    book.setNumberFormat(1, CellRange(4, 5, 10, 5), QStringLiteral("0.0"));
    book.setNumberFormat(1, CellRange(4, 3, 10, 4), QStringLiteral("#,##0"));
    book.setFormat(1, CellRange(10, 2, 10, 5), [](CellFormat& f) {
        f.font.bold = true;
        f.top = {BorderStyle::Thin, 0};
        f.pattern = 1;
        f.patternFg = 0xFFF2CC;
    });
    s.setColWidth(2, 24 * 256);
    s.setRowHeight(3, 500);
    s.setRowHidden(2, true);
    s.addDropDown(QStringLiteral("tip"), CellRange(12, 3, 12, 4),
                  QStringLiteral("Показатель;Признак;Объект;Разрез;Период"));
    book.setEntry(1, 12, 2, QStringLiteral("Вид заголовка:"));
    SheetOptions o = s.options();
    o.frozenRows = 3;
    o.frozenCols = 2;
    s.setOptions(o);
    book.setModified(false);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QCommandLineParser cli;
    cli.addHelpOption();
    cli.addPositionalArgument(QStringLiteral("file"), QStringLiteral("workbook (.vts)"));
    QCommandLineOption png(QStringLiteral("png"), QStringLiteral("render to an image and exit"),
                           QStringLiteral("out"));
    QCommandLineOption sheet(QStringLiteral("sheet"), QStringLiteral("active sheet"),
                             QStringLiteral("n"));
    cli.addOption(png);
    cli.addOption(sheet);
    cli.process(app);

    TBook book;
    book.resize(900, 420);
    if (cli.positionalArguments().isEmpty()) {
        buildSample(book.workbook());
    } else {
        Workbook loaded;
        QString error;
        if (!NativeFormat::loadFile(loaded, cli.positionalArguments().first(), &error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
        book.workbook().swapContents(loaded);
    }
    if (cli.isSet(sheet))
        book.setSheet(cli.value(sheet).toInt());
    book.setShowEditBar(true);
    book.setActiveCell(5, 3);
    book.show();
    if (cli.isSet(png)) {
        app.processEvents();
        return book.grab().save(cli.value(png)) ? 0 : 1;
    }
    return app.exec();
}
