// zemrak-batch: filling and storing tables without a window.
#include "BatchOutput.h"
#include "BatchPrompter.h"
#include "CollectController.h"
#include "DbConnection.h"
#include "DbError.h"
#include "DemoTables.h"
#include "ExchangeView.h"
#include "FillController.h"
#include "FirebirdEnvironment.h"
#include "MedstatBatch.h"
#include "OpenWithConfig.h"
#include "OutsideFileSaver.h"
#include "StoreController.h"
#include "TableDocument.h"
#include "TableRef.h"
#include "TdmMSSQL.h"
#include "ZemrakConfig.h"
#include "model/Workbook.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cstdio>

namespace {

int fail(const QString& text) {
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    return 1;
}

// The demo collection's tables get identified workbooks (first start only).
int writeDemoTables(const QString& ini) {
    BatchPrompter prompter(true, false);
    SetAppPrompter(&prompter);
    try {
        TdmMSSQL dm(prompter);
        OpenWithConfig(dm, ini);
        DemoTables::write(dm);
        return 0;
    } catch (const std::exception& e) {
        return fail(QString::fromLocal8Bit(e.what()));
    }
}

} // namespace

int main(int argc, char** argv) {
    // Before the client library starts: the shared embedded engine.
    PrepareFirebirdEnvironment();
    // pdf and html draw pages and need an application with fonts.
    if (IsOutputBatchCommand(argc, argv))
        return RunOutputBatch(argc, argv);
    if (IsMedstatBatchCommand(argc, argv))
        return RunMedstatBatch(argc, argv);
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Заполнение и загрузка таблиц"));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("command"),
                                 QStringLiteral("fill | store | collect"));
    parser.addOption({QStringLiteral("ini"), QStringLiteral("Zemrak.INI"), QStringLiteral("file")});
    parser.addOption({QStringLiteral("table"), QStringLiteral("KODELMT"), QStringLiteral("code")});
    parser.addOption(
        {QStringLiteral("sheet"), QStringLiteral("sheet number"), QStringLiteral("n")});
    parser.addOption({QStringLiteral("save"), QStringLiteral("write the workbook back")});
    parser.addOption({QStringLiteral("out"), QStringLiteral("write the workbook to a file"),
                      QStringLiteral("file")});
    parser.addOption({QStringLiteral("empty-cells"), QStringLiteral("store empty cells")});
    parser.process(app);

    const QStringList args = parser.positionalArguments();
    const QString command = args.value(0);
    const QString ini =
        parser.isSet(QStringLiteral("ini"))
            ? parser.value(QStringLiteral("ini"))
            : QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("Zemrak.INI"));
    if (command == QLatin1String("demo-tables"))
        return writeDemoTables(ini);
    const bool collect = command == QLatin1String("collect");
    if (command != QLatin1String("fill") && command != QLatin1String("store") && !collect)
        return fail(QStringLiteral(
            "usage: zemrak-batch fill|store|collect|demo-tables --table KODELMT ..."));
    bool okCode = false;
    const int kod = parser.value(QStringLiteral("table")).toInt(&okCode);
    if (!okCode)
        return fail(QStringLiteral("--table KODELMT is required"));
    const bool oneSheet = parser.isSet(QStringLiteral("sheet"));
    const int sheet = parser.value(QStringLiteral("sheet")).toInt();
    BatchPrompter prompter(!oneSheet, parser.isSet(QStringLiteral("empty-cells")));
    SetAppPrompter(&prompter);
    try {
        TdmMSSQL dm(prompter);
        OpenWithConfig(dm, ini);
        const auto table = TableRef::read(dm, kod);
        if (!table)
            return fail(QStringLiteral("Таблица %1 не найдена").arg(kod));
        Workbook book;
        TableDocument doc(dm, book, prompter);
        doc.open(*table);
        doc.model().readGeometry();
        if (oneSheet) {
            if (!doc.model().isInstanceSheet(sheet))
                return fail(QStringLiteral("Нет листа %1").arg(sheet));
            book.setActiveSheet(sheet);
        }
        ExchangeView view;
        ExchangeContext ctx{doc.model(),         dm, prompter, view, CurrentStoragePeriods(), 0,
                            dm.dbMain.userName()};
        LoadStoragePeriods(dm, ctx.lists);
        ctx.aggrCount = AggregationDirectoryCount(dm.dbMain);
        bool ok = false;
        if (command == QLatin1String("fill") || collect) {
            ok = collect ? CollectController(ctx).sbCalcAgrClick()
                         : FillController(ctx).SBunloadClick();
            if (ok && parser.isSet(QStringLiteral("save")))
                ok = doc.save() == TableDocument::SaveResult::Saved;
            if (ok && parser.isSet(QStringLiteral("out"))) {
                const QString out = parser.value(QStringLiteral("out"));
                const QString ext = QFileInfo(out).suffix().toLower();
                const auto format = ext == QLatin1String("txt") ? OutsideFileSaver::Format::Text
                                                                : OutsideFileSaver::Format::Native;
                ok = OutsideFileSaver(book, prompter).write(format, out);
            }
        } else {
            ok = StoreController(ctx).SBloadClick();
        }
        return ok && !prompter.errorShown() ? 0 : 1;
    } catch (const std::exception& e) {
        return fail(QString::fromLocal8Bit(e.what()));
    }
}
