// zemrak-dbf: a dBase file shown as text, and the indicators directory's export and
// import of a rubric against the databases of Zemrak.INI.
#include "DbError.h"
#include "DbTransaction.h"
#include "DbfError.h"
#include "DbfTable.h"
#include "ElementOperations.h"
#include "ElementRowSet.h"
#include "FirebirdEnvironment.h"
#include "IndicatorsController.h"
#include "OpenWithConfig.h"
#include "Prompter.h"
#include "TdmMSSQL.h"
#include "ZemrakConfig.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QTextStream>

namespace {

QTextStream& out() {
    static QTextStream s(stdout);
    return s;
}

QTextStream& err() {
    static QTextStream s(stderr);
    return s;
}

// Prints every box, gives the file of the command line to the file dialogs and
// answers the overwrite question as --force says.
class ToolPrompter : public Prompter {
public:
    ToolPrompter(QString file, bool force) : m_file(std::move(file)), m_force(force) {}
    void message(const QString& text, const QString&, PromptIcon icon) override {
        if (icon == PromptIcon::Error)
            m_error = true;
        err() << QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")) << Qt::endl;
    }
    Answer ask(const QString& text, QuestionButtons buttons, Answer, const QString&) override {
        err() << text << Qt::endl;
        if (buttons == QuestionButtons::OkCancel)
            return m_force ? Answer::Ok : Answer::Cancel;
        return Answer::No;
    }
    QString openFileName(const QString&, const QString&, const QString&) override { return m_file; }
    QString saveFileName(const QString&, const QString&, const QString&) override { return m_file; }
    int choose(const QString&, const QStringList&, int) override { return -1; }
    bool inputText(const QString&, const QString&, QString&) override { return false; }
    bool errorShown() const { return m_error; }

private:
    QString m_file;
    bool m_force;
    bool m_error = false;
};

int show(const QString& path, bool raw) {
    try {
        DbfTable t = DbfTable::open(path, raw ? DbfText::Raw : DbfText::Translated);
        out() << "records: " << t.recordCount() << " (deleted "
              << t.physicalCount() - t.recordCount() << ")\n";
        for (int i = 0; i < t.fieldCount(); ++i) {
            const DbfField& f = t.field(i);
            out() << f.name << ';' << QChar::fromLatin1(f.type) << ';' << f.length << ';'
                  << f.decimals << '\n';
        }
        for (t.first(); !t.eof(); t.next()) {
            QStringList values;
            for (int i = 0; i < t.fieldCount(); ++i)
                values << (t.field(i).isNumeric() ? QString::fromLatin1(t.raw(i).trimmed())
                                                  : t.value(i).toString());
            out() << values.join(QStringLiteral(" | ")) << '\n';
        }
        out().flush();
        return 0;
    } catch (const DbfError& e) {
        err() << e.message() << Qt::endl;
        return 1;
    }
}

int exchange(const QString& command, const QString& ini, const QString& file, int rubric,
             bool force) {
    ToolPrompter prompter(QDir::current().absoluteFilePath(file), force);
    SetAppPrompter(&prompter);
    int rc = 1;
    try {
        TdmMSSQL dm(prompter);
        OpenWithConfig(dm, ini);
        const QString mainUser = ZemrakConfig(ini).read().mainUser;
        dm.registerInstance();
        OutlineState state;
        state.currentCatalogue = 2;
        OutlineTree tree;
        OutlineEngine<int> engine(dm, OutlineDescriptor::Rubrics(), tree, prompter, state);
        ElementRowSet rows(dm.query(QStringLiteral("quPOK")));
        ElementOperations elements(dm, IndicatorsController::Descriptor(mainUser), rows, prompter,
                                   state);
        IndicatorsController controller(dm, prompter, engine, elements);
        controller.setProtocolShower([](const QString& caption, const QString& text) {
            out() << caption << '\n'
                  << QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
            out().flush();
        });
        engine.BuildOutline();
        bool ok = false;
        if (command == QLatin1String("export-rubric")) {
            if (!engine.selectKey(rubric))
                err() << "Раздел " << rubric << " не найден" << Qt::endl;
            else
                ok = controller.exportRubric();
        } else {
            ok = controller.importRubric();
            if (ok && tree.current())
                out() << "Раздел " << engine.keyOf(tree.current()) << ": " << tree.current()->text()
                      << Qt::endl;
        }
        rc = ok && !prompter.errorShown() ? 0 : 1;
        dm.unregisterInstance();
        dm.dbMain.close();
        dm.dbTab.close();
    } catch (const std::exception& e) {
        err() << ExceptionMessage(e) << Qt::endl;
    }
    SetAppPrompter(nullptr);
    return rc;
}

} // namespace

int main(int argc, char* argv[]) {
    PrepareFirebirdEnvironment();
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Файлы dBase и справочник показателей"));
    parser.addHelpOption();
    parser.addPositionalArgument(
        QStringLiteral("command"),
        QStringLiteral("show FILE | export-rubric --rubric KOD FILE | import-rubric FILE"));
    parser.addOption({QStringLiteral("ini"), QStringLiteral("Zemrak.INI"), QStringLiteral("file")});
    parser.addOption({QStringLiteral("rubric"), QStringLiteral("rubric key (KODFOLDER)"),
                      QStringLiteral("key")});
    parser.addOption({QStringLiteral("raw"), QStringLiteral("text bytes as Windows-1251")});
    parser.addOption({QStringLiteral("force"), QStringLiteral("overwrite an existing file")});
    parser.process(app);
    const QStringList args = parser.positionalArguments();
    const QString command = args.value(0);
    if (args.size() != 2) {
        err()
            << "usage: zemrak-dbf show FILE | export-rubric --rubric KOD FILE | import-rubric FILE"
            << Qt::endl;
        return 2;
    }
    if (command == QLatin1String("show"))
        return show(args[1], parser.isSet(QStringLiteral("raw")));
    const QString ini =
        parser.isSet(QStringLiteral("ini"))
            ? parser.value(QStringLiteral("ini"))
            : QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("Zemrak.INI"));
    if (command == QLatin1String("import-rubric"))
        return exchange(command, ini, args[1], 0, false);
    if (command == QLatin1String("export-rubric")) {
        bool ok = false;
        const int rubric = parser.value(QStringLiteral("rubric")).toInt(&ok);
        if (!ok) {
            err() << "--rubric KOD is required" << Qt::endl;
            return 2;
        }
        return exchange(command, ini, args[1], rubric, parser.isSet(QStringLiteral("force")));
    }
    err() << "unknown command " << command << Qt::endl;
    return 2;
}
