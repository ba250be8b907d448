#include "BookFiles.h"
#include "io/CommandScript.h"
#include "model/Workbook.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>
#include <iostream>
#include <string>

namespace {

int usage() {
    std::fputs("usage:\n"
               "  zemrak-book convert IN OUT     (reads .vts .xlsx .ods .xls .csv .txt;\n"
               "                                 writes .vts .xlsx .csv .txt)\n"
               "  zemrak-book show FILE [RANGE]\n"
               "  zemrak-book run [FILE]         (commands from standard input)\n",
               stderr);
    return 2;
}

int failWith(const QString& message) {
    std::fprintf(stderr, "zemrak-book: %s\n", message.toUtf8().constData());
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.isEmpty())
        return usage();
    const QString cmd = args[0];
    QString error;
    Workbook book;

    if (cmd == "convert") {
        if (args.size() != 3)
            return usage();
        if (!BookFiles::load(book, args[1], &error) || !BookFiles::save(book, args[2], &error))
            return failWith(error);
        return 0;
    }
    if (cmd == "show") {
        if (args.size() < 2 || args.size() > 3)
            return usage();
        if (!BookFiles::load(book, args[1], &error))
            return failWith(error);
        CellRange range;
        if (args.size() == 3 && !parseRangeName(args[2], range))
            return failWith(QStringLiteral("bad range \"%1\"").arg(args[2]));
        const QString out =
            CommandScript::show(book, book.activeSheetIndex(), args.size() == 3 ? args[2] : "");
        std::fputs(out.toUtf8().constData(), stdout);
        return 0;
    }
    if (cmd == "run") {
        if (args.size() > 2)
            return usage();
        if (args.size() == 2 && !BookFiles::load(book, args[1], &error))
            return failWith(error);
        CommandScript script(book);
        std::string line;
        int n = 0;
        while (std::getline(std::cin, line)) {
            ++n;
            const bool ok = script.runLine(QString::fromUtf8(line.c_str()), n);
            std::fputs(script.takeOutput().toUtf8().constData(), stdout);
            if (!ok) {
                std::fflush(stdout);
                return failWith(script.error());
            }
        }
        return 0;
    }
    return usage();
}
