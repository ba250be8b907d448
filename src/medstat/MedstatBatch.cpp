#include "MedstatBatch.h"

#include "AppContext.h"
#include "MedstatControl.h"
#include "MedstatGenerator.h"
#include "ObjectResolver.h"
#include "OpenWithConfig.h"
#include "Prompter.h"
#include "TdmMSSQL.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cstdio>
#include <cstring>

namespace {

// Prints every box to standard error; questions get the answers of the command line.
class MedstatBatchPrompter : public Prompter {
public:
    MedstatBatchPrompter(bool clear, int choice) : m_clear(clear), m_choice(choice) {}
    void message(const QString& text, const QString&, PromptIcon icon) override {
        std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
        if (icon == PromptIcon::Error)
            m_error = true;
    }
    Answer ask(const QString& text, QuestionButtons, Answer, const QString&) override {
        std::fprintf(stderr, "%s %s\n", text.toLocal8Bit().constData(), m_clear ? "Да" : "Нет");
        return m_clear ? Answer::Yes : Answer::No;
    }
    QString openFileName(const QString&, const QString&, const QString&) override { return {}; }
    QString saveFileName(const QString&, const QString&, const QString&) override { return {}; }
    int choose(const QString&, const QStringList& items, int) override {
        if (m_choice >= 1 && m_choice <= items.size())
            return m_choice - 1;
        if (!m_listed) {
            std::fprintf(stderr, "Код есть в нескольких справочниках, укажите --choice N:\n");
            for (int i = 0; i < items.size(); ++i)
                std::fprintf(stderr, "  %d %s\n", i + 1, items[i].toLocal8Bit().constData());
            m_listed = true;
        }
        return -1;
    }
    bool inputText(const QString&, const QString&, QString&) override { return false; }
    bool errorShown() const { return m_error; }

private:
    bool m_clear;
    int m_choice;
    bool m_error = false;
    bool m_listed = false;
};

int fail(const QString& text) {
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    return 1;
}

QString opt(const QCommandLineParser& p, const char* name) {
    return p.value(QString::fromLatin1(name));
}

int generate(const QCommandLineParser& p, const QString& ini, const QString& folder) {
    bool okCollection = false;
    const int collection = opt(p, "collection").toInt(&okCollection);
    if (!okCollection)
        return fail(QStringLiteral("--collection KODFOLDER is required"));
    MedstatBatchPrompter prompter(!p.isSet(QStringLiteral("append")), opt(p, "choice").toInt());
    SetAppPrompter(&prompter);
    try {
        TdmMSSQL dm(prompter);
        OpenWithConfig(dm, ini);
        ObjectResolver resolver(dm, prompter);
        MedstatParams& params = MedstatParams::current();
        MedstatGenerator gen(dm, prompter, folder);
        const QString id =
            p.isSet(QStringLiteral("form")) ? opt(p, "form") : CollectionIdentifier(dm, collection);
        const bool ok = gen.run(collection, id, params, [&](MedstatParams& prm) {
            const MedstatDialogFields f{prm.form, opt(p, "cut"), opt(p, "object"), opt(p, "year"),
                                        opt(p, "file-object")};
            return AcceptMedstatDialog(f, prm, resolver, prompter) == MedstatFocus::None;
        });
        for (const QString& line : gen.protocol())
            std::fprintf(stdout, "%s\n", line.toLocal8Bit().constData());
        std::fprintf(stdout, "Записей: %d\n", gen.records());
        return ok && !prompter.errorShown() ? 0 : 1;
    } catch (const std::exception& e) {
        return fail(QString::fromLocal8Bit(e.what()));
    }
}

int control(const QCommandLineParser& p, const QString& folder) {
    MedstatBatchPrompter prompter(false, 0);
    SetAppPrompter(&prompter);
    MedstatControl c(folder, prompter);
    if (!c.open())
        return 1;
    QList<int> ticked;
    const QString kinds =
        p.isSet(QStringLiteral("kinds")) ? opt(p, "kinds") : QStringLiteral("all");
    for (int i = 0; i < c.kinds().size(); ++i)
        if (kinds == QLatin1String("all") || kinds.split(u',').contains(QString::number(i + 1)))
            ticked.append(i);
    const auto outcome = c.run(opt(p, "object"), opt(p, "year"), opt(p, "name"), ticked);
    if (outcome == MedstatControl::Outcome::NotRun)
        return 1;
    for (const QString& entry : c.protocol())
        std::fprintf(stdout, "%s\n", entry.toLocal8Bit().constData());
    return outcome == MedstatControl::Outcome::Errors ? 2 : 0;
}

} // namespace

bool IsMedstatBatchCommand(int argc, char** argv) {
    return argc > 1 &&
           (std::strcmp(argv[1], "medstat") == 0 || std::strcmp(argv[1], "medstat-control") == 0);
}

int RunMedstatBatch(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral("Файл для Минздрава и его контроль"));
    p.addHelpOption();
    p.addPositionalArgument(QStringLiteral("command"), QStringLiteral("medstat | medstat-control"));
    for (const auto& [name, help] : std::initializer_list<std::pair<const char*, const char*>>{
             {"ini", "Zemrak.INI"},
             {"folder", "the MEDCTAT folder"},
             {"collection", "KODFOLDER of the collection"},
             {"object", "object code"},
             {"year", "year"},
             {"form", "form code (default: the collection's identifier)"},
             {"cut", "cut code"},
             {"file-object", "object code written into the file"},
             {"choice", "the entry among several directories holding the code (1, 2, …)"},
             {"kinds", "kinds of control: all or 1,2,… in list order"},
             {"name", "object name for the protocol"}})
        p.addOption({QString::fromLatin1(name), QString::fromUtf8(help), QStringLiteral("value")});
    p.addOption({QStringLiteral("append"), QStringLiteral("keep the records already in the file")});
    p.process(app);
    const QString command = p.positionalArguments().value(0);
    const QString ini =
        p.isSet(QStringLiteral("ini"))
            ? opt(p, "ini")
            : QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("Zemrak.INI"));
    AppContext::setProgramFolder(QFileInfo(ini).absolutePath());
    const QString folder =
        p.isSet(QStringLiteral("folder")) ? opt(p, "folder") : AppContext::medstatFolder();
    if (command == QLatin1String("medstat"))
        return generate(p, ini, folder);
    return control(p, folder);
}
