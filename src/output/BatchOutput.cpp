#include "BatchOutput.h"

#include "BatchPrompter.h"
#include "DbConnection.h"
#include "DbError.h"
#include "DbStatement.h"
#include "HtmlExport.h"
#include "HtmlPageSet.h"
#include "HtmlTableExport.h"
#include "IdentModel.h"
#include "OpenWithConfig.h"
#include "PageSetupController.h"
#include "PdfExport.h"
#include "TableDocument.h"
#include "TableRef.h"
#include "TdmMSSQL.h"
#include "ZemrakConfig.h"

#include "model/Workbook.h"

#include <QCommandLineParser>
#include <QDir>
#include <QGuiApplication>

#include <cstdio>
#include <cstring>

namespace {

int fail(const QString& text) {
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    return 1;
}

int writePdf(TdmMSSQL& dm, BatchPrompter& prompter, int kod, int sheet, const QString& out) {
    const auto table = TableRef::read(dm, kod);
    if (!table)
        return fail(QStringLiteral("Таблица %1 не найдена").arg(kod));
    Workbook book;
    TableDocument doc(dm, book, prompter);
    doc.open(*table);
    doc.model().readGeometry();
    if (!doc.model().isInstanceSheet(sheet))
        return fail(QStringLiteral("Нет листа %1").arg(sheet));
    book.setActiveSheet(sheet);
    // On paper as in the preview: the title lines, not the accompanying text.
    PageSetupController setup(book, doc.model(), prompter);
    if (!setup.preparePreview(false))
        return 1;
    QString error;
    const int pages = PdfExport::write(book.sheet(sheet), out, &error);
    if (pages == 0)
        return fail(error);
    std::printf("%d\n", pages);
    return 0;
}

int writeHtml(TdmMSSQL& dm, BatchPrompter& prompter, int kodFolder, const QString& out) {
    DbStatement& q = dm.dbTab.statement(QStringLiteral("quHtmlSBR"));
    q.setSql(QStringLiteral("SELECT NAMEFOLDER FROM SBR WHERE KODFOLDER = :KODFOLDER"));
    q.setParam(QStringLiteral("KODFOLDER"), kodFolder);
    q.open();
    if (q.isEmpty())
        return fail(QStringLiteral("Сборник %1 не найден").arg(kodFolder));
    const QString caption = q.value(0).toString().trimmed();
    q.close();
    QList<int> tables;
    HtmlPageSet set;
    set.add(QStringLiteral("INDEX.HTM"),
            HtmlExport::collectionIndex(dm, kodFolder, caption, &tables));
    for (int kod : tables) {
        const auto table = TableRef::read(dm, kod);
        if (!table)
            continue;
        Workbook book;
        TableDocument doc(dm, book, prompter);
        doc.open(*table);
        const HtmlTableExport pages(doc.model(), kod, table->name);
        const HtmlPageSet tablePages = pages.pages(HtmlTableExport::pageName(kod));
        for (const auto& [name, html] : tablePages.files())
            set.add(name, html);
    }
    QDir().mkpath(out);
    QString error;
    if (!set.write(out, &error))
        return fail(error);
    return 0;
}

} // namespace

bool IsOutputBatchCommand(int argc, char** argv) {
    return argc > 1 && (std::strcmp(argv[1], "pdf") == 0 || std::strcmp(argv[1], "html") == 0);
}

int RunOutputBatch(int argc, char** argv) {
    // Pages need fonts, not a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("pdf | html"));
    parser.addOption({QStringLiteral("ini"), QStringLiteral("Zemrak.INI"), QStringLiteral("file")});
    parser.addOption({QStringLiteral("table"), QStringLiteral("KODELMT"), QStringLiteral("code")});
    parser.addOption(
        {QStringLiteral("collection"), QStringLiteral("KODFOLDER"), QStringLiteral("code")});
    parser.addOption(
        {QStringLiteral("sheet"), QStringLiteral("sheet number"), QStringLiteral("n")});
    parser.addOption(
        {QStringLiteral("out"), QStringLiteral("file or folder"), QStringLiteral("path")});
    parser.process(app);
    const QString command = parser.positionalArguments().value(0);
    const QString ini =
        parser.isSet(QStringLiteral("ini"))
            ? parser.value(QStringLiteral("ini"))
            : QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("Zemrak.INI"));
    const QString out = parser.value(QStringLiteral("out"));
    if (out.isEmpty())
        return fail(QStringLiteral("--out is required"));
    bool okCode = false;
    const int kod = parser
                        .value(command == QLatin1String("pdf") ? QStringLiteral("table")
                                                               : QStringLiteral("collection"))
                        .toInt(&okCode);
    if (!okCode)
        return fail(command == QLatin1String("pdf")
                        ? QStringLiteral("--table KODELMT is required")
                        : QStringLiteral("--collection KOD is required"));
    int sheet = 1;
    if (parser.isSet(QStringLiteral("sheet"))) {
        sheet = parser.value(QStringLiteral("sheet")).toInt(&okCode);
        if (!okCode)
            return fail(QStringLiteral("--sheet N: N is a sheet number"));
    }
    BatchPrompter prompter(false, false);
    SetAppPrompter(&prompter);
    try {
        TdmMSSQL dm(prompter);
        OpenWithConfig(dm, ini);
        const int rc = command == QLatin1String("pdf") ? writePdf(dm, prompter, kod, sheet, out)
                                                       : writeHtml(dm, prompter, kod, out);
        return rc == 0 && prompter.errorShown() ? 1 : rc;
    } catch (const std::exception& e) {
        return fail(QString::fromLocal8Bit(e.what()));
    }
}
